// The statistics window over periods it cannot show, files with nothing to count and a table
// wider than its room: it says why, returns at once, and keeps the names and «Всего» in view.
#include "StatRegister.h"
#include "common/QStringPrinter.h"
#include "common/TestInstall.h"
#include "session/CardSession.h"
#include "stats/StatChart.h"
#include "stats/TStatistika.h"
#include "store/DayCount.h"
#include "store/RecordSource.h"
#include "widgets/TdxfColorButton.h"

#include <QAbstractBarSeries>
#include <QBarCategoryAxis>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QLegend>
#include <QScrollBar>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <QValueAxis>
#include <gtest/gtest.h>

using namespace zelm;
using namespace zelm::testing;

namespace {

const QDate kToday(2026, 7, 20);

// A register far away: each block of cards takes a while to arrive.
class SlowSource : public RecordSource {
public:
    explicit SlowSource(std::vector<TAnketa> cards) : m_cards(std::move(cards)) {}
    qint64 count() const override { return 200 * static_cast<qint64>(m_cards.size()); }
    void readRange(qint64 first, qint64 n, void* out) const override {
        QThread::msleep(20);
        auto* cards = static_cast<TAnketa*>(out);
        for (qint64 i = 0; i < n; ++i)
            cards[i] = m_cards[static_cast<size_t>((first + i) % qint64(m_cards.size()))];
    }

private:
    std::vector<TAnketa> m_cards;
};

class StatWindow : public ::testing::Test {
protected:
    void SetUp() override {
        setClockForTesting([] { return QDateTime(kToday, QTime(10, 0)); });
        t.makeFolders();
        main = statRegister(2000, QDate(2024, 1, 1), kToday, 21);
        t.writeCards("Baza/Anketi.dat", main);
        w = t.start().statistika();
        w->resize(1000, 600);
        w->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(w));
    }
    void TearDown() override { setClockForTesting({}); }

    void period(QDate from, QDate to, int columns) {
        w->ui().StatStolbcy->setCurrentIndex(columns);
        w->ui().StatS->setDate(from);
        w->ui().StatPo->setDate(to);
        w->waitForCount();
    }
    QString message() const {
        return w->ui().StatStranicy->currentWidget() == w->ui().StatSoobshchenie
                   ? w->ui().StatSoobshchenie->text()
                   : QString();
    }

    TestInstall t;
    std::vector<TAnketa> main;
    TStatistika* w = nullptr;
};

} // namespace

TEST_F(StatWindow, TheWidestPeriodByMonthsIsRefusedAndClosingReturnsAtOnce) {
    QElapsedTimer timer;
    timer.start();
    period(QDate(1899, 12, 30), QDate(9999, 12, 31), 0);
    EXPECT_LT(timer.elapsed(), 1000);
    EXPECT_TRUE(message().contains(QStringLiteral("слишком длинный"))) << message().toStdString();
    EXPECT_TRUE(message().contains(QStringLiteral("«Без разбивки»")));
    EXPECT_EQ(w->ui().StatTab->model()->columnCount(), 0);
    EXPECT_TRUE(w->ui().chart->series().isEmpty());
    EXPECT_FALSE(w->ui().StatPechat->isEnabled());
    EXPECT_FALSE(w->ui().StatExcel->isEnabled());
    timer.restart();
    w->close();
    EXPECT_LT(timer.elapsed(), 500);

    // Two centuries by years are shown; the chart then draws the totals only, one legend entry
    // at most.
    w->show();
    period(QDate(1900, 1, 1), QDate(2100, 12, 31), 2);
    EXPECT_TRUE(message().isEmpty()) << message().toStdString();
    EXPECT_EQ(w->table().columnCount(), 201);
    ASSERT_EQ(w->ui().chart->series().size(), 1);
    EXPECT_LE(w->ui().chart->legend()->markers().size(), 13);
    timer.restart();
    w->close();
    EXPECT_LT(timer.elapsed(), 500);
}

TEST_F(StatWindow, ClosingDuringACountReturnsAtOnce) {
    auto source = std::make_shared<SlowSource>(main);
    w->readRegisterWith([source](StatSource) { return source; });
    w->recount();
    QTest::qWait(100);
    ASSERT_TRUE(w->counting());
    QElapsedTimer timer;
    timer.start();
    w->close();
    EXPECT_LT(timer.elapsed(), 500);
    EXPECT_FALSE(w->counting());
}

TEST_F(StatWindow, NothingToShowSaysWhy) {
    period(QDate(2026, 3, 1), QDate(2026, 2, 1), 0);
    EXPECT_TRUE(message().startsWith(QStringLiteral("Период задан наоборот")))
        << message().toStdString();
    EXPECT_FALSE(w->ui().StatPechat->isEnabled());

    period(QDate(2026, 1, 1), QDate(2026, 3, 31), 0);
    EXPECT_TRUE(message().isEmpty());
    w->ui().StatIstochnik->setCurrentIndex(1); // the Working card file starts every run empty
    w->waitForCount();
    EXPECT_EQ(message(), QStringLiteral("В Рабочей картотеке нет карточек."));
    w->ui().StatIstochnik->setCurrentIndex(2);
    w->waitForCount();
    EXPECT_EQ(message(), QStringLiteral("В Архиве нет карточек."));

    w->ui().StatIstochnik->setCurrentIndex(0);
    period(QDate(1990, 1, 1), QDate(1990, 12, 31), 0);
    EXPECT_TRUE(message().startsWith(QStringLiteral("За период нет карточек с датой мероприятия")))
        << message().toStdString();
    EXPECT_EQ(w->ui().StatTab->model()->rowCount(), 0);
    EXPECT_FALSE(w->ui().StatExcel->isEnabled());

    period(QDate(2026, 1, 1), QDate(2026, 3, 31), 0);
    EXPECT_TRUE(message().isEmpty());
    EXPECT_TRUE(w->ui().StatPechat->isEnabled());
}

TEST_F(StatWindow, NamesAndTotalsStayInViewWhileTheMonthsScroll) {
    period(QDate(2024, 1, 1), QDate(2026, 6, 30), 0); // thirty months: wider than the table
    StatTableView* table = w->ui().StatTab;
    QScrollBar* across = table->horizontalScrollBar();
    ASSERT_GT(across->maximum(), 0);
    across->setValue(across->maximum());
    table->verticalScrollBar()->setValue(table->verticalScrollBar()->maximum());

    // A recount (another choice of rows) starts at the first row and month again.
    w->ui().StatStroki->setCurrentIndex(4);
    w->waitForCount();
    QApplication::processEvents();
    EXPECT_EQ(across->value(), 0);
    EXPECT_EQ(table->verticalScrollBar()->value(), 0);

    across->setValue(across->maximum() / 2);
    QApplication::processEvents();
    QTableView* names = table->namesView();
    QTableView* totals = table->totalsView();
    ASSERT_TRUE(names->isVisible());
    ASSERT_TRUE(totals->isVisible());
    const int last = table->model()->columnCount() - 1;
    // Over the left and the right edge of the table, with the names and «Всего» of its rows.
    EXPECT_EQ(names->geometry().left(), table->viewport()->geometry().left());
    EXPECT_EQ(totals->geometry().right(), table->viewport()->geometry().right());
    EXPECT_EQ(names->horizontalHeader()->visualIndex(0), 0);
    EXPECT_FALSE(names->isColumnHidden(0));
    EXPECT_FALSE(totals->isColumnHidden(last));
    EXPECT_EQ(totals->model()->headerData(last, Qt::Horizontal).toString(),
              QStringLiteral("Всего"));
    EXPECT_EQ(names->indexAt(QPoint(5, 5)).data().toString(), w->table().rows[0].name);
    EXPECT_EQ(totals->indexAt(QPoint(5, 5)).data().toString(),
              QString::number(w->table().rows[0].total));
    // Scrolled down, the frozen columns follow the rows.
    table->verticalScrollBar()->setValue(table->verticalScrollBar()->maximum());
    QApplication::processEvents();
    EXPECT_EQ(names->verticalScrollBar()->value(), table->verticalScrollBar()->value());
    EXPECT_EQ(totals->verticalScrollBar()->value(), table->verticalScrollBar()->value());

    // A wider window widens the table, not the chart; the split stays where it was put.
    const int chartWidth = w->ui().StatGrafik->width();
    const int tableWidth = table->width();
    const int windowWidth = w->width();
    w->resize(windowWidth + 400, 600);
    QApplication::processEvents();
    EXPECT_EQ(w->ui().StatGrafik->width(), chartWidth);
    EXPECT_EQ(table->width(), tableWidth + 400);
    w->ui().StatRazdel->setSizes({300, 1000});
    const QList<int> sizes = w->ui().StatRazdel->sizes();
    w->close();
    w->show();
    w->recount();
    w->waitForCount();
    EXPECT_EQ(w->ui().StatRazdel->sizes(), sizes);
}

TEST_F(StatWindow, TheChartSplitsUpToTwelveMonthsInDistinctColoursAndTotalsBeyond) {
    period(QDate(2025, 1, 1), QDate(2025, 12, 31), 0);
    QChart* chart = w->ui().chart;
    ASSERT_EQ(chart->series().size(), 1);
    auto* bars = qobject_cast<QAbstractBarSeries*>(chart->series().first());
    ASSERT_NE(bars, nullptr);
    ASSERT_EQ(bars->barSets().size(), 12);
    QSet<QRgb> colours;
    for (QBarSet* set : bars->barSets())
        colours.insert(set->color().rgb());
    EXPECT_EQ(colours.size(), 12);
    EXPECT_TRUE(chart->legend()->isVisible());
    EXPECT_LE(chart->legend()->markers().size(), 13);
    // The value axis ends at a round number just above the longest bar.
    qint64 largest = 0;
    for (int c = 0; c < bars->barSets().first()->count(); ++c) {
        qint64 sum = 0;
        for (QBarSet* set : bars->barSets())
            sum += static_cast<qint64>(set->at(c));
        largest = std::max(largest, sum);
    }
    auto* counts = qobject_cast<QValueAxis*>(chart->axes(Qt::Horizontal).value(0));
    ASSERT_NE(counts, nullptr);
    EXPECT_EQ(static_cast<qint64>(counts->max()), statAxis(largest).end);
    // Names are cut only for want of room: the widest chart shows the longest whole.
    auto* names = qobject_cast<QBarCategoryAxis*>(chart->axes(Qt::Vertical).value(0));
    ASSERT_NE(names, nullptr);
    w->ui().StatRazdel->setSizes({200, 1400});
    w->resize(1800, 700);
    QApplication::processEvents();
    names = qobject_cast<QBarCategoryAxis*>(chart->axes(Qt::Vertical).value(0));
    for (const QString& label : names->categories())
        EXPECT_FALSE(label.contains(QChar(0x2026))) << label.toStdString();

    // Thirteen months: the totals only, their values on the bars, no legend.
    period(QDate(2025, 1, 1), QDate(2026, 1, 31), 0);
    ASSERT_EQ(chart->series().size(), 1);
    bars = qobject_cast<QAbstractBarSeries*>(chart->series().first());
    ASSERT_EQ(bars->barSets().size(), 1);
    EXPECT_EQ(bars->barSets().first()->label(), QStringLiteral("Всего"));
    EXPECT_TRUE(bars->isLabelsVisible());
    EXPECT_FALSE(chart->legend()->isVisible());
}
