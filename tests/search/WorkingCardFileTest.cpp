// The Working card file's commands on the card window, and opening cards from the lists.
#include "SearchRun.h"
#include "common/Form1Controls.h"
#include "search/WorkingCommands.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <gtest/gtest.h>

using namespace zelm;
using namespace zelm::testing;

using Numbers = std::vector<std::int32_t>;

TEST(WorkingCardFile, AddTwiceCountsBothAndTheListFollowsTheFile) {
    SearchRun run(makeCards(4));
    Form1Controls& ui = controls(run.w);
    ui.nGlRab->click();
    ui.nGlRab->click();
    EXPECT_EQ(run.workingNumbers(), (Numbers{numberOf(3), numberOf(3)}));
    EXPECT_EQ(ui.vRab->text(), QStringLiteral("2"));
    // The list follows the session, in view or not: showing the tab finds it filled.
    EXPECT_EQ(ui.workingList->cardCount(), 2);
    // The file holds the card byte for byte.
    EXPECT_EQ(run.t.readFile("Temp/RabAnket.dat").left(sizeof(TAnketa)),
              run.t.readFile("Baza/Anketi.dat").mid(3 * sizeof(TAnketa), sizeof(TAnketa)));

    ui.SpTabl->setCurrentWidget(ui.TabSheet2);
    EXPECT_EQ(run.listedNumbers(), (Numbers{numberOf(3), numberOf(3)}));
    EXPECT_EQ(ui.workingList->cellText(0, 1), makeCard(3).NameOrg.text());
    EXPECT_EQ(ui.workingList->cellText(0, 10), QString::number(numberOf(3)));

    ui.SpTabl->setCurrentWidget(ui.TabSheet1);
    ui.RabZero->click();
    EXPECT_EQ(run.t.readFile("Temp/RabAnket.dat").size(), 0);
    EXPECT_EQ(ui.vRab->text(), QStringLiteral("0"));
    ui.SpTabl->setCurrentWidget(ui.TabSheet2);
    EXPECT_EQ(ui.workingList->cardCount(), 0);
    EXPECT_TRUE(run.t.platform.messages.isEmpty());
}

TEST(WorkingCardFile, RemovingKeepsTheOthersInOrder) {
    SearchRun run(makeCards(4));
    Form1Controls& ui = controls(run.w);
    for (int i = 0; i < 4; ++i) {
        run.press(ui.Spisok, i);
        ui.nGlRab->click();
    }
    ui.SpTabl->setCurrentWidget(ui.TabSheet2);
    ASSERT_EQ(run.listedNumbers(), (Numbers{numberOf(0), numberOf(1), numberOf(2), numberOf(3)}));

    ui.RabTab->selectRow(1);
    ui.DelRab->click();
    const Numbers rest{numberOf(0), numberOf(2), numberOf(3)};
    EXPECT_EQ(run.workingNumbers(), rest);
    EXPECT_EQ(run.listedNumbers(), rest);
    EXPECT_EQ(ui.vRab->text(), QStringLiteral("3"));
    EXPECT_EQ(run.t.readCards("Baza/Anketi.dat").size(), 4u); // the register is untouched

    // Down to the last card, then nothing left to remove.
    for (int k = 0; k < 3; ++k) {
        ui.RabTab->selectRow(0);
        ui.DelRab->click();
    }
    EXPECT_EQ(run.t.readFile("Temp/RabAnket.dat").size(), 0);
    EXPECT_EQ(ui.workingList->cardCount(), 0);
    EXPECT_EQ(ui.vRab->text(), QStringLiteral("0"));
    ui.DelRab->click();
    EXPECT_TRUE(run.t.platform.messages.isEmpty());
}

TEST(WorkingCardFile, RemovingFromAListTheFileNoLongerMatchesRemovesNothing) {
    SearchRun run(makeCards(3));
    Form1Controls& ui = controls(run.w);
    ui.nGlRab->click();
    ui.SpTabl->setCurrentWidget(ui.TabSheet2);
    // Another command empties the file while the list still shows the card.
    run.t.app().session().emptyWorking();
    ui.RabTab->selectRow(0);
    ui.DelRab->click();
    EXPECT_TRUE(run.t.platform.messages.isEmpty());
    EXPECT_EQ(ui.workingList->cardCount(), 0);
    EXPECT_EQ(ui.vRab->text(), QStringLiteral("0"));
}

TEST(WorkingCardFile, AWorkingRowOpensTheMainVersionOrTheLastCardWhenDeleted) {
    std::vector<TAnketa> cards = makeCards(5);
    SearchRun run(cards);
    Form1Controls& ui = controls(run.w);
    CardSession& session = run.t.app().session();
    TAnketa gone = makeCard(99); // no longer in the register
    session.appendToWorking(cards[1]);
    session.appendToWorking(gone);
    // The Main card changed after it was copied.
    TAnketa changed = cards[1];
    changed.NameOrg.set(QStringLiteral("ООО «Новое имя»"));
    run.t.writeCardAt("Baza/Anketi.dat", 1, changed);

    ui.SpTabl->setCurrentWidget(ui.TabSheet2);
    EXPECT_EQ(ui.workingList->cellText(0, 1), cards[1].NameOrg.text()); // the copy
    run.press(ui.RabTab, 0);
    EXPECT_EQ(ui.NameOrg->currentText(), QStringLiteral("ООО «Новое имя»"));
    EXPECT_EQ(run.w->session().shownIndex(), 1);
    EXPECT_EQ(ui.NNaidena->text(), QStringLiteral("2"));
    EXPECT_EQ(run.w->selectedMainRow(), 4); // the Main list's selection stays

    run.press(ui.RabTab, 1);
    EXPECT_EQ(run.w->session().shownIndex(), 4);
    EXPECT_EQ(ui.NameOrg->currentText(), cards[4].NameOrg.text());
    EXPECT_EQ(ui.NNaidena->text(), QStringLiteral("5"));
}

TEST(WorkingCardFile, MainListClicksShowTheCardExceptWithOneCard) {
    {
        SearchRun run(makeCards(3));
        run.press(controls(run.w).Spisok, 0);
        EXPECT_EQ(controls(run.w).NameOrg->currentText(), makeCard(0).NameOrg.text());
        EXPECT_EQ(run.w->session().shownIndex(), 0);
        EXPECT_EQ(controls(run.w).NNaidena->text(), QStringLiteral("1"));
    }
    {
        SearchRun run(makeCards(1));
        Form1Controls& ui = controls(run.w);
        ui.nGlRab->click();
        ui.NameOrg->setEditText(QStringLiteral("не сохранено"));
        run.press(ui.Spisok, 0);
        ui.SpTabl->setCurrentWidget(ui.TabSheet2);
        run.press(ui.RabTab, 0);
        EXPECT_EQ(ui.NameOrg->currentText(), QStringLiteral("не сохранено")); // nothing new
        EXPECT_EQ(run.t.app().session().mainPosition(), 0);
    }
}

TEST(AppendsFlushed, EveryCommandThatAppendsACardFlushesItBeforeItEnds) {
    SearchRun run(makeCards(3));
    auto flushedBy = [](const std::function<void()>& command) {
        const quint64 before = CardFile::flushesSoFar();
        command();
        return CardFile::flushesSoFar() - before;
    };
    EXPECT_GE(flushedBy([&] { controls(run.w).nGlRab->click(); }), 1u);
    run.openSearch();
    EXPECT_GE(flushedBy([&] { run.p->sNextClick(); }), 1u);
    run.p->close();
    controls(run.w).nNew->click();
    EXPECT_GE(flushedBy([&] { controls(run.w).nSave->click(); }), 1u);
    ASSERT_EQ(run.t.readCards("Baza/Anketi.dat").size(), 4u);
}
