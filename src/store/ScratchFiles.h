#pragma once
// Scratch files of whole-file rewrites. They are made in the installation's Temp folder
// (the same file system as the data, so a rename can put one in place), never in Baza, whose
// files the backup packs. Every scratch name begins with the same prefix, so that a backup can
// leave them out and the next start can remove what a crash left behind.
#include <QString>
#include <sys/types.h>

namespace zelm {

class Installation;

// "~zelm-": the prefix of every scratch file's name.
extern const QLatin1String kScratchPrefix;

// Scratch files are made in `folder` from now on (Installation::prepare sets it to Temp).
// Empty: beside the file being rewritten.
void setScratchFolder(const QString& folder);
const QString& scratchFolder();

// The folder a scratch file for `target` goes to: the scratch folder when it exists on the
// same file system as `target`'s folder, else `target`'s own folder.
QString scratchFolderFor(const QString& target);

// Makes a new, empty scratch file for `target` with a unique name and returns its descriptor
// (mode 0600); `path` receives its name. Throws FileError.
int createScratchFile(const QString& target, QString& path);
// The same, closed at once: for code that opens the scratch file by name.
QString newScratchPath(const QString& target);

// A restore journal that a start could not obey is kept under a name beginning with this
// ("zelm-restore.journal.kept-"). While one lies in Temp or Baza, no scratch file is removed:
// one of them may hold the only copy of a data file.
extern const QLatin1String kKeptRestoreJournalPrefix;

// True for names the program gives its scratch files, now or in earlier versions.
bool isScratchFileName(const QString& fileName);

// Removes the scratch files a crashed run left in the installation's folder, Temp and Baza.
// Call it only once this program holds the data folder (DataFolderLock): a second program's
// scratch files are not leftovers. Returns how many were removed; failures are passed over.
int removeLeftoverScratchFiles(const Installation& inst);

// Makes a rename or removal in `folder` durable: without it a power cut just after a save
// may bring back the old file. Throws FileError.
void syncFolder(const QString& folder);
// How many folder syncs this process made: lets a test prove that a rename was made durable.
quint64 folderSyncsSoFar();

// The permission bits a newly created file gets under the current umask (0666 & ~umask).
mode_t newFileMode();
// The permission bits of the file at `path`, or newFileMode() when there is none.
mode_t modeToKeep(const QString& path);

} // namespace zelm
