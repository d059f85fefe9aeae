// Fuzz target: the restore's checks of an archive's entry names. The input is a list of names,
// one a line, as an archive's central directory would give them. A name restored is always one
// of the data files, spelt as the program spells it; the program's own names never are.
#include "backup/RestoreNames.h"
#include "store/DataFileNames.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    for (const QByteArray& line : bytes.split('\n')) {
        const QString name = QString::fromUtf8(line);
        const zelm::EntryCheck check = zelm::checkEntryName(name);
        switch (check.kind) {
        case zelm::EntryCheck::DataFile:
            if (!zelm::dataFolderFileNames().contains(check.file) ||
                check.file.compare(zelm::bareEntryName(name), Qt::CaseInsensitive) != 0)
                __builtin_trap();
            break;
        case zelm::EntryCheck::Refused:
            if (check.reason.isEmpty())
                __builtin_trap();
            break;
        case zelm::EntryCheck::Other:
            if (!zelm::dataFolderFileName(zelm::bareEntryName(name)).isEmpty() ||
                zelm::bareEntryName(name).startsWith(zelm::kRestoreJournalName,
                                                     Qt::CaseInsensitive))
                __builtin_trap();
            break;
        case zelm::EntryCheck::Folder:
            if (!zelm::bareEntryName(name).isEmpty())
                __builtin_trap();
            break;
        }
    }
    return 0;
}
