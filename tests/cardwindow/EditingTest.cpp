#include "cardwindow/CardListModel.h"
#include "cardwindow/TForm1.h"
#include "common/CardFactory.h"
#include "common/Form1Controls.h"
#include "common/TestInstall.h"
#include "store/DayCount.h"
#include "store/UnitGlo.h"
#include "widgets/TdxfColorButton.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <QToolButton>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>

using namespace zelm;
using namespace zelm::testing;

namespace {

// Writes that would make a file longer than `bytes` fail (EFBIG) while it lives.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &m_old);
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = m_old;
        small.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &small);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit m_old{};
    void (*m_oldHandler)(int) = SIG_DFL;
};

const QDateTime kNow(QDate(2026, 12, 6), QTime(12, 0));

struct Editing : ::testing::Test {
    void startWith(std::vector<TAnketa> stored) {
        setClockForTesting([] { return kNow; });
        t.makeFolders();
        cards = std::move(stored);
        t.writeCards("Baza/Anketi.dat", cards);
        app = &t.start();
        w = app->form1();
        app->user().UserFIO = QStringLiteral("Петров П.П.");
        app->user().UserDostup = QStringLiteral("Z");
    }
    void click(QAbstractButton* b) { QTest::mouseClick(b, Qt::LeftButton); }
    std::vector<TAnketa> onDisk() const { return t.readCards("Baza/Anketi.dat"); }
    Form1Controls& ui() { return controls(w); }

    TestInstall t;
    std::vector<TAnketa> cards;
    ZelmApp* app = nullptr;
    TForm1* w = nullptr;
};

} // namespace

TEST_F(Editing, NewCardIsAppendedWithTheNextRunningNumberThenCorrected) {
    auto stored = makeCards(3);
    stored[2].GurN = 7;
    startWith(stored);
    click(ui().nNew);
    EXPECT_EQ(w->session().CardMode(), QStringLiteral("New"));
    EXPECT_TRUE(ui().nNew->isHidden());
    EXPECT_EQ(ui().GurN->text(), QStringLiteral("8"));
    EXPECT_EQ(ui().DaWrSozd->text(), QStringLiteral("06.12.26 12:00"));
    ui().NameOrg->setEditText(QStringLiteral("ООО «Новая»"));
    click(ui().nSave);
    auto disk = onDisk();
    ASSERT_EQ(disk.size(), 4u);
    EXPECT_EQ(disk[3].GurN, 8);
    EXPECT_EQ(disk[3].NameOrg.text(), QStringLiteral("ООО «Новая»"));
    EXPECT_EQ(disk[3].AdminFIO.text(), QStringLiteral("Петров П.П."));
    EXPECT_EQ(disk[3].DaWrSozd, toDayCount(kNow));
    EXPECT_EQ(disk[3].DWKorr, toDayCount(kNow));
    EXPECT_EQ(w->session().CardMode(), QStringLiteral("Korr"));
    EXPECT_EQ(ui().mainList->rowCount(), 4);
    EXPECT_EQ(w->selectedMainRow(), 3);
    EXPECT_EQ(ui().NNaidena->text(), QStringLiteral("4"));
    EXPECT_FALSE(ui().nNew->isHidden());

    const QDateTime later = kNow.addSecs(3600);
    setClockForTesting([later] { return later; });
    ui().NameOrg->setEditText(QStringLiteral("ООО «Исправленная»"));
    click(ui().nSave);
    disk = onDisk();
    ASSERT_EQ(disk.size(), 4u);
    EXPECT_EQ(disk[3].NameOrg.text(), QStringLiteral("ООО «Исправленная»"));
    EXPECT_EQ(disk[3].DaWrSozd, toDayCount(kNow));
    EXPECT_EQ(disk[3].DWKorr, toDayCount(later));
    EXPECT_EQ(ui().mainList->cellText(3, 1), QStringLiteral("ООО «Исправленная»"));
    EXPECT_EQ(disk[0].NameOrg.text(), cards[0].NameOrg.text());
}

TEST_F(Editing, SaveRightAfterStartWritesTheLastCard) {
    startWith(makeCards(3));
    ui().INNOrg->setText(QStringLiteral("123"));
    click(ui().nSave);
    auto disk = onDisk();
    ASSERT_EQ(disk.size(), 3u);
    EXPECT_EQ(disk[2].INNOrg.text(), QStringLiteral("123"));
    EXPECT_EQ(disk[1].INNOrg.text(), cards[1].INNOrg.text());
}

TEST_F(Editing, SaveWritesTheCardShownWhateverTheFilePosition) {
    startWith(makeCards(4));
    // As a backward search step shows a card: by ShowRecord, the position elsewhere.
    w->session().showFoundCard(1, cards[1]);
    app->session().seekMain(3);
    ui().Otmetka->setText(QStringLiteral("уд"));
    click(ui().nSave);
    auto disk = onDisk();
    EXPECT_EQ(disk[1].Otmetka.text(), QStringLiteral("уд"));
    EXPECT_EQ(disk[1].Klu4Form1, cards[1].Klu4Form1);
    EXPECT_EQ(disk[3].Otmetka.text(), cards[3].Otmetka.text());
    EXPECT_EQ(disk[3].NameOrg.text(), cards[3].NameOrg.text());
}

TEST_F(Editing, AnArchivedCardIsNeverWrittenOverAMainCard) {
    startWith(makeCards(2));
    const QByteArray before = t.readFile("Baza/Anketi.dat");
    w->session().showArchivedCard(makeCard(50));
    click(ui().nSave);
    ASSERT_NE(t.platform.lastMessage(), nullptr);
    EXPECT_EQ(t.platform.lastMessage()->caption, QStringLiteral("Операция не выполнена"));
    EXPECT_TRUE(
        t.platform.lastMessage()->text.startsWith(QStringLiteral("Эта карточка из Архива")));
    EXPECT_EQ(t.readFile("Baza/Anketi.dat"), before);
}

TEST_F(Editing, NewCardThatShowsAStoredCardGetsANumberOfItsOwn) {
    startWith(makeCards(3));
    click(ui().nNew);
    click(ui().SpeedButBeg); // shows card 1 while the mode stays "New"
    EXPECT_EQ(w->session().CardMode(), QStringLiteral("New"));
    click(ui().nSave);
    auto disk = onDisk();
    ASSERT_EQ(disk.size(), 4u);
    EXPECT_EQ(disk[3].NameOrg.text(), cards[0].NameOrg.text());
    EXPECT_NE(disk[3].Klu4Form1, cards[0].Klu4Form1);
    EXPECT_EQ(ui().Klu4Form1->text(), QString::number(disk[3].Klu4Form1));
}

TEST_F(Editing, CopyKeepsFieldsTakesANewIdentityAndHoldsTheServiceMenu) {
    auto stored = makeCards(5);
    stored[4].GurN = 41;
    startWith(stored);
    click(ui().SpeedButBeg);
    click(ui().SpeedButNext); // card 2
    click(ui().nCopiy);
    EXPECT_EQ(ui().GurN->text(), QStringLiteral("42"));
    EXPECT_NE(ui().Klu4Form1->text(), QString::number(cards[1].Klu4Form1));
    EXPECT_EQ(ui().DaWrSozd->text(), UniqueNumberText(ui().Klu4Form1->text().toInt()));
    EXPECT_EQ(ui().NameOrg->currentText(), cards[1].NameOrg.text());
    EXPECT_FALSE(ui().N7->isEnabled());
    click(ui().nOtmena);
    EXPECT_FALSE(ui().N7->isEnabled()); // a cancelled copy leaves the menu off
    EXPECT_EQ(w->session().CardMode(), QStringLiteral("Korr"));
    EXPECT_EQ(ui().NameOrg->currentText(), cards[1].NameOrg.text());
    click(ui().nCopiy);
    click(ui().nSave);
    EXPECT_TRUE(ui().N7->isEnabled());
    EXPECT_EQ(onDisk().size(), 6u);
}

TEST_F(Editing, RunningNumberThatIsNoIntegerWritesNothing) {
    startWith(makeCards(2));
    click(ui().nNew);
    ui().GurN->setText(QStringLiteral("12а"));
    click(ui().nSave);
    ASSERT_NE(t.platform.lastMessage(), nullptr);
    EXPECT_EQ(t.platform.lastMessage()->text, QStringLiteral("«12а» — не целое число"));
    EXPECT_EQ(onDisk().size(), 2u);
    EXPECT_EQ(w->session().CardMode(), QStringLiteral("New"));
}

TEST_F(Editing, LongUserNameIsCutToTwentyCharacters) {
    startWith(makeCards(1));
    app->user().UserFIO = QStringLiteral("Константинопольский К.");
    click(ui().nSave);
    EXPECT_EQ(onDisk()[0].AdminFIO.text(), QStringLiteral("Константинопольский К.").left(20));
}

TEST_F(Editing, FirstCardOfAnEmptyRegister) {
    startWith({});
    EXPECT_EQ(w->session().CardMode(), QStringLiteral("New"));
    ui().NameOrg->setEditText(QStringLiteral("АО «Первое»"));
    click(ui().nSave);
    auto disk = onDisk();
    ASSERT_EQ(disk.size(), 1u);
    EXPECT_EQ(disk[0].GurN, 1);
    EXPECT_EQ(ui().mainList->rowCount(), 1);
    EXPECT_EQ(w->selectedMainRow(), 0);
    EXPECT_FALSE(ui().nNew->isHidden());
}

TEST_F(Editing, InsertAfterTheSecondOfFour) {
    startWith(makeCards(4));
    click(ui().SpeedButBeg);
    click(ui().SpeedButNext);
    t.platform.answers.enqueue(true);
    click(ui().nWstavit);
    ASSERT_NE(t.platform.lastMessage(), nullptr);
    EXPECT_EQ(t.platform.lastMessage()->caption, QStringLiteral("После карточки 2"));
    EXPECT_EQ(t.platform.lastMessage()->text, QStringLiteral("Вставить карточку ?"));
    auto disk = onDisk();
    ASSERT_EQ(disk.size(), 5u);
    EXPECT_EQ(disk[1].Klu4Form1, cards[1].Klu4Form1);
    EXPECT_EQ(disk[2].NameOrg.text(), QString());
    EXPECT_EQ(disk[2].GurN, cards[1].GurN);
    EXPECT_EQ(disk[3].Klu4Form1, cards[2].Klu4Form1);
    EXPECT_EQ(disk[4].Klu4Form1, cards[3].Klu4Form1);
    EXPECT_EQ(t.readFile("Temp/RabAnket.dat"), t.readFile("Baza/Anketi.dat"));
    EXPECT_EQ(w->selectedMainRow(), 2);
    EXPECT_EQ(ui().mainList->rowCount(), 5);
    EXPECT_EQ(ui().GurN->text(), QStringLiteral("0"));
    EXPECT_EQ(w->session().shownIndex(), 2);
    // Saving now writes the inserted card, not its neighbour.
    ui().GurN->setText(QStringLiteral("99"));
    click(ui().nSave);
    disk = onDisk();
    EXPECT_EQ(disk[2].GurN, 99);
    EXPECT_EQ(disk[3].Klu4Form1, cards[2].Klu4Form1);
}

TEST_F(Editing, InsertAtTheEndOrRefusedChangesNothing) {
    startWith(makeCards(3));
    const QByteArray before = t.readFile("Baza/Anketi.dat");
    click(ui().nWstavit); // the last row is selected
    EXPECT_EQ(t.platform.lastMessage()->caption, QStringLiteral("Вы находитесь в конце таблицы"));
    click(ui().SpeedButBeg);
    t.platform.answers.enqueue(false);
    click(ui().nWstavit);
    EXPECT_EQ(t.platform.lastMessage()->kind, ShownMessage::Question);
    EXPECT_EQ(t.readFile("Baza/Anketi.dat"), before);
}

TEST_F(Editing, InsertThatCannotWriteTheNewRegisterLeavesTheOldOne) {
    startWith(makeCards(3));
    const QByteArray before = t.readFile("Baza/Anketi.dat");
    click(ui().SpeedButBeg);
    t.platform.answers.enqueue(true);
    {
        // No file may grow past the three cards stored: the new register cannot be written.
        const FileSizeLimit limit(3 * sizeof(TAnketa));
        click(ui().nWstavit);
    }
    EXPECT_EQ(t.platform.lastMessage()->kind, ShownMessage::Error);
    EXPECT_EQ(t.readFile("Baza/Anketi.dat"), before);
    EXPECT_EQ(ui().mainList->rowCount(), 3);
    // The register is still usable.
    click(ui().SpeedButEnd);
    EXPECT_EQ(ui().NameOrg->currentText(), cards[2].NameOrg.text());
}

TEST_F(Editing, AnotherProgramsChangeToTheCardShownIsAskedAboutAndAGoneCardKeepsTheEdit) {
    startWith(makeCards(4));
    w->session().showMainCard(1);
    ui().INNOrg->setText(QStringLiteral("7701"));
    TAnketa theirs = cards[1];
    theirs.NameOrg.set(QStringLiteral("ООО «Чужая правка»"));
    t.writeCardAt("Baza/Anketi.dat", 1, theirs);

    // No: their version is shown and stays; the edit is given up.
    t.platform.answers.enqueue(false);
    click(ui().nSave);
    ASSERT_NE(t.platform.lastMessage(), nullptr);
    EXPECT_EQ(t.platform.lastMessage()->kind, ShownMessage::Question);
    EXPECT_TRUE(t.platform.lastMessage()->text.startsWith(
        QStringLiteral("Карточку изменил(а) другая программа в ")));
    EXPECT_EQ(ui().NameOrg->currentText(), QStringLiteral("ООО «Чужая правка»"));
    EXPECT_EQ(onDisk()[1].NameOrg.text(), QStringLiteral("ООО «Чужая правка»"));
    EXPECT_EQ(onDisk()[1].INNOrg.text(), cards[1].INNOrg.text());

    // Another program cuts the file under the card shown: nothing is written, and the user
    // is told so in Russian, the edit still in the window.
    ui().INNOrg->setText(QStringLiteral("7702"));
    t.writeCards("Baza/Anketi.dat", {cards[0]});
    click(ui().nSave);
    EXPECT_EQ(t.platform.lastMessage()->kind, ShownMessage::Notice);
    EXPECT_TRUE(t.platform.lastMessage()->text.startsWith(
        QStringLiteral("Карточки больше нет в Главной картотеке")));
    EXPECT_EQ(ui().INNOrg->text(), QStringLiteral("7702"));
    EXPECT_EQ(t.readFile("Baza/Anketi.dat"),
              QByteArray(reinterpret_cast<const char*>(&cards[0]), sizeof(TAnketa)));
}
