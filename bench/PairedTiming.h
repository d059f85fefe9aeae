#pragma once
// Timing side by side: two pieces of work run in turn (A B A B ...) so that both meet the same
// machine, each run timed on the wall clock; printed as median [min-max], with the ratio A/B
// taken pair by pair.
#include <functional>
#include <vector>

namespace zelm::bench {

struct Spread {
    double median = 0, min = 0, max = 0;
};
Spread spreadOf(std::vector<double> values);

// Milliseconds of one call of `f`.
double timeMs(const std::function<void()>& f);

// Prints "title: A median [min-max] ms | B ... ms | A/B median [min-max]"; returns the ratios'
// spread.
Spread pairedRuns(const char* title, int pairs, const char* nameA, const std::function<void()>& a,
                  const char* nameB, const std::function<void()>& b);
// Prints "title: median [min-max] ms" of `runs` calls; `between` (untimed) runs before each.
Spread timedRuns(const char* title, int runs, const std::function<void()>& f,
                 const std::function<void()>& between = {});

} // namespace zelm::bench
