// A card's document filled in LibreOffice and the list export, each beside a peer:
// - filling the 23 placeholders of the default letter and saving it, LibreOffice running,
//   against loading and saving the same template unchanged (what LibreOffice cannot avoid);
// - the first call of a run, LibreOffice starting, against a call to the running one;
// - writing a 100 000-row Working list into L_Excel.txt, against writing the same bytes at once.
#include "BenchInstall.h"
#include "common/CardFactory.h"
#include "output/ExcelExport.h"
#include "output/OfficeTemplates.h"
#include "output/WordDocuments.h"
#include "platform/libreoffice/LibreOfficeSession.h"
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

struct WorkingList {
    QList<QStringList> rows;
    WorkingList(int n) {
        rows.reserve(n + 1);
        rows << QStringList{QStringLiteral("Дата ОРМ"),   QStringLiteral("Организация"),
                            QStringLiteral("Повод"),      QStringLiteral("Вид ОРМ"),
                            QStringLiteral("Основание"),  QStringLiteral("КУСП дата"),
                            QStringLiteral("КУСП №"),     QStringLiteral("Подраделение"),
                            QStringLiteral("Провёл ФИО"), QStringLiteral("Утвердил ФИО"),
                            QStringLiteral("Уник. №")};
        for (int i = 0; i < n; ++i) {
            const TAnketa c = testing::makeCard(i);
            rows << QStringList{PlainDateText(c.DataMer),
                                c.NameOrg.text(),
                                c.Povod.text(),
                                c.VidORM.text(),
                                c.Osnovan.text(),
                                PlainDateText(c.DateKUSP),
                                c.NomKUSP.text(),
                                c.Podrazd.text(),
                                c.FIOSotr.text(),
                                c.FIOUtv.text(),
                                QString::number(c.Klu4Form1)};
        }
    }
    ExportGrid grid() const {
        return {static_cast<int>(rows.size()), 11, [this](int r, int col) { return rows[r][col]; }};
    }
};

const WorkingList& workingList() {
    static const WorkingList list(100000);
    return list;
}

void BM_ExportWorkingList100k(benchmark::State& state) {
    const auto& list = workingList();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("L_Excel.txt"));
    int lastPercent = 0;
    for (auto _ : state)
        writeExportFile(path, list.grid(), [&](int p) { lastPercent = p; });
    state.counters["MB"] = double(QFile(path).size()) / 1e6;
    benchmark::DoNotOptimize(lastPercent);
}
BENCHMARK(BM_ExportWorkingList100k)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2);

// The peer: the finished bytes written in one call, nothing converted or quoted.
void BM_WriteSameBytesAtOnce(benchmark::State& state) {
    const auto& list = workingList();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("L_Excel.txt"));
    writeExportFile(path, list.grid());
    QFile in(path);
    in.open(QIODevice::ReadOnly);
    const QByteArray bytes = in.readAll();
    const QString copy = dir.filePath(QStringLiteral("copy.txt"));
    for (auto _ : state) {
        QFile out(copy);
        out.open(QIODevice::WriteOnly);
        out.write(bytes);
        out.flush();
        out.close();
    }
}
BENCHMARK(BM_WriteSameBytesAtOnce)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2);

} // namespace
