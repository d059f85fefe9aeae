#include "server/ServerRegister.h"

#include "server/CardSql.h"
#include "server/ServerError.h"

#include <QHash>
#include <QSysInfo>
#include <algorithm>
#include <cstring>

namespace zelm {

QString accessTableBusyMessage(const AccessEditor& holder) {
    return QStringLiteral("Таблицу доступа сейчас правит %1 на компьютере %2 (с %3). "
                          "Её можно править, когда он закончит.")
        .arg(holder.user, holder.machine,
             holder.since.toLocalTime().toString(QStringLiteral("hh:mm dd.MM.yyyy")));
}

ServerCard cardFromRow(const PgResult& r, int row, const QString& server) {
    if (r.length(row, 6) != int(sizeof(TAnketa)))
        throw ServerError(
            ServerError::Kind::Refused,
            damagedCardMessage(server, r.int32(row, 7), r.int64(row, 0), r.length(row, 6)));
    ServerCard card;
    card.id = r.int64(row, 0);
    card.version = r.int32(row, 1);
    card.file = static_cast<CardFileKind>(r.int16(row, 2));
    card.stamp.user = r.text(row, 3);
    card.stamp.machine = r.text(row, 4);
    card.stamp.when = QDateTime::fromMSecsSinceEpoch(qRound64(r.real(row, 5) * 1000), Qt::UTC);
    std::memcpy(&card.record, r.data(row, 6), sizeof(TAnketa));
    return card;
}

std::optional<qint64> orderKeyAfter(qint64 last) {
    qint64 next = 0;
    if (__builtin_add_overflow(last, kOrderGap, &next))
        return std::nullopt;
    return next;
}

QByteArray recordBytes(const TAnketa& card) {
    return QByteArray(reinterpret_cast<const char*>(&card), sizeof card);
}

QByteArray recordBytes(const TSpisFil& record) {
    return QByteArray(reinterpret_cast<const char*>(&record), sizeof record);
}

void writeSearchRow(PgConnection& c, qint64 id, CardFileKind file, const TAnketa& card) {
    c.exec("INSERT INTO card_search (card_id, file, data_mer, date_kusp, data_osn, texts, keys) "
           "VALUES ($1, $2, $3, $4, $5, $6::bytea[], $7::integer[]) "
           "ON CONFLICT (card_id) DO UPDATE SET file = EXCLUDED.file, "
           "data_mer = EXCLUDED.data_mer, date_kusp = EXCLUDED.date_kusp, "
           "data_osn = EXCLUDED.data_osn, texts = EXCLUDED.texts, keys = EXCLUDED.keys",
           {PgParam::integer(id), PgParam::integer(static_cast<int>(file)),
            PgParam::real(card.DataMer), PgParam::real(card.DateKUSP), PgParam::real(card.DataOsn),
            PgParam{foldedTextsLiteral(card), false}, PgParam::bytes(keysArray(searchKeys(card)))});
}

void lockForTransaction(PgConnection& c, int key) {
    c.exec("SELECT pg_advisory_xact_lock($1, $2)",
           {PgParam::integer(kLockClass), PgParam::integer(key)});
}

ServerRegister::ServerRegister(ServerConfig config)
    : m_c(std::move(config)), m_machine(QSysInfo::machineHostName()) {
    m_c.setOnConnect([this] { vouchAgain(); });
}

void ServerRegister::open() {
    m_c.ensureConnected();
    ensureSchema(m_c);
}

void ServerRegister::setIdentity(QString user, QString machine) {
    m_user = std::move(user);
    m_machine = std::move(machine);
}

void ServerRegister::notify(const QString& payload) {
    m_c.exec("SELECT pg_notify('zelm', $1)", {PgParam::text(payload)});
}

std::vector<CardRow> ServerRegister::listCards(CardFileKind file) {
    const PgResult r = m_c.exec("SELECT id, uniq FROM cards WHERE file = $1 ORDER BY ord",
                                {PgParam::integer(static_cast<int>(file))});
    std::vector<CardRow> rows;
    rows.reserve(static_cast<size_t>(r.rows()));
    for (int i = 0; i < r.rows(); ++i)
        rows.push_back({r.int64(i, 0), r.int32(i, 1)});
    return rows;
}

qint64 ServerRegister::countCards(CardFileKind file) {
    const PgResult r = m_c.exec("SELECT count(*) FROM cards WHERE file = $1",
                                {PgParam::integer(static_cast<int>(file))});
    return r.int64(0, 0);
}

std::optional<ServerRegister::CardPlace> ServerRegister::placeOfCard(qint64 id, qint64 atMost) {
    const PgResult r = m_c.exec(
        "SELECT c.file, c.uniq, (SELECT count(*) FROM (SELECT 1 FROM cards d WHERE d.file = "
        "c.file AND d.ord > c.ord LIMIT $2) x) FROM cards c WHERE c.id = $1",
        {PgParam::integer(id), PgParam::integer(atMost)});
    if (r.rows() == 0)
        return std::nullopt;
    return CardPlace{r.int16(0, 0) == 0 ? CardFileKind::Main : CardFileKind::Archive, r.int32(0, 1),
                     r.int64(0, 2)};
}

std::optional<ServerCard> ServerRegister::readCard(qint64 id) {
    static const QByteArray sql =
        QByteArray("SELECT ") + kCardColumns + " FROM cards WHERE id = $1";
    const PgResult r = m_c.exec(sql.constData(), {PgParam::integer(id)});
    if (r.rows() == 0)
        return std::nullopt;
    return cardFromRow(r, 0, serverName());
}

QByteArray idArray(const std::vector<qint64>& ids) {
    QByteArray a = "{";
    for (size_t i = 0; i < ids.size(); ++i) {
        if (i)
            a += ',';
        a += QByteArray::number(ids[i]);
    }
    return a + '}';
}

std::vector<ServerCard> ServerRegister::readCards(const std::vector<qint64>& ids) {
    std::vector<ServerCard> out;
    if (ids.empty())
        return out;
    static const QByteArray sql = QByteArray("SELECT ") + kCardColumns +
                                  " FROM unnest($1::bigint[]) AS u(id) JOIN cards USING (id)";
    const PgResult r = m_c.exec(sql.constData(), {PgParam{idArray(ids), false}});
    QHash<qint64, int> rowOf;
    for (int i = 0; i < r.rows(); ++i)
        rowOf.insert(r.int64(i, 0), i);
    out.reserve(static_cast<size_t>(r.rows()));
    for (qint64 id : ids) {
        const auto it = rowOf.constFind(id);
        if (it != rowOf.constEnd())
            out.push_back(cardFromRow(r, *it, serverName()));
    }
    return out;
}

void ServerRegister::scanCards(CardFileKind file,
                               const std::function<void(const ServerCard&)>& each, int batch) {
    static const QByteArray sql = QByteArray("SELECT ") + kCardColumns +
                                  ", ord FROM cards WHERE file = $1 AND "
                                  "($2::bigint IS NULL OR ord > $2) ORDER BY ord LIMIT $3";
    // The first batch from the very start, whatever key a card has there.
    PgParam after = PgParam::null();
    for (;;) {
        const PgResult r = m_c.exec(sql.constData(), {PgParam::integer(static_cast<int>(file)),
                                                      after, PgParam::integer(batch)});
        for (int i = 0; i < r.rows(); ++i)
            each(cardFromRow(r, i, serverName()));
        if (r.rows() < batch)
            return;
        after = PgParam::integer(r.int64(r.rows() - 1, kAfterCardColumns));
    }
}

} // namespace zelm
