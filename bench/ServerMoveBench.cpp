// What a register's move onto a server costs against what the server itself needs to take the
// same data, on a PostgreSQL server on this machine with fsync on, as a unit's server runs:
//  - the move of realistic cards (the cards, their search rows and index, the attached files'
//    list) against a plain COPY of the same records, each a 1744-byte bytea with the cards'
//    key columns, into a table of the same shape without indexes, read from the same file;
//  - the upgrade of a database the schema's first version made, holding the same cards, to the
//    current schema against the move of those cards.
// Each pair runs the two in turn, every run into a database of its own made beforehand (not
// timed); printed as median [min-max] with the ratio taken pair by pair.
//   server_move_bench [cards] [upgrade cards] [pairs]
#include "BenchInstall.h"
#include "PairedTiming.h"
#include "common/PgTestServer.h"
#include "server/CopyRows.h"
#include "server/FoldedText.h"
#include "server/PgConnection.h"
#include "server/RegisterTransfer.h"
#include "server/Schema.h"
#include "server/SchemaSteps.h"
#include "server/ServerRegister.h"
#include "store/CardFile.h"
#include "store/Installation.h"

#include <QCoreApplication>
#include <cstdio>
#include <functional>
#include <memory>

using namespace zelm;

namespace {

constexpr qint64 kOrderGap = qint64(1) << 20;
constexpr qint64 kBlock = 1024;

class Bench {
public:
    Bench() : m_pg(testing::PgTestServer::Options{true}) {}
    bool running() const { return m_pg.running(); }
    QString unavailable() const { return m_pg.unavailable(); }

    // A new empty database; the one of the run before is dropped.
    QString freshDatabase() {
        const QString name = QStringLiteral("run%1").arg(++m_runs);
        return m_pg.createDatabase(name);
    }
    void dropDatabase(const QString& conninfo) {
        PgConnection admin(ServerConfig::parse(m_pg.connectionString(QStringLiteral("postgres"))));
        const QString name = conninfo.section(QStringLiteral("dbname="), 1).section(' ', 0, 0);
        admin.exec(QByteArray("DROP DATABASE IF EXISTS " + name.toUtf8()).constData());
    }

private:
    testing::PgTestServer m_pg;
    int m_runs = 0;
};

std::unique_ptr<ServerRegister> openRegister(const QString& conninfo) {
    auto r = std::make_unique<ServerRegister>(ServerConfig::parse(conninfo));
    r->setIdentity(QStringLiteral("Иванов И.И."), QStringLiteral("ws1"));
    r->open();
    return r;
}

// Streams the card file's records through `row` into `sql`, a COPY ... FROM STDIN.
qint64 copyFile(PgConnection& c, const QString& path, const char* sql,
                const std::function<void(CopyRows&, const TAnketa&, qint64)>& row) {
    CardFile f;
    f.open(path, sizeof(TAnketa));
    const qint64 n = f.count();
    std::vector<TAnketa> block(kBlock);
    qint64 at = 0;
    CopyRows rows;
    const qint64 copied = c.copyIn(sql, [&](QByteArray& piece) {
        if (at > n)
            return false;
        while (at < n && rows.size() < 256 * 1024) {
            const qint64 k = std::min(kBlock, n - at);
            f.readRange(at, k, block.data());
            for (qint64 i = 0; i < k; ++i)
                row(rows, block[static_cast<size_t>(i)], at + i);
            at += k;
        }
        piece = rows.take(at == n);
        if (at == n)
            ++at;
        return true;
    });
    f.close();
    return copied;
}

void cardRow(CopyRows& out, const TAnketa& card, qint64 i) {
    out.beginRow(8);
    out.int64(i + 1);
    out.int16(0);
    out.int64((i + 1) * kOrderGap);
    out.int32(card.Klu4Form1);
    out.int16(0);
    out.int32(card.GurN);
    out.text(card.AdminFIO.text());
    out.bytes(reinterpret_cast<const char*>(&card), sizeof card);
}

// The plain COPY: the same records and key columns into a table without indexes.
void plainCopy(const QString& conninfo, const QString& path) {
    PgConnection c(ServerConfig::parse(conninfo));
    PgTransaction t(c);
    c.liftStatementLimit();
    copyFile(c, path,
             "COPY plain (id, file, ord, uniq, uniq_dup, gurn, changed_by, record) FROM STDIN "
             "(FORMAT binary)",
             cardRow);
    t.commit();
}

void makePlainTable(const QString& conninfo) {
    PgConnection c(ServerConfig::parse(conninfo));
    c.exec("CREATE TABLE plain (id bigint NOT NULL, file smallint NOT NULL, ord bigint NOT NULL, "
           "uniq integer NOT NULL, uniq_dup smallint NOT NULL, gurn integer NOT NULL, "
           "changed_by text NOT NULL, record bytea NOT NULL)");
}

// A database as the schema's first version kept a register: the cards, their search rows
// without keys, the access table as bytes.
void makeVersion1(const QString& conninfo, const QString& path) {
    PgConnection c(ServerConfig::parse(conninfo));
    PgTransaction t(c);
    c.liftStatementLimit();
    c.exec("CREATE TABLE zelm_schema (version integer NOT NULL)");
    upgradeToVersion1(c);
    c.exec("INSERT INTO zelm_schema (version) VALUES (1)");
    const qint64 n = copyFile(c, path,
                              "COPY cards (id, file, ord, uniq, uniq_dup, gurn, changed_by, "
                              "record) FROM STDIN (FORMAT binary)",
                              cardRow);
    c.exec("SELECT setval('cards_id_seq', $1)", {PgParam::integer(n)});
    copyFile(c, path,
             "COPY card_search (card_id, file, data_mer, date_kusp, data_osn, texts) FROM STDIN "
             "(FORMAT binary)",
             [](CopyRows& out, const TAnketa& card, qint64 i) {
                 out.beginRow(6);
                 out.int64(i + 1);
                 out.int16(0);
                 out.float8(card.DataMer);
                 out.float8(card.DateKUSP);
                 out.float8(card.DataOsn);
                 out.binaryValue(foldedTextsArray(card));
             });
    t.commit();
    c.exec("VACUUM ANALYZE");
}

// Runs `prepare` then times `work` for each side in turn.
void pairs(const char* title, int n, const char* nameA, const std::function<QString()>& prepareA,
           const std::function<void(const QString&)>& a, const char* nameB,
           const std::function<QString()>& prepareB, const std::function<void(const QString&)>& b,
           Bench& bench) {
    std::vector<double> ta, tb, ratio;
    for (int i = 0; i < n; ++i) {
        const QString dbA = prepareA();
        ta.push_back(bench::timeMs([&] { a(dbA); }));
        bench.dropDatabase(dbA);
        const QString dbB = prepareB();
        tb.push_back(bench::timeMs([&] { b(dbB); }));
        bench.dropDatabase(dbB);
        ratio.push_back(ta.back() / tb.back());
        std::fprintf(stderr, "  pair %d: %s %.0f ms, %s %.0f ms\n", i + 1, nameA, ta.back(), nameB,
                     tb.back());
    }
    const bench::Spread sa = bench::spreadOf(ta), sb = bench::spreadOf(tb),
                        sr = bench::spreadOf(ratio);
    std::printf("%s (%d pairs, interleaved): %s %.0f [%.0f-%.0f] ms | %s %.0f [%.0f-%.0f] ms | "
                "%s/%s %.2f [%.2f-%.2f]\n",
                title, n, nameA, sa.median, sa.min, sa.max, nameB, sb.median, sb.min, sb.max, nameA,
                nameB, sr.median, sr.min, sr.max);
    std::fflush(stdout);
}

// The move into an empty database whose schema was made beforehand, as the first start on a
// new server makes it.
struct MoveRun {
    std::unique_ptr<ServerRegister> target;
    QString prepare(Bench& bench) {
        const QString db = bench.freshDatabase();
        target = openRegister(db);
        return db;
    }
    void run(const Installation& inst) {
        moveRegisterToServer(*target, inst);
        target.reset();
    }
};

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int cards = argc > 1 ? QByteArray(argv[1]).toInt() : 100000;
    const int upgradeCards = argc > 2 ? QByteArray(argv[2]).toInt() : 1000000;
    const int n = argc > 3 ? QByteArray(argv[3]).toInt() : 5;
    Bench bench;
    MoveRun move;
    if (!bench.running()) {
        std::printf("skipped: %s\n", qPrintable(bench.unavailable()));
        return 0;
    }
    {
        bench::BenchInstall install(cards);
        const Installation inst(install.root());
        const QString title = QStringLiteral("move of %1 cards against a plain COPY").arg(cards);
        pairs(
            title.toUtf8().constData(), n, "move", [&] { return move.prepare(bench); },
            [&](const QString&) { move.run(inst); }, "plain COPY",
            [&] {
                const QString db = bench.freshDatabase();
                makePlainTable(db);
                return db;
            },
            [&](const QString& db) { plainCopy(db, inst.mainCardFile()); }, bench);
    }
    {
        bench::BenchInstall install(upgradeCards);
        const Installation inst(install.root());
        const QString title =
            QStringLiteral("upgrade of %1 cards from version 1 against their move")
                .arg(upgradeCards);
        pairs(
            title.toUtf8().constData(), n, "upgrade",
            [&] {
                const QString db = bench.freshDatabase();
                makeVersion1(db, inst.mainCardFile());
                return db;
            },
            [&](const QString& db) { openRegister(db); }, "move",
            [&] { return move.prepare(bench); }, [&](const QString&) { move.run(inst); }, bench);
    }
    return 0;
}
