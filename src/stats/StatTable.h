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

struct StatTable {
    StatQuery query;
    QStringList columnTitles;  // without «Всего»; empty when the period is not split
    std::vector<StatRow> rows; // by falling total, then by name
    StatRow totals;            // «Итого»
    qint64 cardsRead = 0;
    qint64 cardsCounted = 0; // cards whose date lies in the period

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

// The chart's bars: the first `top` rows by name and one «Прочие» bar for the rest (only when
// there is a rest), each with its counts per column; a single series «Всего» when the period is
// not split.
struct StatChartData {
    QStringList categories;
    QStringList seriesTitles;
    std::vector<std::vector<qint64>> values; // values[series][category]
};
StatChartData statChartData(const StatTable& table, int top = 12);

} // namespace zelm

Q_DECLARE_METATYPE(zelm::StatTable)
