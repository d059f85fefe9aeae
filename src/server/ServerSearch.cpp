// Finding cards on the server: its index of each card's words picks the candidates, and only
// they travel to the workstation, whose own matcher has the last word.
#include "server/CardSql.h"
#include "server/FoldedText.h"
#include "server/ServerError.h"
#include "server/ServerRegister.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <utility>

namespace zelm {

QByteArray ServerRegister::searchSql(const char* head, CardFileKind file, const CardFilter& filter,
                                     std::vector<PgParam>& params) {
    QByteArray sql = QByteArray(head) + " WHERE s.file = $1";
    params = {PgParam::integer(static_cast<int>(file))};
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
        sql += QByteArray(" AND trunc(s.") + column + ") BETWEEN $" + next(PgParam::real(d.first)) +
               " AND $" + next(PgParam::real(d.last));
    }
    std::vector<std::int32_t> keys;
    for (const TextCondition& t : filter.texts) {
        const int field = textFieldNumber(t.offset);
        if (field == 0 || t.needle.isEmpty())
            continue;
        const std::vector<std::int32_t> more = searchKeys(field, t.needle);
        keys.insert(keys.end(), more.begin(), more.end());
        sql += " AND position($" + next(PgParam::bytes(t.needle)) + "::bytea IN s.texts[$" +
               next(PgParam::integer(field)) + "::int]) > 0";
    }
    // Needles of three bytes or more let the key index pick the candidates; shorter ones leave
    // the server to read every card.
    if (!keys.empty())
        sql += " AND s.keys @> $" + next(PgParam::bytes(keysArray(keys))) + "::integer[]";
    return sql;
}

std::vector<qint64> ServerRegister::searchCandidates(CardFileKind file, const CardFilter& filter) {
    std::vector<PgParam> params;
    const QByteArray sql = searchSql("SELECT s.card_id FROM card_search s", file, filter, params);
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
    // Only what the Working card file needs, in binary, in one statement: the record (the key
    // and unique number name a damaged one), fetched through the key's index for each card
    // the search rows let through, and put in the register's order here: a sort on the server
    // would spill the records to disk.
    std::vector<PgParam> params;
    const QByteArray sql =
        searchSql("SELECT c.record, c.uniq, c.id, c.ord FROM card_search s JOIN cards c ON c.id "
                  "= s.card_id",
                  file, filter, params);
    // Taken row by row as the server sends them, while it looks for the next.
    struct Found {
        qint64 ord;
        TAnketa card;
    };
    std::vector<Found> found;
    m_c.eachRow(sql.constData(), params, [&](const PgResult& r) {
        if (r.length(0, 0) != int(sizeof(TAnketa)))
            throw ServerError(
                ServerError::Kind::Refused,
                damagedCardMessage(serverName(), r.int32(0, 1), r.int64(0, 2), r.length(0, 0)));
        found.push_back({r.int64(0, 3), TAnketa::zeroed()});
        std::memcpy(&found.back().card, r.data(0, 0), sizeof(TAnketa));
    });
    // The order is put right by the keys alone: the records stay where they are.
    std::vector<std::pair<qint64, size_t>> order(found.size());
    for (size_t i = 0; i < found.size(); ++i)
        order[i] = {found[i].ord, i};
    std::sort(order.begin(), order.end());
    for (const auto& [ord, i] : order)
        each(found[i].card);
}

} // namespace zelm
