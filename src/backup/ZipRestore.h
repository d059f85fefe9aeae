#pragma once
// Bringing the data folder back from a backup archive, all or nothing. Everything about the
// archive is checked before any file is replaced: the names its entries would get (only the
// program's data files are restored, RestoreNames.h), that no two entries share one, that the
// unpacked data fits the disk and is no bigger than a backup of that size can hold, and every
// entry's data and checksum (each is unpacked into a scratch file). Only then are the data files
// replaced; the old ones are kept aside until every new one is in place, and put back when any step
// fails.
#include "backup/RestoreNames.h"

#include <QList>
#include <QString>

namespace zelm {

// The most an archive of `archiveBytes` may unpack to: 64 times its size or 4 GB, whichever
// is more. A backup of card files packs far less tightly than that.
qint64 unpackedLimit(qint64 archiveBytes);

class PreparedRestore {
public:
    PreparedRestore() = default;
    PreparedRestore(PreparedRestore&& other) noexcept;
    PreparedRestore& operator=(PreparedRestore&& other) noexcept;
    PreparedRestore(const PreparedRestore&) = delete;
    PreparedRestore& operator=(const PreparedRestore&) = delete;
    ~PreparedRestore(); // removes scratch files not committed

    // Puts every checked entry in place of its file in the data folder, each with the
    // permissions of the file it replaces (a new file's when there was none). Throws ZipError
    // when a step fails; every data file is then as it was before.
    void commit();
    // The data files that commit() writes, in archive order.
    QStringList names() const;
    // The archive's entries that are no file of the program: they are not restored.
    const QStringList& skipped() const { return m_skipped; }

private:
    friend PreparedRestore prepareRestore(const QString&, const QString&);
    struct Entry {
        QString temporary;
        QString target;
    };
    QList<Entry> m_entries;
    QString m_dataFolder;
    QStringList m_skipped;
    void discard();
};

// Opens `archivePath`, checks it and reads every entry to its end into a scratch file (in the
// scratch folder, ScratchFiles.h). Throws ZipError naming the problem; the data folder then
// holds nothing new.
PreparedRestore prepareRestore(const QString& archivePath, const QString& dataFolder);

} // namespace zelm
