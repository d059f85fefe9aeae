#include "server/PgConnection.h"
#include "server/SchemaSteps.h"

namespace zelm {

void upgradeToVersion3(PgConnection& c) {
    // Cards stored before have no key: a column without a default is added without rewriting
    // the table, and its index holds no entry for them.
    c.exec("ALTER TABLE cards ADD COLUMN IF NOT EXISTS made_key uuid");
    c.exec("CREATE UNIQUE INDEX IF NOT EXISTS cards_made_key ON cards (made_key) WHERE made_key IS "
           "NOT NULL");
}

} // namespace zelm
