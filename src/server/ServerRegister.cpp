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

namespace {

QByteArray idArray(const std::vector<qint64>& ids) {
    QByteArray a = "{";
    for (size_t i = 0; i < ids.size(); ++i) {
        if (i)
            a += ',';
        a += QByteArray::number(ids[i]);
    }
    return a + '}';
}

} // namespace

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

std::vector<ServerCard> ServerRegister::findCards(CardFileKind file, const CardFilter& filter) {
    QByteArray sql = "SELECT card_id FROM card_search WHERE file = $1";
    std::vector<PgParam> params = {PgParam::integer(static_cast<int>(file))};
    const auto next = [&](PgParam p) {
        params.push_back(std::move(p));
        return QByteArray::number(static_cast<qint64>(params.size()));
    };
    for (const DayCondition& d : filter.days) {
        const char* column = d.offset == offsetof(TAnketa, DataMer)    ? "data_mer"
                             : d.offset == offsetof(TAnketa, DateKUSP) ? "date_kusp"
                             : d.offset == offsetof(TAnketa, DataOsn)  ? "data_osn"
                                                                       : nullptr;
        if (!column)
            continue;
        sql += QByteArray(" AND trunc(") + column + ") BETWEEN $" + next(PgParam::real(d.first)) +
               " AND $" + next(PgParam::real(d.last));
    }
    std::vector<std::int32_t> keys;
    for (const TextCondition& t : filter.texts) {
        const int field = textFieldNumber(t.offset);
        if (field == 0 || t.needle.isEmpty())
            continue;
        const std::vector<std::int32_t> more = searchKeys(field, t.needle);
        keys.insert(keys.end(), more.begin(), more.end());
        sql += " AND position($" + next(PgParam::bytes(t.needle)) + "::bytea IN texts[$" +
               next(PgParam::integer(field)) + "::int]) > 0";
    }
    // Needles of three bytes or more let the key index pick the candidates; shorter ones leave
    // the server to read every card.
    if (!keys.empty())
        sql += " AND keys @> $" + next(PgParam::bytes(keysArray(keys))) + "::integer[]";
    // A card whose search row is missing (damaged, or deleted by hand) is a candidate for
    // every search: the caller's matcher decides on its record.
    sql += " UNION ALL SELECT c.id FROM cards c WHERE c.file = $1 AND NOT EXISTS "
           "(SELECT 1 FROM card_search s WHERE s.card_id = c.id)";
    const PgResult ids = m_c.exec(sql.constData(), params);
    std::vector<qint64> found;
    found.reserve(static_cast<size_t>(ids.rows()));
    for (int i = 0; i < ids.rows(); ++i)
        found.push_back(ids.int64(i, 0));
    if (found.empty())
        return {};
    // Fetched by key through the index, whatever the planner would guess for a long list, and
    // put in the register's order here.
    static const QByteArray byKey =
        QByteArray("SELECT ") + kCardColumns +
        ", ord FROM unnest($1::bigint[]) AS u(id) JOIN cards USING (id)";
    const PgResult r = m_c.exec(byKey.constData(), {PgParam{idArray(found), false}});
    std::vector<int> rows(static_cast<size_t>(r.rows()));
    for (int i = 0; i < r.rows(); ++i)
        rows[static_cast<size_t>(i)] = i;
    std::sort(rows.begin(), rows.end(), [&](int x, int y) {
        return r.int64(x, kAfterCardColumns) < r.int64(y, kAfterCardColumns);
    });
    std::vector<ServerCard> cards;
    cards.reserve(rows.size());
    for (int i : rows)
        cards.push_back(cardFromRow(r, i, serverName()));
    return cards;
}

} // namespace zelm
