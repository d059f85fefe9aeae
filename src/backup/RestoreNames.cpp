#include "backup/RestoreNames.h"

#include "store/DataFileNames.h"
#include "store/ScratchFiles.h"

#include <QFile>

namespace zelm {

const QLatin1String kRestoreJournalName("zelm-restore.journal");

namespace {

constexpr int kLongestName = 255; // bytes, as the file systems count them

// Names of the program's own files, whatever folder an entry puts them in: a journal could make
// the next start rename files, a lock could keep the program from starting.
bool isReservedName(const QString& bare) {
    return bare.startsWith(kRestoreJournalName, Qt::CaseInsensitive) ||
           bare.compare(QLatin1String("Zelm.lock"), Qt::CaseInsensitive) == 0 ||
           isScratchFileName(bare) || bare.startsWith(kScratchPrefix, Qt::CaseInsensitive);
}

} // namespace

QString bareEntryName(const QString& entryName) {
    QString name = entryName;
    name.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (name.isEmpty() || name.endsWith(QLatin1Char('/')))
        return {};
    name = name.mid(name.lastIndexOf(QLatin1Char('/')) + 1);
    return name.mid(name.lastIndexOf(QLatin1Char(':')) + 1); // "C:x" names a drive
}

QString unusableNameReason(const QString& entryName, const QString& bare) {
    const QString why = QStringLiteral("Имя «%1» в архиве не может быть именем файла: %2");
    if (bare.isEmpty() || bare == QLatin1String(".") || bare == QLatin1String(".."))
        return why.arg(entryName, QStringLiteral("в нём нет имени файла"));
    for (QChar c : bare)
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            return why.arg(entryName, QStringLiteral("в нём есть управляющие знаки"));
    if (QFile::encodeName(bare).size() > kLongestName)
        return why.arg(entryName, QStringLiteral("оно длиннее %1 байт").arg(kLongestName));
    return {};
}

EntryCheck checkEntryName(const QString& entryName) {
    EntryCheck check;
    if (entryName.endsWith(QLatin1Char('/')) || entryName.endsWith(QLatin1Char('\\')))
        return check;
    const QString bare = bareEntryName(entryName);
    check.reason = unusableNameReason(entryName, bare);
    if (!check.reason.isEmpty()) {
        check.kind = EntryCheck::Refused;
        return check;
    }
    if (isReservedName(bare)) {
        check.kind = EntryCheck::Refused;
        check.reason = QStringLiteral("В архиве есть файл «%1», а это имя служебного файла "
                                      "программы: резервная копия такого файла не содержит")
                           .arg(entryName);
        return check;
    }
    check.file = dataFolderFileName(bare);
    check.kind = check.file.isEmpty() ? EntryCheck::Other : EntryCheck::DataFile;
    return check;
}

} // namespace zelm
