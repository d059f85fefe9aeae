// Every card keeps its search row while it exists: a search then needs no look for cards the
// index lacks. The server enforces it, whoever writes: a search row is not deleted while its
// card exists, and a card stored without one is refused when its transaction commits.
#include "server/CardSql.h"
#include "server/PgConnection.h"
#include "server/SchemaSteps.h"
#include "store/Records.h"

#include <cstring>

namespace zelm {

void upgradeToKeptSearchRows(PgConnection& c) {
    // Cards that lost their row before: the row is made again from the record.
    const PgResult lacking = c.exec(
        "SELECT id, file, record FROM cards c WHERE octet_length(record) = 1744 AND NOT EXISTS "
        "(SELECT 1 FROM card_search s WHERE s.card_id = c.id)");
    for (int i = 0; i < lacking.rows(); ++i) {
        TAnketa card;
        std::memcpy(&card, lacking.data(i, 2), sizeof card);
        writeSearchRow(c, lacking.int64(i, 0),
                       lacking.int16(i, 1) == 0 ? CardFileKind::Main : CardFileKind::Archive, card);
    }
    // A damaged record has no words to find; it is refused wherever it is read.
    c.exec(R"(CREATE OR REPLACE FUNCTION zelm_search_row_kept() RETURNS trigger
              LANGUAGE plpgsql SET search_path = pg_catalog, public AS $f$
              BEGIN
                IF EXISTS (SELECT 1 FROM cards WHERE id = OLD.card_id) THEN
                  RAISE EXCEPTION 'the search row of card % stays while the card does',
                    OLD.card_id USING ERRCODE = 'integrity_constraint_violation';
                END IF;
                RETURN OLD;
              END $f$)");
    c.exec("DROP TRIGGER IF EXISTS card_search_kept ON card_search");
    c.exec("CREATE TRIGGER card_search_kept BEFORE DELETE ON card_search FOR EACH ROW "
           "EXECUTE FUNCTION zelm_search_row_kept()");
    c.exec(R"(CREATE OR REPLACE FUNCTION zelm_card_searchable() RETURNS trigger
              LANGUAGE plpgsql SET search_path = pg_catalog, public AS $f$
              BEGIN
                IF octet_length(NEW.record) = 1744
                   AND EXISTS (SELECT 1 FROM cards WHERE id = NEW.id)
                   AND NOT EXISTS (SELECT 1 FROM card_search WHERE card_id = NEW.id) THEN
                  RAISE EXCEPTION 'card % is stored without its search row', NEW.id
                    USING ERRCODE = 'integrity_constraint_violation';
                END IF;
                RETURN NULL;
              END $f$)");
    c.exec("DROP TRIGGER IF EXISTS cards_searchable ON cards");
    c.exec("CREATE CONSTRAINT TRIGGER cards_searchable AFTER INSERT ON cards "
           "DEFERRABLE INITIALLY DEFERRED FOR EACH ROW EXECUTE FUNCTION zelm_card_searchable()");
}

} // namespace zelm
