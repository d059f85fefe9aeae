// Find all over a register of 100 000 cards: the search engine reading the card file against
// SQLite running the same query on the same cards loaded into one table. SQLite's lower() and
// LIKE fold only ASCII, so the peer gets a Unicode lower-case function of its own.
#include "BenchConditions.h"
#include "common/CardFactory.h"
#include "search/CardScan.h"
#include "store/DayCount.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdio>
#include <memory>
#include <vector>

using namespace zelm;

namespace {

constexpr int kCards = 100000;

void unicodeLower(sqlite3_context* ctx, int, sqlite3_value** argv) {
    const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(argv[0]));
    if (!text) {
        sqlite3_result_null(ctx);
        return;
    }
    const QByteArray lowered =
        QString::fromUtf8(text, sqlite3_value_bytes(argv[0])).toLower().toUtf8();
    sqlite3_result_text(ctx, lowered.constData(), static_cast<int>(lowered.size()),
                        SQLITE_TRANSIENT);
}

struct Register {
    QTemporaryDir dir;
    CardFile main;
    CardFile working;
    sqlite3* db = nullptr;
    sqlite3_stmt* query = nullptr;
    QByteArray needles[3];
    bool agree = false;

    Register() {
        const std::vector<TAnketa> cards = testing::makeCards(kCards);
        const QString mainPath = dir.filePath(QStringLiteral("Anketi.dat"));
        QFile f(mainPath);
        f.open(QIODevice::WriteOnly);
        f.write(reinterpret_cast<const char*>(cards.data()),
                static_cast<qint64>(cards.size() * sizeof(TAnketa)));
        f.close();
        main.open(mainPath, sizeof(TAnketa));
        working.create(dir.filePath(QStringLiteral("RabAnket.dat")), sizeof(TAnketa));
        loadSqlite(cards);
        agree = engineIndexes() == sqliteIndexes();
    }
    ~Register() {
        sqlite3_finalize(query);
        sqlite3_close(db);
    }

    void loadSqlite(const std::vector<TAnketa>& cards) {
        sqlite3_open(":memory:", &db);
        sqlite3_create_function(db, "ulower", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                                unicodeLower, nullptr, nullptr);
        QString columns;
        for (int f = 0; f < kSearchFieldCount; ++f)
            columns += QStringLiteral(", t%1 TEXT").arg(f);
        sqlite3_exec(db,
                     ("CREATE TABLE cards(idx INTEGER PRIMARY KEY, DataMer REAL, DateKUSP REAL, "
                      "DataOsn REAL" +
                      columns + ")")
                         .toUtf8()
                         .constData(),
                     nullptr, nullptr, nullptr);
        QString marks = QStringLiteral("?,?,?,?");
        for (int f = 0; f < kSearchFieldCount; ++f)
            marks += QStringLiteral(",?");
        sqlite3_stmt* insert = nullptr;
        sqlite3_prepare_v2(db, ("INSERT INTO cards VALUES(" + marks + ")").toUtf8().constData(), -1,
                           &insert, nullptr);
        sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
        for (int i = 0; i < kCards; ++i) {
            const TAnketa& c = cards[static_cast<size_t>(i)];
            sqlite3_bind_int(insert, 1, i);
            sqlite3_bind_double(insert, 2, c.DataMer);
            sqlite3_bind_double(insert, 3, c.DateKUSP);
            sqlite3_bind_double(insert, 4, c.DataOsn);
            for (int f = 0; f < kSearchFieldCount; ++f) {
                const QByteArray text = fieldText(c, static_cast<SearchField>(f)).toUtf8();
                sqlite3_bind_text(insert, 5 + f, text.constData(), static_cast<int>(text.size()),
                                  SQLITE_TRANSIENT);
            }
            sqlite3_step(insert);
            sqlite3_reset(insert);
        }
        sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
        sqlite3_finalize(insert);

        // Whole days: for the dates of a register, trunc(d) in [a, b] is a <= d < b + 1.
        const auto t = [](SearchField f) { return QByteArray::number(static_cast<int>(f)); };
        const QByteArray sql = "SELECT idx FROM cards WHERE DataMer >= ?1 AND DataMer < ?2 "
                               "AND DateKUSP >= ?3 AND DateKUSP < ?4 "
                               "AND DataOsn >= ?5 AND DataOsn < ?6 "
                               "AND instr(ulower(t" +
                               t(SearchField::FIOSotr) +
                               "), ?7) > 0 "
                               "AND instr(ulower(t" +
                               t(SearchField::NameOrg) +
                               "), ?8) > 0 "
                               "AND instr(ulower(t" +
                               t(SearchField::VidORM) +
                               "), ?9) > 0 "
                               "ORDER BY idx";
        sqlite3_prepare_v2(db, sql.constData(), -1, &query, nullptr);
        const SearchConditions c = benchConditions();
        sqlite3_bind_double(query, 1, c.dataMer.first);
        sqlite3_bind_double(query, 2, c.dataMer.last + 1);
        sqlite3_bind_double(query, 3, c.dateKusp.first);
        sqlite3_bind_double(query, 4, c.dateKusp.last + 1);
        sqlite3_bind_double(query, 5, c.dataOsn.first);
        sqlite3_bind_double(query, 6, c.dataOsn.last + 1);
        const SearchField order[] = {SearchField::FIOSotr, SearchField::NameOrg,
                                     SearchField::VidORM};
        for (int k = 0; k < 3; ++k) {
            needles[k] = conditionNeedle(c.text(order[k])).toLower().toUtf8();
            sqlite3_bind_text(query, 7 + k, needles[k].constData(),
                              static_cast<int>(needles[k].size()), SQLITE_STATIC);
        }
    }

    qint64 findAll() {
        working.seek(0);
        working.truncate();
        return appendAllMatches(main, CardMatcher(benchConditions()), working);
    }

    std::vector<std::int32_t> engineIndexes() {
        findAll();
        std::vector<std::int32_t> out;
        for (const TAnketa& c : working.readAll<TAnketa>())
            out.push_back(c.Klu4Form1 - testing::makeCard(0).Klu4Form1);
        return out;
    }

    std::vector<std::int32_t> sqliteIndexes() {
        std::vector<std::int32_t> out;
        sqlite3_reset(query);
        while (sqlite3_step(query) == SQLITE_ROW)
            out.push_back(sqlite3_column_int(query, 0));
        return out;
    }
};

Register& reg() {
    static Register r;
    return r;
}

void BM_FindAll_Zelm(benchmark::State& state) {
    Register& r = reg();
    if (!r.agree) {
        state.SkipWithError("the engine and SQLite found different cards");
        return;
    }
    qint64 found = 0;
    for (auto _ : state)
        found = r.findAll();
    state.counters["found"] = static_cast<double>(found);
}
BENCHMARK(BM_FindAll_Zelm)->Unit(benchmark::kMillisecond);

void BM_FindAll_SQLite(benchmark::State& state) {
    Register& r = reg();
    if (!r.agree) {
        state.SkipWithError("the engine and SQLite found different cards");
        return;
    }
    size_t found = 0;
    for (auto _ : state)
        found = r.sqliteIndexes().size();
    state.counters["found"] = static_cast<double>(found);
}
BENCHMARK(BM_FindAll_SQLite)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
