#pragma once
// The restore journal's text, apart from the files it renames: what it may name is decided
// here, on the text alone. Every name is relative to the installation folder and lies directly
// in Baza or Temp: a target is one of the data files, a new or old copy is a scratch file. So a
// journal, whoever wrote it, can only move the program's own files within the data folder.
#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

namespace zelm {

// What a file looked like when the journal was written: a journal that finds it again knows
// the file is the one it wrote, not another under the same name.
struct FileStamp {
    qint64 size = -1;
    qint64 modifiedNs = 0; // modification time, nanoseconds since the epoch
    quint64 inode = 0;
    bool operator==(const FileStamp&) const = default;
};

struct JournalEntry {
    QString target;    // the data file: "Baza/Anketi.dat"
    QString temporary; // its replacement, unpacked and synced: "Temp/~zelm-Anketi.dat.x7Kq2a"
    QString aside;     // the old file's second name; empty when there was no old file
    FileStamp newCopy; // the replacement's
};

enum class RestoreDirection { Forward, Back };

struct RestoreJournalPlan {
    RestoreDirection direction = RestoreDirection::Forward;
    QList<JournalEntry> entries;
};

QByteArray restoreJournalText(const RestoreJournalPlan& plan);
// The plan the text holds, or nothing and `why` (Russian) when the text is damaged or names
// anything but the data folder's files.
std::optional<RestoreJournalPlan> parseRestoreJournal(const QByteArray& text, QString& why);

} // namespace zelm
