#include "stats/StatChart.h"

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QChart>
#include <QCursor>
#include <QFont>
#include <QHorizontalBarSeries>
#include <QHorizontalStackedBarSeries>
#include <QLegend>
#include <QToolTip>
#include <QValueAxis>
#include <algorithm>

namespace zelm {
namespace {

// Beyond this the legend would cover the bars.
constexpr int kLegendSeries = 24;
constexpr int kLabelCharacters = 20;

// The chart cuts long names at its own measure, the total with them; so a long name is cut
// here, keeping the total. Names must stay distinct: a cut that meets an earlier label is not
// made.
QString categoryLabel(const QString& name, bool withTotal, qint64 total,
                      const QStringList& earlier) {
    const QString suffix = withTotal ? QStringLiteral(" (%1)").arg(total) : QString();
    QString label = name + suffix;
    if (name.size() > kLabelCharacters) {
        const QString cut = name.left(kLabelCharacters - 1).trimmed() + QChar(0x2026) + suffix;
        if (!earlier.contains(cut))
            label = cut;
    }
    return label;
}

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
    // One bar's value is written on it; split bars would get numbers too small to read, so
    // their totals go beside the names and each part's number shows under the mouse.
    series->setLabelsVisible(!stacked);
    series->setLabelsFormat(QStringLiteral("@value"));
    series->setLabelsPosition(QAbstractBarSeries::LabelsInsideEnd);
    series->setBarWidth(0.7);
    QStringList categories;
    for (qsizetype c = 0; c < data.categories.size(); ++c)
        categories << categoryLabel(data.categories[c], stacked, sums[static_cast<size_t>(c)],
                                    categories);
    categories = reversed(categories);
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
    QFont small = names->labelsFont();
    small.setPointSizeF(small.pointSizeF() * 0.9);
    names->setLabelsFont(small);
    counts->setLabelsFont(small);
    chart.legend()->setFont(small);
    chart.legend()->setVisible(stacked && data.seriesTitles.size() <= kLegendSeries);
    // Many parts are listed down the right side, where their titles need not be cut.
    chart.legend()->setAlignment(data.seriesTitles.size() > 4 ? Qt::AlignRight : Qt::AlignBottom);
}

} // namespace zelm
