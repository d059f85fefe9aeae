#include "stats/StatCounter.h"

#include "store/Cp1251.h"
#include "store/RecordSource.h"

#include <QCollator>
#include <QHash>
#include <algorithm>
#include <cmath>

namespace zelm {
namespace {

// Cards read at a time: about 220 KB, so that the block is still in the processor's cache
// when its cards are counted.
constexpr qint64 kBlockCards = 128;
// Periods longer than this (about 270 years) search their columns instead of a day table.
constexpr double kDayTableLimit = 100000;

struct Group {
    std::vector<qint64> counts;
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
    m_counts.resize(m_counts.size() + static_cast<size_t>(m_columns), 0);
    return id;
}

void StatCounter::add(const TAnketa* cards, qint64 n) {
    m_read += n;
    for (qint64 i = 0; i < n; ++i) {
        const TAnketa& card = cards[i];
        const int column = columnOf(card.DataMer);
        if (column < 0)
            continue;
        ++m_counted;
        const PStr<50>& value = card.*m_member;
        const int id = spellingId(std::string_view(value.data, static_cast<size_t>(value.size())));
        ++m_counts[static_cast<size_t>(id) * static_cast<size_t>(m_columns) +
                   static_cast<size_t>(column)];
    }
}

StatTable StatCounter::result() const {
    const bool split = m_query.columns != StatColumns::None && m_period.columnCount() > 0;
    const size_t columns = static_cast<size_t>(m_columns);
    std::vector<Spelling> spellings;
    QHash<QString, int> spellingOf;
    std::vector<Group> groups;
    QHash<QString, int> groupOf;
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
            groups.push_back({std::vector<qint64>(columns, 0), 0, -1});
        }
        qint64 total = 0;
        for (size_t c = 0; c < columns; ++c) {
            const qint64 v = m_counts[id * columns + c];
            groups[static_cast<size_t>(group)].counts[c] += v;
            total += v;
        }
        groups[static_cast<size_t>(group)].total += total;
        spellings[static_cast<size_t>(spelling)].total += total;
        spellings[static_cast<size_t>(spelling)].group = group;
    }
    // The spelling most cards use names the group; of equals, the one met first in the file.
    for (size_t s = 0; s < spellings.size(); ++s) {
        int& best = groups[static_cast<size_t>(spellings[s].group)].bestSpelling;
        if (best < 0 || spellings[s].total > spellings[static_cast<size_t>(best)].total)
            best = static_cast<int>(s);
    }

    StatTable table;
    table.query = m_query;
    table.cardsRead = m_read;
    table.cardsCounted = m_counted;
    if (split)
        table.columnTitles = m_period.titles;
    table.totals.name = totalRowTitle();
    table.totals.counts.assign(split ? columns : 0, 0);
    table.totals.total = m_counted;
    for (const Group& g : groups) {
        StatRow row;
        const QString& name = spellings[static_cast<size_t>(g.bestSpelling)].text;
        row.name = name.isEmpty() ? unnamedValueText() : name;
        if (split) {
            row.counts = g.counts;
            for (size_t c = 0; c < columns; ++c)
                table.totals.counts[c] += g.counts[c];
        }
        row.total = g.total;
        table.rows.push_back(std::move(row));
    }
    QCollator collator{QLocale(QLocale::Russian, QLocale::Russia)};
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::sort(table.rows.begin(), table.rows.end(), [&](const StatRow& a, const StatRow& b) {
        if (a.total != b.total)
            return a.total > b.total;
        const int byName = collator.compare(a.name, b.name);
        return byName != 0 ? byName < 0 : a.name < b.name;
    });
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
    out = counter.result();
    return true;
}

} // namespace zelm
