#pragma once
// Realistic cards for tests and benchmarks: Cyrillic names, dates of recent years.
#include "store/Records.h"

#include <vector>

namespace zelm::testing {

TAnketa makeCard(int i); // deterministic for a given i
std::vector<TAnketa> makeCards(int n, int first = 0);

} // namespace zelm::testing
