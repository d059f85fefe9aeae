#pragma once
// Rewriting the Main card file with one card inserted.
#include "store/Records.h"

#include <QString>

namespace zelm {

class CardFile;

// Streams the Main card file into the Working card file (created anew) with `card` placed at
// index `insertAt`, then writes a complete new Main card file under a temporary name beside
// the old one, flushes it and renames it over the old one. On any failure the old Main card
// file stays whole. `main` is open on the new file afterwards, position 0.
void insertCardIntoMainFile(CardFile& main, CardFile& working, const QString& workingPath,
                            qint64 insertAt, const TAnketa& card);

// Copies records [first, first + n) of `from` to the end of `to` in large blocks.
void copyRecords(const CardFile& from, qint64 first, qint64 n, CardFile& to);

} // namespace zelm
