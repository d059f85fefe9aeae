// The backup of a data folder holding a register of 100 000 cards, and its restore, against
// Info-ZIP's zip and unzip on the same folder, in one run. Wall-clock time, since the peers
// are separate processes. The ratios are printed at the end.
#include "backup/ZipBackup.h"
#include "backup/ZipRestore.h"
#include "common/CardFactory.h"
#include "store/Cp1251.h"
#include "store/ReferenceLists.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <map>
#include <string>

using namespace zelm;

namespace {

constexpr int kCards = 100000;

struct Workspace {
    QTemporaryDir dir;
    QString data = dir.filePath("Baza");
    QString zelmArchive = dir.filePath("b0000001.zip");
    QString infoZipArchive = dir.filePath("infozip.zip");
    QString restoreZelm = dir.filePath("restore-zelm");
    QString restoreUnzip = dir.filePath("restore-unzip");

    Workspace() {
        QDir().mkpath(data);
        writeCards("Anketi.dat", testing::makeCards(kCards));
        writeCards("ArhAnket.dat", testing::makeCards(2000, kCards));
        write("SpisFil.dat", QByteArray(448 * 300, '\0'));
        for (const ReferenceListDef& def : referenceLists())
            write(QLatin1String(def.file),
                  toCp1251(QStringLiteral("Оперуполномоченный отдела\r\nНачальник отделения\r\n")
                               .repeated(20)));
    }
    void write(const QString& name, const QByteArray& bytes) {
        QFile f(QDir(data).filePath(name));
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
    }
    void writeCards(const QString& name, const std::vector<TAnketa>& cards) {
        write(name, QByteArray(reinterpret_cast<const char*>(cards.data()),
                               static_cast<qsizetype>(cards.size() * sizeof(TAnketa))));
    }
    QStringList dataFiles() const {
        QStringList out;
        for (const QString& name : filesToBackUp(data))
            out << QDir(data).filePath(name);
        return out;
    }
};

Workspace& workspace() {
    static Workspace w;
    return w;
}

std::map<std::string, double> secondsPerRun;

void run(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(-1) || p.exitCode() != 0)
        std::fprintf(stderr, "%s failed: %s\n", qPrintable(program),
                     p.readAllStandardError().constData());
}

// Times each iteration by hand as well, so that the ratios can be printed after the run.
template <class Work> void timed(benchmark::State& state, const char* key, Work work) {
    double total = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        work();
        total += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    secondsPerRun[key] = total / static_cast<double>(state.iterations());
}

qint64 folderBytes(const QString& folder) {
    qint64 n = 0;
    for (const QFileInfo& i : QDir(folder).entryInfoList(QDir::Files))
        n += i.size();
    return n;
}

void BM_Backup_Zelm(benchmark::State& state) {
    Workspace& w = workspace();
    timed(state, "backup_zelm", [&] {
        QFile::remove(w.zelmArchive);
        writeFolderArchive(w.data, w.zelmArchive);
    });
    state.SetBytesProcessed(state.iterations() * folderBytes(w.data));
    state.counters["archive_MB"] = QFileInfo(w.zelmArchive).size() / 1e6;
}

void BM_Backup_InfoZip(benchmark::State& state) {
    Workspace& w = workspace();
    const QStringList args = QStringList{"-q", "-6", "-j", w.infoZipArchive} + w.dataFiles();
    timed(state, "backup_zip", [&] {
        QFile::remove(w.infoZipArchive); // zip would otherwise update the old archive
        run("zip", args);
    });
    state.SetBytesProcessed(state.iterations() * folderBytes(w.data));
    state.counters["archive_MB"] = QFileInfo(w.infoZipArchive).size() / 1e6;
}

void BM_Restore_Zelm(benchmark::State& state) {
    Workspace& w = workspace();
    if (!QFile::exists(w.zelmArchive))
        writeFolderArchive(w.data, w.zelmArchive);
    timed(state, "restore_zelm", [&] { prepareRestore(w.zelmArchive, w.restoreZelm).commit(); });
    state.SetBytesProcessed(state.iterations() * folderBytes(w.data));
}

void BM_Restore_Unzip(benchmark::State& state) {
    Workspace& w = workspace();
    if (!QFile::exists(w.zelmArchive))
        writeFolderArchive(w.data, w.zelmArchive);
    QDir().mkpath(w.restoreUnzip);
    timed(state, "restore_unzip", [&] {
        run("unzip", {"-q", "-o", w.zelmArchive, "-d", w.restoreUnzip});
    });
    state.SetBytesProcessed(state.iterations() * folderBytes(w.data));
}

constexpr int kRuns = 5;
BENCHMARK(BM_Backup_Zelm)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(kRuns);
BENCHMARK(BM_Backup_InfoZip)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(kRuns);
BENCHMARK(BM_Restore_Zelm)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(kRuns);
BENCHMARK(BM_Restore_Unzip)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(kRuns);

void printRatio(const char* what, const char* ours, const char* peer) {
    if (!secondsPerRun.count(ours) || !secondsPerRun.count(peer))
        return;
    std::printf("%s: %.0f ms against %.0f ms, ratio %.2f\n", what, secondsPerRun[ours] * 1000,
                secondsPerRun[peer] * 1000, secondsPerRun[ours] / secondsPerRun[peer]);
}

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    printRatio("Backup, zelm / zip -q -6", "backup_zelm", "backup_zip");
    printRatio("Restore, zelm / unzip -q -o", "restore_zelm", "restore_unzip");
    return 0;
}
