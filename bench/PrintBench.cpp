// The list of measures for a Working card file of 100 000 cards, next to a plain copy of a
// file of the same size made the same way (whole under a scratch name, flushed, renamed over).
#include "BenchInstall.h"
#include "common/CardFactory.h"
#include "output/ReportData.h"
#include "store/CardFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <memory>

using namespace zelm;

namespace {

constexpr int kCards = 100000;
constexpr int kBlock = 1000;

struct WorkingFolder {
    QTemporaryDir dir;
    CardFile working;
    QString list;   // report/KnigaDat.txt
    QString source; // a file of the list's size, for the copy
    QString copy;

    WorkingFolder() {
        QDir(dir.path()).mkpath(QStringLiteral("Temp"));
        QDir(dir.path()).mkpath(QStringLiteral("report"));
        working.create(dir.filePath(QStringLiteral("Temp/RabAnket.dat")), sizeof(TAnketa));
        for (int first = 0; first < kCards; first += kBlock) {
            const std::vector<TAnketa> cards = testing::makeCards(kBlock, first);
            working.appendMany(cards.data(), kBlock);
        }
        list = dir.filePath(QStringLiteral("report/KnigaDat.txt"));
        source = dir.filePath(QStringLiteral("source.txt"));
        copy = dir.filePath(QStringLiteral("report/copy.txt"));
        PrintMeasureList(working, QStringLiteral("Иванов Иван Иванович"), list);
        QFile::copy(list, source);
    }
};

std::unique_ptr<WorkingFolder> g_folder;

WorkingFolder& folder() {
    if (!g_folder) {
        g_folder = std::make_unique<WorkingFolder>();
        bench::atBenchEnd([] { g_folder.reset(); });
    }
    return *g_folder;
}

void BM_MeasureList100000Cards(benchmark::State& state) {
    WorkingFolder& f = folder();
    for (auto _ : state)
        PrintMeasureList(f.working, QStringLiteral("Иванов Иван Иванович"), f.list);
    const qint64 size = QFileInfo(f.list).size();
    state.SetBytesProcessed(state.iterations() * size);
    state.counters["file_MB"] = static_cast<double>(size) / (1024.0 * 1024.0);
    state.counters["peak_MB"] = bench::peakMemoryMB();
}
BENCHMARK(BM_MeasureList100000Cards)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3);

void BM_CopyFileOfTheSameSize(benchmark::State& state) {
    WorkingFolder& f = folder();
    QByteArray block(1 << 16, Qt::Uninitialized);
    for (auto _ : state) {
        QFile in(f.source);
        QSaveFile out(f.copy);
        if (!in.open(QIODevice::ReadOnly) || !out.open(QIODevice::WriteOnly)) {
            state.SkipWithError("cannot open the files");
            break;
        }
        qint64 n;
        while ((n = in.read(block.data(), block.size())) > 0)
            out.write(block.constData(), n);
        if (!out.commit()) {
            state.SkipWithError("cannot write the copy");
            break;
        }
    }
    const qint64 size = QFileInfo(f.source).size();
    state.SetBytesProcessed(state.iterations() * size);
    state.counters["file_MB"] = static_cast<double>(size) / (1024.0 * 1024.0);
}
BENCHMARK(BM_CopyFileOfTheSameSize)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3);

} // namespace
