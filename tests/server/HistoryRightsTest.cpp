// The history on the server is the server's own: a workstation's role that may change cards but
// has no right on the history still gets every change kept, and cannot change or empty it.
#include "ServerFixture.h"
#include "server/PgConnection.h"
#include "server/ServerError.h"

#include <cstdlib>

using namespace zelm;
using namespace zelm::testing;

namespace {

class HistoryRights : public ServerTest {
protected:
    // An officer's role as the README makes it: a member of the officers' group.
    std::unique_ptr<ServerRegister> officerOn(ServerRegister& owner) {
        owner.connection().exec("CREATE ROLE officer LOGIN IN ROLE zelm_officer");
        QString asOfficer = conninfo;
        asOfficer.replace(QStringLiteral("user=pgadmin"), QStringLiteral("user=officer"));
        auto r = std::make_unique<ServerRegister>(ServerConfig::parse(asOfficer));
        r->setIdentity(QStringLiteral("Петров"), QStringLiteral("ws2"));
        r->open();
        return r;
    }
};

TEST_F(HistoryRights, AnOfficersChangesAreKeptAndTheHistoryIsOnlyRead) {
    auto owner = workstation(QStringLiteral("Иванов"), QStringLiteral("ws1"));
    const ServerCard card = owner->append(makeCard(1));
    const std::unique_ptr<ServerRegister> officerRegister = officerOn(*owner);
    ServerRegister& officer = *officerRegister;
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

TEST_F(HistoryRights, WhoChangedACardAndWhenIsTheServersWordWhateverAClientWrites) {
    auto owner = workstation(QStringLiteral("Иванов"), QStringLiteral("ws1"));
    const ServerCard card = owner->append(makeCard(1));
    auto officer = officerOn(*owner);
    PgConnection& c = officer->connection();
    const PgParam id = PgParam::integer(card.id);
    // The server's clock and the session's name, never what the statement gave.
    const auto expectServersStamp = [](const PgResult& r, const char* what) {
        EXPECT_EQ(r.text(0, 0), QStringLiteral("officer")) << what;
        EXPECT_LT(r.real(0, 1), 600.0) << what;
    };
    const char* stampOf = "SELECT changed_by, abs(extract(epoch FROM changed_at - now()))::float8 "
                          "FROM cards WHERE id = $1";

    TAnketa changed = card.record;
    changed.Prime4.set(QStringLiteral("правка вручную"));
    c.exec("UPDATE cards SET record = $2, version = version + 1, changed_by = 'Никто', "
           "changed_at = '2001-02-03 04:05:06+00' WHERE id = $1",
           {id, PgParam::bytes(bytesOf(changed))});
    expectServersStamp(c.exec(stampOf, {id}), "a change");
    const std::vector<CardVersion> h = officer->history(card.record.Klu4Form1);
    ASSERT_EQ(h.size(), 1u);
    EXPECT_TRUE(h[0].who.startsWith(QStringLiteral("officer"))) << h[0].who.toStdString();
    EXPECT_LT(std::abs(h[0].when.secsTo(QDateTime::currentDateTimeUtc())), 600);

    // A stamp written alone is no change: the last change's stamp stays.
    const PgResult before =
        c.exec("SELECT changed_by, changed_at::text FROM cards WHERE id = $1", {id});
    c.exec("UPDATE cards SET changed_by = 'Никто', changed_at = '2001-02-03 04:05:06+00' "
           "WHERE id = $1",
           {id});
    const PgResult after =
        c.exec("SELECT changed_by, changed_at::text FROM cards WHERE id = $1", {id});
    EXPECT_EQ(after.text(0, 0), before.text(0, 0));
    EXPECT_EQ(after.text(0, 1), before.text(0, 1));

    // A card put in by hand.
    const PgResult made =
        c.exec("WITH c AS (INSERT INTO cards (file, ord, uniq, gurn, record, changed_by, "
               "changed_at) VALUES (0, 1000000000000, 777, 1, $1, 'Никто', "
               "'2001-02-03 04:05:06+00') RETURNING id, changed_by, "
               "abs(extract(epoch FROM changed_at - now()))::float8 AS age), "
               "s AS (INSERT INTO card_search (card_id, file, data_mer, date_kusp, data_osn, "
               "texts) SELECT id, 0, 0, 0, 0, '{}' FROM c) SELECT changed_by, age FROM c",
               {PgParam::bytes(bytesOf(makeCard(2)))});
    expectServersStamp(made, "a new card");
}

} // namespace
