#pragma once
// Writing the backup archive of the data folder.
#include <QString>
#include <QStringList>

namespace zelm {

// How many archives a backup folder keeps, the new one included.
constexpr int kBackupsKept = 10;

// The plain files lying directly in `folder`, by name: no subfolders, no hidden files
// (names beginning with a dot), no links, no scratch files or restore journals of the program.
QStringList filesToBackUp(const QString& folder);

// Writes every file of filesToBackUp(dataFolder) into a new ZIP archive at `archivePath`,
// each under its bare name, deflated at level 6 or stored when deflate does not shrink it.
// The archive appears under its name only when complete. Throws ZipError.
void writeFolderArchive(const QString& dataFolder, const QString& archivePath);

// The whole backup: makes `backupFolder` when missing (its last level only), writes the next
// numbered archive and then deletes the oldest until kBackupsKept remain. Returns the path of
// the new archive. Throws ZipError; old archives are never touched when writing failed.
QString makeBackup(const QString& dataFolder, const QString& backupFolder);

} // namespace zelm
