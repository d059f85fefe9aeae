// The history on the server is the server's own: a workstation's role that may change cards but
// has no right on the history still gets every change kept, and cannot change or empty it.
#include "ServerFixture.h"
#include "server/ServerError.h"

using namespace zelm;
using namespace zelm::testing;

namespace {

using HistoryRights = ServerTest;

TEST_F(HistoryRights, AnOfficersChangesAreKeptAndTheHistoryIsOnlyRead) {
    auto owner = workstation(QStringLiteral("Иванов"), QStringLiteral("ws1"));
    const ServerCard card = owner->append(makeCard(1));
    // An officer's role as the README makes it: a member of the officers' group.
    owner->connection().exec("CREATE ROLE officer LOGIN IN ROLE zelm_officer");

    QString asOfficer = conninfo;
    asOfficer.replace(QStringLiteral("user=pgadmin"), QStringLiteral("user=officer"));
    ServerRegister officer(ServerConfig::parse(asOfficer));
    officer.setIdentity(QStringLiteral("Петров"), QStringLiteral("ws2"));
    officer.open();
    TAnketa changed = card.record;
    changed.NameOrg.set(QStringLiteral("ООО «Правка офицера»"));
    ASSERT_EQ(officer.save(card.id, changed, card.version).status, SaveResult::Status::Saved);
    ASSERT_TRUE(officer.remove(card.id));

    const std::vector<CardVersion> h = officer.history(card.record.Klu4Form1);
    ASSERT_EQ(h.size(), 2u);
    EXPECT_EQ(h[0].action, HistoryAction::Delete);
    // The server's word: the role, as no login vouched for an officer on this connection.
    EXPECT_EQ(h[0].who, QStringLiteral("officer (ws2)"));
    EXPECT_EQ(h[0].card.NameOrg.text(), QStringLiteral("ООО «Правка офицера»"));
    EXPECT_EQ(h[1].action, HistoryAction::Save);
    EXPECT_EQ(h[1].card.NameOrg.text(), card.record.NameOrg.text());

    for (const char* sql : {"UPDATE card_history SET done_by = 'никто'", "DELETE FROM card_history",
                            "TRUNCATE card_history",
                            "INSERT INTO card_history (card_id, uniq, action, done_by, done_on, "
                            "done_at, record) SELECT card_id, uniq, 1, 'никто', '', now(), record "
                            "FROM card_history"}) {
        EXPECT_THROW(officer.connection().exec(sql), ServerError) << sql;
    }
    EXPECT_EQ(owner->history(card.record.Klu4Form1).size(), 2u);
}

} // namespace
