#pragma once
#include <QDateTime>
#include <cstdint>

namespace zelm {

// The number of the 0.864-second tick of `dt`, without the ten-thousands digit of the day count.
std::int32_t uniqueNumberAt(const QDateTime& dt);
// A new card's unique number: the current tick, but always greater than the last one made
// in this run, so two cards made in the same tick never share a number.
std::int32_t NewUniqueNumber();
void resetUniqueNumbersForTesting();

} // namespace zelm
