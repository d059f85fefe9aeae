#include "backup/RestoreJournal.h"

#include "store/CardFile.h"
#include "store/FileError.h"
#include "store/Installation.h"
#include "store/RegularFiles.h"
#include "store/ScratchFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

namespace zelm {
namespace {

const QByteArray kMagic = QByteArrayLiteral("zelm restore journal 1");
const QByteArray kEnd = QByteArrayLiteral("end");
const QString kJournalName = QStringLiteral("zelm-restore.journal");
constexpr qint64 kLargestJournal = 4 << 20;

bool exists(const QString& path) {
    struct stat st;
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0;
}

void renameOrThrow(const QString& from, const QString& to) {
    if (::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) != 0)
        FileError::throwErrno(errno, to);
}

void removeIfThere(const QString& path) {
    if (::unlink(QFile::encodeName(path).constData()) != 0 && errno != ENOENT)
        FileError::throwErrno(errno, path);
}

struct Journal {
    QString dataFolder;
    RestoreDirection direction = RestoreDirection::Forward;
    QList<JournalEntry> entries;
};

// A journal that is not whole is one whose rename never happened: it cannot be met here,
// but a damaged one is refused rather than half obeyed.
Journal parseJournal(const QByteArray& bytes, const QString& path) {
    const QList<QByteArray> lines = bytes.split('\n');
    Journal j;
    const auto damaged = [&] {
        return FileError(QStringLiteral("Журнал восстановления повреждён"), path);
    };
    if (lines.size() < 4 || lines.at(0) != kMagic || lines.at(lines.size() - 2) != kEnd)
        throw damaged();
    j.dataFolder = QString::fromUtf8(lines.at(1));
    if (lines.at(2) == "forward")
        j.direction = RestoreDirection::Forward;
    else if (lines.at(2) == "back")
        j.direction = RestoreDirection::Back;
    else
        throw damaged();
    for (qsizetype i = 3; i < lines.size() - 2; ++i) {
        const QList<QByteArray> f = lines.at(i).split('\t');
        if (f.size() != 3 || f.at(0).isEmpty() || f.at(1).isEmpty())
            throw damaged();
        j.entries.append(
            {QString::fromUtf8(f.at(0)), QString::fromUtf8(f.at(1)), QString::fromUtf8(f.at(2))});
    }
    return j;
}

void rollForward(const Journal& j) {
    // Every replacement was complete on disk before the journal was written.
    for (const JournalEntry& e : j.entries)
        if (exists(e.temporary))
            renameOrThrow(e.temporary, e.target);
    syncFolder(j.dataFolder);
}

void rollBack(const Journal& j) {
    for (auto e = j.entries.crbegin(); e != j.entries.crend(); ++e) {
        if (!e->aside.isEmpty()) {
            // Kept aside (a second name, or moved): the old file goes back in place. Not
            // there: the old file was never touched.
            if (exists(e->aside))
                renameOrThrow(e->aside, e->target);
        } else if (!exists(e->temporary)) {
            removeIfThere(e->target); // the archive's file where there was none
        }
        removeIfThere(e->temporary);
    }
    syncFolder(j.dataFolder);
}

} // namespace

QString restoreJournalPath(const QString& dataFolder) {
    return QDir(scratchFolderFor(QDir(dataFolder).filePath(QStringLiteral("x"))))
        .filePath(kJournalName);
}

void writeRestoreJournal(const QString& path, const QString& dataFolder, RestoreDirection direction,
                         const QList<JournalEntry>& entries) {
    QByteArray text = kMagic + '\n' + dataFolder.toUtf8() + '\n' +
                      (direction == RestoreDirection::Forward ? "forward" : "back") + '\n';
    for (const JournalEntry& e : entries)
        text += e.target.toUtf8() + '\t' + e.temporary.toUtf8() + '\t' + e.aside.toUtf8() + '\n';
    text += kEnd + '\n';
    writeFileAtomically(path, text);
}

void removeRestoreJournal(const QString& path) {
    removeIfThere(path);
    syncFolder(QFileInfo(path).absolutePath());
}

InterruptedRestore finishInterruptedRestore(const Installation& inst) {
    // The journal is in Temp, or in Baza when Temp is on another file system.
    for (const QString& folder :
         {inst.path(QStringLiteral("Temp")), inst.path(QStringLiteral("Baza"))}) {
        const QString path = QDir(folder).filePath(kJournalName);
        if (!exists(path))
            continue;
        const Journal j = parseJournal(readRegularFile(path, kLargestJournal), path);
        if (j.direction == RestoreDirection::Forward)
            rollForward(j);
        else
            rollBack(j);
        removeRestoreJournal(path);
        for (const JournalEntry& e : j.entries)
            if (!e.aside.isEmpty())
                removeIfThere(e.aside);
        return j.direction == RestoreDirection::Forward ? InterruptedRestore::Finished
                                                        : InterruptedRestore::Undone;
    }
    return InterruptedRestore::None;
}

QString interruptedRestoreMessage(InterruptedRestore what) {
    switch (what) {
    case InterruptedRestore::Finished:
        return QStringLiteral("Восстановление базы из архива было прервано. Оно завершено при "
                              "этом запуске: в папке Baza файлы из архива.");
    case InterruptedRestore::Undone:
        return QStringLiteral("Восстановление базы из архива было прервано. В папку Baza "
                              "возвращены прежние файлы.");
    case InterruptedRestore::None:
        break;
    }
    return {};
}

} // namespace zelm
