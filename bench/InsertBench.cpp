// Inserting a card in the middle of a register of 100 000 cards, side by side with its floor:
// a plain copy of the register into a new file with a sync. The insertion writes the register
// twice (the Working card file and the new Main card file) from one read, syncs it and renames
// it over the old one; it should stay within twice the plain copy.
#include "common/CardFactory.h"
#include "store/CardFile.h"
#include "store/Installation.h"
#include "store/RecordFileRewrite.h"
#include "store/ScratchFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

using namespace zelm;

namespace {

constexpr int kCards = 100000;

struct Register {
    QTemporaryDir dir;
    Installation inst{dir.path()};
    CardFile main;
    CardFile working;

    Register() {
        inst.prepare(); // scratch files go to Temp, as in the program
        main.create(inst.mainCardFile(), sizeof(TAnketa));
        const std::vector<TAnketa> cards = testing::makeCards(1000);
        for (int i = 0; i < kCards / 1000; ++i)
            main.appendMany(cards.data(), static_cast<qint64>(cards.size()));
        main.flush();
    }
};

std::unique_ptr<Register> g_register;

Register& theRegister() {
    if (!g_register)
        g_register = std::make_unique<Register>();
    return *g_register;
}

void BM_InsertCardInTheMiddle(benchmark::State& state) {
    Register& r = theRegister();
    const TAnketa card = testing::makeCard(123456);
    for (auto _ : state)
        insertCardIntoMainFile(r.main, r.working, r.inst.workingCardFile(), r.main.count() / 2,
                               card);
    state.counters["cards"] = static_cast<double>(r.main.count());
    state.SetBytesProcessed(state.iterations() * r.main.count() *
                            static_cast<int64_t>(sizeof(TAnketa)));
}

// The floor: the register read once and written once to a new file, flushed to disk.
void BM_CopyRegisterWithSync(benchmark::State& state) {
    Register& r = theRegister();
    const QString copy = r.inst.path(QStringLiteral("Temp/copy.dat"));
    for (auto _ : state) {
        CardFile to;
        to.create(copy, sizeof(TAnketa));
        copyRecords(r.main, 0, r.main.count(), to);
        to.flush();
        to.close();
    }
    QFile::remove(copy);
    state.counters["cards"] = static_cast<double>(r.main.count());
    state.SetBytesProcessed(state.iterations() * r.main.count() *
                            static_cast<int64_t>(sizeof(TAnketa)));
}

// Interleaved, so that both meet the same disk and page cache.
BENCHMARK(BM_CopyRegisterWithSync)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(BM_InsertCardInTheMiddle)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(BM_CopyRegisterWithSync)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(BM_InsertCardInTheMiddle)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

} // namespace
