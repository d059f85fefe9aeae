#include "stats/StatCounter.h"

#include "store/Cp1251.h"
#include "store/RecordSource.h"

#include <QCollator>
#include <QHash>
#include <algorithm>
#include <cmath>
#include <numeric>
#include <stdexcept>

namespace zelm {
namespace {

// Cards read at a time: about 220 KB, so that the block is still in the processor's cache
// when its cards are counted.
constexpr qint64 kBlockCards = 128;
// Periods longer than this (about 270 years) search their columns instead of a day table.
constexpr double kDayTableLimit = 100000;

QString displayName(const QString& text) {
    return text.isEmpty() ? unnamedValueText() : text;
}

struct Group {
    qint64 total = 0;
    int bestSpelling = -1;
};

struct Spelling {
    QString text;
    qint64 total = 0;
    int group = -1;
};

} // namespace

StatCounter::StatCounter(const StatQuery& query)
    : m_query(query), m_period(StatPeriod::of(query)), m_member(statFieldMember(query.field)),
      m_columns(std::max(1, m_period.columnCount())) {
    // A reversed period counts nothing (every card is still read); a table too wide to show is
    // not made at all.
    if (statColumnCount(query) > kStatMaxColumns)
        throw std::invalid_argument(statQueryProblem(query).toStdString());
    const double days = m_period.last - m_period.first + 1;
    if (days > 0 && days <= kDayTableLimit) {
        m_dayColumn.resize(static_cast<size_t>(days));
        for (size_t d = 0; d < m_dayColumn.size(); ++d)
            m_dayColumn[d] = m_period.columnOf(m_period.first + static_cast<double>(d));
    }
}

int StatCounter::columnOf(double dataMer) const {
    const double day = std::trunc(dataMer);
    if (!(day > 0)) // day 0 is a date never entered
        return -1;
    if (m_dayColumn.empty())
        return m_period.columnOf(day);
    if (!(day >= m_period.first && day <= m_period.last))
        return -1;
    return m_dayColumn[static_cast<size_t>(day - m_period.first)];
}

int StatCounter::spellingId(std::string_view stored) {
    const auto it = m_ids.find(stored);
    if (it != m_ids.end())
        return it->second;
    const int id = static_cast<int>(m_texts.size());
    m_texts.emplace_back(stored);
    m_ids.emplace(std::string_view(m_texts.back()), id);
    m_totals.push_back(0);
    return id;
}

void StatCounter::add(const TAnketa* cards, qint64 n) {
    m_read += n;
    for (qint64 i = 0; i < n; ++i) {
        const TAnketa& card = cards[i];
        const int column = columnOf(card.DataMer);
        if (column < 0)
            continue;
        const PStr<50>& value = card.*m_member;
        const int id = spellingId(std::string_view(value.data, static_cast<size_t>(value.size())));
        ++m_totals[static_cast<size_t>(id)];
        m_hits.push_back({id, column});
    }
}

StatTable StatCounter::result(const std::atomic<bool>* cancelled) const {
    auto stopped = [cancelled] { return cancelled && cancelled->load(std::memory_order_relaxed); };
    const bool split = m_query.columns != StatColumns::None && m_period.columnCount() > 0;
    const size_t columns = static_cast<size_t>(m_columns);
    std::vector<Spelling> spellings;
    QHash<QString, int> spellingOf;
    std::vector<Group> groups;
    QHash<QString, int> groupOf;
    std::vector<int> groupOfId(m_texts.size(), -1);
    for (size_t id = 0; id < m_texts.size(); ++id) {
        const std::string& stored = m_texts[id];
        const QString text =
            fromCp1251(stored.data(), static_cast<qsizetype>(stored.size())).trimmed();
        auto s = spellingOf.constFind(text);
        const int spelling = s != spellingOf.cend() ? *s : static_cast<int>(spellings.size());
        if (s == spellingOf.cend()) {
            spellingOf.insert(text, spelling);
            spellings.push_back({text, 0, -1});
        }
        const QString key = text.toLower();
        auto g = groupOf.constFind(key);
        const int group = g != groupOf.cend() ? *g : static_cast<int>(groups.size());
        if (g == groupOf.cend()) {
            groupOf.insert(key, group);
            groups.push_back({});
        }
        groupOfId[id] = group;
        groups[static_cast<size_t>(group)].total += m_totals[id];
        spellings[static_cast<size_t>(spelling)].total += m_totals[id];
        spellings[static_cast<size_t>(spelling)].group = group;
    }
    // The spelling most cards use names the group; of equals, the one met first in the file.
    for (size_t s = 0; s < spellings.size(); ++s) {
        int& best = groups[static_cast<size_t>(spellings[s].group)].bestSpelling;
        if (best < 0 || spellings[s].total > spellings[static_cast<size_t>(best)].total)
            best = static_cast<int>(s);
    }
    if (stopped())
        return {};
    auto nameOf = [&](int group) -> const QString& {
        return spellings[static_cast<size_t>(groups[static_cast<size_t>(group)].bestSpelling)].text;
    };

    // Only the rows shown are put in order; the rest is «Прочие» whatever its order.
    QCollator collator{QLocale(QLocale::Russian, QLocale::Russia)};
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::vector<int> order(groups.size());
    std::iota(order.begin(), order.end(), 0);
    const size_t shown = std::min(order.size(), static_cast<size_t>(kStatTableRows));
    std::partial_sort(order.begin(), order.begin() + static_cast<std::ptrdiff_t>(shown),
                      order.end(), [&](int a, int b) {
                          const qint64 ta = groups[static_cast<size_t>(a)].total;
                          const qint64 tb = groups[static_cast<size_t>(b)].total;
                          if (ta != tb)
                              return ta > tb;
                          const QString na = displayName(nameOf(a));
                          const QString nb = displayName(nameOf(b));
                          const int byName = collator.compare(na, nb);
                          return byName != 0 ? byName < 0 : na < nb;
                      });
    if (stopped())
        return {};
    const bool rest = shown < order.size();
    std::vector<size_t> rowOfGroup(groups.size(), shown);
    for (size_t r = 0; r < shown; ++r)
        rowOfGroup[static_cast<size_t>(order[r])] = r;
    const size_t rowCount = shown + (rest ? 1 : 0);
    std::vector<qint64> counts(rowCount * columns, 0);
    for (const Hit& hit : m_hits) {
        const size_t row =
            rowOfGroup[static_cast<size_t>(groupOfId[static_cast<size_t>(hit.spelling)])];
        ++counts[row * columns + static_cast<size_t>(hit.column)];
    }

    StatTable table;
    table.query = m_query;
    table.cardsRead = m_read;
    table.cardsCounted = static_cast<qint64>(m_hits.size());
    table.values = static_cast<qint64>(groups.size());
    table.otherValues = static_cast<qint64>(groups.size() - shown);
    if (split)
        table.columnTitles = m_period.titles;
    table.totals.name = totalRowTitle();
    table.totals.counts.assign(split ? columns : 0, 0);
    table.totals.total = table.cardsCounted;
    for (size_t r = 0; r < rowCount; ++r) {
        StatRow row;
        row.name = r < shown ? displayName(nameOf(order[r])) : otherRowsTitle();
        const auto first = counts.begin() + static_cast<std::ptrdiff_t>(r * columns);
        row.total = std::accumulate(first, first + static_cast<std::ptrdiff_t>(columns), qint64(0));
        if (split) {
            row.counts.assign(first, first + static_cast<std::ptrdiff_t>(columns));
            for (size_t c = 0; c < columns; ++c)
                table.totals.counts[c] += row.counts[c];
        }
        table.rows.push_back(std::move(row));
    }
    return table;
}

bool countCards(const RecordSource& file, const StatQuery& query, StatTable& out,
                const StatProgress& progress, const std::atomic<bool>* cancelled) {
    StatCounter counter(query);
    const qint64 total = file.count();
    std::vector<TAnketa> block(static_cast<size_t>(std::min(total, kBlockCards)));
    int lastPercent = -1;
    for (qint64 first = 0; first < total; first += kBlockCards) {
        if (cancelled && cancelled->load(std::memory_order_relaxed))
            return false;
        const qint64 n = std::min(kBlockCards, total - first);
        file.readRange(first, n, block.data());
        counter.add(block.data(), n);
        const int percent = static_cast<int>((first + n) * 100 / total);
        if (progress && percent != lastPercent) {
            lastPercent = percent;
            progress(percent);
        }
    }
    if (cancelled && cancelled->load(std::memory_order_relaxed))
        return false;
    StatTable table = counter.result(cancelled);
    if (cancelled && cancelled->load(std::memory_order_relaxed))
        return false;
    out = std::move(table);
    return true;
}

} // namespace zelm
