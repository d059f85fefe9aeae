// The window's thread waiting for the server: it keeps painting, its input is held back, a
// second command meanwhile is refused, and only what is safe to give up can be given up.
#include "ServerFixture.h"
#include "common/FaultProxy.h"
#include "server/ChangeFeed.h"
#include "server/ServerCallThread.h"
#include "server/ServerError.h"

#include <QElapsedTimer>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <functional>

using namespace zelm;
using namespace zelm::testing;

namespace {

class RecordingFace : public ServerWaitFace {
public:
    void waitBegan(const QString& server, bool cancellable) override {
        began << server;
        lastCancellable = cancellable;
    }
    void waitEnded() override { ++ended; }
    bool letsThrough(QObject*, QEvent*) override { return false; }

    QStringList began;
    bool lastCancellable = false;
    int ended = 0;
};

// The longest the window's thread went without turning its event loop while `work` ran;
// `duringWait` runs once on that thread in the middle of the wait.
struct Ticks {
    qint64 longestGapMs = 0;
    qint64 totalMs = 0;
};
Ticks measure(const std::function<void()>& work, const std::function<void()>& duringWait = {}) {
    QElapsedTimer clock, sinceTick;
    QTimer ticker;
    ticker.setInterval(10);
    Ticks t;
    QObject::connect(&ticker, &QTimer::timeout,
                     [&] { t.longestGapMs = std::max(t.longestGapMs, sinceTick.restart()); });
    QTimer::singleShot(150, [&] {
        if (duringWait)
            duringWait();
    });
    clock.start();
    sinceTick.start();
    ticker.start();
    work();
    t.longestGapMs = std::max(t.longestGapMs, sinceTick.elapsed());
    t.totalMs = clock.elapsed();
    return t;
}

class OffWindowThreadTest : public ServerTest {
protected:
    void SetUp() override {
        ServerTest::SetUp();
        servercalls::serveWindowThread(&face);
    }
    void TearDown() override { servercalls::stopServing(); }
    RecordingFace face;
};

TEST_F(OffWindowThreadTest, TheWindowPaintsWhileItWaitsAndTakesNoSecondCommandMeanwhile) {
    PgConnection c(ServerConfig::parse(conninfo));
    c.ensureConnected();
    QLineEdit typing;
    typing.show();
    bool refused = false;
    bool ranLater = false;
    QObject context;
    const Ticks t = measure([&] { c.exec("SELECT pg_sleep(0.6)"); },
                            [&] {
                                try {
                                    c.exec("SELECT 1");
                                } catch (const ServerError& e) {
                                    refused = e.detail() == ServerError::Detail::Busy &&
                                              e.message().contains(c.serverName());
                                }
                                QTest::keyClicks(&typing, QStringLiteral("typed"));
                                servercalls::whenIdle(&context, [&] { ranLater = true; });
                                EXPECT_FALSE(ranLater) << "ran in the middle of the command";
                            });
    EXPECT_GE(t.totalMs, 550);
    EXPECT_LT(t.longestGapMs, 200) << "the window's thread stopped turning its events";
    EXPECT_TRUE(refused) << "a second command ran in the middle of the first";
    EXPECT_EQ(typing.text(), QString()) << "input reached the window during the wait";
    EXPECT_FALSE(face.began.isEmpty());
    EXPECT_EQ(face.ended, face.began.size());
    EXPECT_FALSE(face.lastCancellable);
    QTest::qWait(20);
    EXPECT_TRUE(ranLater) << "what waited for the command never ran";
}

TEST_F(OffWindowThreadTest, OnlyAReadOrASearchCanBeGivenUp) {
    PgConnection c(ServerConfig::parse(conninfo));
    c.ensureConnected();
    // A change is carried to its end whatever the user presses.
    c.exec("CREATE TABLE t (n int)");
    QTimer::singleShot(200, [] { servercalls::cancel(); });
    c.exec("INSERT INTO t SELECT 1 FROM pg_sleep(0.5)");
    EXPECT_EQ(c.exec("SELECT count(*) FROM t").int64(0, 0), 1);

    {
        const servercalls::Cancellable reading;
        QTimer::singleShot(200, [] { servercalls::cancel(); });
        QElapsedTimer clock;
        clock.start();
        try {
            c.exec("SELECT pg_sleep(10)");
            FAIL() << "not given up";
        } catch (const ServerError& e) {
            EXPECT_EQ(e.detail(), ServerError::Detail::Cancelled);
            EXPECT_TRUE(e.message().contains(QStringLiteral("отменена"))) << e.what();
        }
        EXPECT_LT(clock.elapsed(), 1500);
        EXPECT_TRUE(face.lastCancellable);
    }
    // The next command connects again and is not given up by the old request.
    EXPECT_EQ(c.exec("SELECT count(*) FROM t").int64(0, 0), 1);
}

TEST_F(OffWindowThreadTest, TheFeedNoticesASilentLinkAndComesBack) {
    FaultProxy proxy(pg->socketFolder());
    ASSERT_TRUE(proxy.listening());
    ChangeFeed feed(ServerConfig::parse(proxy.connectionString(QStringLiteral("zelm"))));
    QSignalSpy lost(&feed, &ChangeFeed::connectionLost);
    QSignalSpy resumed(&feed, &ChangeFeed::resumed);
    feed.start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return feed.listening(); }, 5000));

    proxy.setSilent(true);
    QElapsedTimer clock;
    clock.start();
    ASSERT_TRUE(lost.wait(15000)) << "a silent link went unnoticed";
    EXPECT_LT(clock.elapsed(), 15000);
    EXPECT_FALSE(feed.listening());
    EXPECT_TRUE(lost.first().first().toString().contains(QStringLiteral("127.0.0.1")));

    proxy.setSilent(false);
    ASSERT_TRUE(resumed.wait(10000)) << "the feed did not come back";
    EXPECT_TRUE(feed.listening());
    // Back, it hears the others again.
    QSignalSpy cards(&feed, &ChangeFeed::cardChanged);
    // (The notice may come while the window waits for the append itself.)
    workstation(QStringLiteral("Петров"), QStringLiteral("ws2"))->append(makeCard(1));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !cards.isEmpty(); }, 2000));
    EXPECT_EQ(lost.size(), 1) << "told of the same loss again and again";
}

TEST_F(OffWindowThreadTest, ForgedNoticesAreNotUsed) {
    ChangeFeed feed(ServerConfig::parse(conninfo));
    QSignalSpy cards(&feed, &ChangeFeed::cardChanged);
    QSignalSpy reloads(&feed, &ChangeFeed::reloadAll);
    feed.start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return feed.listening(); }, 5000));
    PgConnection forger(ServerConfig::parse(conninfo));
    for (const char* payload : {"card 7 1 save", "card 0 -5 save", "card 0 x save",
                                "card 0 1 drop table", "card 0 1 wipe", "list"})
        forger.exec("SELECT pg_notify('zelm', $1)", {PgParam::text(QString::fromLatin1(payload))});
    for (int i = 0; i < 50; ++i)
        forger.exec("SELECT pg_notify('zelm', 'register')");
    forger.exec("SELECT pg_notify('zelm', 'card 1 12 archive')");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !cards.isEmpty(); }, 2000));
    QTest::qWait(300);
    ASSERT_EQ(cards.size(), 1) << "a malformed notice was used";
    EXPECT_EQ(cards.first().at(1).toLongLong(), 12);
    EXPECT_EQ(reloads.size(), 1) << "a flood of notices made the register be read again and again";
}

} // namespace
