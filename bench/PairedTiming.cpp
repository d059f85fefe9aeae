#include "PairedTiming.h"

#include <algorithm>
#include <chrono>
#include <cstdio>

namespace zelm::bench {

Spread spreadOf(std::vector<double> v) {
    if (v.empty())
        return {};
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return {n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2, v.front(), v.back()};
}

double timeMs(const std::function<void()>& f) {
    const auto start = std::chrono::steady_clock::now();
    f();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

Spread pairedRuns(const char* title, int pairs, const char* nameA, const std::function<void()>& a,
                  const char* nameB, const std::function<void()>& b) {
    std::vector<double> ta, tb, ratio;
    for (int i = 0; i < pairs; ++i) {
        ta.push_back(timeMs(a));
        tb.push_back(timeMs(b));
        ratio.push_back(ta.back() / tb.back());
    }
    const Spread sa = spreadOf(ta), sb = spreadOf(tb), sr = spreadOf(ratio);
    std::printf("%s (%d pairs, interleaved): %s %.3f [%.3f-%.3f] ms | %s %.3f [%.3f-%.3f] ms | "
                "%s/%s %.2f [%.2f-%.2f]\n",
                title, pairs, nameA, sa.median, sa.min, sa.max, nameB, sb.median, sb.min, sb.max,
                nameA, nameB, sr.median, sr.min, sr.max);
    std::fflush(stdout);
    return sr;
}

Spread timedRuns(const char* title, int runs, const std::function<void()>& f,
                 const std::function<void()>& between) {
    std::vector<double> t;
    for (int i = 0; i < runs; ++i) {
        if (between)
            between();
        t.push_back(timeMs(f));
    }
    const Spread s = spreadOf(t);
    std::printf("%s (%d runs): %.3f [%.3f-%.3f] ms\n", title, runs, s.median, s.min, s.max);
    std::fflush(stdout);
    return s;
}

} // namespace zelm::bench
