// The trigger writes the history on the server itself, so no workstation can leave a change
// out or write a version of its own: who and when are the row's own changed_by, changed_on and
// changed_at, which the server sets. The trigger's function runs with its owner's rights
// (SECURITY DEFINER, fixed search_path), so the officers' roles need no right on card_history
// but to read it.
#include "server/SchemaHistory.h"

#include "server/PgConnection.h"

namespace zelm {

void upgradeToCardHistory(PgConnection& c) {
    // Written so that it can run again over its own work: a database brought back to an
    // earlier version number by hand keeps what it had.
    // `card_id` is the cards row's key, kept after the row is gone; `action` is HistoryAction.
    c.exec(R"(CREATE TABLE IF NOT EXISTS card_history (
                id bigserial PRIMARY KEY,
                card_id bigint NOT NULL,
                uniq integer NOT NULL,
                action smallint NOT NULL CHECK (action BETWEEN 1 AND 5),
                done_by text NOT NULL,
                done_on text NOT NULL,
                done_at timestamptz NOT NULL,
                record bytea NOT NULL CHECK (octet_length(record) = 1744)))");
    c.exec("CREATE INDEX IF NOT EXISTS card_history_uniq ON card_history (uniq, id)");
    // A save is a change of the record, archiving a change of file to 1; a change of order
    // alone (a renumbering) or of the stamp alone (a deletion naming who deletes) is none.
    // A recall is an insertion its transaction calls one (zelm.recall); other insertions (a new
    // card, a move onto the server) have no earlier version.
    c.exec(R"(CREATE OR REPLACE FUNCTION zelm_keep_card_version() RETURNS trigger
              LANGUAGE plpgsql SECURITY DEFINER AS $f$
              BEGIN
                -- A damaged record is no version of a card: mending it by hand keeps nothing.
                IF octet_length(CASE WHEN TG_OP = 'INSERT' THEN NEW.record
                                     ELSE OLD.record END) <> 1744 THEN
                  RETURN NULL;
                END IF;
                IF TG_OP = 'INSERT' THEN
                  IF coalesce(current_setting('zelm.recall', true), '') = 'on' THEN
                    INSERT INTO card_history (card_id, uniq, action, done_by, done_on, done_at,
                                              record)
                    VALUES (NEW.id, NEW.uniq, 5, NEW.changed_by, NEW.changed_on, NEW.changed_at,
                            NEW.record);
                  END IF;
                ELSIF TG_OP = 'UPDATE' THEN
                  IF NEW.file <> OLD.file THEN
                    INSERT INTO card_history (card_id, uniq, action, done_by, done_on, done_at,
                                              record)
                    VALUES (OLD.id, OLD.uniq, CASE WHEN NEW.file = 1 THEN 2 ELSE 5 END,
                            NEW.changed_by, NEW.changed_on, NEW.changed_at, OLD.record);
                  ELSIF NEW.record IS DISTINCT FROM OLD.record THEN
                    INSERT INTO card_history (card_id, uniq, action, done_by, done_on, done_at,
                                              record)
                    VALUES (OLD.id, OLD.uniq, 1, NEW.changed_by, NEW.changed_on, NEW.changed_at,
                            OLD.record);
                  END IF;
                ELSE
                  INSERT INTO card_history (card_id, uniq, action, done_by, done_on, done_at,
                                            record)
                  VALUES (OLD.id, OLD.uniq, CASE WHEN OLD.file = 1 THEN 4 ELSE 3 END,
                          OLD.changed_by, OLD.changed_on, now(), OLD.record);
                END IF;
                RETURN NULL;
              END
              $f$)");
    // A definer's function finds its tables in the schema it was made in, never in one a
    // caller puts first.
    c.exec("DO $d$ BEGIN EXECUTE format('ALTER FUNCTION zelm_keep_card_version() "
           "SET search_path = %I, pg_temp', current_schema()); END $d$");
    c.exec("REVOKE ALL ON FUNCTION zelm_keep_card_version() FROM PUBLIC");
    c.exec("CREATE OR REPLACE TRIGGER cards_keep_version AFTER INSERT OR UPDATE OR DELETE ON cards "
           "FOR EACH ROW EXECUTE FUNCTION zelm_keep_card_version()");
    // The history is read, never changed: not even the owner's grants give these to anyone.
    c.exec("REVOKE UPDATE, DELETE, TRUNCATE ON card_history FROM PUBLIC");
}

} // namespace zelm
