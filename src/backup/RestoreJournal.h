#pragma once
// The restore's journal. Before the first data file is replaced, the restore writes (and
// syncs) a list of every file it is about to replace, the unpacked copy that replaces it and
// the name the old file is kept under. A start that finds the journal, because the restore was
// killed or the power failed in the middle, finishes the restore from it (or, when the restore
// was already putting the old files back, puts all of them back), so Baza holds either the old
// set of files or the archive's, never a mix. Only then are the copies kept aside removed.
//
// The start obeys only a journal in Temp that names the data folder's own files
// (RestoreJournalText.h), and only when every step it asks for can be taken: a journal that
// cannot be obeyed whole is not obeyed at all, and is kept for the administrator.
#include "backup/RestoreJournalText.h"

#include <QList>
#include <QString>

namespace zelm {

class Installation;

// Where the journal of a restore into `dataFolder` (an installation's Baza) lives: its Temp.
QString restoreJournalPath(const QString& dataFolder);
// Written whole and synced, or not at all. Throws FileError, also when an entry names a file
// that the journal cannot name (RestoreJournalText.h).
void writeRestoreJournal(const QString& path, const RestoreJournalPlan& plan);
void removeRestoreJournal(const QString& path); // throws FileError
// The stamp of the file at `path` (a size of -1 when there is none).
FileStamp fileStamp(const QString& path);

enum class InterruptedRestore { None, Finished, Undone, Refused };
// Finishes (or undoes) a restore cut short, from its journal in the installation. Call it
// once this program holds the data folder and before anything reads or cleans the folders.
// Refused: the journal was not obeyed, no file was renamed or removed, and the journal is kept
// under another name (ScratchFiles.h: the scratch files then stay too). `notice` receives
// what the start shows. Throws FileError; the journal then stays for the next start.
InterruptedRestore finishInterruptedRestore(const Installation& inst, QString* notice = nullptr);
// The notice a start shows after finishInterruptedRestore() finished or undid a restore.
QString interruptedRestoreMessage(InterruptedRestore what);

} // namespace zelm
