#pragma once
// Counting measures over a card file: cards are fed a block at a time, values are grouped
// ignoring case and the blanks at both ends (ё and е stay apart, as written), and each group
// is shown under its most frequent spelling.
#include "stats/StatTable.h"

#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace zelm {

class CardFile;
class RecordSource;

// Memory: each distinct stored text once with its total, eight bytes per counted card, and the
// table's own rows by its columns; never distinct values by columns, which a register of
// misspelt officers would make large.
class StatCounter {
public:
    // Throws std::invalid_argument (the Russian reason) for a period of more than
    // kStatMaxColumns columns.
    explicit StatCounter(const StatQuery& query);

    void add(const TAnketa* cards, qint64 n);
    // Empty when `cancelled` turns true on the way.
    StatTable result(const std::atomic<bool>* cancelled = nullptr) const;

private:
    int spellingId(std::string_view stored);
    int columnOf(double dataMer) const;

    struct Hit {
        std::int32_t spelling;
        std::int32_t column;
    };

    StatQuery m_query;
    StatPeriod m_period;
    PStr<50> TAnketa::*m_member;
    int m_columns;
    // The column of each day of the period, looked up instead of searched for every card.
    std::vector<std::int32_t> m_dayColumn;
    // Each distinct stored text once; the map's keys view into the deque, which never moves them.
    std::deque<std::string> m_texts;
    std::unordered_map<std::string_view, int> m_ids;
    std::vector<qint64> m_totals; // per spelling
    std::vector<Hit> m_hits;      // per counted card
    qint64 m_read = 0;
};

// Percent of the file read, 0..100.
using StatProgress = std::function<void(int percent)>;

// Counts every card of `file`, reading it a block at a time without moving its position.
// Returns false, leaving `out` alone, when `cancelled` turns true on the way. FileError when
// the file cannot be read; std::invalid_argument for a period split into too many columns.
bool countCards(const RecordSource& file, const StatQuery& query, StatTable& out,
                const StatProgress& progress = {}, const std::atomic<bool>* cancelled = nullptr);

} // namespace zelm
