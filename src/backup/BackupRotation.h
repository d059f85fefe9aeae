#pragma once
// The numbered backup archives of a backup folder: "b" + seven digits + ".zip". Only such
// archives are ever counted, numbered from or deleted; the user's own files there are not.
#include <QList>
#include <QString>

namespace zelm {

struct BackupArchive {
    int number = 0;
    QString path;
};

// The archives of `folder`, lowest number first; an unreadable or missing folder has none.
QList<BackupArchive> listBackupArchives(const QString& folder);
// "b0000001.zip" when there is none, else the highest number + 1.
QString nextBackupFileName(const QList<BackupArchive>& archives);
// Deletes the lowest-numbered archives until `keep` remain. A file that cannot be deleted is
// passed over: an old backup left behind does no harm.
void pruneBackupArchives(const QString& folder, int keep);

} // namespace zelm
