#pragma once
// The chart beside the table: a horizontal bar per row (the first twelve and «Прочие»), split
// into the period's columns when there are any (each name then followed by its total), the
// largest at the top.
#include "stats/StatTable.h"

class QChart;

namespace zelm {

// Replaces whatever `chart` showed by the bars of `data`.
void showStatChart(QChart& chart, const StatChartData& data);

} // namespace zelm
