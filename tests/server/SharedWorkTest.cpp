// Two workstations on one register at once.
#include "ServerFixture.h"
#include "server/ChangeFeed.h"
#include "server/ServerError.h"

#include <QElapsedTimer>
#include <QSet>
#include <QSignalSpy>
#include <QTest>
#include <QThread>
#include <thread>

using namespace zelm;
using namespace zelm::testing;

using SharedWorkTest = ServerTest;

TEST_F(SharedWorkTest, AppendingAtOnceNeverRepeatsANumber) {
    auto a = workstation(QStringLiteral("Иванов"), QStringLiteral("ws1"));
    auto b = workstation(QStringLiteral("Петров"), QStringLiteral("ws2"));
    constexpr int kEach = 150;
    // Both propose the same unique numbers, as two windows made in the same clock tick would.
    const auto appendMany = [](ServerRegister* r, int first) {
        for (int i = 0; i < kEach; ++i) {
            TAnketa card = makeCard(first + i);
            card.Klu4Form1 = 700000000 + i;
            r->append(card);
        }
    };
    std::thread ta(appendMany, a.get(), 0);
    std::thread tb(appendMany, b.get(), 1000);
    ta.join();
    tb.join();

    QSet<qint32> uniq;
    QSet<qint32> running;
    a->scanCards(CardFileKind::Main, [&](const ServerCard& c) {
        uniq.insert(c.record.Klu4Form1);
        running.insert(c.record.GurN);
    });
    EXPECT_EQ(a->countCards(CardFileKind::Main), 2 * kEach) << "both workstations' cards stored";
    EXPECT_EQ(uniq.size(), 2 * kEach) << "a unique number was stored twice";
    EXPECT_EQ(running.size(), 2 * kEach);
    EXPECT_TRUE(running.contains(1) && running.contains(2 * kEach));
}

TEST_F(SharedWorkTest, AnEditConflictAsksAndLosesNothing) {
    auto a = workstation(QStringLiteral("Иванов И.И."), QStringLiteral("ws1"));
    auto b = workstation(QStringLiteral("Петров П.П."), QStringLiteral("ws2"));
    const ServerCard stored = a->append(makeCard(1));
    const ServerCard shownOnA = *a->readCard(stored.id);
    const ServerCard shownOnB = *b->readCard(stored.id);

    TAnketa byB = shownOnB.record;
    byB.Prime4.set(QStringLiteral("правка Петрова"));
    ASSERT_EQ(b->save(stored.id, byB, shownOnB.version).status, SaveResult::Status::Saved);

    TAnketa byA = shownOnA.record;
    byA.Rezultat.set(QStringLiteral("правка Иванова"));
    const SaveResult asked = a->save(stored.id, byA, shownOnA.version);
    ASSERT_EQ(asked.status, SaveResult::Status::Conflict);
    EXPECT_EQ(bytesOf(asked.card.record), bytesOf(byB)) << "«Нет» shows their version";
    EXPECT_EQ(bytesOf(a->readCard(stored.id)->record), bytesOf(byB)) << "nothing overwritten";
    // Who changed it is the server's word: here the role, since no one logged in.
    EXPECT_EQ(asked.card.stamp.user, QStringLiteral("pgadmin"));
    EXPECT_EQ(asked.card.stamp.machine, QStringLiteral("ws2"));
    EXPECT_LE(qAbs(asked.card.stamp.when.secsTo(QDateTime::currentDateTimeUtc())), 60);

    // «Да»: written over their version, and that version is what a third save must know.
    const SaveResult over = a->save(stored.id, byA, asked.card.version);
    ASSERT_EQ(over.status, SaveResult::Status::Saved);
    EXPECT_EQ(bytesOf(b->readCard(stored.id)->record), bytesOf(byA));
    EXPECT_EQ(b->save(stored.id, byB, shownOnB.version).status, SaveResult::Status::Conflict);
}

TEST_F(SharedWorkTest, ACardDeletedOrArchivedWhileShownElsewhere) {
    auto a = workstation(QStringLiteral("Иванов"), QStringLiteral("ws1"));
    auto b = workstation(QStringLiteral("Петров"), QStringLiteral("ws2"));
    const ServerCard one = a->append(makeCard(1));
    const ServerCard two = a->append(makeCard(2));
    const ServerCard shownOne = *b->readCard(one.id);
    const ServerCard shownTwo = *b->readCard(two.id);

    EXPECT_TRUE(a->remove(one.id));
    EXPECT_FALSE(b->remove(one.id)) << "a second deletion finds nothing to delete";
    EXPECT_EQ(b->save(one.id, shownOne.record, shownOne.version).status,
              SaveResult::Status::Deleted);
    EXPECT_FALSE(b->readCard(one.id).has_value());
    EXPECT_EQ(b->countCards(CardFileKind::Main), 1) << "the save did not bring it back";

    EXPECT_TRUE(a->archive(two.id));
    const SaveResult late = b->save(two.id, shownTwo.record, shownTwo.version);
    EXPECT_EQ(late.status, SaveResult::Status::Archived);
    EXPECT_EQ(bytesOf(late.card.record), bytesOf(two.record)) << "archived byte for byte";
    EXPECT_EQ(b->listCards(CardFileKind::Archive).size(), 1u);
    EXPECT_THROW(b->insertAfter(two.id, makeCard(3)), ServerError);
    EXPECT_EQ(b->countCards(CardFileKind::Main), 0);
    EXPECT_TRUE(b->removeArchived(two.id));
}

TEST_F(SharedWorkTest, TheOtherHearsOfAChangeWithinASecond) {
    auto a = workstation(QStringLiteral("Иванов"), QStringLiteral("ws1"));
    auto b = workstation(QStringLiteral("Петров"), QStringLiteral("ws2"));
    ChangeFeed feed(ServerConfig::parse(conninfo));
    feed.start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return feed.listening(); }, 5000));
    QSignalSpy cards(&feed, &ChangeFeed::cardChanged);
    QSignalSpy links(&feed, &ChangeFeed::attachmentsChanged);
    QSignalSpy lists(&feed, &ChangeFeed::referenceListChanged);

    QElapsedTimer clock;
    clock.start();
    const ServerCard stored = a->append(makeCard(1));
    ASSERT_TRUE(cards.wait(1000)) << "no notice within a second";
    EXPECT_LT(clock.elapsed(), 1000);
    QList<QVariant> notice = cards.takeFirst();
    EXPECT_EQ(notice.at(0).toInt(), 0);
    EXPECT_EQ(notice.at(1).toLongLong(), stored.id);
    EXPECT_EQ(notice.at(2).toString(), QStringLiteral("append"));
    EXPECT_EQ(notice.at(3).toInt(), a->connection().backendPid()) << "who made it";

    b->save(stored.id, stored.record, stored.version);
    b->archive(stored.id);
    ASSERT_TRUE(cards.wait(1000) || cards.size() >= 1);
    while (cards.size() < 2 && cards.wait(1000)) {
    }
    ASSERT_EQ(cards.size(), 2);
    EXPECT_EQ(cards.at(0).at(2).toString(), QStringLiteral("save"));
    EXPECT_EQ(cards.at(1).at(2).toString(), QStringLiteral("archive"));
    EXPECT_EQ(cards.at(1).at(0).toInt(), 1);

    TSpisFil link = TSpisFil::zeroed();
    link.Klu4DK = stored.record.Klu4Form1;
    b->addAttachment(link);
    b->writeReferenceList(QStringLiteral("VidORM.txt"), "x\r\n");
    ASSERT_TRUE(links.wait(1000));
    EXPECT_EQ(links.at(0).at(0).toInt(), stored.record.Klu4Form1);
    ASSERT_TRUE(lists.size() == 1 || lists.wait(1000));
    EXPECT_EQ(lists.at(0).at(0).toString(), QStringLiteral("VidORM.txt"));

    // A rolled-back change is never announced.
    {
        PgTransaction t(a->connection());
        a->connection().exec("SELECT pg_notify('zelm', 'card 0 1 save')");
    }
    EXPECT_FALSE(cards.wait(300));
}

TEST_F(SharedWorkTest, TheAccessTableIsEditedByOneAdministratorAtATime) {
    auto a = workstation(QStringLiteral("Иванов"), QStringLiteral("ws1"));
    auto b = workstation(QStringLiteral("Петров"), QStringLiteral("ws2"));
    EXPECT_FALSE(a->lockAccessEditor().has_value());
    const std::optional<AccessEditor> holder = b->lockAccessEditor();
    ASSERT_TRUE(holder.has_value());
    EXPECT_EQ(holder->user, QStringLiteral("Иванов"));
    const QString told = accessTableBusyMessage(*holder);
    EXPECT_TRUE(told.contains(QStringLiteral("Иванов")) && told.contains(QStringLiteral("ws1")))
        << told.toStdString();
    const QString admin = QStringLiteral("Администратор");
    const QString password = QStringLiteral("580214");
    QList<AccessRow> rows = defaultAccessRows(46000);
    rows.removeLast();
    EXPECT_THROW(b->writeAccessRows(admin, password, rows), ServerError)
        << "only the holder writes";
    a->writeAccessRows(admin, password, rows);

    a->unlockAccessEditor();
    EXPECT_FALSE(b->lockAccessEditor().has_value());
    rows.removeLast();
    b->writeAccessRows(admin, password, rows);
    EXPECT_EQ(a->accessRows(admin, password).value_or(QList<AccessRow>{}).size(), 2);

    // A workstation that goes away does not keep the table locked.
    b->connection().disconnect();
    bool taken = false;
    for (int i = 0; i < 100 && !taken; ++i) {
        taken = !a->lockAccessEditor().has_value();
        if (!taken)
            QThread::msleep(20); // the server ends the other session a moment later
    }
    EXPECT_TRUE(taken);
}
