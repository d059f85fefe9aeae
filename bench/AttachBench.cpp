// The attached-files window on an attached-file list of 100 000 records: showing a card with
// 20 links and linking one more file, against the floors of a plain read of the whole list and
// one flushed record write.
#include "BenchInstall.h"
#include "attach/TDokKart.h"
#include "common/ScriptedPlatform.h"
#include "store/AttachmentIndex.h"
#include "store/CardFile.h"
#include "store/Installation.h"
#include "store/Records.h"
#include "widgets/TdxfColorButton.h"

#include <QDir>
#include <QFile>
#include <QTableWidget>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <memory>
#include <unistd.h>
#include <vector>

using namespace zelm;

namespace {

constexpr int kRecords = 100000;
constexpr int kLinks = 20;
constexpr std::int32_t kCard = 636250000;

struct AttachedList {
    QTemporaryDir dir;
    Installation inst{dir.path()};
    ScriptedPlatform platform;
    CardFile list;
    AttachmentIndex index;
    std::unique_ptr<TDokKart> window;
    int nextFile = 0;

    AttachedList() {
        QDir(dir.path()).mkpath(QStringLiteral("Baza"));
        QDir(dir.path()).mkpath(QStringLiteral("Docs"));
        // Other cards' links everywhere, the card's 20 spread through the whole file.
        std::vector<TSpisFil> records(kRecords, TSpisFil::zeroed());
        for (int i = 0; i < kRecords; ++i) {
            TSpisFil& r = records[static_cast<size_t>(i)];
            const bool ours = i % (kRecords / kLinks) == kRecords / kLinks / 2;
            r.Klu4DK = ours ? kCard : 600000000 + i / 3;
            r.ImaDok.set(QStringLiteral("Постановление о проведении ОРМ №%1").arg(i));
            r.PutFil.set(ours ? docPath(i) : QStringLiteral("d:\\Документы\\ОРМ\\%1.doc").arg(i));
            r.SodFil.set(
                QStringLiteral("Новый Основание: Постановление  Дата 15.03.2026  № %1").arg(i));
        }
        QFile f(inst.attachmentList());
        f.open(QIODevice::WriteOnly);
        f.write(reinterpret_cast<const char*>(records.data()),
                static_cast<qint64>(records.size() * sizeof(TSpisFil)));
        f.flush();
        ::fsync(f.handle()); // written back before anything is timed
        f.close();
        list.open(inst.attachmentList(), sizeof(TSpisFil));
        window = std::make_unique<TDokKart>(inst, platform, list, index);
        AttachedCard card;
        card.number = kCard;
        card.nameOrg = QStringLiteral("ООО «Восток-Трейд»");
        card.osnovan = QStringLiteral("Постановление");
        card.dataOsn = 46096;
        window->setCard(card);
    }

    QString docPath(int i) {
        const QString path = inst.path(QStringLiteral("Docs/документ %1.pdf").arg(i));
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write("%PDF");
        return path;
    }
};

std::unique_ptr<AttachedList> g_list;

AttachedList& theList() {
    if (!g_list) {
        g_list = std::make_unique<AttachedList>();
        bench::atBenchEnd([] { g_list.reset(); });
    }
    return *g_list;
}

// The floor: every byte of the list read once from the open file in the chunks the window
// reads, and nothing done with it.
void BM_PlainReadOfTheList(benchmark::State& state) {
    AttachedList& l = theList();
    std::vector<char> buffer(2048 * sizeof(TSpisFil));
    const int fd = ::open(QFile::encodeName(l.inst.attachmentList()).constData(), O_RDONLY);
    for (auto _ : state) {
        qint64 total = 0;
        for (ssize_t got; (got = ::pread(fd, buffer.data(), buffer.size(), total)) > 0;)
            total += got;
        benchmark::DoNotOptimize(total);
    }
    ::close(fd);
}
BENCHMARK(BM_PlainReadOfTheList)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ShowCardWith20Links(benchmark::State& state) {
    AttachedList& l = theList();
    TDokKart& w = *l.window;
    w.show();
    for (auto _ : state) {
        state.PauseTiming();
        w.hide();
        state.ResumeTiming();
        w.show(); // the list is filled anew from the file
    }
    state.counters["rows"] = w.ui().SpPrDok->rowCount();
    if (w.ui().SpPrDok->rowCount() != kLinks || !l.platform.messages.isEmpty())
        state.SkipWithError("the window did not show the card's 20 links");
}
BENCHMARK(BM_ShowCardWith20Links)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_FlushedRecordWrite(benchmark::State& state) {
    AttachedList& l = theList();
    TSpisFil r = TSpisFil::zeroed();
    for (auto _ : state) {
        l.list.seek(l.list.count());
        l.list.write(&r);
        l.list.flush();
        state.PauseTiming();
        l.list.seek(l.list.count() - 1);
        l.list.truncate();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_FlushedRecordWrite)->Unit(benchmark::kMillisecond)->UseRealTime();

// No free record: the whole list is read from the end before the link is appended.
void BM_LinkAFile(benchmark::State& state) {
    AttachedList& l = theList();
    TDokKart& w = *l.window;
    w.show();
    for (auto _ : state) {
        state.PauseTiming();
        l.platform.openFileResults.enqueue(l.docPath(kRecords + l.nextFile++));
        state.ResumeTiming();
        w.ui().Plus->click();
        w.ui().Saves->click();
        state.PauseTiming();
        if (l.list.count() != kRecords + 1 || !l.platform.messages.isEmpty()) {
            state.SkipWithError("the link was not added");
            break;
        }
        l.list.seek(kRecords);
        l.list.truncate();
        w.ui().SpPrDok->setRowCount(kLinks);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_LinkAFile)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
