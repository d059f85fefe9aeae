#include "server/Schema.h"

#include "server/OfficerSchema.h"
#include "server/PgConnection.h"
#include "server/SchemaHistory.h"
#include "server/SchemaSteps.h"
#include "server/ServerError.h"

#include <QThread>
#include <array>
#include <initializer_list>

namespace zelm {
namespace {

using Upgrade = void (*)(PgConnection&);
const std::array<Upgrade, kSchemaVersion>& upgrades() {
    static const std::array<Upgrade, kSchemaVersion> all = {
        &upgradeToVersion1,     &upgradeToVersion2,    &upgradeToVersion3,
        &upgradeToOfficerRoles, &upgradeToCardHistory, &upgradeToKeptSearchRows};
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

namespace {

// Runs `statements` in a savepoint: false, nothing changed, when the server refuses them (to a
// role that does not own the tables).
bool ownersChange(PgConnection& c, std::initializer_list<const char*> statements) {
    c.exec("SAVEPOINT owners_change");
    try {
        for (const char* statement : statements)
            c.exec(statement);
    } catch (const ServerError& e) {
        if (e.kind() == ServerError::Kind::Connection)
            throw;
        c.exec("ROLLBACK TO SAVEPOINT owners_change");
        return false;
    }
    c.exec("RELEASE SAVEPOINT owners_change");
    return true;
}

} // namespace

bool dropSearchKeysIndex(PgConnection& c) {
    return ownersChange(c, {"DROP INDEX card_search_keys"});
}

bool setAsideRowChecks(PgConnection& c) {
    return ownersChange(c, {"ALTER TABLE card_search DROP CONSTRAINT card_search_card_id_fkey",
                            "ALTER TABLE cards DISABLE TRIGGER cards_keep_version",
                            "ALTER TABLE cards DISABLE TRIGGER cards_searchable"});
}

void restoreRowChecks(PgConnection& c) {
    c.exec("ALTER TABLE cards ENABLE TRIGGER cards_keep_version");
    c.exec("ALTER TABLE cards ENABLE TRIGGER cards_searchable");
    c.exec("ALTER TABLE card_search ADD CONSTRAINT card_search_card_id_fkey FOREIGN KEY "
           "(card_id) REFERENCES cards (id) ON DELETE CASCADE");
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
