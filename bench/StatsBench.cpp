// Counting a register of 1 000 000 cards by kind of measure and month, against the floor of
// reading the same file in the same blocks and doing nothing with the cards. The two run in
// pairs, alternating which goes first, so that both meet the same page cache; the file is
// warm (it was just written). Reported: median, min and max of each, and the median ratio.
#include "stats/StatCounter.h"
#include "stats/StatRegister.h"
#include "store/CardFile.h"

#include <QDir>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <vector>

using namespace zelm;

namespace {

constexpr qint64 kCards = 1000000;
constexpr qint64 kBlock = 128; // as the counter reads
constexpr int kPairs = 9;

struct Register {
    QTemporaryDir dir;
    CardFile file;
    Register() {
        const QDate from(2026, 1, 1), to(2026, 12, 31);
        const std::vector<TAnketa> kinds = testing::statRegister(4096, from, to, 5);
        file.create(dir.filePath(QStringLiteral("Anketi.dat")), sizeof(TAnketa));
        std::vector<TAnketa> block(static_cast<size_t>(kBlock));
        for (qint64 first = 0; first < kCards; first += kBlock) {
            const qint64 n = std::min(kBlock, kCards - first);
            for (qint64 i = 0; i < n; ++i) {
                TAnketa& c = block[static_cast<size_t>(i)];
                c = kinds[static_cast<size_t>((first + i) % 4096)];
                // Spread over the year and a little beyond it, as a register's dates are.
                c.DataMer = static_cast<double>(QDate(1899, 12, 30).daysTo(from)) - 10 +
                            static_cast<double>(((first + i) * 7919) % 385);
            }
            file.appendMany(block.data(), n);
        }
    }
};

StatQuery byKindAndMonth() {
    StatQuery q;
    q.field = StatField::VidORM;
    q.columns = StatColumns::Months;
    q.from = QDate(2026, 1, 1);
    q.to = QDate(2026, 12, 31);
    return q;
}

double plainRead(const CardFile& file) {
    std::vector<TAnketa> block(static_cast<size_t>(kBlock));
    double sum = 0;
    const qint64 total = file.count();
    for (qint64 first = 0; first < total; first += kBlock) {
        const qint64 n = std::min(kBlock, total - first);
        file.readRange(first, n, block.data());
        sum += block[0].DataMer;
    }
    return sum;
}

template <class F> double millis(F&& f) {
    const auto t0 = std::chrono::steady_clock::now();
    f();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

void BM_CountByKindAndMonthAgainstPlainRead(benchmark::State& state) {
    static Register r;
    const StatQuery q = byKindAndMonth();
    std::vector<double> counts, reads, ratios;
    int pair = 0;
    for (auto _ : state) {
        double read = 0, count = 0;
        auto doRead = [&] { read = millis([&] { benchmark::DoNotOptimize(plainRead(r.file)); }); };
        auto doCount = [&] {
            count = millis([&] {
                StatTable t;
                countCards(r.file, q, t);
                benchmark::DoNotOptimize(t.cardsCounted);
            });
        };
        if (pair++ % 2 == 0) {
            doRead();
            doCount();
        } else {
            doCount();
            doRead();
        }
        state.SetIterationTime(count / 1000);
        counts.push_back(count);
        reads.push_back(read);
        ratios.push_back(count / read);
    }
    state.counters["cards"] = static_cast<double>(r.file.count());
    state.counters["count_median_ms"] = median(counts);
    state.counters["count_min_ms"] = *std::min_element(counts.begin(), counts.end());
    state.counters["count_max_ms"] = *std::max_element(counts.begin(), counts.end());
    state.counters["read_median_ms"] = median(reads);
    state.counters["read_min_ms"] = *std::min_element(reads.begin(), reads.end());
    state.counters["read_max_ms"] = *std::max_element(reads.begin(), reads.end());
    state.counters["ratio_median"] = median(ratios);
}

BENCHMARK(BM_CountByKindAndMonthAgainstPlainRead)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(kPairs);

} // namespace
