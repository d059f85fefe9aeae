// The statistics window in a run of the program: opened from the card window's «Печать» menu,
// counting each of the three card files, its chart against its table, and its two buttons.
#include "stats/TStatistika.h"
#include "StatRegister.h"
#include "cardwindow/TForm1.h"
#include "common/Form1Controls.h"
#include "common/QStringPrinter.h"
#include "common/TestInstall.h"
#include "output/ExcelExport.h"
#include "session/CardSession.h"
#include "store/Cp1251.h"
#include "store/DayCount.h"
#include "widgets/TdxfColorButton.h"

#include <QAbstractItemModel>
#include <QBarCategoryAxis>
#include <QBarSet>
#include <QChart>
#include <QHorizontalStackedBarSeries>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace zelm;
using namespace zelm::testing;

namespace {

const QDate kToday(2026, 7, 20);

class Statistika : public ::testing::Test {
protected:
    void SetUp() override {
        setClockForTesting([] { return QDateTime(kToday, QTime(10, 0)); });
        t.makeFolders();
        main = statRegister(3000, QDate(2026, 1, 1), kToday, 11);
        archive = statRegister(700, QDate(2025, 6, 1), QDate(2026, 3, 1), 12);
        working = statRegister(90, QDate(2026, 2, 1), QDate(2026, 5, 1), 13);
        t.writeCards("Baza/Anketi.dat", main);
        t.writeCards("Baza/ArhAnket.dat", archive);
        ZelmApp& app = t.start();
        // The Working card file starts every run empty; a search would fill it.
        for (const TAnketa& card : working)
            app.session().appendToWorking(card);
        QFile program(t.path("report/reportf"));
        ASSERT_TRUE(program.open(QIODevice::WriteOnly));
        program.setPermissions(program.permissions() | QFileDevice::ExeOwner);
        w = app.statistika();
    }
    void TearDown() override { setClockForTesting({}); }

    // The window's table as texts, the title row first.
    QList<QStringList> shownTable() const {
        const QAbstractItemModel* m = w->ui().StatTab->model();
        QList<QStringList> out;
        QStringList titles;
        for (int c = 0; c < m->columnCount(); ++c)
            titles << m->headerData(c, Qt::Horizontal).toString();
        out << titles;
        for (int r = 0; r < m->rowCount(); ++r) {
            QStringList row;
            for (int c = 0; c < m->columnCount(); ++c)
                row << m->index(r, c).data().toString();
            out << row;
        }
        return out;
    }
    void choose(QComboBox* box, int index) {
        box->setCurrentIndex(index);
        w->waitForCount();
    }

    TestInstall t;
    std::vector<TAnketa> main, archive, working;
    TStatistika* w = nullptr;
};

} // namespace

TEST_F(Statistika, OpensModalFromThePrintMenuAndKeepsItsChoices) {
    TForm1* form = t.app().form1();
    const QList<QAction*> items = controls(form).N1->actions();
    ASSERT_FALSE(items.isEmpty());
    EXPECT_EQ(items.last()->objectName(), QStringLiteral("NStatistika"));
    EXPECT_EQ(items.last()->text(), QStringLiteral("Статистика"));

    bool shownModal = false;
    QTimer::singleShot(0, w, [&] {
        shownModal = w->isVisible() && w->isModal();
        w->ui().StatStroki->setCurrentIndex(4); // «Провёл»
        w->close();
    });
    items.last()->trigger();
    EXPECT_TRUE(shownModal);
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Статистика мероприятий"));
    EXPECT_EQ(w->ui().StatS->date(), QDate(2026, 1, 1));
    EXPECT_EQ(w->ui().StatPo->date(), kToday);

    QStringList seen;
    QTimer::singleShot(0, w, [&] {
        w->waitForCount();
        seen << w->ui().StatStroki->currentText() << w->ui().StatItog->text();
        w->close();
    });
    items.last()->trigger();
    EXPECT_EQ(seen.value(0), QStringLiteral("Провёл"));
    EXPECT_EQ(seen.value(1), QStringLiteral("Прочитано карточек: 3000, учтено за период: %1")
                                 .arg(w->table().cardsCounted));
}

TEST_F(Statistika, EachCardFileIsCountedAsByHand) {
    w->ui().StatS->setDate(QDate(2025, 9, 1));
    w->ui().StatPo->setDate(QDate(2026, 4, 30));
    choose(w->ui().StatStolbcy, 1); // by quarters
    const std::vector<TAnketa>* files[] = {&main, &working, &archive};
    for (int source = 0; source < 3; ++source) {
        choose(w->ui().StatIstochnik, source);
        for (int field = 0; field < 6; ++field) {
            choose(w->ui().StatStroki, field);
            const StatQuery q = w->query();
            SCOPED_TRACE(std::to_string(source) + "/" + std::to_string(field));
            EXPECT_EQ(w->table().cardsRead, static_cast<qint64>(files[source]->size()));
            EXPECT_EQ(asExpected(w->table()), countByHand(*files[source], q));
        }
    }
    const QList<QStringList> shown = shownTable();
    EXPECT_EQ(shown.first(), (QStringList{"Утвердил", "III кв. 2025", "IV кв. 2025", "I кв. 2026",
                                          "II кв. 2026", "Всего"}));
    EXPECT_EQ(shown.last().first(), QStringLiteral("Итого"));
    EXPECT_EQ(shown.last().last(), QString::number(w->table().cardsCounted));
}

TEST_F(Statistika, TheChartShowsTheTablesValues) {
    w->ui().StatPo->setDate(QDate(2026, 6, 30));
    w->waitForCount();
    // «Вид ОРМ» has more than twelve values: the rest is one bar «Прочие».
    const QList<QStringList> table = shownTable();
    ASSERT_GT(table.size(), 14);
    QChart* chart = w->ui().chart;
    ASSERT_EQ(chart->series().size(), 1);
    auto* series = qobject_cast<QHorizontalStackedBarSeries*>(chart->series().first());
    ASSERT_NE(series, nullptr);
    auto* axis = qobject_cast<QBarCategoryAxis*>(chart->axes(Qt::Vertical).value(0));
    ASSERT_NE(axis, nullptr);
    const QStringList categories = axis->categories();
    ASSERT_EQ(categories.size(), 13);
    EXPECT_TRUE(categories.first().startsWith(QStringLiteral("Прочие ("))); // at the bottom
    const QList<QBarSet*> sets = series->barSets();
    ASSERT_EQ(sets.size(), 6); // the months
    for (int s = 0; s < sets.size(); ++s) {
        EXPECT_EQ(sets[s]->label(), table[0][s + 1]);
        qint64 others = 0;
        for (int r = 13; r < table.size() - 1; ++r)
            others += table[r][s + 1].toLongLong();
        for (int c = 0; c < categories.size(); ++c) {
            const int row = 13 - c; // row 1 of the table is the top bar
            const qint64 expected = c == 0 ? others : table[row][s + 1].toLongLong();
            EXPECT_EQ(static_cast<qint64>(sets[s]->at(c)), expected)
                << categories[c].toStdString() << " " << sets[s]->label().toStdString();
            if (c > 0) {
                // A long name is cut; its total stays.
                EXPECT_TRUE(categories[c].startsWith(table[row][0].left(12)));
                EXPECT_TRUE(categories[c].endsWith(" (" + table[row].last() + ")"));
            }
        }
    }
}

TEST_F(Statistika, ExcelAndPrintHandOnTheTableShown) {
    choose(w->ui().StatStolbcy, 2); // by years
    choose(w->ui().StatStroki, 3);  // «Подразделение»
    QTest::mouseClick(w->ui().StatExcel, Qt::LeftButton, {}, w->ui().StatExcel->rect().center());
    QByteArray expected;
    for (const QStringList& row : shownTable())
        expected += exportLine(row);
    EXPECT_EQ(t.readFile("L_Stat.txt"), expected);
    EXPECT_TRUE(t.platform.officeCalls.contains("Workbooks.Open " + t.path("L_Stat.txt")));

    QTest::mouseClick(w->ui().StatPechat, Qt::LeftButton, {}, w->ui().StatPechat->rect().center());
    const QByteArray data = t.readFile("report/StatDat.txt");
    EXPECT_TRUE(data.startsWith(toCp1251("|0:wladelec:")));
    EXPECT_TRUE(data.contains(toCp1251("|0:Stroki:Подразделение\r\n")));
    EXPECT_TRUE(data.contains(toCp1251("|1:Nazv:Итого|1:Itog:|1:k1:") +
                              QByteArray::number(w->table().totals.counts[0])));
    ASSERT_EQ(t.platform.startedPrograms.size(), 2);
    EXPECT_EQ(t.platform.startedPrograms[1].arguments,
              (QStringList{"StatDat.txt", "StatPic.rtf", "StatRep.rtf"}));
    EXPECT_TRUE(QFile::exists(t.path("report/StatPic.rtf"))); // written at start when missing
    EXPECT_TRUE(t.platform.messages.isEmpty());
}

TEST_F(Statistika, ANewChoiceDuringACountShowsOnlyTheNewCount) {
    w->ui().StatS->setDate(QDate(2025, 1, 1));
    w->ui().StatStroki->setCurrentIndex(1);
    w->ui().StatStroki->setCurrentIndex(5); // while the count of «Повод» still runs
    EXPECT_TRUE(w->counting());
    EXPECT_FALSE(w->ui().StatPechat->isEnabled());
    w->waitForCount();
    EXPECT_FALSE(w->counting());
    EXPECT_TRUE(w->ui().StatPechat->isEnabled());
    EXPECT_EQ(w->table().query.field, StatField::FIOUtv);
    EXPECT_EQ(asExpected(w->table()), countByHand(main, w->query()));
    EXPECT_TRUE(shownTable().first().startsWith(QStringLiteral("Утвердил")));
}
