// A card's document filled in LibreOffice and the list export, each beside a peer:
// - filling the 23 placeholders of the default letter and saving it, LibreOffice running,
//   against loading and saving the same template unchanged (what LibreOffice cannot avoid);
// - the first call of a run, LibreOffice starting, against a call to the running one;
// - writing a 100 000-row Working list into L_Excel.txt, against writing the same bytes as
//   safely.
#include "BenchInstall.h"
#include "PairedTiming.h"
#include "RealisticCards.h"
#include "cardlists/CardFileModel.h"
#include "common/CardFactory.h"
#include "output/ExcelExport.h"
#include "output/OfficeTemplates.h"
#include "output/WordDocuments.h"
#include "platform/libreoffice/LibreOfficeSession.h"
#include "store/CardFile.h"
#include "store/Installation.h"
#include "store/UnitGlo.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <memory>

using namespace zelm;

namespace {

struct OfficeBench {
    QTemporaryDir dir;
    Installation inst{dir.path()};
    std::unique_ptr<LibreOfficeSession> office;
    Placeholders values = placeholderValues(testing::makeCard(3));
    int saved = 0;

    OfficeBench() {
        QDir().mkpath(inst.path(QStringLiteral("Otveti")));
        QDir().mkpath(inst.path(QStringLiteral("WhodWord")));
        writeMissingOfficeTemplates(inst);
        office = std::make_unique<LibreOfficeSession>(options());
        bench::atBenchEnd([this] {
            office->terminate();
            office.reset();
        });
    }
    LibreOfficeOptions options() const {
        LibreOfficeOptions o;
        o.profileFolder = QDir::tempPath() + QStringLiteral("/zelm-bench-office");
        o.headless = true;
        return o;
    }
    QString template97() {
        const QString path = inst.path(QStringLiteral("Otveti/BlankFirma97.doc"));
        if (!QFile::exists(path))
            office->convertDocument(inst.path(QStringLiteral("Otveti/BlankFirma.doc")), path,
                                    QStringLiteral("MS Word 97"));
        return path;
    }
    // Fill, save; the Word object then closes the document it never showed.
    void fill(const QString& templ) {
        auto word = office->createWord();
        word->documentsAdd(templ);
        for (const auto& [placeholder, value] : values)
            WordReplace(*word, placeholder, value);
        word->activeDocumentSaveAs(inst.path(QStringLiteral("Otveti/%1.doc").arg(++saved)));
    }
    void copyUnchanged(const QString& templ) {
        auto word = office->createWord();
        word->documentsAdd(templ);
        word->activeDocumentSaveAs(inst.path(QStringLiteral("Otveti/%1.doc").arg(++saved)));
    }
};

OfficeBench& fixture() {
    static OfficeBench* b = new OfficeBench; // ended by the bench-end hook
    return *b;
}

void BM_FillAndSaveWarm(benchmark::State& state) {
    auto& b = fixture();
    const QString templ =
        state.range(0) == 0 ? b.inst.path(QStringLiteral("Otveti/BlankFirma.doc")) : b.template97();
    b.fill(templ); // LibreOffice running and warm
    for (auto _ : state)
        b.fill(templ);
    state.SetLabel(state.range(0) == 0 ? "RTF template" : "binary Word 97 template");
}
BENCHMARK(BM_FillAndSaveWarm)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MinTime(2);

void BM_LoadAndSaveUnchangedWarm(benchmark::State& state) {
    auto& b = fixture();
    const QString templ =
        state.range(0) == 0 ? b.inst.path(QStringLiteral("Otveti/BlankFirma.doc")) : b.template97();
    b.copyUnchanged(templ);
    for (auto _ : state)
        b.copyUnchanged(templ);
    state.SetLabel(state.range(0) == 0 ? "RTF template" : "binary Word 97 template");
}
BENCHMARK(BM_LoadAndSaveUnchangedWarm)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MinTime(2);

// The first call of a run: soffice is not running and starts with its (existing) profile.
void BM_FillAndSaveFirstCall(benchmark::State& state) {
    auto& b = fixture();
    const QString templ = b.inst.path(QStringLiteral("Otveti/BlankFirma.doc"));
    b.fill(templ); // the profile exists, as after the program's first run
    for (auto _ : state) {
        state.PauseTiming();
        b.office->terminate();
        b.office = std::make_unique<LibreOfficeSession>(b.options());
        state.ResumeTiming();
        b.fill(templ);
    }
}
BENCHMARK(BM_FillAndSaveFirstCall)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();

// The Working list as the program exports it: the cells made from the cards of the Working
// card file by the list's model.
struct WorkingList {
    QTemporaryDir dir;
    CardFileModel model{true};
    QStringList titles = CardFileModel::columnTitles() << CardFileModel::uniqueNumberColumnTitle();
    explicit WorkingList(int n) {
        const QString path = dir.filePath(QStringLiteral("RabAnket.dat"));
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        const std::vector<TAnketa> cards = bench::realisticCards(n);
        f.write(reinterpret_cast<const char*>(cards.data()),
                static_cast<qint64>(cards.size() * sizeof(TAnketa)));
        f.close();
        model.setFile(path);
    }
    ExportGrid grid() const {
        return {model.cardCount() + 1, 11, [this](int r, int col) {
                    return r == 0 ? titles.value(col) : model.cellText(r - 1, col);
                }};
    }
};

// The export beside its peer, which writes the same bytes as safely (a new file synced to disk,
// renamed over the old one, the folder synced) without making them from the cards. Pairs
// interleaved.
void BM_ExportWorkingList100k(benchmark::State& state) {
    const WorkingList list(100000);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("L_Excel.txt"));
    writeExportFile(path, list.grid());
    QFile in(path);
    in.open(QIODevice::ReadOnly);
    const QByteArray bytes = in.readAll();
    const QString copy = dir.filePath(QStringLiteral("copy.txt"));
    for (auto _ : state) {
        const bench::Spread ratio = bench::pairedRuns(
            "export of 100 000 rows", 7, "export",
            [&] { writeExportFile(path, list.grid(), [](int) {}); }, "same bytes written safely",
            [&] { writeFileAtomically(copy, bytes); });
        state.counters["ratio_median"] = ratio.median;
    }
    state.counters["MB"] = double(bytes.size()) / 1e6;
}
BENCHMARK(BM_ExportWorkingList100k)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

} // namespace
