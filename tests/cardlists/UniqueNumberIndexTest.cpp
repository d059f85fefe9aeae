// The unique-number index: built from a register written by the test on a thread of its own,
// waited for while it is not ready, and following the register's changes once it is.
#include "cardlists/UniqueNumberIndex.h"
#include "common/CardFactory.h"
#include "store/Records.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <chrono>
#include <future>
#include <gtest/gtest.h>
#include <thread>

using namespace zelm;
using namespace zelm::testing;

namespace {

QString writeRegister(const QTemporaryDir& dir, const std::vector<TAnketa>& cards) {
    const QString path = dir.filePath(QStringLiteral("Anketi.dat"));
    QFile f(path);
    f.open(QIODevice::WriteOnly | QIODevice::Truncate);
    f.write(reinterpret_cast<const char*>(cards.data()),
            static_cast<qint64>(cards.size() * sizeof(TAnketa)));
    return path;
}

} // namespace

TEST(UniqueNumberIndex, FindsTheFirstCardOfEachNumberInALargeRegister) {
    QTemporaryDir dir;
    // More cards than one block of the build, the last number twice.
    auto cards = makeCards(9000);
    cards[8999].Klu4Form1 = cards[8998].Klu4Form1;
    cards[17].Klu4Form1 = -5;
    UniqueNumberIndex index;
    QSignalSpy ready(&index, &UniqueNumberIndex::ready);
    index.build(writeRegister(dir, cards), sizeof(TAnketa));
    ASSERT_TRUE(index.waitUntilReady());
    EXPECT_TRUE(index.isReady());
    EXPECT_EQ(index.cardCount(), 9000);
    EXPECT_EQ(index.firstPositionOf(cards[0].Klu4Form1), 0);
    EXPECT_EQ(index.firstPositionOf(cards[5000].Klu4Form1), 5000);
    EXPECT_EQ(index.firstPositionOf(cards[8998].Klu4Form1), 8998);
    EXPECT_EQ(index.firstPositionOf(-5), 17);
    EXPECT_FALSE(index.contains(cards[17 + 0].Klu4Form1 + 100000));
    EXPECT_TRUE(ready.wait(1000) || ready.size() == 1);
}

TEST(UniqueNumberIndex, ACommandAskingBeforeItIsReadyWaitsForIt) {
    QTemporaryDir dir;
    const auto cards = makeCards(5000);
    UniqueNumberIndex index;
    std::promise<void> gate;
    std::shared_future<void> open = gate.get_future().share();
    index.setBlockReadHook([open] { open.wait(); });
    index.build(writeRegister(dir, cards), sizeof(TAnketa));
    EXPECT_FALSE(index.isReady());
    EXPECT_EQ(index.firstPositionOf(cards[3].Klu4Form1), -1); // never half an answer
    int waits = 0;
    const bool ok = index.waitUntilReady([&](int percent) {
        EXPECT_GE(percent, 0);
        EXPECT_LE(percent, 100);
        if (waits++ == 0)
            gate.set_value(); // the build goes on only once the command is waiting
    });
    EXPECT_TRUE(ok);
    EXPECT_GE(waits, 1);
    EXPECT_EQ(index.firstPositionOf(cards[4321].Klu4Form1), 4321);
}

TEST(UniqueNumberIndex, FollowsAppendsInsertionsRemovalsAndChanges) {
    QTemporaryDir dir;
    auto cards = makeCards(6);
    UniqueNumberIndex index;
    index.build(writeRegister(dir, cards), sizeof(TAnketa));
    ASSERT_TRUE(index.waitUntilReady());
    const std::int32_t a = makeCard(100).Klu4Form1;
    const std::int32_t b = makeCard(101).Klu4Form1;
    index.appended(a);                    // at 6
    index.inserted(2, b);                 // 0 1 b 2 3 4 5 a
    index.removed(0);                     // 1 b 2 3 4 5 a
    index.changed(3, cards[1].Klu4Form1); // 1 b 2 1' 4 5 a
    EXPECT_EQ(index.cardCount(), 7);
    EXPECT_EQ(index.firstPositionOf(cards[0].Klu4Form1), -1);
    EXPECT_EQ(index.firstPositionOf(cards[1].Klu4Form1), 0);
    EXPECT_EQ(index.firstPositionOf(b), 1);
    EXPECT_EQ(index.firstPositionOf(cards[2].Klu4Form1), 2);
    EXPECT_EQ(index.firstPositionOf(cards[3].Klu4Form1), -1);
    EXPECT_EQ(index.firstPositionOf(cards[5].Klu4Form1), 5);
    EXPECT_EQ(index.firstPositionOf(a), 6);

    // A change told before the index is ready starts the build anew from the file as it is
    // (the build is slowed so that it cannot be ready yet).
    index.setBlockReadHook([] { std::this_thread::sleep_for(std::chrono::milliseconds(300)); });
    cards.push_back(makeCard(200));
    index.build(writeRegister(dir, cards), sizeof(TAnketa));
    index.appended(makeCard(200).Klu4Form1);
    ASSERT_TRUE(index.waitUntilReady());
    EXPECT_EQ(index.cardCount(), 7);
    EXPECT_EQ(index.firstPositionOf(makeCard(200).Klu4Form1), 6);
}

TEST(UniqueNumberIndex, AMissingRegisterIsReportedNotWaitedForever) {
    QTemporaryDir dir;
    UniqueNumberIndex index;
    index.build(dir.filePath(QStringLiteral("none.dat")), sizeof(TAnketa));
    EXPECT_FALSE(index.waitUntilReady());
    EXPECT_FALSE(index.error().isEmpty());
    EXPECT_EQ(index.firstPositionOf(1), -1);
}
