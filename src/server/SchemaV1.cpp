#include "server/PgConnection.h"
#include "server/SchemaSteps.h"

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

} // namespace

void upgradeToVersion1(PgConnection& c) {
    for (const char* statement : version1())
        c.exec(statement);
}

} // namespace zelm
