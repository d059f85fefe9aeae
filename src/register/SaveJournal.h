#pragma once
// A save writes its card over the old one in place, and a write that spans two pages of the
// file can be cut between them when the program is killed: the card would be half new, half
// old. The journal, written before the card and removed once it is on disk, holds the card as
// it was and as saved, so that the next start can finish such a write.
#include "store/CardFile.h"
#include "store/Records.h"

#include <QString>

namespace zelm {

class Installation;

QString saveJournalPath(const Installation& inst); // in Temp
// Written whole and synced, or not at all. Throws FileError.
void writeSaveJournal(const QString& path, const CardFile::Stamp& main, qint64 place,
                      const TAnketa& before, const TAnketa& saved);
void removeSaveJournal(const QString& path) noexcept;
// At the start, before the register is opened: when the Main card file is still the one the
// journal names and its card there is made of the two versions' bytes alone (a write cut
// short), the saved card is written whole; anything else there is left as it is. The journal
// is removed. Throws FileError; the journal then stays for the next start.
void finishInterruptedSave(const Installation& inst);

} // namespace zelm
