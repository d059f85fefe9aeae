// Workstations starting together, and links that fail the ways networks do, through the tests'
// own relay: the schema is made once, and a stalled workstation holds no one for long.
#include "ServerFixture.h"
#include "common/FaultProxy.h"
#include "server/ServerError.h"

#include <QElapsedTimer>
#include <atomic>
#include <latch>
#include <thread>

using namespace zelm;
using namespace zelm::testing;

namespace {

using LinkFaultsTest = ServerTest;

// Limits short enough for a test, in the same proportions as the program's own.
ServerTimeLimits shortLimits() {
    ServerTimeLimits l;
    l.statementMs = 3000;
    l.lockMs = 4000;
    l.idleInTransactionMs = 1500;
    l.replyMarginMs = 1000;
    return l;
}

// Starts `n` workstations at the same moment; the messages of those that failed.
QStringList startTogether(const QString& conninfo, int n) {
    std::latch ready(n);
    std::mutex guard;
    QStringList failures;
    std::vector<std::thread> threads;
    for (int i = 0; i < n; ++i)
        threads.emplace_back([&] {
            ServerRegister r(ServerConfig::parse(conninfo));
            r.connection().ensureConnected();
            ready.arrive_and_wait();
            try {
                r.open();
            } catch (const ServerError& e) {
                const std::lock_guard<std::mutex> lock(guard);
                failures << e.message();
            }
        });
    for (std::thread& t : threads)
        t.join();
    return failures;
}

TEST_F(LinkFaultsTest, WorkstationsStartingTogetherAllReachTheServerAndTheSchemaIsMadeOnce) {
    for (int round = 0; round < 3; ++round) {
        const QString db = QStringLiteral("fresh%1").arg(round);
        const QString fresh = pg->createDatabase(db);
        EXPECT_EQ(startTogether(fresh, 3), QStringList()) << "round " << round;
        PgConnection c(ServerConfig::parse(fresh));
        EXPECT_EQ(schemaVersion(c), kSchemaVersion);
        EXPECT_EQ(c.exec("SELECT count(*) FROM zelm_schema").int64(0, 0), 1);
    }

    // An older database, upgraded by whichever starts first while the others wait.
    auto old = workstation(QStringLiteral("Иванов"), QStringLiteral("ws1"));
    old->append(makeCard(1));
    PgConnection& c = old->connection();
    c.exec("DROP INDEX cards_made_key");
    c.exec("ALTER TABLE cards DROP COLUMN made_key");
    c.exec("UPDATE zelm_schema SET version = 2");
    old.reset();
    EXPECT_EQ(startTogether(conninfo, 3), QStringList());
    auto after = workstation(QStringLiteral("Иванов"), QStringLiteral("ws1"));
    EXPECT_EQ(schemaVersion(after->connection()), kSchemaVersion);
    EXPECT_EQ(after->countCards(CardFileKind::Main), 1);
    EXPECT_EQ(after->append(makeCard(2), QUuid::createUuid()).record.GurN, 2);
}

TEST_F(LinkFaultsTest, AStalledAppenderHoldsTheOthersNoLongerThanTheIdleLimit) {
    FaultProxy proxy(pg->socketFolder());
    ASSERT_TRUE(proxy.listening());
    ServerConfig viaProxy = ServerConfig::parse(proxy.connectionString(QStringLiteral("zelm")));
    viaProxy.limits = shortLimits();
    ServerRegister stalled(viaProxy);
    stalled.setIdentity(QStringLiteral("Петров"), QStringLiteral("ws2"));
    stalled.open();
    ServerConfig direct = ServerConfig::parse(conninfo);
    direct.limits = shortLimits();
    ServerRegister other(direct);
    other.setIdentity(QStringLiteral("Иванов"), QStringLiteral("ws1"));
    other.open();
    other.append(makeCard(1));

    // The stalled workstation is inside an append, holding the numbering lock, when its link
    // goes silent.
    PgConnection& s = stalled.connection();
    s.exec("BEGIN");
    s.exec("SELECT pg_advisory_xact_lock($1, $2)",
           {PgParam::integer(kLockClass), PgParam::integer(kNumberLock)});
    proxy.setSilent(true);

    QElapsedTimer clock;
    clock.start();
    const ServerCard appended = other.append(makeCard(2)); // waits, then goes on
    EXPECT_GE(clock.elapsed(), 1000) << "the lock was held";
    EXPECT_LT(clock.elapsed(), shortLimits().lockMs) << "held longer than the limits allow";
    EXPECT_EQ(appended.record.GurN, 2);

    // The stalled workstation hears of it at its next command, in Russian, within its limit.
    clock.restart();
    try {
        s.exec("SELECT 1");
        FAIL() << "a silent link answered";
    } catch (const ServerError& e) {
        EXPECT_TRUE(e.connectionLost());
        EXPECT_TRUE(e.message().contains(stalled.serverName())) << e.what();
        EXPECT_TRUE(e.message().contains(QStringLiteral("не ответил"))) << e.what();
    }
    EXPECT_LT(clock.elapsed(), shortLimits().replyMs() + 1000);
    proxy.setSilent(false);
    EXPECT_EQ(stalled.countCards(CardFileKind::Main), 2) << "the next command connects again";
}

TEST_F(LinkFaultsTest, ACommandWaitingTooLongForALockSaysSoInRussian) {
    auto a = workstation(QStringLiteral("Иванов"), QStringLiteral("ws1"));
    const ServerCard stored = a->append(makeCard(1));
    ServerConfig impatient = ServerConfig::parse(conninfo);
    impatient.limits.lockMs = 300;
    ServerRegister b(impatient);
    b.open();
    PgConnection holder(ServerConfig::parse(conninfo));
    holder.exec("BEGIN");
    holder.exec("SELECT 1 FROM cards WHERE id = $1 FOR UPDATE", {PgParam::integer(stored.id)});
    try {
        b.save(stored.id, makeCard(2), stored.version);
        FAIL() << "saved over a locked card";
    } catch (const ServerError& e) {
        EXPECT_EQ(e.sqlState(), QStringLiteral("55P03"));
        EXPECT_TRUE(e.message().contains(QStringLiteral("заняты другим рабочим местом")))
            << e.what();
        EXPECT_TRUE(e.message().contains(b.serverName()));
    }
    holder.exec("ROLLBACK");
    EXPECT_EQ(bytesOf(b.readCard(stored.id)->record), bytesOf(stored.record));
}

} // namespace
