#pragma once
// The schema's upgrade that puts the access data behind the server and gives workstations the
// group role zelm_officer (see OfficerSchema.cpp).
#include "store/AccessTable.h"

namespace zelm {

class PgConnection;

// Run by the database's owner inside the schema's upgrade transaction.
void upgradeToOfficerRoles(PgConnection& c);
// Replaces the logins with `rows`, each password stored as a salted Blowfish hash. Only the
// table's owner may; anyone else gets the server's refusal.
void storeLogins(PgConnection& c, const QList<AccessRow>& rows);

} // namespace zelm
