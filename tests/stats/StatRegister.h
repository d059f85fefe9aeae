#pragma once
// A register for counting: realistic values spelt the ways people type them (case, blanks at
// the ends, ё and е, empty fields) and dates around a period; and a count of it made here
// independently of the program's counter.
#include "stats/StatQuery.h"
#include "stats/StatTable.h"
#include "store/Records.h"

#include <QDate>
#include <map>
#include <vector>

namespace zelm::testing {

// `n` cards with dates spread from `from` - 20 days to `to` + 20 days (a few with no date).
std::vector<TAnketa> statRegister(int n, QDate from, QDate to, unsigned seed);

// A card with the given date (a null date: none stored) and the same text in all six fields.
TAnketa statCard(const QDate& date, const QString& value);

struct ExpectedRow {
    std::vector<qint64> counts; // per column; a single column when not split
    qint64 total = 0;
    bool operator==(const ExpectedRow&) const = default;
};
using ExpectedTable = std::map<QString, ExpectedRow>; // by the name shown

ExpectedTable countByHand(const std::vector<TAnketa>& cards, const StatQuery& query);
// The same taken from a table, for comparing.
ExpectedTable asExpected(const StatTable& table);

// The choices of the window as a query, the source left as it is by default.
inline StatQuery statQuery(StatField field, StatColumns columns, QDate from, QDate to) {
    StatQuery q;
    q.field = field;
    q.columns = columns;
    q.from = from;
    q.to = to;
    return q;
}

} // namespace zelm::testing
