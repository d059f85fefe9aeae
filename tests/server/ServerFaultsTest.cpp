// The server going away: during a save, and between commands.
#include "ServerFixture.h"
#include "server/ChangeFeed.h"
#include "server/ServerError.h"

#include <QSignalSpy>
#include <QTest>
#include <QThread>
#include <atomic>
#include <thread>

using namespace zelm;
using namespace zelm::testing;

using ServerFaultsTest = ServerTest;

TEST_F(ServerFaultsTest, AServerKilledDuringASaveLeavesNoHalfCard) {
    auto a = workstation(QStringLiteral("Иванов"), QStringLiteral("ws1"));
    const ServerCard stored = a->append(makeCard(1));
    const QByteArray before = bytesOf(a->readCard(stored.id)->record);

    // Another workstation holds the card's row, so the save is on the server, not yet done,
    // when the server dies.
    PgConnection holder(ServerConfig::parse(conninfo));
    holder.exec("BEGIN");
    holder.exec("SELECT 1 FROM cards WHERE id = $1 FOR UPDATE", {PgParam::integer(stored.id)});

    TAnketa edited = stored.record;
    edited.NameOrg.set(QStringLiteral("ООО «Правка, которую нельзя терять»"));
    edited.Prime4.set(QString(250, QChar(0x0436)));
    std::atomic<bool> failed{false};
    std::atomic<bool> lost{false};
    std::thread saving([&] {
        try {
            a->save(stored.id, edited, stored.version);
        } catch (const ServerError& e) {
            failed = true;
            lost = e.connectionLost() && e.message().contains(a->serverName());
        }
    });
    PgConnection watcher(ServerConfig::parse(conninfo));
    for (int i = 0; i < 100; ++i) {
        const PgResult w =
            watcher.exec("SELECT count(*) FROM pg_stat_activity WHERE wait_event_type = 'Lock'");
        if (w.int64(0, 0) > 0)
            break;
        QThread::msleep(20);
    }
    pg->crash();
    saving.join();
    EXPECT_TRUE(failed) << "the save reported success on a dead server";
    EXPECT_TRUE(lost) << "the message says the connection broke and names the server";

    ASSERT_TRUE(pg->start());
    const std::optional<ServerCard> after = a->readCard(stored.id); // reconnects
    ASSERT_TRUE(after.has_value());
    EXPECT_EQ(bytesOf(after->record), before) << "half a card, or the edit, got stored";
    EXPECT_EQ(after->version, stored.version);
    // The edit the user kept is saved once the server is back.
    EXPECT_EQ(a->save(stored.id, edited, stored.version).status, SaveResult::Status::Saved);
    EXPECT_EQ(bytesOf(a->readCard(stored.id)->record), bytesOf(edited));
}

TEST_F(ServerFaultsTest, TheNextCommandAfterALostConnectionReconnects) {
    auto a = workstation(QStringLiteral("Иванов"), QStringLiteral("ws1"));
    const ServerCard stored = a->append(makeCard(1));
    ChangeFeed feed(ServerConfig::parse(conninfo));
    feed.start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return feed.listening(); }, 5000));
    QSignalSpy lostSpy(&feed, &ChangeFeed::connectionLost);
    QSignalSpy reload(&feed, &ChangeFeed::reloadAll);

    pg->crash();
    try {
        a->readCard(stored.id);
        FAIL() << "read a card from a stopped server";
    } catch (const ServerError& e) {
        EXPECT_EQ(e.kind(), ServerError::Kind::Connection);
        EXPECT_TRUE(e.message().contains(a->serverName())) << e.what();
    }
    EXPECT_TRUE(lostSpy.size() == 1 || lostSpy.wait(2000));

    ASSERT_TRUE(pg->start());
    EXPECT_TRUE(a->readCard(stored.id).has_value());
    EXPECT_TRUE(reload.wait(4000)) << "the feed did not come back";
    QSignalSpy cards(&feed, &ChangeFeed::cardChanged);
    a->append(makeCard(2));
    EXPECT_TRUE(cards.wait(1000));
}
