#pragma once
// The chart beside the table: a horizontal bar per row (the first twelve and «Прочие»), split
// into the period's columns when there are at most twelve (each name then followed by its
// total), the largest at the top.
#include "stats/StatTable.h"

class QChart;

namespace zelm {

// Replaces whatever `chart` showed by the bars of `data`. The names are cut to `labelWidth`
// pixels, their full text under the mouse.
void showStatChart(QChart& chart, const StatChartData& data, int labelWidth = 200);

// Where the value axis ends: a round number just above the largest bar (1 003 gives 1 100),
// and the step of its labelled ticks.
struct StatAxis {
    qint64 end = 1;
    qint64 step = 1;
};
StatAxis statAxis(qint64 largest);

} // namespace zelm
