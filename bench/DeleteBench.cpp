// Deleting a card from the middle of a register of 100 000 cards through the card window: the
// whole register streamed into the Working card file, flushed, renamed over the Main card file,
// the card appended to the Archive, the Main list and the window brought up to date.
#include "app/ZelmApp.h"
#include "cardwindow/CardDeletion.h"
#include "cardwindow/TForm1.h"
#include "common/CardFactory.h"
#include "common/ScriptedPlatform.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

using namespace zelm;

namespace {

constexpr int kCards = 100000;

struct DeleteRun {
    QTemporaryDir dir;
    ScriptedPlatform platform;
    std::unique_ptr<ZelmApp> app;

    DeleteRun() {
        QDir(dir.path()).mkpath(QStringLiteral("Baza"));
        QDir(dir.path()).mkpath(QStringLiteral("Temp"));
        const std::vector<TAnketa> cards = testing::makeCards(kCards);
        QFile f(dir.filePath(QStringLiteral("Baza/Anketi.dat")));
        f.open(QIODevice::WriteOnly);
        f.write(reinterpret_cast<const char*>(cards.data()),
                static_cast<qint64>(cards.size() * sizeof(TAnketa)));
        f.close();
        app = std::make_unique<ZelmApp>(dir.path(), platform);
        app->user().UserDostup = QStringLiteral("Z");
        app->user().UserFIO = QStringLiteral("Петрова Мария");
    }
};

// Made on first use and gone before the application object: windows must not outlive it.
std::unique_ptr<DeleteRun> g_register;

DeleteRun& theRegister() {
    if (!g_register)
        g_register = std::make_unique<DeleteRun>();
    return *g_register;
}

void deleteFromTheMiddle(benchmark::State& state, DeletionKind kind) {
    DeleteRun& r = theRegister();
    TForm1& w = *r.app->form1();
    CardSession& session = r.app->session();
    for (auto _ : state) {
        state.PauseTiming();
        w.session().showMainCard(session.mainCount() / 2);
        state.ResumeTiming();
        deleteShownCard(w, kind);
    }
    state.counters["cards_left"] = static_cast<double>(session.mainCount());
    state.counters["archived"] = static_cast<double>(session.cardCount(SideFile::Archive));
    if (!r.platform.messages.isEmpty())
        state.SkipWithError("the deletion reported an error");
}

void BM_DeleteMiddleCardIntoArchive(benchmark::State& state) {
    deleteFromTheMiddle(state, DeletionKind::IntoArchive);
}
BENCHMARK(BM_DeleteMiddleCardIntoArchive)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(20);

void BM_DeleteMiddleCardForGood(benchmark::State& state) {
    deleteFromTheMiddle(state, DeletionKind::ForGood);
}
BENCHMARK(BM_DeleteMiddleCardForGood)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(20);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    g_register.reset();
    return 0;
}
