#pragma once
// Cards as a register of some years holds them, for benchmarks: Cyrillic texts of the lengths
// real cards carry (about 190 bytes of list text a card), each card's own numbers and dates.
// Made from a pool of ready cards, so that millions are written in seconds.
#include "store/Records.h"

#include <QString>
#include <vector>

namespace zelm::bench {

TAnketa realisticCard(qint64 i); // deterministic for a given i
std::vector<TAnketa> realisticCards(qint64 n, qint64 first = 0);
// Writes cards first .. first + count - 1 at the end of the open descriptor `fd`; false when the
// disk refused.
bool writeRealisticCards(int fd, qint64 count, qint64 first = 0);
// The bytes of a card's texts in the list's columns.
int listTextBytes(const TAnketa& card);

} // namespace zelm::bench
