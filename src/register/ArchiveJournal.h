#pragma once
// A deletion into the Archive changes two files: the card is appended to the Archive first and
// the new Main card file renamed over the old one after. A program killed between the two would
// leave the card in both. The journal, written before the Archive grows and removed once the
// rename is made, names the Main card file being replaced and the Archive's length before, so
// the next start can take the card back out of the Archive when the rename never happened.
#include "store/CardFile.h"

#include <QString>

namespace zelm {

class Installation;

QString archiveJournalPath(const Installation& inst); // in Temp
// Written whole and synced, or not at all. Throws FileError.
void writeArchiveJournal(const QString& path, const CardFile::Stamp& mainBefore,
                         qint64 archiveBytes);
void removeArchiveJournal(const QString& path) noexcept;
// At the start, before the register is opened: when the Main card file is still the one the
// journal names, the Archive is cut back to its length before; the journal is removed either
// way. Throws FileError; the journal then stays for the next start.
void finishInterruptedArchiving(const Installation& inst);

} // namespace zelm
