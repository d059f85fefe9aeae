#include "stats/StatQuery.h"
#include "stats/StatTableModel.h"
#include "stats/StatTableView.h"
#include "stats/StatistikaUi.h"
#include "widgets/ControlFactory.h"

#include <QChart>
#include <QChartView>
#include <QDialog>
#include <QGraphicsLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QSplitter>
#include <QVBoxLayout>

namespace zelm {

using controls::named;

namespace {

QComboBox* choice(const char* name, const QStringList& items, const QString& hint) {
    auto* c = named(new QComboBox, name, hint);
    c->addItems(items);
    c->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    return c;
}

QLabel* label(const QString& text, QWidget* buddy) {
    auto* l = new QLabel(text);
    l->setBuddy(buddy);
    return l;
}

} // namespace

StatistikaUi buildStatistikaUi(QDialog* window, StatTableModel* model) {
    StatistikaUi ui;
    window->setObjectName(QStringLiteral("TStatistika"));
    window->setWindowTitle(QStringLiteral("Статистика мероприятий"));

    ui.StatIstochnik =
        choice("StatIstochnik", statSourceCaptions(), QStringLiteral("Какую картотеку считать"));
    ui.StatStroki = choice("StatStroki", statFieldCaptions(),
                           QStringLiteral("По какому полю карточки строки таблицы"));
    ui.StatStolbcy = choice("StatStolbcy", statColumnCaptions(),
                            QStringLiteral("Как разбить период на столбцы"));
    ui.StatS = controls::datePicker("StatS", QStringLiteral("Первый день периода (дата ОРМ)"));
    ui.StatPo = controls::datePicker("StatPo", QStringLiteral("Последний день периода (дата ОРМ)"));
    const QSize buttonSize(84, 42);
    ui.StatExcel = controls::colourButton("StatExcel", {QStringLiteral("в Excel")},
                                          QStringLiteral("Таблицу в Excel"), QColor(192, 255, 192),
                                          buttonSize);
    ui.StatPechat = controls::colourButton("StatPechat", {QStringLiteral("Печать")},
                                           QStringLiteral("Напечатать таблицу"),
                                           QColor(255, 255, 192), buttonSize);

    auto* choices = new QHBoxLayout;
    choices->addWidget(label(QStringLiteral("Картотека:"), ui.StatIstochnik));
    choices->addWidget(ui.StatIstochnik);
    choices->addSpacing(8);
    choices->addWidget(label(QStringLiteral("Строки:"), ui.StatStroki));
    choices->addWidget(ui.StatStroki);
    choices->addSpacing(8);
    choices->addWidget(label(QStringLiteral("Столбцы:"), ui.StatStolbcy));
    choices->addWidget(ui.StatStolbcy);
    choices->addSpacing(8);
    choices->addWidget(label(QStringLiteral("Дата ОРМ с"), ui.StatS));
    choices->addWidget(ui.StatS);
    choices->addWidget(label(QStringLiteral("по"), ui.StatPo));
    choices->addWidget(ui.StatPo);
    choices->addStretch(1);
    choices->addWidget(ui.StatExcel);
    choices->addWidget(ui.StatPechat);

    ui.StatTab = named(new StatTableView, "StatTab", QStringLiteral("Число мероприятий"));
    ui.StatTab->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ui.StatTab->setSelectionBehavior(QAbstractItemView::SelectRows);
    ui.StatTab->setAlternatingRowColors(true);
    ui.StatTab->verticalHeader()->setDefaultSectionSize(ui.StatTab->fontMetrics().height() + 6);
    ui.StatTab->setModel(model);

    ui.chart = new QChart;
    ui.chart->setAnimationOptions(QChart::NoAnimation);
    ui.chart->layout()->setContentsMargins(0, 0, 0, 0);
    ui.StatGrafik = named(new QChartView(ui.chart), "StatGrafik");
    ui.StatGrafik->setRenderHint(QPainter::Antialiasing);
    ui.StatGrafik->setMinimumWidth(360);

    ui.StatRazdel = named(new QSplitter(Qt::Horizontal), "StatRazdel");
    ui.StatRazdel->addWidget(ui.StatTab);
    ui.StatRazdel->addWidget(ui.StatGrafik);
    ui.StatRazdel->setChildrenCollapsible(false);
    // A wider window widens the table, where the months are; the chart keeps its width.
    ui.StatRazdel->setStretchFactor(0, 1);
    ui.StatRazdel->setStretchFactor(1, 0);
    ui.StatRazdel->setSizes({640, 560});

    ui.StatSoobshchenie = named(new QLabel, "StatSoobshchenie");
    ui.StatSoobshchenie->setAlignment(Qt::AlignCenter);
    ui.StatSoobshchenie->setWordWrap(true);
    QFont big = ui.StatSoobshchenie->font();
    big.setPointSizeF(big.pointSizeF() * 1.3);
    ui.StatSoobshchenie->setFont(big);
    ui.StatStranicy = named(new QStackedWidget, "StatStranicy");
    ui.StatStranicy->addWidget(ui.StatRazdel);
    ui.StatStranicy->addWidget(ui.StatSoobshchenie);

    ui.StatItog = named(new QLabel, "StatItog");
    ui.StatProgress = named(new QProgressBar, "StatProgress");
    ui.StatProgress->setRange(0, 100);
    ui.StatProgress->setMaximumWidth(240);
    auto* status = new QHBoxLayout;
    status->addWidget(ui.StatItog, 1);
    status->addWidget(ui.StatProgress);

    auto* page = new QVBoxLayout(window);
    page->addLayout(choices);
    page->addWidget(ui.StatStranicy, 1);
    page->addLayout(status);
    window->resize(1240, 680);
    return ui;
}

} // namespace zelm
