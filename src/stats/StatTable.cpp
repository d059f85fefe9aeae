#include "stats/StatTable.h"

namespace zelm {

QString unnamedValueText() {
    return QStringLiteral("(не указано)");
}

QString totalColumnTitle() {
    return QStringLiteral("Всего");
}

QString totalRowTitle() {
    return QStringLiteral("Итого");
}

QString otherRowsTitle() {
    return QStringLiteral("Прочие");
}

QStringList statTitleRow(const StatTable& table) {
    return QStringList{statFieldCaption(table.query.field)} << table.columnTitles
                                                            << totalColumnTitle();
}

QStringList statTextRow(const StatRow& row) {
    QStringList cells{row.name};
    for (qint64 v : row.counts)
        cells << QString::number(v);
    cells << QString::number(row.total);
    return cells;
}

StatChartData statChartData(const StatTable& table, int top) {
    StatChartData chart;
    const size_t shown = std::min(table.rows.size(), static_cast<size_t>(std::max(0, top)));
    const bool rest = shown < table.rows.size();
    const bool split =
        !table.columnTitles.isEmpty() && table.columnTitles.size() <= kStatChartSeries;
    chart.seriesTitles = split ? table.columnTitles : QStringList{totalColumnTitle()};
    const size_t series = static_cast<size_t>(chart.seriesTitles.size());
    const size_t categories = shown + (rest ? 1 : 0);
    chart.values.assign(series, std::vector<qint64>(categories, 0));
    for (size_t r = 0; r < table.rows.size(); ++r) {
        const StatRow& row = table.rows[r];
        const size_t category = std::min(r, shown);
        if (r < shown)
            chart.categories << row.name;
        for (size_t s = 0; s < series; ++s)
            chart.values[s][category] += split ? row.counts[s] : row.total;
    }
    if (rest)
        chart.categories << otherRowsTitle();
    return chart;
}

} // namespace zelm
