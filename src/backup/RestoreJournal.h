#pragma once
// The restore's journal. Before the first data file is replaced, the restore writes (and
// syncs) a list of every file it is about to replace, the unpacked copy that replaces it and
// the name the old file is kept under. A start that finds the journal, because the restore was
// killed or the power failed in the middle, finishes the restore from it (or, when the restore
// was already putting the old files back, puts all of them back), so Baza holds either the old
// set of files or the archive's, never a mix. Only then are the copies kept aside removed.
#include <QList>
#include <QString>

namespace zelm {

class Installation;

struct JournalEntry {
    QString target;    // the data file
    QString temporary; // its replacement, unpacked and synced
    QString aside;     // the old file's second name; empty when there was no old file
};

enum class RestoreDirection { Forward, Back };

// Where the journal of a restore into `dataFolder` lives (the scratch folder, not Baza).
QString restoreJournalPath(const QString& dataFolder);
// Written whole and synced, or not at all. Throws FileError.
void writeRestoreJournal(const QString& path, const QString& dataFolder, RestoreDirection direction,
                         const QList<JournalEntry>& entries);
void removeRestoreJournal(const QString& path); // throws FileError

enum class InterruptedRestore { None, Finished, Undone };
// Finishes (or undoes) a restore cut short, from its journal in the installation. Call it
// once this program holds the data folder and before anything reads or cleans the folders.
// Throws FileError; the journal then stays for the next start.
InterruptedRestore finishInterruptedRestore(const Installation& inst);
// The notice a start shows after finishInterruptedRestore() did something.
QString interruptedRestoreMessage(InterruptedRestore what);

} // namespace zelm
