#pragma once
// The result of a count: a row per value of the chosen field, a column per part of the period,
// the totals, and the chart's share of it.
#include "stats/StatQuery.h"

#include <QMetaType>
#include <QString>
#include <QStringList>
#include <vector>

namespace zelm {

struct StatRow {
    QString name;               // the value as most cards spell it, or «(не указано)»
    std::vector<qint64> counts; // one per column; empty when the period is not split
    qint64 total = 0;
};

// Values shown as rows of their own; the rest of a long list (officers spelt a thousand ways)
// is one row «Прочие» at the end.
inline constexpr int kStatTableRows = 100;

struct StatTable {
    StatQuery query;
    QStringList columnTitles; // without «Всего»; empty when the period is not split
    // By falling total, then by name; «Прочие» last when there are more values than rows.
    std::vector<StatRow> rows;
    StatRow totals; // «Итого»
    qint64 cardsRead = 0;
    qint64 cardsCounted = 0; // cards whose date lies in the period
    qint64 values = 0;       // distinct values counted
    qint64 otherValues = 0;  // of them, those that make up «Прочие»

    int columnCount() const { return static_cast<int>(columnTitles.size()); }
};

QString unnamedValueText(); // «(не указано)»
QString totalColumnTitle(); // «Всего»
QString totalRowTitle();    // «Итого»
QString otherRowsTitle();   // «Прочие»

// The table as a grid of texts: the title row (the field's caption, the columns, «Всего»),
// the rows, then «Итого».
QStringList statTitleRow(const StatTable& table);
QStringList statTextRow(const StatRow& row);

// Columns the chart splits its bars into; a longer period shows its totals only, since more
// parts could be neither told apart by colour nor listed in a legend.
inline constexpr int kStatChartSeries = 12;

// The chart's bars: the first `top` rows by name and one «Прочие» bar for the rest (only when
// there is a rest), each with its counts per column; a single series «Всего» when the period is
// not split or has more than kStatChartSeries columns.
struct StatChartData {
    QStringList categories;
    QStringList seriesTitles;
    std::vector<std::vector<qint64>> values; // values[series][category]
};
StatChartData statChartData(const StatTable& table, int top = 12);

} // namespace zelm

Q_DECLARE_METATYPE(zelm::StatTable)
