// A save on a link that fails: the user is told what really happened, within the time limit,
// and the edit stays until it is stored once.
#include "common/CardFactory.h"
#include "common/FaultProxy.h"
#include "remote/ServerCards.h"
#include "server/ServerError.h"
#include "server/ServerFixture.h"
#include "session/CardSession.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

using namespace zelm;
using namespace zelm::testing;

namespace {

// A workstation whose link to the server runs through the tests' relay, with limits short
// enough for a test.
class ThroughRelay : public ServerTest {
protected:
    void SetUp() override {
        ServerTest::SetUp();
        if (IsSkipped())
            return;
        proxy = std::make_unique<FaultProxy>(pg->socketFolder());
        ASSERT_TRUE(proxy->listening());
        other = workstation(QStringLiteral("Петров П.П."), QStringLiteral("ws2"));
        for (int i = 0; i < 3; ++i)
            other->append(makeCard(i));

        ServerConfig config = ServerConfig::parse(proxy->connectionString(QStringLiteral("zelm")));
        config.limits.statementMs = 2000;
        config.limits.idleInTransactionMs = 1500;
        config.limits.replyMarginMs = 1000;
        server = std::make_unique<ServerRegister>(config);
        server->setIdentity(QStringLiteral("Иванов И.И."), QStringLiteral("ws1"));
        server->open();
        QDir(dir.path()).mkpath(QStringLiteral("Baza"));
        QDir(dir.path()).mkpath(QStringLiteral("Temp"));
        inst = std::make_unique<Installation>(dir.path());
        user.UserFIO = QStringLiteral("Иванов И.И.");
        session =
            std::make_unique<CardSession>(*inst, user, std::make_unique<ServerCards>(*server));
        ASSERT_TRUE(session->openFiles());
    }
    qint64 storedCount() { return other->countCards(CardFileKind::Main); }

    // The message of the save that failed; empty when it did not fail.
    QString failedSave() {
        try {
            session->save();
        } catch (const std::exception& e) {
            return QString::fromStdString(e.what());
        }
        return {};
    }

    std::unique_ptr<FaultProxy> proxy;
    std::unique_ptr<ServerRegister> other;
    std::unique_ptr<ServerRegister> server;
    QTemporaryDir dir;
    std::unique_ptr<Installation> inst;
    CurrentUser user;
    std::unique_ptr<CardSession> session;
};

using SilentLink = ThroughRelay;
using LostCommitReply = ThroughRelay;

TEST_F(SilentLink, ASaveOnASilentLinkFailsInRussianWithinTheLimitAndKeepsTheEdit) {
    session->showMainCard(1);
    TAnketa edits = session->CurrentCard();
    edits.Rezultat.set(QStringLiteral("правка на обрыве"));
    session->setEdits(edits);
    proxy->setSilent(true);

    QElapsedTimer clock;
    clock.start();
    const QString message = failedSave();
    EXPECT_LT(clock.elapsed(), server->connection().config().limits.replyMs() + 1000);
    EXPECT_TRUE(message.contains(server->serverName())) << message.toStdString();
    EXPECT_TRUE(message.contains(QStringLiteral("не ответил"))) << message.toStdString();
    EXPECT_EQ(session->editedCard().Rezultat.text(), QStringLiteral("правка на обрыве"));

    // The link is back: the kept edit is stored, once, over the card as it was read.
    proxy->setSilent(false);
    EXPECT_EQ(session->save(), CardSession::SaveOutcome::Overwritten);
    const std::vector<CardRow> order = other->listCards(CardFileKind::Main);
    EXPECT_EQ(other->readCard(order[1].id)->record.Rezultat.text(),
              QStringLiteral("правка на обрыве"));
    EXPECT_EQ(other->readCard(order[1].id)->version, 2);

    // A reply that stops halfway is a silent link too.
    edits = session->CurrentCard();
    edits.Prime4.set(QStringLiteral("ответ оборвался"));
    session->setEdits(edits);
    proxy->stallAfter(7);
    clock.restart();
    const QString cut = failedSave();
    EXPECT_LT(clock.elapsed(), server->connection().config().limits.replyMs() + 1000);
    EXPECT_TRUE(cut.contains(QStringLiteral("не ответил"))) << cut.toStdString();
    EXPECT_EQ(session->editedCard().Prime4.text(), QStringLiteral("ответ оборвался"));
    proxy->stallAfter(-1);
    EXPECT_EQ(session->save(), CardSession::SaveOutcome::Overwritten);
    EXPECT_EQ(other->readCard(order[1].id)->record.Prime4.text(),
              QStringLiteral("ответ оборвался"));
}

TEST_F(LostCommitReply, ANewCardIsStoredExactlyOnceWhateverBecameOfTheReply) {
    // The reply is lost but the server is asked on a new connection: the card is stored, and
    // the user is told so.
    bool empty = false;
    session->beginNewCard(empty);
    TAnketa first = makeCard(10);
    session->setEdits(first);
    proxy->dropNextCommitReply();
    EXPECT_EQ(session->save(), CardSession::SaveOutcome::Appended);
    EXPECT_EQ(proxy->droppedReplies(), 1);
    EXPECT_EQ(storedCount(), 4);
    EXPECT_EQ(session->CardTotal(), 4);

    // The link stays down: what happened cannot be learnt, and the user is told exactly that.
    session->beginNewCard(empty);
    TAnketa second = makeCard(11);
    session->setEdits(second);
    proxy->dropNextCommitReply(true);
    const QString message = failedSave();
    EXPECT_TRUE(message.contains(QStringLiteral("записана ли карточка"))) << message.toStdString();
    EXPECT_TRUE(message.contains(server->serverName())) << message.toStdString();
    EXPECT_EQ(storedCount(), 5) << "the server did store it";
    EXPECT_EQ(session->editedCard().NameOrg.text(), second.NameOrg.text()) << "the edit stays";

    // The user saves again once the link is back: the card already stored is found, not
    // stored a second time.
    proxy->setRefusing(false);
    EXPECT_EQ(session->save(), CardSession::SaveOutcome::Appended);
    EXPECT_EQ(storedCount(), 5);
    EXPECT_EQ(session->CurrentCard().NameOrg.text(), second.NameOrg.text());
    EXPECT_EQ(session->CurrentCard().GurN, 5);

    // A command that never reached its COMMIT is reported as not done.
    session->showMainCard(0);
    TAnketa edits = session->CurrentCard();
    edits.Prime4.set(QStringLiteral("не дошло"));
    session->setEdits(edits);
    proxy->setSilent(true);
    EXPECT_FALSE(failedSave().isEmpty());
    proxy->setSilent(false);
    EXPECT_NE(other->readCard(other->listCards(CardFileKind::Main)[0].id)->record.Prime4.text(),
              QStringLiteral("не дошло"));
}

} // namespace
