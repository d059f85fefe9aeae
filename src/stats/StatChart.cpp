#include "stats/StatChart.h"

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QChart>
#include <QCursor>
#include <QFont>
#include <QFontMetrics>
#include <QHorizontalBarSeries>
#include <QHorizontalStackedBarSeries>
#include <QLegend>
#include <QToolTip>
#include <QValueAxis>
#include <algorithm>

namespace zelm {
namespace {

// Twelve colours told apart at a glance and in print (a qualitative palette): neighbouring
// months never share a hue.
const QRgb kSeriesColours[kStatChartSeries] = {
    0x1f77b4, 0xff7f0e, 0x2ca02c, 0xd62728, 0x9467bd, 0x8c564b,
    0xe377c2, 0x7f7f7f, 0xbcbd22, 0x17becf, 0x393b79, 0xf7b6d2,
};

// The chart would cut long names at its own measure, the total with them; so a long name is
// cut here to the room given, keeping the total. Names must stay distinct: a cut that meets an
// earlier label is not made.
QString categoryLabel(const QString& name, const QString& suffix, const QFontMetrics& metrics,
                      int width, const QStringList& earlier) {
    const int room = std::max(40, width - metrics.horizontalAdvance(suffix));
    const QString cut = metrics.elidedText(name, Qt::ElideRight, room) + suffix;
    return earlier.contains(cut) ? name + suffix : cut;
}

QStringList reversed(QStringList list) {
    std::reverse(list.begin(), list.end());
    return list;
}

} // namespace

StatAxis statAxis(qint64 largest) {
    StatAxis a;
    if (largest < 10) {
        a.end = std::max<qint64>(largest, 0) + 1;
    } else {
        // Two significant digits: 1 003 → 1 100, 147 → 150, 999 → 1 000; two-digit values by
        // fives.
        qint64 unit = largest < 100 ? 5 : 1;
        while (largest / unit >= 100)
            unit *= 10;
        a.end = (largest / unit + 1) * unit;
    }
    // About five labelled steps of 1, 2 or 5 times a power of ten.
    for (qint64 power = 1;; power *= 10) {
        for (qint64 m : {1, 2, 5}) {
            if (m * power * 6 >= a.end) {
                a.step = m * power;
                return a;
            }
        }
    }
}

void showStatChart(QChart& chart, const StatChartData& data, int labelWidth) {
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
        if (stacked)
            set->setColor(QColor::fromRgb(kSeriesColours[s % kStatChartSeries]));
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

    auto* names = new QBarCategoryAxis;
    QFont small = names->labelsFont();
    small.setPointSizeF(small.pointSizeF() * 0.9);
    const QFontMetrics metrics(small);
    QStringList categories;
    for (qsizetype c = 0; c < data.categories.size(); ++c) {
        const QString suffix =
            stacked ? QStringLiteral(" (%1)").arg(sums[static_cast<size_t>(c)]) : QString();
        categories << categoryLabel(data.categories[c], suffix, metrics, labelWidth, categories);
    }
    categories = reversed(categories);
    const QStringList fullNames = reversed(data.categories);
    QObject::connect(
        series, &QAbstractBarSeries::hovered, series,
        [fullNames, stacked](bool on, int index, QBarSet* set) {
            if (!on) {
                QToolTip::hideText();
                return;
            }
            const QString value = QString::number(set->at(index));
            QToolTip::showText(
                QCursor::pos(),
                stacked
                    ? QStringLiteral("%1\n%2: %3").arg(fullNames.value(index), set->label(), value)
                    : QStringLiteral("%1: %2").arg(fullNames.value(index), value));
        });
    chart.addSeries(series);

    names->append(categories);
    chart.addAxis(names, Qt::AlignLeft);
    series->attachAxis(names);
    auto* counts = new QValueAxis;
    counts->setLabelFormat(QStringLiteral("%d"));
    const StatAxis axis = statAxis(largest);
    counts->setRange(0, static_cast<qreal>(axis.end));
    counts->setTickType(QValueAxis::TicksDynamic);
    counts->setTickAnchor(0);
    counts->setTickInterval(static_cast<qreal>(axis.step));
    chart.addAxis(counts, Qt::AlignBottom);
    series->attachAxis(counts);
    names->setLabelsFont(small);
    counts->setLabelsFont(small);
    chart.legend()->setFont(small);
    chart.legend()->setVisible(stacked);
    // Many parts are listed down the right side, where their titles need not be cut.
    chart.legend()->setAlignment(data.seriesTitles.size() > 4 ? Qt::AlignRight : Qt::AlignBottom);
}

} // namespace zelm
