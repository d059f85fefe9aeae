#include "backup/RestoreJournal.h"

#include "backup/RestoreNames.h"
#include "store/CardFile.h"
#include "store/FileError.h"
#include "store/Installation.h"
#include "store/RegularFiles.h"
#include "store/ScratchFiles.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstdio>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace zelm {
namespace {

constexpr qint64 kLargestJournal = 1 << 20;

struct Probe {
    bool present = false;
    unsigned mode = 0;
    FileStamp stamp;
};

Probe probe(const QString& path) {
    Probe p;
    struct stat st;
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0)
        return p;
    p.present = true;
    p.mode = st.st_mode;
    p.stamp = {st.st_size, qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec,
               quint64(st.st_ino)};
    return p;
}

struct Step {
    QString from; // renamed to `to`; removed when `to` is empty
    QString to;
};

// Every step that completes the journal, or nothing and `why` when a step could not be taken:
// then none is, so that a journal obeyed in part never leaves a mix of old and new files.
std::optional<QList<Step>> stepsFor(const Installation& inst, const RestoreJournalPlan& plan,
                                    QString& why) {
    for (const JournalEntry& e : plan.entries)
        for (const QString& name : {e.target, e.temporary, e.aside}) {
            const Probe p = name.isEmpty() ? Probe() : probe(inst.path(name));
            if (p.present && !S_ISREG(p.mode)) {
                why = QStringLiteral("%1: %2").arg(name, notRegularReason(p.mode));
                return std::nullopt;
            }
        }
    QList<Step> steps;
    if (plan.direction == RestoreDirection::Forward) {
        for (const JournalEntry& e : plan.entries) {
            const Probe copy = probe(inst.path(e.temporary));
            const Probe target = probe(inst.path(e.target));
            if (copy.present && copy.stamp == e.newCopy)
                steps.append({inst.path(e.temporary), inst.path(e.target)});
            else if (copy.present)
                why = QStringLiteral("новая копия файла %1 (%2) изменилась после записи журнала")
                          .arg(e.target, e.temporary);
            else if (!target.present || target.stamp != e.newCopy)
                why = QStringLiteral("новой копии файла %1 (%2) нет").arg(e.target, e.temporary);
            if (!why.isEmpty())
                return std::nullopt;
        }
        return steps;
    }
    for (auto e = plan.entries.crbegin(); e != plan.entries.crend(); ++e) {
        const Probe target = probe(inst.path(e->target));
        const bool targetIsNew = target.present && target.stamp == e->newCopy;
        if (!e->aside.isEmpty()) {
            // Not kept aside: the old file was never touched, or is back already.
            if (probe(inst.path(e->aside)).present)
                steps.append({inst.path(e->aside), inst.path(e->target)});
            else if (!target.present || targetIsNew)
                why = QStringLiteral("прежней копии файла %1 (%2) нет").arg(e->target, e->aside);
        } else if (targetIsNew) {
            steps.append({inst.path(e->target), QString()}); // the archive's, where there was none
        } else if (target.present && !probe(inst.path(e->temporary)).present) {
            why = QStringLiteral("файл %1 — не тот, что был взят из архива, а журнал требует "
                                 "его удалить")
                      .arg(e->target);
        }
        if (!why.isEmpty())
            return std::nullopt;
        if (probe(inst.path(e->temporary)).present)
            steps.append({inst.path(e->temporary), QString()});
    }
    return steps;
}

void take(const Step& s) {
    const QByteArray from = QFile::encodeName(s.from);
    if (s.to.isEmpty()) {
        if (::unlink(from.constData()) != 0 && errno != ENOENT)
            FileError::throwErrno(errno, s.from);
    } else if (::rename(from.constData(), QFile::encodeName(s.to).constData()) != 0) {
        FileError::throwErrno(errno, s.to);
    }
}

// Moves the journal out of the way under a name no start obeys, in Temp where possible.
QString keepForAdministrator(const Installation& inst, const QString& journal) {
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    for (const QString& folder : {inst.path(QStringLiteral("Temp")), QFileInfo(journal).path()}) {
        for (int n = 1; n < 100; ++n) {
            const QString kept = QDir(folder).filePath(kKeptRestoreJournalPrefix + stamp +
                                                       (n > 1 ? QStringLiteral("-%1").arg(n) : ""));
            if (probe(kept).present)
                continue;
            if (::rename(QFile::encodeName(journal).constData(),
                         QFile::encodeName(kept).constData()) == 0) {
                syncFolder(folder);
                syncFolder(QFileInfo(journal).path());
                return kept;
            }
            if (errno != EXDEV)
                FileError::throwErrno(errno, journal);
            break; // Temp on another file system: kept beside itself
        }
    }
    FileError::throwErrno(EEXIST, journal);
}

QString refusalNotice(const QString& journal, const QString& why, const QString& kept) {
    return QStringLiteral("Журнал восстановления из архива %1 не выполнен: %2.\nНи один файл не "
                          "переименован и не удалён. Журнал сохранён для администратора как %3; "
                          "рабочие файлы программы в папках Temp и Baza оставлены как есть.")
        .arg(journal, why, kept);
}

} // namespace

QString restoreJournalPath(const QString& dataFolder) {
    return QDir(QFileInfo(QDir::cleanPath(dataFolder)).absolutePath())
        .filePath(QStringLiteral("Temp/") + kRestoreJournalName);
}

void writeRestoreJournal(const QString& path, const RestoreJournalPlan& plan) {
    const QByteArray text = restoreJournalText(plan);
    QString why;
    // What a start would refuse is never written: the restore then stops before any change.
    if (!parseRestoreJournal(text, why))
        throw FileError(
            QStringLiteral("Журнал восстановления не может назвать эти файлы (%1)").arg(why), path);
    writeFileAtomically(path, text);
}

void removeRestoreJournal(const QString& path) {
    if (::unlink(QFile::encodeName(path).constData()) != 0 && errno != ENOENT)
        FileError::throwErrno(errno, path);
    syncFolder(QFileInfo(path).absolutePath());
}

FileStamp fileStamp(const QString& path) {
    return probe(path).stamp;
}

InterruptedRestore finishInterruptedRestore(const Installation& inst, QString* notice) {
    QStringList notices;
    const auto tell = [&](InterruptedRestore what) {
        if (notice)
            *notice = notices.join(QStringLiteral("\n\n"));
        return what;
    };
    // A restore never writes its journal into Baza; one there came from elsewhere (an archive
    // restored by an older version) and is only moved out of the way.
    const QString stray = QDir(inst.path(QStringLiteral("Baza"))).filePath(kRestoreJournalName);
    InterruptedRestore result = InterruptedRestore::None;
    if (probe(stray).present) {
        notices << refusalNotice(stray,
                                 QStringLiteral("журнал ведётся только в папке Temp, а этот лежит "
                                                "в папке Baza"),
                                 keepForAdministrator(inst, stray));
        result = InterruptedRestore::Refused;
    }
    const QString path = restoreJournalPath(inst.path(QStringLiteral("Baza")));
    const Probe journal = probe(path);
    if (!journal.present)
        return tell(result);
    QString why;
    std::optional<QList<Step>> steps;
    if (!S_ISREG(journal.mode)) {
        why = notRegularReason(journal.mode);
    } else {
        std::optional<RestoreJournalPlan> plan;
        try {
            plan = parseRestoreJournal(readRegularFile(path, kLargestJournal), why);
        } catch (const FileError& e) {
            why = e.message(); // too large to be one, or not readable: not obeyed either way
        }
        if (plan)
            steps = stepsFor(inst, *plan, why);
        if (steps) {
            for (const Step& s : std::as_const(*steps))
                take(s);
            syncFolder(inst.path(QStringLiteral("Baza")));
            syncFolder(inst.path(QStringLiteral("Temp")));
            removeRestoreJournal(path);
            // What is left is a scratch file like any other: the next start removes it.
            for (const JournalEntry& e : plan->entries)
                if (!e.aside.isEmpty())
                    ::unlink(QFile::encodeName(inst.path(e.aside)).constData());
            result = plan->direction == RestoreDirection::Forward ? InterruptedRestore::Finished
                                                                  : InterruptedRestore::Undone;
            notices << interruptedRestoreMessage(result);
            return tell(result);
        }
    }
    notices << refusalNotice(path, why, keepForAdministrator(inst, path));
    return tell(InterruptedRestore::Refused);
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
    case InterruptedRestore::Refused:
        break;
    }
    return {};
}

} // namespace zelm
