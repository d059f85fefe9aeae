#pragma once
// Which names a restore may write. An archive is packed from outside the program's control,
// so an entry's name decides nothing by itself: only the data files the program knows are
// brought back, and a name the program keeps for its own files (the restore journal, the
// folder lock, scratch files) marks an archive that no backup of the program wrote.
#include <QString>

namespace zelm {

// The name of the restore journal in Temp (RestoreJournal.h).
extern const QLatin1String kRestoreJournalName;

// The name an entry is written under: folder parts and drive letters dropped. Empty for an
// entry that is a folder ("Sub/"), which is passed over.
QString bareEntryName(const QString& entryName);
// Why `bare` cannot be a file name in the data folder (too long, ".", "..", control
// characters), or empty when it can.
QString unusableNameReason(const QString& entryName, const QString& bare);

struct EntryCheck {
    enum Kind {
        Folder,   // passed over: its files come as entries of their own
        DataFile, // restored to `file`
        Other,    // not a file of the program: left out, and the user is told
        Refused,  // the whole archive is refused for `reason`
    };
    Kind kind = Folder;
    QString file; // the data file's name as the program spells it, for DataFile
    QString reason;
};
EntryCheck checkEntryName(const QString& entryName);

} // namespace zelm
