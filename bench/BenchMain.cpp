// Benchmarks of windows need a QApplication; they run offscreen.
#include "BenchInstall.h"

#include <QApplication>
#include <benchmark/benchmark.h>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    zelm::bench::runBenchEndHooks();
    benchmark::Shutdown();
    return 0;
}
