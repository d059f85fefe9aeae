// Finding cards on the server: its index of each card's words picks the candidates, and only
// they travel to the workstation, whose own matcher has the last word.
#include "server/CardSql.h"
#include "server/FoldedText.h"
#include "server/ServerError.h"
#include "server/ServerRegister.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

namespace zelm {

std::vector<qint64> ServerRegister::searchCandidates(CardFileKind file, const CardFilter& filter) {
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
    const PgResult ids = m_c.exec(sql.constData(), params);
    std::vector<qint64> found;
    found.reserve(static_cast<size_t>(ids.rows()));
    for (int i = 0; i < ids.rows(); ++i)
        found.push_back(ids.int64(i, 0));
    return found;
}

std::vector<ServerCard> ServerRegister::findCards(CardFileKind file, const CardFilter& filter) {
    const std::vector<qint64> found = searchCandidates(file, filter);
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

void ServerRegister::findRecords(CardFileKind file, const CardFilter& filter,
                                 const std::function<void(const TAnketa&)>& each) {
    const std::vector<qint64> found = searchCandidates(file, filter);
    if (found.empty())
        return;
    // Only what the Working card file needs, in binary: the record (the key and unique number
    // name a damaged one). Picked through the key's index page by page, and put in the
    // register's order here: a sort on the server would spill the records to disk.
    const PgResult r =
        m_c.exec("SELECT record, uniq, id, ord FROM cards WHERE id = ANY($1::bigint[])",
                 {PgParam{idArray(found), false}});
    std::vector<int> rows(static_cast<size_t>(r.rows()));
    std::vector<qint64> ords(rows.size());
    for (int i = 0; i < r.rows(); ++i) {
        rows[static_cast<size_t>(i)] = i;
        ords[static_cast<size_t>(i)] = r.int64(i, 3);
    }
    std::sort(rows.begin(), rows.end(), [&](int x, int y) {
        return ords[static_cast<size_t>(x)] < ords[static_cast<size_t>(y)];
    });
    TAnketa card;
    for (const int i : rows) {
        if (r.length(i, 0) != int(sizeof card))
            throw ServerError(
                ServerError::Kind::Refused,
                damagedCardMessage(serverName(), r.int32(i, 1), r.int64(i, 2), r.length(i, 0)));
        std::memcpy(&card, r.data(i, 0), sizeof card);
        each(card);
    }
}

} // namespace zelm
