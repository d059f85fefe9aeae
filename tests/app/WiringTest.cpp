// The windows of different subsystems as the assembled program connects them: the card
// window's print, document and export commands reach their subsystems with the card shown.
#include "cardwindow/CardListModel.h"
#include "cardwindow/TForm1.h"
#include "common/CardFactory.h"
#include "common/Form1Controls.h"
#include "common/TestInstall.h"
#include "store/Cp1251.h"
#include "store/DayCount.h"
#include "store/Records.h"
#include "store/UnitGlo.h"
#include "widgets/TdxfColorButton.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

using namespace zelm;
using namespace zelm::testing;

namespace {

struct Wiring : ::testing::Test {
    void SetUp() override {
        t.makeFolders();
        t.writeCards("Baza/Anketi.dat", makeCards(4));
        w = t.start().form1();
        w->show();
        t.platform.clearRecords();
    }
    void showCard(int i) { w->session().showMainCard(i); }
    QString dataFile(const char* name) {
        return fromCp1251(t.readFile(QStringLiteral("report/") + QLatin1String(name)));
    }
    TestInstall t;
    TForm1* w = nullptr;
};

TEST_F(Wiring, PrintingTheListThenTheFullCardPrintsTheCardShown) {
    showCard(1);
    controls(w).nGlRab->click();
    showCard(2);
    controls(w).nGlRab->click();
    controls(w).PRNSpisok->click();
    EXPECT_TRUE(dataFile("KnigaDat.txt").contains(makeCard(1).NameOrg.text()));
    EXPECT_TRUE(dataFile("KnigaDat.txt").contains(makeCard(2).NameOrg.text()));

    showCard(3);
    controls(w).N13->trigger();
    const QString poln = dataFile("PolnDat.txt");
    EXPECT_TRUE(poln.contains(makeCard(3).NameOrg.text()));
    EXPECT_FALSE(poln.contains(makeCard(2).NameOrg.text()));

    ASSERT_EQ(t.platform.startedPrograms.size(), 4);
    const StartedProgram& first = t.platform.startedPrograms[2];
    const StartedProgram& second = t.platform.startedPrograms[3];
    EXPECT_TRUE(first.program.endsWith(QStringLiteral("reportf")));
    EXPECT_EQ(
        first.arguments,
        (QStringList{QStringLiteral("PolnDat.txt"), QStringLiteral("PolnPic.rtf"),
                     QStringLiteral("PolnRep.rtf"), QStringLiteral("-"), QStringLiteral("/m")}));
    EXPECT_EQ(second.arguments, first.arguments.mid(0, 3));
    EXPECT_EQ(first.workingFolder, t.path("report"));
}

TEST_F(Wiring, TheFullCardLeavesUnsavedEditsOutAndPrintsANewCardWhole) {
    // A stored card: what it was stored with, not what the window has been given since.
    showCard(1);
    controls(w).INNOrg->setText(QStringLiteral("ИНН-не-сохранён"));
    controls(w).N13->trigger();
    QString poln = dataFile("PolnDat.txt");
    EXPECT_TRUE(poln.contains(QStringLiteral("|0:INNOrg:") + makeCard(1).INNOrg.text() +
                              QStringLiteral("\r\n")))
        << poln.toStdString();
    EXPECT_FALSE(poln.contains(QStringLiteral("ИНН-не-сохранён")));

    // A new card not saved yet: every field its own, none of the last stored card's.
    t.app().user().UserFIO = QStringLiteral("Петрова Н.В.");
    const QDateTime now(QDate(2026, 5, 20), QTime(9, 41));
    setClockForTesting([now] { return now; });
    controls(w).nNew->click();
    controls(w).INNOrg->setText(QStringLiteral("7708123456"));
    const QString number = controls(w).Klu4Form1->text();
    controls(w).N13->trigger();
    setClockForTesting({});
    poln = dataFile("PolnDat.txt");
    auto item = [&poln](const char* key) {
        const QString head = QStringLiteral("|0:") + QLatin1String(key) + QLatin1Char(':');
        const qsizetype at = poln.indexOf(head);
        return at < 0 ? QStringLiteral("<none>")
                      : poln.mid(at + head.size(),
                                 poln.indexOf(QStringLiteral("\r\n"), at) - at - head.size());
    };
    EXPECT_EQ(item("INNOrg"), QStringLiteral("7708123456"));
    EXPECT_EQ(item("Klu4Form1"), number);
    EXPECT_EQ(item("GurN"), QString::number(makeCard(3).GurN + 1));
    EXPECT_EQ(item("DaWrSozd"), UniqueNumberText(number.toInt()));
    EXPECT_EQ(item("DWKorr"), DateTimeText(toDayCount(now)));
    EXPECT_EQ(item("AdminFIO"), QStringLiteral("Петрова Н.В."));
    EXPECT_EQ(item("NameOrg"), controls(w).NameOrg->currentText());
    // Nothing was stored by printing.
    EXPECT_EQ(t.readCards("Baza/Anketi.dat").size(), 4u);
}

TEST_F(Wiring, ANewCardsDocumentIsFiledUnderTheNumberItWillBeSavedWith) {
    controls(w).nNew->click();
    const QString number = controls(w).Klu4Form1->text();
    controls(w).Otvet->click();
    EXPECT_TRUE(t.platform.officeCalls.contains(QStringLiteral("Documents.Add ") +
                                                t.path("Otveti/BlankFirma.doc")))
        << t.platform.officeCalls.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(t.platform.officeCalls.filter(QStringLiteral("SaveAs"))
                    .join(QString())
                    .contains(QStringLiteral("Otveti/") + number + QStringLiteral(".doc")));
    // The default templates are there to be filled.
    EXPECT_TRUE(QFile::exists(t.path("Otveti/BlankFirma.doc")));
    EXPECT_TRUE(QFile::exists(t.path("WhodWord/Blank.doc")));
}

TEST_F(Wiring, TheNoteDocumentTakesTheWholeNoteTheWindowHoldsNotTheStoredCut) {
    showCard(1);
    // 324 bytes in Windows-1251, two lines: more than a card stores.
    const QString first = QStringLiteral("Примечание к мероприятию. ").repeated(11) +
                          QStringLiteral("Итоги проверки: ");
    const QString note = first + QLatin1Char('\n') + QStringLiteral("Конец примечания №1.");
    ASSERT_EQ(toCp1251(memoToStored(note)).size(), 324);
    controls(w).Prime4->setPlainText(note);
    controls(w).WordEst->click();
    const int at = t.platform.officeCalls.indexOf(QStringLiteral("Find.Text #Prime4#"));
    ASSERT_GE(at, 0) << t.platform.officeCalls.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(t.platform.officeCalls.value(at + 1),
              QStringLiteral("Find.Replacement.Text ") + note);
}

TEST_F(Wiring, TheWorkingListGoesToTheSpreadsheetWithItsTitlesAndTheGaugeReturnsToZero) {
    showCard(0);
    controls(w).nGlRab->click();
    controls(w).SpTabl->setCurrentWidget(controls(w).TabSheet2);
    controls(w).RabExc->click();
    const QList<QByteArray> lines = t.readFile("L_Excel.txt").split('\n');
    ASSERT_GE(lines.size(), 2);
    EXPECT_TRUE(fromCp1251(lines[0]).startsWith(QStringLiteral("Дата ОРМ;Организация;")));
    EXPECT_TRUE(fromCp1251(lines[1]).contains(QString::number(makeCard(0).Klu4Form1)));
    EXPECT_EQ(controls(w).Gauge1->value(), 0);
    EXPECT_TRUE(t.platform.officeCalls.filter(QStringLiteral("Workbooks.Open")).size() == 1);
}

} // namespace

namespace {

TEST_F(Wiring, ACommandThatRunsOutOfMemoryIsReportedAndTheWindowGoesOn) {
    EXPECT_FALSE(w->runCommand([] { throw std::bad_alloc(); }));
    ASSERT_EQ(t.platform.messages.size(), 1);
    EXPECT_EQ(t.platform.messages[0].kind, ShownMessage::Error);
    EXPECT_TRUE(t.platform.messages[0].text.contains(QStringLiteral("памяти")));
    EXPECT_FALSE(w->runCommand([] { throw std::runtime_error("something else"); }));
    EXPECT_EQ(t.platform.messages.size(), 2);
    // The window still works.
    controls(w).SpeedButBeg->click();
    EXPECT_EQ(w->session().shownIndex(), 0);
}

} // namespace
