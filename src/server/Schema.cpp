#include "server/Schema.h"

#include "server/CardSql.h"
#include "server/OfficerSchema.h"
#include "server/PgConnection.h"
#include "server/SchemaHistory.h"
#include "server/SchemaSteps.h"
#include "server/ServerError.h"

#include <QThread>
#include <array>
#include <cstring>
#include <vector>

namespace zelm {
namespace {

// Version 1. A card keeps its record whole; the other columns are what the program looks cards
// up by. `ord` places a card in its file's order with gaps between neighbours, so a card is
// inserted between two others without moving any. Unique numbers never repeat: a register
// brought from disk may hold two cards of one tick, which `uniq_dup` tells apart, while new
// cards always get a number no card has.
const std::vector<const char*>& version1() {
    static const std::vector<const char*> statements = {
        R"(CREATE TABLE cards (
             id bigserial PRIMARY KEY,
             file smallint NOT NULL CHECK (file IN (0, 1)),
             ord bigint NOT NULL,
             uniq integer NOT NULL,
             uniq_dup smallint NOT NULL DEFAULT 0,
             gurn integer NOT NULL,
             version integer NOT NULL DEFAULT 1,
             changed_by text NOT NULL DEFAULT '',
             changed_on text NOT NULL DEFAULT '',
             changed_at timestamptz NOT NULL DEFAULT now(),
             record bytea NOT NULL CHECK (octet_length(record) = 1744),
             UNIQUE (uniq, uniq_dup)))",
        // The register's order with the keys a list needs, read from the index alone.
        "CREATE UNIQUE INDEX cards_order ON cards (file, ord) INCLUDE (id, uniq)",
        // What a search tests, apart from the records: the three dates and every text field
        // lower-cased, so a search reads a narrow table and sends only the cards it found.
        R"(CREATE TABLE card_search (
             card_id bigint PRIMARY KEY REFERENCES cards (id) ON DELETE CASCADE,
             file smallint NOT NULL,
             data_mer float8 NOT NULL,
             date_kusp float8 NOT NULL,
             data_osn float8 NOT NULL,
             texts bytea[] NOT NULL))",
        "CREATE INDEX card_search_file ON card_search (file)",
        // Attached files keep the list file's record order: `pos` is the record's index.
        R"(CREATE TABLE attachments (
             pos bigint PRIMARY KEY,
             card integer NOT NULL,
             record bytea NOT NULL CHECK (octet_length(record) = 448)))",
        "CREATE INDEX attachments_card ON attachments (card)",
        // The twelve reference lists, each the bytes of its file.
        R"(CREATE TABLE reference_lists (
             file text PRIMARY KEY,
             content bytea NOT NULL,
             version integer NOT NULL DEFAULT 1))",
        // The access table, the bytes of Dostup.dat, and who edits it now.
        R"(CREATE TABLE access_table (
             id integer PRIMARY KEY CHECK (id = 1),
             content bytea NOT NULL,
             version integer NOT NULL DEFAULT 1))",
        R"(CREATE TABLE access_editor (
             id integer PRIMARY KEY CHECK (id = 1),
             holder text NOT NULL,
             machine text NOT NULL,
             since timestamptz NOT NULL,
             backend integer NOT NULL))",
    };
    return statements;
}

void upgradeTo1(PgConnection& c) {
    for (const char* statement : version1())
        c.exec(statement);
}

// Version 2: the search keys of each card and their index, so a search reads only the cards
// that may hold its words. The keys of the cards already there are made from their records.
void upgradeTo2(PgConnection& c) {
    c.exec("ALTER TABLE card_search ADD COLUMN keys integer[] NOT NULL DEFAULT '{}'");
    constexpr int kBatch = 1000;
    qint64 after = 0;
    for (;;) {
        const PgResult r =
            c.exec("SELECT id, file, record FROM cards WHERE id > $1 ORDER BY id LIMIT $2",
                   {PgParam::integer(after), PgParam::integer(kBatch)});
        for (int i = 0; i < r.rows(); ++i) {
            TAnketa card{};
            if (r.length(i, 2) == int(sizeof card))
                std::memcpy(&card, r.data(i, 2), sizeof card);
            writeSearchRow(c, r.int64(i, 0), static_cast<CardFileKind>(r.int16(i, 1)), card);
        }
        if (r.rows() < kBatch)
            break;
        after = r.int64(r.rows() - 1, 0);
    }
    buildSearchKeysIndex(c);
}

using Upgrade = void (*)(PgConnection&);
const std::array<Upgrade, kSchemaVersion>& upgrades() {
    static const std::array<Upgrade, kSchemaVersion> all = {
        &upgradeTo1, &upgradeTo2, &upgradeToVersion3, &upgradeToOfficerRoles,
        &upgradeToCardHistory, &upgradeToKeptSearchRows};
    return all;
}

int readVersion(PgConnection& c) {
    const PgResult exists = c.exec("SELECT to_regclass('zelm_schema') IS NOT NULL");
    if (!exists.boolean(0, 0))
        return 0;
    const PgResult r = c.exec("SELECT version FROM zelm_schema");
    return r.rows() ? r.int32(0, 0) : 0;
}

} // namespace

bool dropSearchKeysIndex(PgConnection& c) {
    c.exec("SAVEPOINT drop_keys");
    try {
        c.exec("DROP INDEX card_search_keys");
    } catch (const ServerError& e) {
        if (e.kind() == ServerError::Kind::Connection)
            throw;
        c.exec("ROLLBACK TO SAVEPOINT drop_keys");
        return false;
    }
    c.exec("RELEASE SAVEPOINT drop_keys");
    return true;
}

void buildSearchKeysIndex(PgConnection& c) {
    // A large register's index is built in one sort rather than in many small ones.
    c.exec("SET LOCAL maintenance_work_mem = '256MB'");
    c.exec("CREATE INDEX card_search_keys ON card_search USING gin (keys)");
}

int schemaVersion(PgConnection& c) {
    return readVersion(c);
}

namespace {

// The schema's session lock: taken before the transaction that looks at the catalogue begins,
// so that transaction sees whatever the workstation that held the lock before committed.
// A lock taken inside the transaction would come too late: its catalogue was read at its start.
class SchemaLock {
public:
    // Asked for again and again rather than waited for in one statement: an upgrade of a large
    // register outlasts any statement's limit, and a workstation that stops while upgrading
    // loses the lock with its session (the idle limit) instead of holding everyone.
    explicit SchemaLock(PgConnection& c) : m_c(c) {
        while (!m_c.exec("SELECT pg_try_advisory_lock($1, $2)",
                         {PgParam::integer(kLockClass), PgParam::integer(kSchemaLock)})
                    .boolean(0, 0))
            QThread::msleep(100);
    }
    ~SchemaLock() {
        if (!m_c.connected())
            return; // the server let go of it with the connection
        try {
            m_c.exec("SELECT pg_advisory_unlock($1, $2)",
                     {PgParam::integer(kLockClass), PgParam::integer(kSchemaLock)});
        } catch (const ServerError&) {
        }
    }
    SchemaLock(const SchemaLock&) = delete;
    SchemaLock& operator=(const SchemaLock&) = delete;

private:
    PgConnection& m_c;
};

} // namespace

void ensureSchema(PgConnection& c) {
    if (readVersion(c) == kSchemaVersion)
        return;
    // Several workstations starting at once on a new or older database: one makes or upgrades
    // the schema, the others wait for it here and then find the work done.
    SchemaLock lock(c);
    PgTransaction t(c);
    const int have = readVersion(c);
    if (have > kSchemaVersion)
        throw ServerError(ServerError::Kind::Refused,
                          QStringLiteral("Картотеку на сервере %1 ведёт более новая версия "
                                         "программы (схема %2, эта программа знает %3). "
                                         "Обновите программу на этом компьютере.")
                              .arg(c.serverName())
                              .arg(have)
                              .arg(kSchemaVersion));
    if (have == kSchemaVersion)
        return;
    // An upgrade takes as long as the register is large.
    c.liftStatementLimit();
    if (have == 0)
        c.exec("CREATE TABLE zelm_schema (version integer NOT NULL)");
    try {
        for (int v = have; v < kSchemaVersion; ++v)
            upgrades()[static_cast<size_t>(v)](c);
    } catch (const ServerError& e) {
        // An officer's workstation started first after a new version of the program.
        if (e.sqlState() != QLatin1String("42501"))
            throw;
        throw ServerError(ServerError::Kind::Refused,
                          QStringLiteral("Схему картотеки на сервере %1 нужно обновить (с "
                                         "версии %2 до %3), а это делает только владелец базы "
                                         "данных. Запустите новую версию программы один раз "
                                         "под ролью владельца.\n%4")
                              .arg(c.serverName())
                              .arg(have)
                              .arg(kSchemaVersion)
                              .arg(e.message()),
                          e.sqlState());
    }
    c.exec("DELETE FROM zelm_schema");
    c.exec("INSERT INTO zelm_schema (version) VALUES ($1)", {PgParam::integer(kSchemaVersion)});
    t.commit();
}

} // namespace zelm
