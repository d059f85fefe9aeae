// The bulk loads: a COPY that fails or is given up stores nothing, and the search rows a move or
// an upgrade loads are the very rows a save writes.
#include "ServerFixture.h"
#include "common/FileBytes.h"
#include "server/CardSql.h"
#include "server/RegisterTransfer.h"
#include "server/Schema.h"
#include "server/SchemaSteps.h"
#include "server/ServerCallThread.h"
#include "server/ServerError.h"
#include "store/FileError.h"
#include "store/Installation.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <QThread>
#include <limits>

using namespace zelm;
using namespace zelm::testing;

namespace {

// Every card's search row with its card's number, in the numbers' order, as bytes.
QList<QByteArray> searchRows(PgConnection& c) {
    const PgResult r = c.exec("SELECT c.uniq, s.file, s.data_mer, s.date_kusp, s.data_osn, "
                              "s.texts, s.keys FROM card_search s JOIN cards c ON c.id = "
                              "s.card_id ORDER BY c.uniq, c.uniq_dup");
    QList<QByteArray> rows;
    for (int i = 0; i < r.rows(); ++i) {
        QByteArray row;
        for (int col = 0; col < 7; ++col)
            row += r.bytes(i, col) + '|';
        rows << row;
    }
    return rows;
}

// A data folder whose Main card file holds `cards`.
void writeRegister(Installation& inst, const std::vector<TAnketa>& cards) {
    inst.prepare();
    writeBytes(inst.mainCardFile(), QByteArray(reinterpret_cast<const char*>(cards.data()),
                                               qsizetype(cards.size() * sizeof(TAnketa))));
}

} // namespace

using BulkCopyTest = ServerTest;

TEST_F(BulkCopyTest, ACopyThatFailsStoresNothingAndSaysWhy) {
    PgConnection c(ServerConfig::parse(conninfo));
    c.exec("CREATE TABLE t (n integer NOT NULL CHECK (n > 0))");
    const auto rows = [](std::vector<int> values) {
        QByteArray data = "PGCOPY\n\377\r\n";
        data.append(9, '\0'); // the signature's last byte, the flags, no extension
        for (int v : values) {
            const char row[] = {0,      1, 0, 0, 0, 4, char(v >> 24), char(v >> 16), char(v >> 8),
                                char(v)};
            data.append(row, sizeof row);
        }
        return data + QByteArray("\xff\xff", 2);
    };
    const char* sql = "COPY t (n) FROM STDIN (FORMAT binary)";
    const auto once = [](QByteArray data) {
        return [data](QByteArray& piece) mutable {
            piece.swap(data);
            return !piece.isEmpty();
        };
    };
    EXPECT_EQ(c.copyIn(sql, once(rows({1, 2, 3}))), 3);

    // The data's source fails halfway: the COPY is refused, what it sent is not kept, and the
    // source's own failure is what the caller learns.
    {
        PgTransaction t(c);
        int pieces = 0;
        EXPECT_THROW(c.copyIn(sql,
                              [&](QByteArray& piece) {
                                  if (++pieces == 2)
                                      throw FileError(QStringLiteral("File access denied"),
                                                      QStringLiteral("Anketi.dat"));
                                  piece = rows({7}).chopped(2);
                                  return true;
                              }),
                     FileError);
    }
    // The server refuses a row: nothing of the COPY stays, the message names the server.
    try {
        c.copyIn(sql, once(rows({4, -1, 5})));
        FAIL() << "a row the table refuses was taken";
    } catch (const ServerError& e) {
        EXPECT_EQ(e.kind(), ServerError::Kind::Refused);
        EXPECT_TRUE(e.message().contains(c.serverName())) << e.what();
    }
    EXPECT_EQ(c.exec("SELECT count(*), sum(n) FROM t").int64(0, 0), 3);
    EXPECT_THROW(c.copyIn("SELECT 1", once(rows({1}))), std::invalid_argument);
}

TEST_F(BulkCopyTest, AMoveGivenUpHalfwayLeavesTheServerEmpty) {
    QTemporaryDir here;
    Installation inst(here.path());
    writeRegister(inst, makeCards(30000));
    auto a = workstation(QStringLiteral("Иванов"), QStringLiteral("ws1"));

    // The window's thread waits while the move runs off it; the gauge is told on the window's
    // thread only, and the user gives the move up once it shows some progress.
    servercalls::serveWindowThread(nullptr);
    QThread* window = QThread::currentThread();
    bool offThread = false;
    qint64 shown = 0;
    try {
        const servercalls::Cancellable moving;
        moveRegisterToServer(*a, inst, [&](qint64 done, qint64) {
            offThread = offThread || QThread::currentThread() != window;
            shown = done;
            if (done > 0)
                servercalls::cancel();
        });
        ADD_FAILURE() << "the move was not given up";
    } catch (const ServerError& e) {
        EXPECT_EQ(e.detail(), ServerError::Detail::Cancelled) << e.what();
    }
    servercalls::stopServing();
    EXPECT_FALSE(offThread);
    EXPECT_GT(shown, 0);
    EXPECT_LT(shown, 30000);

    auto b = workstation(QStringLiteral("Петров"), QStringLiteral("ws2"));
    EXPECT_EQ(b->countCards(CardFileKind::Main), 0);
    EXPECT_EQ(b->connection().exec("SELECT count(*) FROM card_search").int64(0, 0), 0);
    // Nothing of it is in the way of a move made again.
    EXPECT_EQ(moveRegisterToServer(*b, inst).cards, 30000);
}

TEST_F(BulkCopyTest, MovedAndUpgradedSearchRowsAreTheRowsASaveWrites) {
    std::vector<TAnketa> cards = makeCards(600);
    cards[7].NameOrg.set(QStringLiteral("ООО «Ёлочка» и ЁЖ"));
    cards[8].NameOrg.len = 200; // a damaged length byte: the field as far as it can hold
    cards[9].DataMer = -0.0;    // sent as text before: stored without its sign
    cards[12].DateKUSP = std::numeric_limits<double>::quiet_NaN();
    cards[10].Klu4Form1 = cards[11].Klu4Form1; // two cards of one tick
    QTemporaryDir here;
    Installation inst(here.path());
    writeRegister(inst, cards);
    auto a = workstation(QStringLiteral("Иванов"), QStringLiteral("ws1"));
    moveRegisterToServer(*a, inst);
    PgConnection& c = a->connection();
    const QList<QByteArray> moved = searchRows(c);
    ASSERT_EQ(moved.size(), 600);
    // What the load set aside is back: one reference from the search rows to their cards, and
    // the history's trigger.
    const auto references = [](PgConnection& on) {
        return on
            .exec("SELECT count(*) FROM pg_constraint WHERE conrelid = 'card_search'::regclass "
                  "AND contype = 'f'")
            .int64(0, 0);
    };
    EXPECT_EQ(references(c), 1);
    EXPECT_EQ(
        c.exec("SELECT tgenabled FROM pg_trigger WHERE tgname = 'cards_keep_version'").text(0, 0),
        QStringLiteral("O"));

    // Each card's row written again the way a save writes it.
    const PgResult ids = c.exec("SELECT id, file, record FROM cards");
    for (int i = 0; i < ids.rows(); ++i) {
        TAnketa card;
        std::memcpy(&card, ids.data(i, 2), sizeof card);
        writeSearchRow(c, ids.int64(i, 0), static_cast<CardFileKind>(ids.int16(i, 1)), card);
    }
    EXPECT_EQ(searchRows(c), moved);

    // The register as the first schema kept it, upgraded: the same rows again, and again when
    // the step runs over its own work.
    c.exec("DROP INDEX card_search_keys");
    c.exec("ALTER TABLE card_search DROP COLUMN keys");
    c.exec("UPDATE zelm_schema SET version = 1");
    auto b = workstation(QStringLiteral("Петров"), QStringLiteral("ws2"));
    EXPECT_EQ(schemaVersion(b->connection()), kSchemaVersion);
    EXPECT_EQ(searchRows(b->connection()), moved);
    {
        PgTransaction t(b->connection());
        upgradeToVersion2(b->connection());
        t.commit();
    }
    EXPECT_EQ(searchRows(b->connection()), moved);
    EXPECT_EQ(references(b->connection()), 1);
    EXPECT_EQ(b->connection()
                  .exec("SELECT count(*) FROM pg_indexes WHERE indexname = 'card_search_keys'")
                  .int64(0, 0),
              1);
}
