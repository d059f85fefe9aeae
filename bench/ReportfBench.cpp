// The report program: merging a list of measures of 10 000 cards into the default template
// (in this process, and as the program the card index starts, with its peak memory) against
// writing the same number of bytes; and the PDF of a 100-card list against LibreOffice
// converting the already merged report, pairs interleaved. Wall-clock time: the peers are
// processes.
#include "BenchInstall.h"
#include "PairedTiming.h"
#include "SampleData.h"
#include "reportf/LibreOffice.h"
#include "reportf/ReportCommand.h"
#include "reportf/templates/ReportTemplates.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryDir>
#include <QUrl>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <vector>

extern char** environ;

using namespace zelm::reportf;

namespace {

constexpr int kBigList = 10000;
constexpr int kPdfList = 100;

struct Child {
    int exitCode = -1;
    double seconds = 0;
    double peakMB = 0;
};

// Runs a program and waits for it, with its own peak memory.
Child runChild(const QString& folder, const QStringList& args) {
    std::vector<std::string> strings;
    for (const QString& a : args)
        strings.push_back(a.toStdString());
    std::vector<char*> argv;
    for (std::string& s : strings)
        argv.push_back(s.data());
    argv.push_back(nullptr);
    const QString old = QDir::currentPath();
    QDir::setCurrent(folder);
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    Child c;
    if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) == 0) {
        int status = 0;
        rusage usage{};
        if (wait4(pid, &status, 0, &usage) == pid && WIFEXITED(status))
            c.exitCode = WEXITSTATUS(status);
        c.peakMB = usage.ru_maxrss / 1024.0;
    }
    c.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    QDir::setCurrent(old);
    return c;
}

struct Workspace {
    QTemporaryDir dir;
    Workspace() {
        qputenv("XDG_CACHE_HOME", QFile::encodeName(dir.filePath("cache")));
        zelm::writeMissingReportTemplates(dir.path());
        sample::writeFile(dir.filePath("KnigaDat.txt"), sample::measureListFile(kBigList));
        QDir().mkpath(dir.filePath("small"));
        zelm::writeMissingReportTemplates(dir.filePath("small"));
        sample::writeFile(dir.filePath("small/KnigaDat.txt"), sample::measureListFile(kPdfList));
        mergeToFile(dir.filePath("small/KnigaDat.txt"), dir.filePath("small/KnigaPic.rtf"),
                    dir.filePath("small/KnigaRep.rtf"));
    }
};

Workspace& workspace() {
    static Workspace* w = [] {
        auto* created = new Workspace;
        zelm::bench::atBenchEnd([created] { delete created; });
        return created;
    }();
    return *w;
}

std::map<std::string, double> g_seconds;

void note(benchmark::State& state, const char* name, double seconds) {
    g_seconds[name] = seconds / static_cast<double>(state.iterations());
}

void BM_MergeList10000(benchmark::State& state) {
    Workspace& w = workspace();
    double total = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        mergeToFile(w.dir.filePath("KnigaDat.txt"), w.dir.filePath("KnigaPic.rtf"),
                    w.dir.filePath("KnigaRep.rtf"));
        total += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    note(state, "merge", total);
    state.counters["MB written"] = QFileInfo(w.dir.filePath("KnigaRep.rtf")).size() / 1e6;
}

// The same number of bytes written whole through a scratch file, without merging.
void BM_WriteSameBytes(benchmark::State& state) {
    Workspace& w = workspace();
    const QByteArray bytes(QFileInfo(w.dir.filePath("KnigaRep.rtf")).size(), 'x');
    double total = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        QSaveFile f(w.dir.filePath("Copy.rtf"));
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
        f.commit();
        total += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    note(state, "write", total);
}

void BM_ReportfMergeProgram10000(benchmark::State& state) {
    Workspace& w = workspace();
    double total = 0;
    double peak = 0;
    for (auto _ : state) {
        const Child c = runChild(w.dir.path(), {REPORTF_PROGRAM, "KnigaDat.txt", "KnigaPic.rtf",
                                                "KnigaRep.rtf", "-", "/m"});
        if (c.exitCode != 0)
            state.SkipWithError("reportf failed");
        total += c.seconds;
        peak = std::max(peak, c.peakMB);
    }
    note(state, "program", total);
    g_seconds["program peak MB"] = peak;
    state.counters["peak MB"] = peak;
}

// The program's PDF beside LibreOffice converting the already merged report with the same
// private profile and options: the difference is the merge. Pairs interleaved.
void BM_PdfPairs100(benchmark::State& state) {
    Workspace& w = workspace();
    const QString folder = w.dir.filePath("small");
    const QStringList reportf = {REPORTF_PROGRAM, "--pdf", "list.pdf", "KnigaDat.txt",
                                 "KnigaPic.rtf"};
    const QStringList soffice = {"soffice",
                                 "--headless",
                                 "--invisible",
                                 "--norestore",
                                 "--nologo",
                                 "--nodefault",
                                 "-env:UserInstallation=" +
                                     QUrl::fromLocalFile(LibreOffice::profileFolder()).toString(),
                                 "--convert-to",
                                 "pdf:writer_pdf_Export",
                                 "--outdir",
                                 w.dir.filePath("small/lo"),
                                 "KnigaRep.rtf"};
    runChild(folder, reportf); // makes the private profile and the merged report
    runChild(folder, soffice);
    for (auto _ : state) {
        bool failed = false;
        const zelm::bench::Spread ratio = zelm::bench::pairedRuns(
            "PDF of a 100-card list", 7, "reportf --pdf",
            [&] { failed |= runChild(folder, reportf).exitCode != 0; }, "soffice --convert-to",
            [&] { failed |= runChild(folder, soffice).exitCode != 0; });
        if (failed)
            state.SkipWithError("a PDF run failed");
        state.counters["ratio_median"] = ratio.median;
    }
}

BENCHMARK(BM_MergeList10000)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_WriteSameBytes)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_ReportfMergeProgram10000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_PdfPairs100)->Unit(benchmark::kMillisecond)->Iterations(1);

[[maybe_unused]] const bool g_summary = [] {
    zelm::bench::atBenchEnd([] {
        auto ms = [](const char* k) { return g_seconds.count(k) ? g_seconds[k] * 1000 : 0.0; };
        std::printf("merge of %d cards: %.0f ms in process (writing the same bytes: %.0f ms), "
                    "%.0f ms as the program with peak memory %.0f MB\n",
                    kBigList, ms("merge"), ms("write"), ms("program"),
                    g_seconds["program peak MB"]);
    });
    return true;
}();

} // namespace
