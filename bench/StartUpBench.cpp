// The start-up of the card window over registers of growing size: the window ready,
// the list of all cards filled.
#include "BenchInstall.h"
#include "app/ZelmApp.h"
#include "common/ScriptedPlatform.h"

#include <benchmark/benchmark.h>
#include <memory>

using namespace zelm;

static void BM_StartUp(benchmark::State& state) {
    bench::BenchInstall install(static_cast<int>(state.range(0)));
    ScriptedPlatform platform;
    for (auto _ : state) {
        auto app = std::make_unique<ZelmApp>(install.root(), platform);
        benchmark::DoNotOptimize(app.get());
        state.PauseTiming();
        app.reset();
        state.ResumeTiming();
    }
    state.counters["peak_MB"] = bench::peakMemoryMB();
}
BENCHMARK(BM_StartUp)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
