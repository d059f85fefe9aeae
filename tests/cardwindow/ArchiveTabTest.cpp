#include "ArchiveTestSupport.h"
#include "common/Form1Controls.h"

#include "cardwindow/CardListModel.h"
#include "store/UnitGlo.h"
#include "widgets/TdxfColorButton.h"

#include <QComboBox>
#include <QDir>
#include <QHeaderView>
#include <QLineEdit>
#include <QTabWidget>
#include <QTest>
#include <gtest/gtest.h>

using namespace zelm;
using namespace zelm::testing;

namespace {

void showArchiveTab(TForm1& w) {
    controls(w).SpTabl->setCurrentWidget(controls(w).TabSheet1);
    controls(w).SpTabl->setCurrentWidget(controls(w).TabSheet3);
}

void pressArchiveRow(TForm1& w, int row) {
    UniformRowsView* list = controls(w).ArhTab;
    list->resize(900, 400);
    const QRect cell = list->visualRect(list->model()->index(row, 1));
    QTest::mousePress(list->viewport(), Qt::LeftButton, {}, cell.center());
    QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, cell.center());
}

} // namespace

TEST(ArchiveTab, ShowingTheTabListsTheArchiveAndAClickOpensACard) {
    TestInstall t;
    const auto cards = makeCards(3);
    const auto archived = makeCards(3, 20);
    TForm1& w = startRegister(t, cards, archived);
    CardListModel& list = *controls(w).archiveList;
    showCard(w, 1);

    showArchiveTab(w);
    ASSERT_EQ(list.cardCount(), 3);
    EXPECT_EQ(list.cellText(2, 1), archived[2].NameOrg.text());
    EXPECT_EQ(list.cellText(0, 0), ShortDate(archived[0].DataMer));
    EXPECT_EQ(list.cellText(1, 10), QString::number(archived[1].Klu4Form1));
    EXPECT_EQ(controls(w).ArhTab->selectionModel()->selectedRows().first().row(), 0);

    pressArchiveRow(w, 2);
    EXPECT_EQ(w.session().shown(), CardSession::Shown::ArchivedCard);
    EXPECT_EQ(w.session().CurrentCard().Klu4Form1, archived[2].Klu4Form1);
    EXPECT_EQ(controls(w).NameOrg->currentText(), archived[2].NameOrg.text());
    // The register's position and counters stay with the Main card last shown.
    EXPECT_EQ(t.app().session().mainPosition(), 1);
    EXPECT_EQ(controls(w).NNaidena->text(), QStringLiteral("2"));
    EXPECT_EQ(controls(w).WsegoKarto4ek->text(), QStringLiteral("3"));

    // The heading row opens nothing.
    QHeaderView* heading = controls(w).ArhTab->horizontalHeader();
    QTest::mousePress(heading->viewport(), Qt::LeftButton, {}, QPoint(20, 5));
    QTest::mouseRelease(heading->viewport(), Qt::LeftButton, {}, QPoint(20, 5));
    EXPECT_EQ(w.session().CurrentCard().Klu4Form1, archived[2].Klu4Form1);

    // Cards archived while the tab is in view appear when it is next shown.
    t.appendCards("Baza/ArhAnket.dat", {cards[0]});
    EXPECT_EQ(list.cardCount(), 3);
    showArchiveTab(w);
    EXPECT_EQ(list.cardCount(), 4);
    EXPECT_TRUE(t.platform.messages.isEmpty());
}

TEST(ArchiveTab, DeletingArchivedCards) {
    TestInstall t;
    const auto archived = makeCards(3, 20);
    TForm1& w = startRegister(t, makeCards(2), archived);
    CardListModel& list = *controls(w).archiveList;
    ZelmApp& app = t.app();
    showArchiveTab(w);

    // Only the chief administrator deletes from the Archive.
    app.user().UserDostup = QStringLiteral("B");
    controls(w).ArhTab->selectRow(1);
    controls(w).DelArh->click();
    ASSERT_EQ(t.platform.messages.size(), 1);
    EXPECT_EQ(t.platform.messages[0].text,
              QStringLiteral("Это может сделать только главный администратор"));
    EXPECT_EQ(t.readFile("Baza/ArhAnket.dat"), cardBytes(archived));

    app.user().UserDostup = QStringLiteral("Z");
    controls(w).DelArh->click();
    EXPECT_EQ(t.readFile("Baza/ArhAnket.dat"), cardBytes({archived[0], archived[2]}));
    ASSERT_EQ(list.cardCount(), 2);
    EXPECT_EQ(list.cellText(1, 1), archived[2].NameOrg.text());
    EXPECT_EQ(controls(w).vArh->text(), QStringLiteral("2"));
    EXPECT_EQ(controls(w).ArhTab->selectionModel()->selectedRows().first().row(), 1);

    // The Archive stays usable: the next click opens the card now in that row.
    pressArchiveRow(w, 1);
    EXPECT_EQ(w.session().CurrentCard().Klu4Form1, archived[2].Klu4Form1);

    controls(w).DelArh->click();
    controls(w).ArhTab->selectRow(0);
    controls(w).DelArh->click();
    EXPECT_EQ(t.readFile("Baza/ArhAnket.dat").size(), 0);
    EXPECT_EQ(list.cardCount(), 0);
    EXPECT_EQ(controls(w).vArh->text(), QStringLiteral("0"));

    // Nothing left to select: deleting or clicking does nothing.
    controls(w).DelArh->click();
    showArchiveTab(w);
    EXPECT_EQ(list.cardCount(), 0);
    EXPECT_EQ(t.platform.messages.size(), 1);
    EXPECT_FALSE(QFile::exists(t.path("Temp/ArhAnket.new")));
    EXPECT_EQ(QDir(t.path("Baza")).entryList({"ArhAnket*"}, QDir::Files),
              QStringList{"ArhAnket.dat"});
}

TEST(ArchiveTab, AListThatNoLongerMatchesTheFileDeletesByNumber) {
    TestInstall t;
    const auto archived = makeCards(3, 20);
    TForm1& w = startRegister(t, makeCards(2), archived);
    showArchiveTab(w);
    // The user sees the rows as the file held them then.
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    QCoreApplication::processEvents();
    // Another card went in front of the listed ones since the list was filled.
    const std::vector<TAnketa> now = {makeCard(99), archived[0], archived[1], archived[2]};
    t.writeCards("Baza/ArhAnket.dat", now);

    controls(w).ArhTab->selectRow(1);
    controls(w).DelArh->click();
    EXPECT_EQ(t.readFile("Baza/ArhAnket.dat"), cardBytes({now[0], now[1], now[3]}));
}

TEST(ArchiveRecall, RememberPasteTwiceAndSaveTwiceStoresTwoNewCards) {
    TestInstall t;
    const auto cards = makeCards(3);
    const auto archived = makeCards(2, 20);
    TForm1& w = startRegister(t, cards, archived);
    EXPECT_FALSE(controls(w).Vstavka->isEnabled());
    showArchiveTab(w);
    pressArchiveRow(w, 1);
    controls(w).ZapPosled->click();

    const TAnketa& kept = archived[1];
    EXPECT_EQ(controls(w).NameZap->text(),
              ShortDate(kept.DataMer) + QLatin1Char(' ') + kept.NameOrg.text());
    EXPECT_TRUE(controls(w).Vstavka->isEnabled());

    std::vector<qint32> numbers;
    for (int i = 0; i < 2; ++i) {
        controls(w).Vstavka->click();
        EXPECT_EQ(w.session().CardMode(), QStringLiteral("New"));
        EXPECT_EQ(controls(w).NameOrg->currentText(), kept.NameOrg.text());
        EXPECT_EQ(controls(w).GurN->text(), QString::number(kept.GurN));
        EXPECT_EQ(controls(w).AdminFIO->text(), QStringLiteral("Петрова Мария"));
        const qint32 number = controls(w).Klu4Form1->text().toInt();
        EXPECT_NE(number, kept.Klu4Form1);
        EXPECT_EQ(controls(w).DaWrSozd->text(), UniqueNumberText(number));
        EXPECT_EQ(controls(w).DWKorr->text(), UniqueNumberText(number));
        EXPECT_EQ(controls(w).Otvet->text(), QStringLiteral("Нет"));
        numbers.push_back(number);
        controls(w).nSave->click();
    }
    EXPECT_TRUE(t.platform.messages.isEmpty());
    const auto stored = t.readCards("Baza/Anketi.dat");
    ASSERT_EQ(stored.size(), 5u);
    EXPECT_NE(numbers[0], numbers[1]);
    for (int i = 0; i < 2; ++i) {
        const TAnketa& c = stored[static_cast<size_t>(3 + i)];
        EXPECT_EQ(c.Klu4Form1, numbers[static_cast<size_t>(i)]);
        EXPECT_EQ(c.NameOrg.text(), kept.NameOrg.text());
        EXPECT_EQ(c.Rezultat.text(), kept.Rezultat.text());
        EXPECT_EQ(c.GurN, kept.GurN);
        EXPECT_EQ(c.AdminFIO.text(), QStringLiteral("Петрова Мария"));
    }
    EXPECT_EQ(t.readFile("Baza/ArhAnket.dat"), cardBytes(archived));
    EXPECT_TRUE(controls(w).Vstavka->isEnabled());
}

TEST(ArchiveRecall, ACardRememberedFromTheRegisterIsKeptWhileOthersAreShown) {
    TestInstall t;
    const auto cards = makeCards(3);
    TForm1& w = startRegister(t, cards);
    showCard(w, 0);
    controls(w).ZapPosled->click();
    showCard(w, 2);
    controls(w).Vstavka->click();
    EXPECT_EQ(controls(w).NameOrg->currentText(), cards[0].NameOrg.text());
    // The pasted card is not a stored card: the mark and the deletion leave the register.
    controls(w).OtmDel->click();
    answerNextChoice(t.app(), 1);
    controls(w).nDelete->click();
    QCoreApplication::processEvents();
    EXPECT_EQ(t.readFile("Baza/Anketi.dat"), cardBytes(cards));
}
