#pragma once
// The register's tables on the server, made and upgraded by the program itself. The version
// table says which upgrades a database has had; each start brings it to the newest in one
// transaction, so a database is never left half-upgraded.
namespace zelm {

class PgConnection;

inline constexpr int kSchemaVersion = 6;

// Where the cards of a register live: the file they would be in on disk.
enum class CardFileKind : short { Main = 0, Archive = 1 };

// Advisory lock keys, all under one class id so they never meet another program's locks.
inline constexpr int kLockClass = 0x5A454C4D; // "ZELM"
enum LockKey : int {
    kSchemaLock = 1,   // upgrading the schema
    kNumberLock = 2,   // taking unique and running numbers, and order keys
    kAccessLock = 3,   // the access table's editor (held for the session)
    kTransferLock = 4, // moving a register onto the server
    kListLock = 5      // writing a reference list
};

// Brings the database to kSchemaVersion; throws ServerError when it is newer than this program.
void ensureSchema(PgConnection& c);
// The index of the cards' search keys, dropped while a whole register is moved in and built
// again at the end, inside the move's transaction: keeping it up card by card makes a move five
// times slower. Dropping it is refused (false, nothing changed) to a role that does not own it.
bool dropSearchKeysIndex(PgConnection& c);
void buildSearchKeysIndex(PgConnection& c);
// The row-by-row work a load of a whole register can do without, set aside inside the move's
// transaction and put back before it ends: the search rows' reference to their cards is
// checked once over the whole table, and the history's trigger, which keeps nothing for a card
// stored anew, is not called for each card, nor the check that each card has its search row
// (the move writes every card's). Refused (false, nothing changed) to a role that does
// not own the tables.
bool setAsideRowChecks(PgConnection& c);
void restoreRowChecks(PgConnection& c);
// The schema version the database has now (0 for an empty database).
int schemaVersion(PgConnection& c);

} // namespace zelm
