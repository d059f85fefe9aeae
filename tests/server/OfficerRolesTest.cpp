// A register set up as the README's administrator's guide says: an owner that may not make
// roles, the group zelm_officer made beforehand, and officers' own roles in it. What an officer
// can and cannot do is tried with the officer's own connection, as psql would.
#include "common/CardFactory.h"
#include "common/PgTestServer.h"
#include "server/ServerError.h"
#include "server/ServerRegister.h"

#include <QCryptographicHash>
#include <QElapsedTimer>
#include <gtest/gtest.h>
#include <memory>

using namespace zelm;
using namespace zelm::testing;

namespace {

const QString kAdmin = QStringLiteral("Администратор");
const QString kAdminPassword = QStringLiteral("580214");
const QString kUser1 = QStringLiteral("Пользователь 1");
const QString kUser1Password = QStringLiteral("317968");

class OfficerRoles : public ::testing::Test {
protected:
    void SetUp() override {
        pg = std::make_unique<PgTestServer>();
        if (!pg->running())
            GTEST_SKIP() << pg->unavailable().toStdString();
        // The superuser's part of the README, in its order.
        PgConnection su(ServerConfig::parse(pg->connectionString(QStringLiteral("postgres"))));
        for (const char* sql : {"CREATE ROLE orm_owner LOGIN", "CREATE ROLE zelm_officer NOLOGIN",
                                "CREATE DATABASE orm OWNER orm_owner",
                                "CREATE ROLE orm_petrov LOGIN IN ROLE zelm_officer",
                                "CREATE ROLE orm_sidorov LOGIN IN ROLE zelm_officer",
                                "CREATE ROLE orm_stranger LOGIN"})
            su.exec(sql);
        PgConnection db(ServerConfig::parse(pg->connectionString(QStringLiteral("orm"))));
        db.exec("REVOKE ALL ON DATABASE orm FROM PUBLIC");
        db.exec("GRANT CONNECT ON DATABASE orm TO zelm_officer, orm_stranger");
        owner = as(QStringLiteral("orm_owner")); // the first start makes the schema
    }

    std::unique_ptr<ServerRegister> as(const QString& role) {
        QString conninfo = pg->connectionString(QStringLiteral("orm"));
        conninfo.replace(QStringLiteral("user=pgadmin"), QStringLiteral("user=") + role);
        auto r = std::make_unique<ServerRegister>(ServerConfig::parse(conninfo));
        r->setIdentity(QStringLiteral("имя от клиента"), QStringLiteral("ws"));
        r->open();
        return r;
    }

    static QString sqlStateOf(ServerRegister& r, const char* sql) {
        try {
            r.connection().exec(sql);
        } catch (const ServerError& e) {
            return e.sqlState();
        }
        return QStringLiteral("accepted");
    }

    static qint64 millisOf(const std::function<void()>& f) {
        QElapsedTimer t;
        t.start();
        f();
        return t.elapsed();
    }

    std::unique_ptr<PgTestServer> pg;
    std::unique_ptr<ServerRegister> owner;
};

} // namespace

TEST_F(OfficerRoles, AnOfficerReadsNoPasswordOrHashAnywhere) {
    auto petrov = as(QStringLiteral("orm_petrov"));
    ASSERT_EQ(petrov->login(kAdmin, kAdminPassword), QStringLiteral("Z"));
    ASSERT_EQ(petrov->login(kUser1, QStringLiteral("000000")), std::nullopt);
    ASSERT_TRUE(owner->lockAccessEditor() == std::nullopt);
    QList<AccessRow> rows = *owner->accessRows(kAdmin, kAdminPassword);
    rows[2].Parol = QStringLiteral("774411");
    owner->writeAccessRows(kAdmin, kAdminPassword, rows);

    // Everything the secrets could be seen as: the passwords, their stored hashes, and plain
    // digests of them.
    QStringList secrets = {kAdminPassword, kUser1Password, QStringLiteral("774411")};
    const PgResult hashes = owner->connection().exec("SELECT hash FROM access_logins");
    ASSERT_EQ(hashes.rows(), 4);
    for (int i = 0; i < hashes.rows(); ++i)
        secrets << hashes.text(i, 0);
    for (const QString& p : {kAdminPassword, kUser1Password})
        for (auto algo :
             {QCryptographicHash::Md5, QCryptographicHash::Sha1, QCryptographicHash::Sha256})
            secrets << QString::fromLatin1(QCryptographicHash::hash(p.toUtf8(), algo).toHex());

    // Every table and view the officer may read, the catalogs included, read whole as text.
    const PgResult readable = petrov->connection().exec(
        "SELECT c.oid::regclass::text FROM pg_class c WHERE c.relkind IN ('r','v','m','p','f') "
        "AND has_table_privilege(c.oid, 'SELECT') ORDER BY 1");
    ASSERT_GT(readable.rows(), 50);
    int scanned = 0;
    for (int i = 0; i < readable.rows(); ++i) {
        const QString relation = readable.text(i, 0);
        EXPECT_FALSE(relation.startsWith(QLatin1String("access_"))) << relation.toStdString();
        // A catalog's own name, never outside text.
        const QByteArray sql = "SELECT t::text FROM " + relation.toUtf8() + " t";
        PgResult r;
        try {
            r = petrov->connection().exec(sql.constData());
        } catch (const ServerError&) {
            continue; // a view whose function is closed to the role shows nothing either
        }
        ++scanned;
        for (int row = 0; row < r.rows(); ++row) {
            const QString text = r.text(row, 0);
            for (const QString& secret : secrets)
                EXPECT_FALSE(text.contains(secret))
                    << relation.toStdString() << " shows " << secret.toStdString();
        }
    }
    EXPECT_GT(scanned, 50);
    EXPECT_EQ(sqlStateOf(*petrov, "SELECT * FROM access_logins"), QStringLiteral("42501"));
}

TEST_F(OfficerRoles, AnOfficerCannotTouchTheAccessDataEmptyTablesOrChangeTheSchema) {
    auto petrov = as(QStringLiteral("orm_petrov"));
    // The work of a workstation goes on.
    const ServerCard card = petrov->append(makeCard(1));
    TAnketa edited = card.record;
    edited.Prime4.set(QStringLiteral("правка"));
    ASSERT_EQ(petrov->save(card.id, edited, card.version).status, SaveResult::Status::Saved);

    for (const char* sql : {
             "UPDATE access_logins SET dostup = 'Z'",
             "INSERT INTO access_sessions VALUES (pg_backend_pid(), now(), 'orm_petrov', 'X')",
             "DELETE FROM access_tokens",
             "SELECT * FROM access_editor",
             "SELECT zelm_check_password('Администратор', '580214')",
             "SELECT zelm_vouch('Администратор', now())",
             "TRUNCATE cards",
             "TRUNCATE attachments",
             "DROP TABLE cards",
             "ALTER TABLE cards ADD COLUMN x integer",
             "ALTER TABLE cards DISABLE TRIGGER cards_stamp",
             "SET session_replication_role = replica",
             "CREATE TABLE mine (id integer)",
             "UPDATE zelm_schema SET version = 99",
             "CREATE OR REPLACE FUNCTION zelm_started() RETURNS timestamptz LANGUAGE sql "
             "AS 'SELECT now()'",
         })
        EXPECT_EQ(sqlStateOf(*petrov, sql), QStringLiteral("42501")) << sql;

    // A table a later version makes is readable by officers without a grant, and no more: the
    // cards' history, made after the roles.
    owner->connection().exec("CREATE TABLE later_table (id bigserial PRIMARY KEY, what text)");
    owner->connection().exec("INSERT INTO later_table (what) VALUES ('save')");
    EXPECT_EQ(petrov->connection().exec("SELECT count(*) FROM later_table").int64(0, 0), 1);
    petrov->connection().exec("SELECT count(*) FROM card_history");
    for (const char* sql : {"UPDATE later_table SET what = 'x'", "DELETE FROM later_table",
                            "INSERT INTO later_table (what) VALUES ('x')", "TRUNCATE later_table",
                            "UPDATE card_history SET action = 1", "DELETE FROM card_history",
                            "TRUNCATE card_history"})
        EXPECT_EQ(sqlStateOf(*petrov, sql), QStringLiteral("42501")) << sql;

    // A register set up the earlier way, every right given to a role by hand, loses those
    // rights with the upgrade; the role works as an officer once it is in the group.
    owner->connection().exec("GRANT ALL ON ALL TABLES IN SCHEMA public TO orm_stranger");
    owner->connection().exec("UPDATE zelm_schema SET version = 2");
    as(QStringLiteral("orm_owner"));
    PgConnection su(ServerConfig::parse(pg->connectionString(QStringLiteral("orm"))));
    su.exec("GRANT zelm_officer TO orm_stranger");
    auto former = as(QStringLiteral("orm_stranger"));
    EXPECT_EQ(former->countCards(CardFileKind::Main), 1);
    EXPECT_EQ(sqlStateOf(*former, "TRUNCATE cards"), QStringLiteral("42501"));
    EXPECT_EQ(sqlStateOf(*former, "SELECT * FROM access_logins"), QStringLiteral("42501"));
    su.exec("REVOKE zelm_officer FROM orm_stranger");

    // Told in Russian which right the role lacks.
    try {
        petrov->connection().exec("TRUNCATE cards");
        FAIL();
    } catch (const ServerError& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("у роли «orm_petrov» нет права на "
                                                        "очистку (TRUNCATE) таблицы cards")))
            << e.what();
    }
    try {
        as(QStringLiteral("orm_stranger"))->countCards(CardFileKind::Main);
        FAIL() << "a role outside zelm_officer read the cards";
    } catch (const ServerError& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("нет права на чтение (SELECT) таблицы")))
            << e.what();
        EXPECT_TRUE(e.message().contains(QStringLiteral("zelm_officer"))) << e.what();
    }
}

TEST_F(OfficerRoles, TheLoginAnswersOnlyTheRightPasswordAndSlowsDownGuesses) {
    auto petrov = as(QStringLiteral("orm_petrov"));
    EXPECT_EQ(petrov->accessNames(), (QStringList{kAdmin, kUser1, QStringLiteral("Пользователь 2"),
                                                  QStringLiteral("Пользователь 3")}));
    EXPECT_EQ(petrov->login(kUser1, kUser1Password), QStringLiteral("W"));
    EXPECT_EQ(petrov->login(kUser1, kAdminPassword), std::nullopt) << "another's password";
    EXPECT_EQ(petrov->login(QStringLiteral("Никто"), kAdminPassword), std::nullopt);

    // Each wrong password costs a second; after three in a row the next try waits longer,
    // even with the right password, which then clears the count.
    qint64 wrong = millisOf([&] { EXPECT_FALSE(petrov->login(kAdmin, QStringLiteral("1"))); });
    EXPECT_GE(wrong, 900);
    petrov->login(kAdmin, QStringLiteral("2"));
    petrov->login(kAdmin, QStringLiteral("3"));
    const qint64 slowed =
        millisOf([&] { EXPECT_FALSE(petrov->login(kAdmin, QStringLiteral("4"))); });
    EXPECT_GE(slowed, 1900);
    std::optional<QString> letter;
    EXPECT_GE(millisOf([&] { letter = petrov->login(kAdmin, kAdminPassword); }), 1900);
    EXPECT_EQ(letter, QStringLiteral("Z"));
    EXPECT_LT(millisOf([&] { petrov->login(kAdmin, kAdminPassword); }), 900);
}

TEST_F(OfficerRoles, OnlyTheAdministratorsOwnPasswordOpensAndWritesTheTable) {
    auto petrov = as(QStringLiteral("orm_petrov"));
    ASSERT_EQ(petrov->login(kUser1, kUser1Password), QStringLiteral("W"));
    ASSERT_EQ(petrov->lockAccessEditor(), std::nullopt);
    QList<AccessRow> mine = defaultAccessRows(46000);
    mine[1].Dostup = QStringLiteral("Z");
    mine[1].Parol = QStringLiteral("111111");
    // A W officer, with the own password or with none, reads and writes nothing.
    EXPECT_EQ(petrov->accessRows(kUser1, kUser1Password), std::nullopt);
    EXPECT_THROW(petrov->writeAccessRows(kUser1, kUser1Password, mine), ServerError);
    EXPECT_THROW(petrov->writeAccessRows(kAdmin, QStringLiteral("000000"), mine), ServerError);
    EXPECT_EQ(petrov->login(kUser1, kUser1Password), QStringLiteral("W")) << "nothing changed";

    // The administrator's password opens it: no passwords are given out, an empty one keeps the
    // one stored, a new one replaces it.
    std::optional<QList<AccessRow>> rows = petrov->accessRows(kAdmin, kAdminPassword);
    ASSERT_TRUE(rows.has_value());
    ASSERT_EQ(rows->size(), 4);
    for (const AccessRow& row : *rows)
        EXPECT_TRUE(row.Parol.isEmpty());
    (*rows)[2].Parol = QStringLiteral("555555");
    (*rows)[3].Dostup = QStringLiteral("A");
    petrov->writeAccessRows(kAdmin, kAdminPassword, *rows);
    EXPECT_EQ(petrov->login(kUser1, kUser1Password), QStringLiteral("W"));
    EXPECT_EQ(petrov->login(QStringLiteral("Пользователь 2"), QStringLiteral("555555")),
              QStringLiteral("W"));
    EXPECT_EQ(petrov->login(QStringLiteral("Пользователь 3"), QStringLiteral("926473")),
              QStringLiteral("A"));

    // Refused, and nothing written: a table without Z, a new name without a password.
    QList<AccessRow> noChief = *rows;
    noChief[0].Dostup = QStringLiteral("W");
    EXPECT_THROW(petrov->writeAccessRows(kAdmin, kAdminPassword, noChief), ServerError);
    QList<AccessRow> newcomer = *rows;
    newcomer.append({QStringLiteral("05"), 46000, QStringLiteral("Новичок"), {}, {"W"}});
    try {
        petrov->writeAccessRows(kAdmin, kAdminPassword, newcomer);
        FAIL();
    } catch (const ServerError& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("Новичок"))) << e.what();
    }
    EXPECT_EQ(petrov->accessRows(kAdmin, kAdminPassword)->size(), 4);
}

TEST_F(OfficerRoles, WhoChangedACardIsTheServersWord) {
    auto petrov = as(QStringLiteral("orm_petrov"));
    auto sidorov = as(QStringLiteral("orm_sidorov"));
    ASSERT_EQ(petrov->login(kUser1, kUser1Password), QStringLiteral("W"));
    const QString petrovWho = kUser1 + QStringLiteral(" (orm_petrov)");

    const ServerCard card = petrov->append(makeCard(1));
    EXPECT_EQ(card.stamp.user, petrovWho);
    // Text the client writes itself is not taken.
    petrov->connection().exec("UPDATE cards SET changed_by = 'Администратор', "
                              "version = version + 1");
    petrov->connection().exec(
        "WITH c AS (INSERT INTO cards (file, ord, uniq, gurn, changed_by, record) "
        "SELECT 0, ord + 1, uniq + 1, 2, 'Администратор', record FROM cards RETURNING id) "
        "INSERT INTO card_search (card_id, file, data_mer, date_kusp, data_osn, texts) "
        "SELECT id, 0, 0, 0, 0, '{}' FROM c");
    const PgResult by = owner->connection().exec("SELECT DISTINCT changed_by FROM cards");
    ASSERT_EQ(by.rows(), 1);
    EXPECT_EQ(by.text(0, 0), petrovWho);

    // Not logged in: the role alone. Another role cannot borrow a login it did not make.
    const ServerCard own = *sidorov->readCard(card.id);
    TAnketa edited = own.record;
    edited.Prime4.set(QStringLiteral("Сидоров"));
    ASSERT_EQ(sidorov->save(card.id, edited, own.version).status, SaveResult::Status::Saved);
    EXPECT_EQ(sidorov->readCard(card.id)->stamp.user, QStringLiteral("orm_sidorov"));
    const PgResult token = owner->connection().exec("SELECT count(*) FROM access_tokens");
    EXPECT_EQ(token.int64(0, 0), 1) << "one login, one token";

    // The conflict question names the vouched officer and the role; after a lost connection
    // the server still knows who works on it.
    petrov->connection().disconnect();
    const SaveResult conflict = petrov->save(card.id, card.record, card.version);
    ASSERT_EQ(conflict.status, SaveResult::Status::Conflict);
    EXPECT_EQ(conflict.card.stamp.user, QStringLiteral("orm_sidorov"));
    const SaveResult over = petrov->save(card.id, card.record, conflict.card.version);
    ASSERT_EQ(over.status, SaveResult::Status::Saved);
    EXPECT_EQ(over.card.stamp.user, petrovWho);
    const SaveResult onSidorov = sidorov->save(card.id, edited, own.version + 1);
    ASSERT_EQ(onSidorov.status, SaveResult::Status::Conflict);
    EXPECT_EQ(onSidorov.card.stamp.user, petrovWho);
}
