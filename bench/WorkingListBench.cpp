// The Working list: showing its tab over a Working card file of 100 000 cards (time and the
// memory it adds), and a click on a row of it in a register of 400 000 cards, against reading
// the register for the card's number as a click once did.
#include "BenchInstall.h"
#include "app/ZelmApp.h"
#include "cardwindow/CardListModel.h"
#include "cardwindow/TForm1.h"
#include "common/ScriptedPlatform.h"
#include "search/CardScan.h"
#include "search/WorkingCommands.h"
#include "store/RecordFileRewrite.h"

#include <benchmark/benchmark.h>
#include <memory>

using namespace zelm;

namespace {

struct Run {
    explicit Run(int cards) : install(cards) {
        app = std::make_unique<ZelmApp>(install.root(), platform);
    }
    bench::BenchInstall install;
    ScriptedPlatform platform;
    std::unique_ptr<ZelmApp> app;
};

// Copies the whole register into the Working card file, as a search for everything would.
void fillWorkingWithRegister(ZelmApp& app) {
    DataFiles& files = app.session().files();
    copyRecords(files.main, 0, files.main.count(), files.working);
}

} // namespace

static void BM_WorkingTabShown100000(benchmark::State& state) {
    Run run(100000);
    fillWorkingWithRegister(*run.app);
    const double before = bench::peakMemoryMB();
    for (auto _ : state)
        TabSheet2Show(run.app->session(), run.app->cardLists());
    state.counters["added_peak_MB"] = bench::peakMemoryMB() - before;
    state.counters["working_file_MB"] =
        static_cast<double>(run.app->session().files().working.count()) * sizeof(TAnketa) / 1e6;
}
BENCHMARK(BM_WorkingTabShown100000)->Unit(benchmark::kMillisecond)->Iterations(3);

namespace {
Run& bigRun() {
    static Run* run = [] {
        auto* r = new Run(400000);
        // The Working card file holds the register's last cards: the farthest to look for.
        DataFiles& files = r->app->session().files();
        copyRecords(files.main, files.main.count() - 1000, 1000, files.working);
        TabSheet2Show(r->app->session(), r->app->cardLists());
        bench::atBenchEnd([r] { delete r; });
        return r;
    }();
    return *run;
}
} // namespace

static void BM_WorkingRowClick400000(benchmark::State& state) {
    Run& run = bigRun();
    int row = 0;
    for (auto _ : state) {
        RabTabMouseDown(run.app->session(), run.app->cardLists(), row);
        row = (row + 1) % 1000;
    }
}
BENCHMARK(BM_WorkingRowClick400000)->Unit(benchmark::kMicrosecond);

// The peer: the register read from the start for the row's number.
static void BM_RegisterScanForNumber400000(benchmark::State& state) {
    Run& run = bigRun();
    const CardListModel& working = run.app->form1()->list(TForm1::CardList::Working);
    const CardFile& main = run.app->session().files().main;
    int row = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(findUniqueNumber(main, working.uniqueNumber(row)));
        row = (row + 1) % 1000;
    }
}
BENCHMARK(BM_RegisterScanForNumber400000)->Unit(benchmark::kMillisecond);
