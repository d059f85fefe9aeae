#pragma once
// Bringing the data folder back from a backup archive, in two steps so that a damaged
// archive changes nothing: every entry is first read back, its checksum checked, into a
// temporary file in the data folder; only then are the temporary files renamed over the data.
#include <QList>
#include <QString>

namespace zelm {

// The name an entry is written under: folder parts, drive letters, "." and ".." dropped.
// Empty for an entry that is a folder or has no usable name; such entries are skipped.
QString bareEntryName(const QString& entryName);

class PreparedRestore {
public:
    PreparedRestore() = default;
    PreparedRestore(PreparedRestore&& other) noexcept;
    PreparedRestore& operator=(PreparedRestore&& other) noexcept;
    PreparedRestore(const PreparedRestore&) = delete;
    PreparedRestore& operator=(const PreparedRestore&) = delete;
    ~PreparedRestore(); // removes temporary files not committed

    // Renames every checked entry over its file in the data folder. Throws ArchiveError when
    // a rename fails; the files renamed before it stay replaced.
    void commit();
    // The bare names that commit() writes, in archive order.
    QStringList names() const;

private:
    friend PreparedRestore prepareRestore(const QString&, const QString&);
    struct Entry {
        QString temporary;
        QString target;
    };
    QList<Entry> m_entries;
    void discard();
};

// Opens `archivePath`, checks its structure and reads every entry to its end into a
// temporary file in `dataFolder` (made when missing). Throws ArchiveError naming the problem;
// the data folder then holds nothing new.
PreparedRestore prepareRestore(const QString& archivePath, const QString& dataFolder);

} // namespace zelm
