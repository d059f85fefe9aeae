#include "ArchiveTestSupport.h"
#include "common/Form1Controls.h"

#include "cardwindow/CardDeletion.h"
#include "cardwindow/CardListModel.h"
#include "store/TextFiles.h"
#include "widgets/TdxfColorButton.h"

#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QTabWidget>
#include <gtest/gtest.h>

using namespace zelm;
using namespace zelm::testing;

namespace {

const QString kNotDone = QStringLiteral("Операция не выполнена");

void expectRegisterShows(TForm1& w, const std::vector<TAnketa>& cards) {
    ASSERT_EQ(controls(w).mainList->cardCount(), static_cast<int>(cards.size()));
    for (size_t i = 0; i < cards.size(); ++i)
        EXPECT_EQ(controls(w).mainList->cellText(static_cast<int>(i), 1), cards[i].NameOrg.text())
            << i;
}

} // namespace

TEST(CardDeletion, ForGoodKeepsTheOtherCardsInOrderAndEmptiesTheWorkingFile) {
    TestInstall t;
    const auto cards = makeCards(5);
    const auto archived = makeCards(2, 50);
    TForm1& w = startRegister(t, cards, archived);
    ZelmApp& app = t.app();
    // A selection in the Working card file that the deletion uses as scratch.
    for (int i = 0; i < 3; ++i)
        app.session().appendToWorking(cards[static_cast<size_t>(i)]);
    controls(w).vRab->setText(QStringLiteral("3"));
    showCard(w, 2);

    ChoiceSeen seen;
    answerNextChoice(app, 1, &seen);
    controls(w).nDelete->click();

    EXPECT_TRUE(seen.shown);
    EXPECT_EQ(seen.title, QStringLiteral("Действие с Карточкой"));
    EXPECT_EQ(seen.first, QStringLiteral("Удалить окончательно"));
    EXPECT_EQ(seen.second, QStringLiteral("Удалить в Архив"));
    EXPECT_EQ(seen.third, QStringLiteral("Ничего не делать"));
    EXPECT_TRUE(t.platform.messages.isEmpty());

    const std::vector<TAnketa> kept = {cards[0], cards[1], cards[3], cards[4]};
    EXPECT_EQ(t.readFile("Baza/Anketi.dat"), cardBytes(kept));
    EXPECT_EQ(t.readFile("Baza/ArhAnket.dat"), cardBytes(archived));
    EXPECT_EQ(t.readFile("Temp/RabAnket.dat").size(), 0);
    EXPECT_EQ(controls(w).vRab->text(), QStringLiteral("0"));
    EXPECT_EQ(controls(w).vArh->text(), QStringLiteral("2"));
    expectRegisterShows(w, kept);

    // The window shows the last card; the running numbers are not touched.
    EXPECT_EQ(controls(w).NameOrg->currentText(), cards[4].NameOrg.text());
    EXPECT_EQ(controls(w).GurN->text(), QStringLiteral("5"));
    EXPECT_EQ(controls(w).NNaidena->text(), QStringLiteral("4"));
    EXPECT_EQ(controls(w).WsegoKarto4ek->text(), QStringLiteral("4"));
    EXPECT_EQ(w.session().shown(), CardSession::Shown::MainCard);
    EXPECT_EQ(w.session().shownIndex(), 3);
    EXPECT_EQ(w.selectedMainRow(), 3);
    EXPECT_EQ(w.session().CardMode(), QStringLiteral("Korr"));

    // The files stay usable: the register reads its new cards, the Working file takes more.
    EXPECT_EQ(app.session().mainCount(), 4);
    TAnketa read;
    app.session().registerCards(RegisterFile::Main).readRange(2, 1, &read);
    EXPECT_EQ(read.Klu4Form1, cards[3].Klu4Form1);
    app.session().appendToWorking(cards[0]);
    EXPECT_EQ(t.readFile("Temp/RabAnket.dat"), cardBytes(cards[0]));
    EXPECT_EQ(t.readFile("Baza/Anketi.dat"), cardBytes(kept));
}

TEST(CardDeletion, IntoArchiveAppendsTheCardByteForByte) {
    TestInstall t;
    const auto cards = makeCards(4);
    const auto archived = makeCards(2, 70);
    TForm1& w = startRegister(t, cards, archived);
    showCard(w, 1);

    answerNextChoice(t.app(), 2);
    controls(w).nDelete->click();

    EXPECT_TRUE(t.platform.messages.isEmpty());
    EXPECT_EQ(t.readFile("Baza/ArhAnket.dat"), cardBytes(archived) + cardBytes(cards[1]));
    EXPECT_EQ(t.readFile("Baza/Anketi.dat"), cardBytes({cards[0], cards[2], cards[3]}));
    EXPECT_EQ(controls(w).vArh->text(), QStringLiteral("3"));
}

TEST(CardDeletion, ActsOnTheCardShownNotOnTheSelectedRow) {
    TestInstall t;
    const auto cards = makeCards(5);
    TForm1& w = startRegister(t, cards);
    // As after a click in the Working list: card 4 is shown, the list still selects row 2.
    w.selectMainRow(1);
    w.session().showMainCard(3);

    answerNextChoice(t.app(), 2);
    controls(w).nDelete->click();

    EXPECT_EQ(t.readFile("Baza/Anketi.dat"), cardBytes({cards[0], cards[1], cards[2], cards[4]}));
    EXPECT_EQ(t.readFile("Baza/ArhAnket.dat"), cardBytes(cards[3]));
}

TEST(CardDeletion, TheOnlyCardLeavesABlankNewCard) {
    TestInstall t;
    const auto cards = makeCards(1);
    TForm1& w = startRegister(t, cards);
    answerNextChoice(t.app(), 1);
    controls(w).nDelete->click();

    EXPECT_EQ(t.readFile("Baza/Anketi.dat").size(), 0);
    EXPECT_EQ(controls(w).mainList->cardCount(), 0);
    EXPECT_EQ(controls(w).GurN->text(), QStringLiteral("1"));
    EXPECT_TRUE(controls(w).NameOrg->currentText().isEmpty());
    EXPECT_EQ(controls(w).AdminFIO->text(), QStringLiteral("Петрова Мария"));
    EXPECT_EQ(w.session().CardMode(), QStringLiteral("New"));
    EXPECT_EQ(w.session().shown(), CardSession::Shown::Blank);
    EXPECT_EQ(controls(w).WsegoKarto4ek->text(), QStringLiteral("0"));
    for (QWidget* b :
         {static_cast<QWidget*>(controls(w).nNew), static_cast<QWidget*>(controls(w).nCopiy),
          static_cast<QWidget*>(controls(w).nOtmena), static_cast<QWidget*>(controls(w).nPoisk),
          static_cast<QWidget*>(controls(w).nDelete)})
        EXPECT_TRUE(b->isHidden()) << b->objectName().toStdString();

    // The mark has no card to act on now.
    controls(w).OtmDel->click();
    EXPECT_TRUE(t.platform.messages.isEmpty());
}

TEST(CardDeletion, NoChoiceNoAccessOrNoMainCardChangesNothing) {
    TestInstall t;
    const auto cards = makeCards(3);
    const auto archived = makeCards(1, 90);
    TForm1& w = startRegister(t, cards, archived);
    const QByteArray before = t.readFile("Baza/Anketi.dat");
    ZelmApp& app = t.app();

    for (int answer : {3, 0}) {
        answerNextChoice(app, answer);
        controls(w).nDelete->click();
    }
    EXPECT_TRUE(t.platform.messages.isEmpty());

    // An archived card shown: the deletion and the mark are refused with a message.
    w.session().showArchivedCard(archived[0]);
    controls(w).nDelete->click();
    controls(w).OtmDel->click();
    ASSERT_EQ(t.platform.messages.size(), 2);
    for (const ShownMessage& m : t.platform.messages) {
        EXPECT_EQ(m.kind, ShownMessage::Notice);
        EXPECT_EQ(m.text, QStringLiteral("Сначала откройте карточку Главной картотеки"));
        EXPECT_EQ(m.caption, kNotDone);
    }

    // Only the chief administrator deletes.
    t.platform.clearRecords();
    showCard(w, 1);
    app.user().UserDostup = QStringLiteral("A");
    controls(w).nDelete->click();
    ASSERT_EQ(t.platform.messages.size(), 1);
    EXPECT_EQ(t.platform.messages[0].text,
              QStringLiteral("Это может сделать только главный администратор"));
    EXPECT_EQ(t.platform.messages[0].caption, kNotDone);

    // A new card being filled in is not a stored card.
    app.user().UserDostup = QStringLiteral("Z");
    w.session().startOnBlankCard();
    controls(w).nDelete->click();
    EXPECT_EQ(t.platform.messages.size(), 1);

    EXPECT_EQ(t.readFile("Baza/Anketi.dat"), before);
    EXPECT_EQ(t.readFile("Baza/ArhAnket.dat"), cardBytes(archived));
    EXPECT_EQ(controls(w).mainList->cardCount(), 3);
}

TEST(CardDeletion, AFailedRenameLeavesTheRegisterAndTheArchiveAsTheyWere) {
    TestInstall t;
    const auto cards = makeCards(5);
    const auto archived = makeCards(2, 30);
    TForm1& w = startRegister(t, cards, archived);
    showCard(w, 2);
    // The register moves aside (the open file keeps reading it) and a folder that cannot be
    // renamed over takes its name.
    ASSERT_TRUE(QFile::rename(t.path("Baza/Anketi.dat"), t.path("Baza/Anketi.old")));
    ASSERT_TRUE(QDir().mkpath(t.path("Baza/Anketi.dat/blocker")));

    answerNextChoice(t.app(), 2);
    controls(w).nDelete->click();

    ASSERT_EQ(t.platform.messages.size(), 1);
    EXPECT_EQ(t.platform.messages[0].kind, ShownMessage::Error);
    EXPECT_TRUE(t.platform.messages[0].text.contains(QStringLiteral("Anketi.dat")));
    EXPECT_EQ(t.readFile("Baza/Anketi.old"), cardBytes(cards));
    EXPECT_EQ(t.readFile("Baza/ArhAnket.dat"), cardBytes(archived));
    EXPECT_EQ(t.readFile("Baza/History.dat").size(), 0) << "a version kept for no deletion";
    EXPECT_EQ(controls(w).vArh->text(), QStringLiteral("2"));
    EXPECT_EQ(t.readFile("Temp/RabAnket.dat").size(), 0);
    EXPECT_EQ(controls(w).vRab->text(), QStringLiteral("0"));
    expectRegisterShows(w, cards);
    EXPECT_EQ(t.app().session().mainCount(), 5);
    EXPECT_EQ(w.session().shownIndex(), 2);
    EXPECT_EQ(controls(w).NameOrg->currentText(), cards[2].NameOrg.text());
}

TEST(CardDeletion, TheWorkingListInViewIsRefilled) {
    TestInstall t;
    const auto cards = makeCards(4);
    TForm1& w = startRegister(t, cards);
    t.app().session().appendToWorking(cards[0]);
    t.app().session().appendToWorking(cards[1]);
    controls(w).SpTabl->setCurrentWidget(controls(w).TabSheet2);
    ASSERT_EQ(controls(w).workingList->cardCount(), 2);
    showCard(w, 0);

    answerNextChoice(t.app(), 1);
    controls(w).nDelete->click();

    EXPECT_EQ(controls(w).workingList->cardCount(), 0);
    EXPECT_EQ(t.readFile("Temp/RabAnket.dat").size(), 0);
}

TEST(CardDeletion, IncompleteTailRecordsAreNeverTurnedIntoCards) {
    TestInstall t;
    t.makeFolders();
    const auto cards = makeCards(3);
    const auto archived = makeCards(1, 40);
    t.writeFile("Baza/Anketi.dat", cardBytes(cards) + QByteArray(100, '\x55'));
    t.writeFile("Baza/ArhAnket.dat", cardBytes(archived) + QByteArray(500, '\x66'));
    ZelmApp& app = t.start();
    app.user().UserDostup = QStringLiteral("Z");
    TForm1& w = *app.form1();
    EXPECT_EQ(controls(w).mainList->cardCount(), 3);
    showCard(w, 1);

    answerNextChoice(app, 2);
    controls(w).nDelete->click();

    EXPECT_TRUE(t.platform.messages.isEmpty());
    EXPECT_EQ(t.readFile("Baza/Anketi.dat"), cardBytes({cards[0], cards[2]}));
    EXPECT_EQ(t.readFile("Baza/ArhAnket.dat"), cardBytes({archived[0], cards[1]}));
    EXPECT_EQ(controls(w).vArh->text(), QStringLiteral("2"));
}

TEST(CardMark, TogglesTheMarkOfTheCardShownInTheFileAtOnce) {
    TestInstall t;
    auto cards = makeCards(4);
    cards[1].Otmetka.set(QStringLiteral("уд"));
    cards[2].Otmetka.set(QStringLiteral(" "));
    cards[3].Otmetka.set(QStringLiteral("ок"));
    TForm1& w = startRegister(t, cards);
    ZelmApp& app = t.app();
    auto storedMark = [&](int i) { return t.readCards("Baza/Anketi.dat")[i].Otmetka.text(); };

    // Every user may mark; the selection elsewhere does not matter.
    app.user().UserDostup = QStringLiteral("A");
    w.selectMainRow(3);
    w.session().showMainCard(0);
    // An edit still pending in the window is not written with the mark.
    controls(w).NameOrg->setEditText(QStringLiteral("ООО «Несохранённое»"));
    controls(w).OtmDel->click();
    EXPECT_EQ(storedMark(0), QStringLiteral("уд"));
    EXPECT_EQ(controls(w).Otmetka->text(), QStringLiteral("уд"));
    EXPECT_EQ(t.readCards("Baza/Anketi.dat")[0].NameOrg.text(), cards[0].NameOrg.text());
    EXPECT_EQ(controls(w).NameOrg->currentText(), QStringLiteral("ООО «Несохранённое»"));
    EXPECT_EQ(app.session().mainPosition(), 0);
    controls(w).OtmDel->click();
    EXPECT_EQ(storedMark(0), QString());

    for (int i : {1, 2, 3}) {
        w.session().showMainCard(i);
        controls(w).OtmDel->click();
        EXPECT_EQ(storedMark(i), QString()) << i;
        EXPECT_EQ(controls(w).Otmetka->text(), QString()) << i;
    }
    EXPECT_TRUE(t.platform.messages.isEmpty());
    EXPECT_EQ(t.readCards("Baza/Anketi.dat").size(), 4u);
}
