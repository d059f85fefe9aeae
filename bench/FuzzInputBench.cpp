// The fuzzers give each input 10 seconds and at most 64 KB, so a reader that grows with the
// square of its input would pass them unseen. These time the fuzzed readers on inputs from 4 KB
// up to that limit, each shaped to be hard for it, and let Google Benchmark fit the growth
// (the "_BigO" line: it should read N, not N^2).
#include "backup/RestoreJournalText.h"
#include "backup/RestoreNames.h"
#include "reportf/ReportData.h"
#include "reportf/ReportError.h"
#include "reportf/RtfMerge.h"
#include "reportf/RtfTemplate.h"
#include "reportf/RtfTokenizer.h"

#include <QFile>
#include <benchmark/benchmark.h>

using namespace zelm;

namespace {

constexpr int kSmallest = 4 << 10;
constexpr int kLimit = 64 << 10; // the fuzzers' -max_len

QByteArray seed(const char* relative) {
    QFile f(QStringLiteral(ZELM_FUZZ_CORPUS "/") + QLatin1String(relative));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// `head`, then `unit` again and again until `size` bytes, then `tail`.
QByteArray grown(const QByteArray& head, const QByteArray& unit, const QByteArray& tail,
                 qsizetype size) {
    QByteArray out = head;
    while (out.size() + unit.size() + tail.size() <= size)
        out += unit;
    return out + tail;
}

void DataFileOfManyCards(benchmark::State& state) {
    const QByteArray kniga = seed("datafile/kniga").mid(1); // the first byte picks the kind
    const qsizetype firstCard = kniga.indexOf("|1:n:1");
    const qsizetype secondCard = kniga.indexOf("|1:n:2");
    const QByteArray input =
        grown(kniga.left(firstCard), kniga.mid(firstCard, secondCard - firstCard),
              kniga.mid(secondCard), state.range(0));
    for (auto _ : state) {
        try {
            auto d = reportf::ReportData::parse(input, QStringLiteral("KnigaDat.txt"));
            benchmark::DoNotOptimize(d.recordCount());
        } catch (const reportf::ReportError&) {
        }
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(DataFileOfManyCards)->RangeMultiplier(2)->Range(kSmallest, kLimit)->Complexity();

void MergeOfATemplate(benchmark::State& state, const QByteArray& input) {
    static const reportf::ReportData cards = [] {
        auto d = reportf::ReportData::parse(seed("datafile/kniga").mid(1),
                                            QStringLiteral("KnigaDat.txt"));
        d.addExpectedKeys(QStringLiteral("KnigaDat.txt"));
        return d;
    }();
    for (auto _ : state) {
        try {
            const reportf::RtfTemplate report(
                input, [](const QString& key) { return cards.isKnownKey(key); });
            benchmark::DoNotOptimize(reportf::mergeReport(report, cards));
        } catch (const reportf::RtfSyntaxError&) {
        } catch (const reportf::ReportError&) {
        }
    }
    state.SetComplexityN(state.range(0));
}

void TemplateOfManyRows(benchmark::State& state) {
    const QByteArray list = seed("rtf/list");
    const qsizetype row = list.indexOf("{\\trowd");
    const qsizetype rowEnd = list.indexOf("\\row}") + 5;
    MergeOfATemplate(state, grown(list.left(row), list.mid(row, rowEnd - row), list.mid(rowEnd),
                                  state.range(0)));
}
BENCHMARK(TemplateOfManyRows)->RangeMultiplier(2)->Range(kSmallest, kLimit)->Complexity();

void TemplateOfDeepGroups(benchmark::State& state) {
    const qsizetype depth = state.range(0) / 2 - 16;
    MergeOfATemplate(state,
                     "{\\rtf1 " + QByteArray(depth, '{') + "#n#" + QByteArray(depth, '}') + "}");
}
BENCHMARK(TemplateOfDeepGroups)->RangeMultiplier(2)->Range(kSmallest, kLimit)->Complexity();

void Journal(benchmark::State& state, const QByteArray& input) {
    for (auto _ : state) {
        QString why;
        benchmark::DoNotOptimize(parseRestoreJournal(input, why));
    }
    state.SetComplexityN(state.range(0));
}

void JournalOfOneLongLine(benchmark::State& state) {
    Journal(state, "zelm restore journal 2\nforward\nBaza/Anketi.dat\tTemp/~zelm-" +
                       QByteArray(state.range(0), 'x') + "\t\t1 2 3\nend\n");
}
BENCHMARK(JournalOfOneLongLine)->RangeMultiplier(2)->Range(kSmallest, kLimit)->Complexity();

void JournalOfManyLines(benchmark::State& state) {
    // Lines the reader takes apart before it finds them wrong: it must not look back over them.
    Journal(state,
            grown("zelm restore journal 2\nforward\n",
                  "Baza/Anketi.dat\tTemp/~zelm-a\tTemp/~zelm-b\t1 2 3\n", "end\n", state.range(0)));
}
BENCHMARK(JournalOfManyLines)->RangeMultiplier(2)->Range(kSmallest, kLimit)->Complexity();

void EntryNames(benchmark::State& state) {
    const QByteArray input =
        grown({}, "C:\\ZELM\\Baza\\Sub\\Dir\\ANKETI.DAT\nzelm-restore.journal\nMine.txt\n", {},
              state.range(0));
    const QList<QByteArray> names = input.split('\n');
    for (auto _ : state)
        for (const QByteArray& name : names)
            benchmark::DoNotOptimize(checkEntryName(QString::fromUtf8(name)));
    state.SetComplexityN(state.range(0));
}
BENCHMARK(EntryNames)->RangeMultiplier(2)->Range(kSmallest, kLimit)->Complexity();

void EntryNameOfOneLongPath(benchmark::State& state) {
    const QString name = QString::fromLatin1(grown({}, "a/", "Anketi.dat", state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(checkEntryName(name));
    state.SetComplexityN(state.range(0));
}
BENCHMARK(EntryNameOfOneLongPath)->RangeMultiplier(2)->Range(kSmallest, kLimit)->Complexity();

} // namespace
