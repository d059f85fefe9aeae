// The register on a PostgreSQL server on this machine against the same register in the data
// folder's files, in one run, each through the card session as the card window drives it:
// showing a card, saving it, opening the register (its order and unique numbers, the last card
// shown) and finding all cards of a Cyrillic search over 100 000 cards, both the narrow search a
// user makes and a broad one that finds every seventh card. The server runs with fsync on and
// memory enough to hold the register, as a unit's server would. Each figure pairs a local and a
// server benchmark run one after the other; repetitions give median and spread. The server's
// own search (the rows it picks by its index, confirmed here) is timed beside them.
#include "BenchConditions.h"
#include "BenchInstall.h"
#include "common/CardFactory.h"
#include "common/PgTestServer.h"
#include "register/FolderRegister.h"
#include "remote/ServerCards.h"
#include "search/CardMatcher.h"
#include "search/CardScan.h"
#include "search/SearchPrefilter.h"
#include "server/RegisterTransfer.h"
#include "server/ServerRegister.h"
#include "session/CardSession.h"
#include "store/CardFile.h"
#include "store/Cp1251.h"
#include "store/DayCount.h"
#include "store/Installation.h"

#include <QElapsedTimer>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <memory>
#include <random>

using namespace zelm;

namespace {

constexpr int kCards = 100000;

struct Setup {
    bench::BenchInstall install{kCards, 20000};
    Installation inst{install.root()};
    // Its memory sized as a unit's server would be, to hold the register it keeps.
    testing::PgTestServer pg{
        testing::PgTestServer::Options{true, "-c shared_buffers=1GB -c work_mem=64MB"}};
    std::unique_ptr<ServerRegister> server;
    CurrentUser user;
    std::unique_ptr<CardSession> localSession;
    std::unique_ptr<CardSession> serverSession;
    CardFile main, working, attachments;
    std::vector<CardRow> rows;
    std::mt19937 random{7};
    QString error;
    bool agree = false;

    Setup() {
        if (!pg.running()) {
            error = pg.unavailable();
            return;
        }
        server = std::make_unique<ServerRegister>(
            ServerConfig::parse(pg.createDatabase(QStringLiteral("zelm"))));
        // The saves write the data folder's register in place.
        install.ownRegister();
        server->setIdentity(QStringLiteral("Иванов И.И."), QStringLiteral("ws1"));
        server->open();
        QElapsedTimer t;
        t.start();
        moveRegisterToServer(*server, inst);
        server->connection().exec("VACUUM ANALYZE");
        std::fprintf(stderr, "moved %d cards onto the server in %.1f s\n", kCards,
                     t.elapsed() / 1000.0);
        main.open(inst.mainCardFile(), sizeof(TAnketa));
        working.create(inst.workingCardFile(), sizeof(TAnketa));
        attachments.open(inst.attachmentList(), sizeof(TSpisFil));
        rows = server->listCards(CardFileKind::Main);
        agree = localFind() == serverFind();
        user.UserFIO = QStringLiteral("Иванов И.И.");
        localSession = openSession(false);
        serverSession = openSession(true);
    }

    std::unique_ptr<CardSession> openSession(bool onServer) {
        std::unique_ptr<Register> cards;
        if (onServer)
            cards = std::make_unique<ServerCards>(*server);
        else
            cards = std::make_unique<FolderRegister>(inst);
        auto session = std::make_unique<CardSession>(inst, user, std::move(cards));
        session->openFiles();
        session->indexOfNumber(0); // the register's numbers known, as a save needs them
        return session;
    }

    CardSession& session(bool onServer) { return onServer ? *serverSession : *localSession; }

    qint64 pick() { return std::uniform_int_distribution<qint64>(0, kCards - 1)(random); }

    std::vector<qint32> localFind() {
        working.seek(0);
        working.truncate();
        appendAllMatches(main, CardMatcher(benchConditions()), working);
        std::vector<qint32> out;
        for (const TAnketa& c : working.readAll<TAnketa>())
            out.push_back(c.Klu4Form1);
        return out;
    }

    // What a find-all on the server does: the server picks the cards out, the program checks
    // them with the matcher of the local search and fills the Working card file.
    std::vector<qint32> serverFind() {
        const SearchConditions sc = benchConditions();
        const CardMatcher matcher(sc);
        working.seek(0);
        working.truncate();
        std::vector<qint32> out;
        std::vector<TAnketa> found;
        server->findRecords(CardFileKind::Main, searchPrefilter(sc), [&](const TAnketa& c) {
            if (matcher.matches(c)) {
                found.push_back(c);
                out.push_back(c.Klu4Form1);
            }
        });
        working.appendMany(found.data(), static_cast<qint64>(found.size()));
        return out;
    }
};

Setup* setup(benchmark::State& state) {
    static Setup s;
    if (!s.error.isEmpty()) {
        state.SkipWithError(s.error.toUtf8().constData());
        return nullptr;
    }
    if (!s.agree) {
        state.SkipWithError("the server's search and the file search found different cards");
        return nullptr;
    }
    return &s;
}

void showCard(benchmark::State& state, bool onServer) {
    Setup* s = setup(state);
    if (!s)
        return;
    CardSession& session = s->session(onServer);
    for (auto _ : state)
        session.showMainCard(s->pick());
}
void BM_ShowCard_Files(benchmark::State& state) {
    showCard(state, false);
}
void BM_ShowCard_Server(benchmark::State& state) {
    showCard(state, true);
}

void saveCard(benchmark::State& state, bool onServer) {
    Setup* s = setup(state);
    if (!s)
        return;
    CardSession& session = s->session(onServer);
    int n = 0;
    for (auto _ : state) {
        state.PauseTiming();
        session.showMainCard(s->pick());
        TAnketa card = session.CurrentCard();
        card.Prime4.set(QStringLiteral("Правка %1").arg(++n));
        session.setEdits(card);
        state.ResumeTiming();
        if (session.save() != CardSession::SaveOutcome::Overwritten)
            state.SkipWithError("the save did not write the card over");
    }
}
void BM_SaveCard_Files(benchmark::State& state) {
    saveCard(state, false);
}
void BM_SaveCard_Server(benchmark::State& state) {
    saveCard(state, true);
}

void openRegister(benchmark::State& state, bool onServer) {
    Setup* s = setup(state);
    if (!s)
        return;
    for (auto _ : state)
        benchmark::DoNotOptimize(s->openSession(onServer)->CardTotal());
}
void BM_OpenRegister_Files(benchmark::State& state) {
    openRegister(state, false);
}
void BM_OpenRegister_Server(benchmark::State& state) {
    openRegister(state, true);
}

void findAll(benchmark::State& state, bool onServer, const SearchConditions& conditions) {
    Setup* s = setup(state);
    if (!s)
        return;
    CardSession& session = s->session(onServer);
    const CardMatcher matcher(conditions);
    const CardFilter prefilter = searchPrefilter(conditions);
    qint64 found = 0;
    for (auto _ : state) {
        session.emptyWorking();
        found = session.appendMatchesToWorking(
            [&matcher](const TAnketa& card) { return matcher.matches(card); }, &prefilter);
    }
    state.counters["found"] = static_cast<double>(found);
}
void BM_FindAll_Files(benchmark::State& state) {
    findAll(state, false, benchConditions());
}
void BM_FindAll_Server(benchmark::State& state) {
    findAll(state, true, benchConditions());
}
// A search the index narrows little: the cards found are the work, on either side.
void BM_FindAllBroad_Files(benchmark::State& state) {
    findAll(state, false, broadBenchConditions());
}
void BM_FindAllBroad_Server(benchmark::State& state) {
    findAll(state, true, broadBenchConditions());
}

void BM_FindAll_ServerIndex(benchmark::State& state) {
    Setup* s = setup(state);
    if (!s)
        return;
    size_t found = 0;
    for (auto _ : state)
        found = s->serverFind().size();
    state.counters["found"] = static_cast<double>(found);
}

void withSpread(benchmark::internal::Benchmark* b) {
    b->Unit(benchmark::kMillisecond)
        ->Repetitions(7)
        ->DisplayAggregatesOnly(true)
        ->ComputeStatistics(
            "min",
            [](const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); })
        ->ComputeStatistics("max", [](const std::vector<double>& v) {
            return *std::max_element(v.begin(), v.end());
        });
}

BENCHMARK(BM_ShowCard_Files)->Apply(withSpread)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ShowCard_Server)->Apply(withSpread)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SaveCard_Files)->Apply(withSpread);
BENCHMARK(BM_SaveCard_Server)->Apply(withSpread);
BENCHMARK(BM_OpenRegister_Files)->Apply(withSpread);
BENCHMARK(BM_OpenRegister_Server)->Apply(withSpread);
BENCHMARK(BM_FindAll_Files)->Apply(withSpread);
BENCHMARK(BM_FindAll_Server)->Apply(withSpread);
BENCHMARK(BM_FindAll_ServerIndex)->Apply(withSpread);
BENCHMARK(BM_FindAllBroad_Files)->Apply(withSpread);
BENCHMARK(BM_FindAllBroad_Server)->Apply(withSpread);

} // namespace
