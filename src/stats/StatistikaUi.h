#pragma once
// The controls of the statistics window, each named after what it holds.
#include "stats/StatTableView.h"
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QProgressBar>
#include <QSplitter>
#include <QStackedWidget>

class QChart;
class QChartView;
class QDialog;

namespace zelm {

class TdxfColorButton;
class StatTableModel;

struct StatistikaUi {
    QComboBox* StatIstochnik = nullptr;
    QComboBox* StatStroki = nullptr;
    QComboBox* StatStolbcy = nullptr;
    QDateEdit* StatS = nullptr;
    QDateEdit* StatPo = nullptr;
    TdxfColorButton* StatExcel = nullptr;
    TdxfColorButton* StatPechat = nullptr;
    StatTableView* StatTab = nullptr;
    QSplitter* StatRazdel = nullptr; // the table and the chart; its place kept for the run
    // The table and the chart, or in their place the reason there is nothing to show.
    QStackedWidget* StatStranicy = nullptr;
    QLabel* StatSoobshchenie = nullptr;
    QChartView* StatGrafik = nullptr;
    QChart* chart = nullptr;
    QLabel* StatItog = nullptr;
    QProgressBar* StatProgress = nullptr;
};

// Builds the window's controls into `window`; the table shows `model`.
StatistikaUi buildStatistikaUi(QDialog* window, StatTableModel* model);

} // namespace zelm
