// Showing, saving and inserting cards in a register of 100 000 cards with 100 000
// attached-file records.
#include "BenchInstall.h"
#include "app/ZelmApp.h"
#include "cardwindow/EditingCommands.h"
#include "cardwindow/TForm1.h"
#include "common/Form1Controls.h"
#include "common/ScriptedPlatform.h"

#include <QToolButton>
#include <benchmark/benchmark.h>
#include <memory>

using namespace zelm;
using zelm::testing::controls;

namespace {
constexpr int kCards = 100000;

struct Session {
    Session() : install(kCards, kCards) {
        app = std::make_unique<ZelmApp>(install.root(), platform);
        app->user().UserFIO = QStringLiteral("Администратор");
        app->user().UserDostup = QStringLiteral("Z");
    }
    bench::BenchInstall install;
    ScriptedPlatform platform;
    std::unique_ptr<ZelmApp> app;
};

Session& session() {
    static Session* s = [] {
        auto* created = new Session;
        bench::atBenchEnd([created] { delete created; });
        return created;
    }();
    return *s;
}
} // namespace

static void BM_ShowNextCard(benchmark::State& state) {
    TForm1* w = session().app->form1();
    w->session().showMainCard(kCards / 2);
    bool forward = true;
    for (auto _ : state) {
        (forward ? controls(w).SpeedButNext : controls(w).SpeedButPred)->click();
        forward = !forward;
    }
}
BENCHMARK(BM_ShowNextCard)->Unit(benchmark::kMillisecond);

static void BM_SaveCard(benchmark::State& state) {
    TForm1* w = session().app->form1();
    w->session().showMainCard(kCards / 3);
    for (auto _ : state)
        nSaveClick(*w);
}
BENCHMARK(BM_SaveCard)->Unit(benchmark::kMillisecond);

static void BM_InsertInTheMiddle(benchmark::State& state) {
    Session& s = session();
    TForm1* w = s.app->form1();
    for (auto _ : state) {
        state.PauseTiming();
        w->session().showMainCard(s.app->session().mainCount() / 2);
        s.platform.answers.enqueue(true);
        state.ResumeTiming();
        nWstavitClick(*w);
    }
}
BENCHMARK(BM_InsertInTheMiddle)->Unit(benchmark::kMillisecond)->Iterations(3);
