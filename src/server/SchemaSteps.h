#pragma once
// The schema's upgrades kept in files of their own, each run once inside ensureSchema's
// transaction as set-based statements, whatever the register's size.
namespace zelm {

class PgConnection;

// Version 3: the key a workstation gives a new card before sending it, so a command repeated
// after its reply was lost finds the card it stored instead of storing it again.
void upgradeToVersion3(PgConnection& c);

} // namespace zelm
