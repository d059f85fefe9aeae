#pragma once
// The schema's upgrades kept in files of their own, each run once inside ensureSchema's
// transaction as set-based statements or COPY streams, whatever the register's size.
namespace zelm {

class PgConnection;

// Version 1: the register's tables.
void upgradeToVersion1(PgConnection& c);

// Version 2: the search keys of each card and their index, so a search reads only the cards
// that may hold its words. The search rows are made again from the records.
void upgradeToVersion2(PgConnection& c);

// Version 3: the key a workstation gives a new card before sending it, so a command repeated
// after its reply was lost finds the card it stored instead of storing it again.
void upgradeToVersion3(PgConnection& c);

// Version 6: every card keeps its search row while it exists, enforced by the server, and the
// rows lost before are made again (SchemaSearchRows.cpp).
void upgradeToKeptSearchRows(PgConnection& c);

} // namespace zelm
