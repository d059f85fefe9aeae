// The commands that change cards. Each is one transaction that ends with its announcement, so
// the other workstations hear of a change only once it is stored.
#include "server/CardSql.h"
#include "server/ServerError.h"
#include "server/ServerRegister.h"
#include "store/UniqueNumber.h"

#include <QSet>
#include <QUuid>
#include <limits>

namespace zelm {
namespace {

QString cardPayload(CardFileKind file, qint64 id, const char* what) {
    return QStringLiteral("card %1 %2 %3")
        .arg(static_cast<int>(file))
        .arg(id)
        .arg(QLatin1String(what));
}

struct ChangeWords {
    const char* notDone;  // «карточка не записана»
    const char* question; // «записана ли карточка»
};

ChangeWords wordsOf(ServerRegister::Change what) {
    switch (what) {
    case ServerRegister::Change::Deleted:
        return {"карточка не удалена", "удалена ли карточка"};
    case ServerRegister::Change::Archived:
        return {"карточка не перенесена в Архив", "перенесена ли карточка в Архив"};
    case ServerRegister::Change::Other:
        return {"изменение не записано", "записано ли изменение"};
    case ServerRegister::Change::Stored:
        break;
    }
    return {"карточка не записана", "записана ли карточка"};
}

} // namespace

void ServerRegister::commitChange(PgTransaction& t, Change what) {
    const ChangeWords words = wordsOf(what);
    switch (t.commitChecked()) {
    case PgConnection::Outcome::Committed:
        return; // stored, whatever became of the reply
    case PgConnection::Outcome::RolledBack:
        throw ServerError(ServerError::Kind::Connection,
                          QStringLiteral("Связь с сервером %1 прервалась, и сервер отменил "
                                         "команду: %2. Правка осталась в окне; повторите "
                                         "команду.")
                              .arg(serverName(), QString::fromUtf8(words.notDone)));
    case PgConnection::Outcome::Unknown:
        break;
    }
    throw ServerError(ServerError::Kind::Connection,
                      QStringLiteral("Связь с сервером %1 прервалась в ту минуту, когда команда "
                                     "завершалась, и узнать, %2, не удалось. Правка осталась в "
                                     "окне. Когда связь вернётся, повторите команду: новая "
                                     "карточка не будет записана дважды.")
                          .arg(serverName(), QString::fromUtf8(words.question)),
                      QString(), ServerError::Detail::Uncertain);
}

qint32 ServerRegister::freeUniqueNumber(qint32 proposed) {
    // The number a new card shows counts clock ticks; when a card of another workstation made
    // in the same tick has it, the next free number is taken.
    qint32 candidate = proposed > 0 ? proposed : NewUniqueNumber();
    for (;;) {
        const PgResult r = m_c.exec("SELECT DISTINCT uniq FROM cards WHERE uniq >= $1 AND "
                                    "uniq < $1 + 64 ORDER BY uniq",
                                    {PgParam::integer(candidate)});
        QSet<qint32> taken;
        for (int i = 0; i < r.rows(); ++i)
            taken.insert(r.int32(i, 0));
        for (int k = 0; k < 64; ++k, ++candidate)
            if (!taken.contains(candidate))
                return candidate;
    }
}

void ServerRegister::renumber(CardFileKind file) {
    // Runs out of gap only after many insertions at one place: the keys are spread evenly
    // again, in the same order. Negating first keeps them distinct at every step.
    const PgParam f = PgParam::integer(static_cast<int>(file));
    m_c.exec("UPDATE cards SET ord = -ord WHERE file = $1", {f});
    m_c.exec("WITH r AS (SELECT id, row_number() OVER (ORDER BY ord DESC) AS n FROM cards "
             "WHERE file = $1) UPDATE cards c SET ord = r.n * $2 FROM r WHERE c.id = r.id",
             {f, PgParam::integer(kOrderGap)});
}

qint64 ServerRegister::placeAfter(CardFileKind file, qint64 anchorOrd) {
    const PgParam f = PgParam::integer(static_cast<int>(file));
    const PgResult r = m_c.exec("SELECT min(ord) FROM cards WHERE file = $1 AND ord > $2",
                                {f, PgParam::integer(anchorOrd)});
    if (r.isNull(0, 0))
        return orderKeyAfter(anchorOrd).value_or(0);
    const qint64 next = r.int64(0, 0);
    // Halfway, without leaving the keys' range on damaged keys far apart.
    const qint64 mid = anchorOrd / 2 + next / 2 + (anchorOrd % 2 + next % 2) / 2;
    if (mid > anchorOrd && mid < next)
        return mid;
    return 0; // no room: the caller renumbers
}

std::optional<ServerCard> ServerRegister::cardMadeAs(const QUuid& key) {
    if (key.isNull())
        return std::nullopt;
    static const QByteArray sql =
        QByteArray("SELECT ") + kCardColumns + " FROM cards WHERE made_key = $1::uuid";
    const PgResult r =
        m_c.exec(sql.constData(), {PgParam::text(key.toString(QUuid::WithoutBraces))});
    if (r.rows() == 0)
        return std::nullopt;
    return cardFromRow(r, 0, serverName());
}

ServerCard ServerRegister::insertCard(CardFileKind file, qint64 ord, TAnketa card, const QUuid& key,
                                      const char* what) {
    card.Klu4Form1 = freeUniqueNumber(card.Klu4Form1);
    // Who made it is the server's word (a trigger writes it), whatever a client would send.
    const PgResult r = m_c.exec(
        "INSERT INTO cards (file, ord, uniq, gurn, changed_on, record, made_key) "
        "VALUES ($1, $2, $3, $4, $5, $6, $7::uuid) RETURNING id, version, "
        "extract(epoch FROM changed_at)::float8, changed_by",
        {PgParam::integer(static_cast<int>(file)), PgParam::integer(ord),
         PgParam::integer(card.Klu4Form1), PgParam::integer(card.GurN), PgParam::text(m_machine),
         PgParam::bytes(recordBytes(card)),
         key.isNull() ? PgParam::null() : PgParam::text(key.toString(QUuid::WithoutBraces))});
    ServerCard stored;
    stored.id = r.int64(0, 0);
    stored.version = r.int32(0, 1);
    stored.file = file;
    stored.stamp = {r.text(0, 3), m_machine,
                    QDateTime::fromMSecsSinceEpoch(qRound64(r.real(0, 2) * 1000), Qt::UTC)};
    stored.record = card;
    writeSearchRow(m_c, stored.id, file, card);
    notify(cardPayload(file, stored.id, what));
    return stored;
}

qint64 ServerRegister::endOfOrder(CardFileKind file, qint32* lastRunning) {
    const PgParam f = PgParam::integer(static_cast<int>(file));
    for (int attempt = 0;; ++attempt) {
        const PgResult last =
            m_c.exec("SELECT ord, gurn FROM cards WHERE file = $1 ORDER BY ord DESC LIMIT 1", {f});
        if (lastRunning)
            *lastRunning = last.rows() ? last.int32(0, 1) : 0;
        if (last.rows() == 0)
            return kOrderGap;
        if (const std::optional<qint64> ord = orderKeyAfter(last.int64(0, 0)))
            return *ord;
        if (attempt > 0)
            throw ServerError(ServerError::Kind::Refused,
                              QStringLiteral("Порядок карточек на сервере %1 нельзя продолжить. "
                                             "Карточка не записана; сообщите администратору.")
                                  .arg(serverName()));
        renumber(file); // the keys ran out at the end: spread them evenly again
    }
}

ServerCard ServerRegister::append(TAnketa card, const QUuid& key, bool recalled) {
    PgTransaction t(m_c);
    lockForTransaction(m_c, kNumberLock);
    // Read by the history's trigger; gone with the transaction.
    if (recalled)
        m_c.exec("SELECT set_config('zelm.recall', 'on', true)");
    // Sent again after its reply was lost: the card is stored already.
    if (std::optional<ServerCard> stored = cardMadeAs(key)) {
        t.commit();
        return *stored;
    }
    qint32 lastRunning = 0;
    const qint64 ord = endOfOrder(CardFileKind::Main, &lastRunning);
    card.GurN = lastRunning < std::numeric_limits<qint32>::max() ? lastRunning + 1 : lastRunning;
    ServerCard stored = insertCard(CardFileKind::Main, ord, card, key, "append");
    commitChange(t, Change::Stored);
    return stored;
}

ServerCard ServerRegister::insertAfter(qint64 anchorId, TAnketa card, const QUuid& key) {
    PgTransaction t(m_c);
    lockForTransaction(m_c, kNumberLock);
    if (std::optional<ServerCard> stored = cardMadeAs(key)) {
        t.commit();
        return *stored;
    }
    const auto anchorOrd = [&]() -> qint64 {
        if (anchorId == 0)
            return 0;
        const PgResult a = m_c.exec("SELECT ord FROM cards WHERE id = $1 AND file = 0",
                                    {PgParam::integer(anchorId)});
        if (a.rows() == 0)
            throw ServerError(ServerError::Kind::Refused,
                              QStringLiteral("Карточку, после которой вставляется новая, "
                                             "удалили или убрали в Архив на другом компьютере. "
                                             "Карточка не вставлена."));
        return a.int64(0, 0);
    };
    qint64 ord = placeAfter(CardFileKind::Main, anchorOrd());
    if (ord == 0) {
        renumber(CardFileKind::Main);
        ord = placeAfter(CardFileKind::Main, anchorOrd());
    }
    ServerCard stored = insertCard(CardFileKind::Main, ord, card, key, "insert");
    commitChange(t, Change::Stored);
    return stored;
}

SaveResult ServerRegister::save(qint64 id, const TAnketa& card, int expectedVersion) {
    PgTransaction t(m_c);
    const PgResult r = m_c.exec(
        "UPDATE cards SET record = $2, uniq = $3, gurn = $4, version = version + 1, "
        "changed_on = $5 WHERE id = $1 AND version = $6 AND file = 0 "
        "RETURNING version, extract(epoch FROM changed_at)::float8, changed_by",
        {PgParam::integer(id), PgParam::bytes(recordBytes(card)), PgParam::integer(card.Klu4Form1),
         PgParam::integer(card.GurN), PgParam::text(m_machine), PgParam::integer(expectedVersion)});
    SaveResult result;
    if (r.rows() == 0) {
        t.commit();
        const std::optional<ServerCard> now = readCard(id);
        if (!now) {
            result.status = SaveResult::Status::Deleted;
            return result;
        }
        result.status = now->file == CardFileKind::Archive ? SaveResult::Status::Archived
                                                           : SaveResult::Status::Conflict;
        result.card = *now;
        return result;
    }
    result.card.id = id;
    result.card.version = r.int32(0, 0);
    result.card.stamp = {r.text(0, 2), m_machine,
                         QDateTime::fromMSecsSinceEpoch(qRound64(r.real(0, 1) * 1000), Qt::UTC)};
    result.card.record = card;
    writeSearchRow(m_c, id, CardFileKind::Main, card);
    notify(cardPayload(CardFileKind::Main, id, "save"));
    commitChange(t, Change::Stored);
    return result;
}

bool ServerRegister::stampForDeletion(qint64 id, CardFileKind file) {
    // The history's trigger takes who deleted a card from the row, as it does for a save: the
    // row is stamped first, with what the server records as this session's name (a change of
    // version, so that the stamping trigger takes it as a change and not a renumbering).
    const PgResult r = m_c.exec("UPDATE cards SET changed_by = $3, changed_on = $4, "
                                "changed_at = now(), version = version + 1 "
                                "WHERE id = $1 AND file = $2",
                                {PgParam::integer(id), PgParam::integer(static_cast<int>(file)),
                                 PgParam::text(m_user), PgParam::text(m_machine)});
    return r.affected() > 0;
}

bool ServerRegister::remove(qint64 id) {
    PgTransaction t(m_c);
    if (!stampForDeletion(id, CardFileKind::Main))
        return false;
    const PgResult r =
        m_c.exec("DELETE FROM cards WHERE id = $1 AND file = 0", {PgParam::integer(id)});
    if (r.affected() == 0)
        return false;
    notify(cardPayload(CardFileKind::Main, id, "delete"));
    commitChange(t, Change::Deleted);
    return true;
}

bool ServerRegister::archive(qint64 id) {
    PgTransaction t(m_c);
    lockForTransaction(m_c, kNumberLock);
    const qint64 ord = endOfOrder(CardFileKind::Archive, nullptr);
    const PgResult r =
        m_c.exec("UPDATE cards SET file = 1, ord = $2, version = version + 1, changed_on = $3 "
                 "WHERE id = $1 AND file = 0",
                 {PgParam::integer(id), PgParam::integer(ord), PgParam::text(m_machine)});
    if (r.affected() == 0)
        return false;
    m_c.exec("UPDATE card_search SET file = 1 WHERE card_id = $1", {PgParam::integer(id)});
    notify(cardPayload(CardFileKind::Archive, id, "archive"));
    commitChange(t, Change::Archived);
    return true;
}

bool ServerRegister::removeArchived(qint64 id) {
    PgTransaction t(m_c);
    if (!stampForDeletion(id, CardFileKind::Archive))
        return false;
    const PgResult r =
        m_c.exec("DELETE FROM cards WHERE id = $1 AND file = 1", {PgParam::integer(id)});
    if (r.affected() == 0)
        return false;
    notify(cardPayload(CardFileKind::Archive, id, "delete"));
    commitChange(t, Change::Deleted);
    return true;
}

} // namespace zelm
