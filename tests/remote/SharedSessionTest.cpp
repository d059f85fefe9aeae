// Two workstations' sessions on one register kept by a real PostgreSQL server: what each stores
// reaches the other, and nothing either stored is lost or overwritten unasked.
#include "cardlists/CardFileModel.h"
#include "common/CardFactory.h"
#include "remote/RegisterFeed.h"
#include "remote/ServerCards.h"
#include "server/ServerFixture.h"
#include "server/ServerRegister.h"
#include "session/CardSession.h"
#include "store/Cp1251.h"
#include "store/Cp1251Lower.h"

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

using namespace zelm;
using namespace zelm::testing;

namespace {

// One workstation: its own installation folder (the Working card file is its own) and its
// own connection to the shared register.
struct Workstation {
    Workstation(const QString& conninfo, const QString& name, const QString& machine) {
        QDir(dir.path()).mkpath(QStringLiteral("Baza"));
        QDir(dir.path()).mkpath(QStringLiteral("Temp"));
        inst = std::make_unique<Installation>(dir.path());
        user.UserFIO = name;
        server = std::make_unique<ServerRegister>(ServerConfig::parse(conninfo));
        server->setIdentity(name, machine);
        server->open();
        session =
            std::make_unique<CardSession>(*inst, user, std::make_unique<ServerCards>(*server));
        feed = std::make_unique<RegisterFeed>(*server, *session);
        feed->start();
    }
    // Stores the edited card as a new one.
    CardSession::SaveOutcome saveNew(const TAnketa& card) {
        bool empty = false;
        session->beginNewCard(empty);
        session->setEdits(card);
        return session->save();
    }
    QTemporaryDir dir;
    std::unique_ptr<Installation> inst;
    CurrentUser user;
    std::unique_ptr<ServerRegister> server;
    std::unique_ptr<CardSession> session;
    std::unique_ptr<RegisterFeed> feed;
};

class SharedSession : public ServerTest {
protected:
    void SetUp() override {
        ServerTest::SetUp();
        if (IsSkipped())
            return;
        a = std::make_unique<Workstation>(conninfo, QStringLiteral("Иванов И.И."),
                                          QStringLiteral("ws1"));
        b = std::make_unique<Workstation>(conninfo, QStringLiteral("Петров П.П."),
                                          QStringLiteral("ws2"));
        ASSERT_EQ(b->server->login(QStringLiteral("Пользователь 1"), QStringLiteral("317968")),
                  QStringLiteral("W"));
    }
    // Three cards stored by A, then both sessions opened on them.
    void startWithThreeCards() {
        for (int i = 0; i < 3; ++i)
            a->server->append(makeCard(i));
        ASSERT_TRUE(a->session->openFiles());
        ASSERT_TRUE(b->session->openFiles());
    }

    std::unique_ptr<Workstation> a;
    std::unique_ptr<Workstation> b;
};

TEST_F(SharedSession, TwoWorkstationsAppendingAtOnceNeverStoreOneNumberTwice) {
    EXPECT_FALSE(a->session->openFiles());
    EXPECT_FALSE(b->session->openFiles());
    // Both new cards were given the same number in the same clock tick.
    TAnketa first = makeCard(1);
    TAnketa second = makeCard(2);
    second.Klu4Form1 = first.Klu4Form1;
    // Card text reaches the server only as a parameter: it is stored as typed.
    first.NameOrg.set(QStringLiteral("ООО \"Ромашка\" '); DROP TABLE cards; --"));
    first.Prime4.set(QStringLiteral("путь C:\\ЗЕЛМ\\акт №1 «ё»"));
    EXPECT_EQ(a->saveNew(first), CardSession::SaveOutcome::Appended);
    EXPECT_EQ(b->saveNew(second), CardSession::SaveOutcome::Appended);

    b->session->cardsChangedElsewhere({});
    ASSERT_EQ(b->session->CardTotal(), 2);
    const TAnketa storedFirst = b->session->cardToPrint(); // B shows its own card
    EXPECT_NE(storedFirst.Klu4Form1, first.Klu4Form1) << "the second card got a number of its own";
    b->session->showMainCard(0);
    TAnketa expected = a->session->CurrentCard();
    EXPECT_EQ(bytesOf(b->session->CurrentCard()), bytesOf(expected));
    EXPECT_EQ(b->session->CurrentCard().NameOrg.text(),
              QStringLiteral("ООО \"Ромашка\" '); DROP TABLE cards; --"));
    EXPECT_EQ(b->session->indexOfNumber(first.Klu4Form1), 0);
    EXPECT_EQ(b->session->indexOfNumber(storedFirst.Klu4Form1), 1);

    // A find-all lets the server pick the candidates, folded as the local search folds case.
    CardFilter filter;
    filter.texts.push_back(
        {offsetof(TAnketa, NameOrg), lowerCp1251(toCp1251(QStringLiteral("РОМАШКА\" ')")))});
    int asked = 0;
    EXPECT_EQ(b->session->appendMatchesToWorking(
                  [&asked](const TAnketa&) {
                      ++asked;
                      return true;
                  },
                  &filter),
              1);
    EXPECT_EQ(asked, 1) << "only the candidate was sent";
    EXPECT_EQ(b->session->cardAt(SideFile::Working, 0).Klu4Form1, first.Klu4Form1);
}

TEST_F(SharedSession, AConflictingSaveIsAskedAndNothingIsLostEitherWay) {
    startWithThreeCards();
    a->session->showMainCard(1);
    b->session->showMainCard(1);

    TAnketa byB = b->session->CurrentCard();
    byB.Rezultat.set(QStringLiteral("правка Петрова"));
    b->session->setEdits(byB);
    ASSERT_EQ(b->session->save(), CardSession::SaveOutcome::Overwritten);

    TAnketa byA = a->session->CurrentCard();
    byA.Prime4.set(QStringLiteral("правка Иванова"));
    a->session->setEdits(byA);
    ASSERT_EQ(a->session->save(), CardSession::SaveOutcome::Conflict);
    const QString question = changedElsewhereQuestion(a->session->theirs());
    EXPECT_TRUE(question.startsWith(
        QStringLiteral("Карточку изменил(а) Пользователь 1 (pgadmin) (ws2) в ")))
        << question.toStdString();
    EXPECT_TRUE(question.endsWith(QStringLiteral(". Записать поверх?")));
    EXPECT_EQ(a->session->editedCard().Prime4.text(), QStringLiteral("правка Иванова"))
        << "the edits stay while the user is asked";

    // «Нет»: their version is shown, and it is what the server holds.
    a->session->showTheirs();
    EXPECT_EQ(a->session->CurrentCard().Rezultat.text(), QStringLiteral("правка Петрова"));

    // «Да» on the next try: the edits are written over their version.
    byA = a->session->CurrentCard();
    byA.Prime4.set(QStringLiteral("правка Иванова"));
    a->session->setEdits(byA);
    b->session->setEdits(byB); // B saves again meanwhile
    ASSERT_EQ(b->session->save(), CardSession::SaveOutcome::Overwritten);
    ASSERT_EQ(a->session->save(), CardSession::SaveOutcome::Conflict);
    ASSERT_EQ(a->session->saveOver(), CardSession::SaveOutcome::Overwritten);
    b->session->showMainCard(1);
    EXPECT_EQ(b->session->CurrentCard().Prime4.text(), QStringLiteral("правка Иванова"));
    EXPECT_EQ(b->session->CurrentCard().Rezultat.text(), QStringLiteral("правка Петрова"));
    EXPECT_EQ(b->session->CurrentCard().AdminFIO.text(), QStringLiteral("Иванов И.И."));
}

TEST_F(SharedSession, AChangeReachesTheOtherWithinASecondAndTheCardInEditStays) {
    startWithThreeCards();
    CardFileModel list(false);
    list.setRows(a->session->cardRegister().rows(RegisterFile::Main));
    QObject::connect(a->session.get(), &CardSession::registerReloaded, &list,
                     [&list] { list.refresh(); });
    a->session->showMainCard(1);
    TAnketa edits = a->session->CurrentCard();
    edits.Prime4.set(QStringLiteral("не записано"));
    a->session->setEdits(edits);
    QSignalSpy marked(a->session.get(), &CardSession::shownCardChangedElsewhere);

    // B inserts after the first card and deletes the card A is editing.
    b->session->showMainCard(0);
    TAnketa inserted = makeCard(7);
    const qint64 at = b->session->insertBlankCardAfter(0, 42);
    EXPECT_EQ(at, 1);
    b->session->showMainCard(2); // makeCard(1), the card A shows
    b->session->deleteShownCard(DeletionKind::IntoArchive);

    ASSERT_TRUE(marked.wait(1000)) << "A heard of it within a second";
    EXPECT_TRUE(a->session->shownChangedElsewhere());
    EXPECT_EQ(a->session->CardTotal(), 3);
    EXPECT_EQ(a->session->cardCount(SideFile::Archive), 1);
    EXPECT_EQ(list.rowCount(), 3);
    EXPECT_EQ(list.cellText(0, 1), makeCard(0).NameOrg.text());
    EXPECT_EQ(list.cellText(2, 1), makeCard(2).NameOrg.text());
    TAnketa row1;
    ASSERT_TRUE(list.card(1, row1));
    EXPECT_EQ(row1.GurN, 42) << "the inserted card sits after its anchor";
    // The card in edit was not replaced under the user's hands; its save is refused.
    EXPECT_EQ(a->session->editedCard().Prime4.text(), QStringLiteral("не записано"));
    EXPECT_EQ(a->session->save(), CardSession::SaveOutcome::Gone);
    EXPECT_EQ(a->session->editedCard().Prime4.text(), QStringLiteral("не записано"));
    (void)inserted;
}

TEST_F(SharedSession, AServerKilledDuringASaveStoresNoHalfCardAndTheEditStays) {
    startWithThreeCards();
    a->session->showMainCard(2);
    TAnketa edits = a->session->CurrentCard();
    edits.Rezultat.set(QStringLiteral("после сбоя"));
    a->session->setEdits(edits);
    pg->crash();
    EXPECT_THROW(a->session->save(), std::runtime_error);
    EXPECT_EQ(a->session->editedCard().Rezultat.text(), QStringLiteral("после сбоя"));
    ASSERT_TRUE(pg->start());
    // The next command connects again and stores the edits whole.
    EXPECT_EQ(a->session->save(), CardSession::SaveOutcome::Overwritten);
    b->session->showMainCard(2);
    TAnketa expected = makeCard(2);
    EXPECT_EQ(b->session->CurrentCard().Rezultat.text(), QStringLiteral("после сбоя"));
    EXPECT_EQ(b->session->CurrentCard().NameOrg.text(), expected.NameOrg.text());
    EXPECT_EQ(b->session->CardTotal(), 3);
}

} // namespace
