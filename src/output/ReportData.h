#pragma once
// The data files of the full card ("Poln") and of the list of measures ("Kniga"). Each is
// written whole under a scratch name and renamed over the old file, so the report program
// never reads half a file; on a failure a FileError leaves the old file as it was.
#include "store/Records.h"

#include <QString>

namespace zelm {

class CardFile;

// Values are written as the card holds them: no quoting or trimming, and a memo's CR LF line
// breaks stay, so its item runs on over several lines of the file.

// The 23 header lines of one card and two empty lines; `owner` is the owner's name.
void PrintFullCard(const TAnketa& card, const QString& owner, const QString& path);
// The owner line, one line of 18 items for each card of `working` in file order, one empty
// line. The cards are read a block at a time; the file's position is not moved.
void PrintMeasureList(const CardFile& working, const QString& owner, const QString& path);

} // namespace zelm
