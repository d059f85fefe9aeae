#include "server/CardSql.h"
#include "server/CopyRows.h"
#include "server/FoldedText.h"
#include "server/PgConnection.h"
#include "server/Schema.h"
#include "server/SchemaSteps.h"

#include <cstring>

namespace zelm {
namespace {

// Cards read at a time: a block's records and its search rows stay a few megabytes.
constexpr int kBatch = 4096;

QByteArray searchRows(const PgResult& r) {
    CopyRows out;
    for (int i = 0; i < r.rows(); ++i) {
        // A damaged record gets the search row of a blank card, as a save of one would.
        TAnketa card{};
        if (r.length(i, 2) == int(sizeof card))
            std::memcpy(&card, r.data(i, 2), sizeof card);
        out.beginRow(7);
        out.int64(r.int64(i, 0));
        out.int16(r.int16(i, 1));
        out.float8(asSentAsText(card.DataMer));
        out.float8(asSentAsText(card.DateKUSP));
        out.float8(asSentAsText(card.DataOsn));
        out.binaryValue(foldedTextsArray(card));
        out.binaryValue(keysArray(searchKeys(card)));
    }
    return out.take(true);
}

} // namespace

void upgradeToVersion2(PgConnection& c) {
    // Written so that it can run again over its own work. Every card's search row is made
    // anew, the rows being loaded into an emptied table and the index built over them at the
    // end, which takes a fraction of the time rows replaced one by one do.
    c.exec("ALTER TABLE card_search ADD COLUMN IF NOT EXISTS keys integer[] NOT NULL "
           "DEFAULT '{}'");
    c.exec("DROP INDEX IF EXISTS card_search_keys");
    c.exec("TRUNCATE card_search");
    // Checked once over the whole table when made again, not row by row as the rows come.
    c.exec("ALTER TABLE card_search DROP CONSTRAINT IF EXISTS card_search_card_id_fkey");
    c.exec("DECLARE upgrade_cards NO SCROLL CURSOR FOR SELECT id, file, record FROM cards");
    const QByteArray fetch = "FETCH " + QByteArray::number(kBatch) + " FROM upgrade_cards";
    for (;;) {
        const PgResult r = c.exec(fetch.constData());
        if (r.rows() == 0)
            break;
        QByteArray rows = searchRows(r);
        c.copyIn("COPY card_search (card_id, file, data_mer, date_kusp, data_osn, texts, keys) "
                 "FROM STDIN (FORMAT binary)",
                 [&rows](QByteArray& piece) {
                     if (rows.isEmpty())
                         return false;
                     piece.swap(rows);
                     return true;
                 });
        if (r.rows() < kBatch)
            break;
    }
    c.exec("CLOSE upgrade_cards");
    c.exec("ALTER TABLE card_search ADD CONSTRAINT card_search_card_id_fkey FOREIGN KEY "
           "(card_id) REFERENCES cards (id) ON DELETE CASCADE");
    buildSearchKeysIndex(c);
}

} // namespace zelm
