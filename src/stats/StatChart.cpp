#include "stats/StatChart.h"

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QChart>
#include <QCursor>
#include <QHorizontalBarSeries>
#include <QHorizontalStackedBarSeries>
#include <QToolTip>
#include <QValueAxis>
#include <algorithm>

namespace zelm {
namespace {

// Beyond these the value labels and the legend would cover each other.
constexpr int kLabelledSeries = 12;
constexpr int kLegendSeries = 24;

QStringList reversed(QStringList list) {
    std::reverse(list.begin(), list.end());
    return list;
}

} // namespace

void showStatChart(QChart& chart, const StatChartData& data) {
    chart.removeAllSeries();
    for (QAbstractAxis* axis : chart.axes())
        chart.removeAxis(axis);
    if (data.categories.isEmpty())
        return;
    const bool stacked = data.seriesTitles.size() > 1;
    QAbstractBarSeries* series =
        stacked ? static_cast<QAbstractBarSeries*>(new QHorizontalStackedBarSeries)
                : new QHorizontalBarSeries;
    // A horizontal chart draws its first category at the bottom: the rows go in backwards so
    // that the largest stands at the top.
    qint64 largest = 0;
    std::vector<qint64> sums(static_cast<size_t>(data.categories.size()), 0);
    for (qsizetype s = 0; s < data.seriesTitles.size(); ++s) {
        auto* set = new QBarSet(data.seriesTitles[s]);
        const auto& values = data.values[static_cast<size_t>(s)];
        for (auto v = values.rbegin(); v != values.rend(); ++v)
            set->append(static_cast<qreal>(*v));
        for (size_t c = 0; c < values.size(); ++c)
            sums[c] += values[c];
        series->append(set);
    }
    for (qint64 sum : sums)
        largest = std::max(largest, sum);
    const bool labels = data.seriesTitles.size() <= kLabelledSeries;
    series->setLabelsVisible(labels);
    series->setLabelsFormat(QStringLiteral("@value"));
    series->setLabelsPosition(stacked ? QAbstractBarSeries::LabelsCenter
                                      : QAbstractBarSeries::LabelsInsideEnd);
    series->setBarWidth(0.7);
    const QStringList categories = reversed(data.categories);
    QObject::connect(series, &QAbstractBarSeries::hovered, series,
                     [categories](bool on, int index, QBarSet* set) {
                         if (!on) {
                             QToolTip::hideText();
                             return;
                         }
                         QToolTip::showText(QCursor::pos(),
                                            QStringLiteral("%1\n%2: %3")
                                                .arg(categories.value(index), set->label())
                                                .arg(set->at(index)));
                     });
    chart.addSeries(series);

    auto* names = new QBarCategoryAxis;
    names->append(categories);
    chart.addAxis(names, Qt::AlignLeft);
    series->attachAxis(names);
    auto* counts = new QValueAxis;
    counts->setLabelFormat(QStringLiteral("%d"));
    counts->setRange(0, static_cast<qreal>(std::max<qint64>(largest, 1)));
    // Small counts get a tick per unit; larger ones round ticks, never a fraction of a card.
    if (largest <= 10)
        counts->setTickCount(static_cast<int>(std::max<qint64>(largest, 1)) + 1);
    else
        counts->applyNiceNumbers();
    chart.addAxis(counts, Qt::AlignBottom);
    series->attachAxis(counts);
    chart.legend()->setVisible(stacked && data.seriesTitles.size() <= kLegendSeries);
    chart.legend()->setAlignment(Qt::AlignBottom);
}

} // namespace zelm
