// Another workstation's change reaches this one's order row by row: the order stays the server's
// without being read whole, and what cannot be followed so is read whole.
#include "remote/ServerCards.h"
#include "server/ServerFixture.h"

#include <gtest/gtest.h>

using namespace zelm;
using namespace zelm::testing;

namespace {

using FollowingChanges = ServerTest;

std::vector<qint64> idsOf(const std::vector<CardRow>& rows) {
    std::vector<qint64> ids;
    for (const CardRow& r : rows)
        ids.push_back(r.id);
    return ids;
}

std::vector<qint64> orderOf(const ServerCards& cards, RegisterFile file) {
    std::vector<qint64> ids;
    for (qint64 i = 0; i < cards.count(file); ++i)
        ids.push_back(cards.idAt(file, i));
    return ids;
}

TEST_F(FollowingChanges, NearTheEndEachChangeIsOneStepAndTheOrderStaysTheServers) {
    auto other = workstation(QStringLiteral("Петров"), QStringLiteral("ws2"));
    auto server = workstation(QStringLiteral("Иванов"), QStringLiteral("ws1"));
    std::vector<qint64> ids;
    for (int i = 0; i < 100; ++i)
        ids.push_back(other->append(makeCard(i)).id);
    ServerCards mine(*server);
    mine.open();
    auto sameAsServer = [&] {
        EXPECT_EQ(orderOf(mine, RegisterFile::Main), idsOf(other->listCards(CardFileKind::Main)));
        EXPECT_EQ(orderOf(mine, RegisterFile::Archive),
                  idsOf(other->listCards(CardFileKind::Archive)));
    };
    using K = OrderStep::Kind;
    auto steps = [](std::initializer_list<OrderStep> s) { return std::vector<OrderStep>(s); };
    auto same = [](const std::vector<OrderStep>& a, const std::vector<OrderStep>& b) {
        if (a.size() != b.size())
            return false;
        for (size_t i = 0; i < a.size(); ++i)
            if (a[i].kind != b[i].kind || a[i].file != b[i].file || a[i].place != b[i].place)
                return false;
        return true;
    };

    // A new card, a save anywhere, and the last card archived.
    const qint64 added = other->append(makeCard(100)).id;
    auto followed = mine.follow({added});
    ASSERT_TRUE(followed.has_value());
    EXPECT_TRUE(same(*followed, steps({{K::Inserted, RegisterFile::Main, 100}})));
    ServerCard fifth = *other->readCard(ids[5]);
    fifth.record.Klu4Form1 = 9005;
    ASSERT_EQ(other->save(ids[5], fifth.record, fifth.version).status, SaveResult::Status::Saved);
    followed = mine.follow({ids[5]});
    ASSERT_TRUE(followed.has_value());
    EXPECT_TRUE(same(*followed, steps({{K::Written, RegisterFile::Main, 5}})));
    EXPECT_EQ(mine.indexOfNumber(9005), 5) << "the order answers for the new unique number";
    ASSERT_TRUE(other->archive(added));
    followed = mine.follow({added});
    ASSERT_TRUE(followed.has_value());
    EXPECT_TRUE(same(*followed, steps({{K::Removed, RegisterFile::Main, 100},
                                       {K::Inserted, RegisterFile::Archive, 0}})));
    sameAsServer();

    // Their new card and this workstation's, the notice of theirs coming after this one's own
    // change: both end where the server has them.
    const qint64 theirs = other->append(makeCard(101)).id;
    const StoredCard own = mine.append(makeCard(102));
    EXPECT_EQ(own.place, 100);
    followed = mine.follow({theirs});
    ASSERT_TRUE(followed.has_value());
    EXPECT_TRUE(same(*followed, steps({{K::Inserted, RegisterFile::Main, 100}})));
    sameAsServer();

    // Far from the end a card that comes or goes moves too many rows: the order is read whole.
    ASSERT_TRUE(other->remove(ids[3]));
    EXPECT_FALSE(mine.follow({ids[3]}).has_value());
    mine.reload();
    sameAsServer();
    // A card deleted for good near the end, and one never seen, change nothing else.
    ASSERT_TRUE(other->remove(theirs));
    followed = mine.follow({theirs, 987654321});
    ASSERT_TRUE(followed.has_value());
    EXPECT_EQ(followed->size(), 1u);
    sameAsServer();
}

} // namespace
