#include "backup/ZipRestore.h"

#include "backup/RestoreJournal.h"
#include "backup/RestoreNames.h"
#include "backup/ZipError.h"
#include "backup/ZipErrorText.h"
#include "store/CardFile.h"
#include "store/FileError.h"
#include "store/ScratchFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>
#include <vector>
#include <zip.h>

namespace zelm {
namespace {

constexpr off_t kWritebackStep = 8 << 20;
constexpr qint64 kFourGigabytes = qint64(4) << 30;

[[noreturn]] void fail(const QString& text) {
    throw ZipError(text);
}

QString megabytes(qint64 bytes) {
    return QStringLiteral("%1 МБ").arg(static_cast<double>(bytes) / (1 << 20), 0, 'f', 1);
}

struct ZipCloser {
    void operator()(zip_t* za) const { zip_discard(za); }
};
struct ZipFileCloser {
    void operator()(zip_file_t* zf) const { zip_fclose(zf); }
};

void writeAll(int fd, const char* data, zip_int64_t size, const QString& path) {
    while (size > 0) {
        ssize_t put = ::write(fd, data, static_cast<size_t>(size));
        if (put < 0) {
            if (errno == EINTR)
                continue;
            fail(QStringLiteral("Не удалось записать файл %1: %2")
                     .arg(path, FileError::messageForErrno(errno)));
        }
        data += put;
        size -= put;
    }
}

struct PlannedEntry {
    zip_uint64_t index;
    QString name; // as in the archive
    QString bare;
    zip_uint64_t size;
};

// Every check that needs no unpacking: names, duplicates, what lies in the data folder, sizes.
QList<PlannedEntry> planEntries(zip_t* za, const QString& archivePath, const QString& dataFolder,
                                QStringList& skipped) {
    QList<PlannedEntry> plan;
    QHash<QString, QString> byName; // case folded: the archives come from Windows
    qint64 total = 0;
    const zip_int64_t count = zip_get_num_entries(za, 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        const auto index = static_cast<zip_uint64_t>(i);
        const char* rawName = zip_get_name(za, index, ZIP_FL_ENC_GUESS);
        const QString name = rawName ? QString::fromUtf8(rawName) : QString();
        const EntryCheck check = checkEntryName(name);
        if (check.kind == EntryCheck::Refused)
            fail(check.reason);
        if (check.kind == EntryCheck::Folder)
            continue;
        if (check.kind == EntryCheck::Other) {
            skipped << name;
            continue;
        }
        const QString& bare = check.file;
        const QString folded = bare.toCaseFolded();
        if (byName.contains(folded))
            fail(QStringLiteral("В архиве два файла с одним именем %1: «%2» и «%3»")
                     .arg(bare, byName.value(folded), name));
        byName.insert(folded, name);
        const QString target = QDir(dataFolder).filePath(bare);
        struct stat st;
        if (::lstat(QFile::encodeName(target).constData(), &st) == 0 && !S_ISREG(st.st_mode))
            fail(QStringLiteral("В папке %1 уже есть %2 с именем %3, и файл из архива не может "
                                "её заменить")
                     .arg(dataFolder,
                          S_ISDIR(st.st_mode) ? QStringLiteral("папка")
                                              : QStringLiteral("не обычный файл"),
                          bare));
        zip_stat_t zs;
        zip_stat_init(&zs);
        if (zip_stat_index(za, index, 0, &zs) != 0 || !(zs.valid & ZIP_STAT_SIZE))
            fail(QStringLiteral("Файл %1 в архиве не читается: %2")
                     .arg(name, zipArchiveErrorText(za)));
        if (zs.size > static_cast<zip_uint64_t>(kFourGigabytes) * 1024)
            fail(QStringLiteral("Файл %1 в архиве повреждён: неверный размер").arg(name));
        total += static_cast<qint64>(zs.size);
        plan.append({index, name, bare, zs.size});
    }

    const qint64 archiveBytes = QFileInfo(archivePath).size();
    if (total > unpackedLimit(archiveBytes))
        fail(QStringLiteral("Архив %1 (%2) распаковался бы в %3 — больше, чем может занять "
                            "резервная копия такого размера (%4). Это не резервная копия "
                            "данных программы.")
                 .arg(archivePath, megabytes(archiveBytes), megabytes(total),
                      megabytes(unpackedLimit(archiveBytes))));
    // The new files are written while the old ones still take their place.
    const QString scratch = scratchFolderFor(QDir(dataFolder).filePath(QStringLiteral("x")));
    struct statvfs vfs;
    if (::statvfs(QFile::encodeName(scratch).constData(), &vfs) == 0) {
        const qint64 free = static_cast<qint64>(vfs.f_bavail) * static_cast<qint64>(vfs.f_frsize);
        if (total > free)
            fail(QStringLiteral("Для восстановления нужно %1 на диске, а свободно только %2")
                     .arg(megabytes(total), megabytes(free)));
    }
    return plan;
}

// Unpacks one entry into a new scratch file; its size must be what the archive says.
QString unpackEntry(zip_t* za, const PlannedEntry& e, const QString& target,
                    std::vector<char>& buffer) {
    std::unique_ptr<zip_file_t, ZipFileCloser> zf(zip_fopen_index(za, e.index, 0));
    if (!zf)
        fail(QStringLiteral("Файл %1 в архиве не читается: %2")
                 .arg(e.name, zipArchiveErrorText(za)));
    QString temporary;
    int fd = -1;
    try {
        fd = createScratchFile(target, temporary);
    } catch (const FileError& error) {
        fail(QStringLiteral("Не удалось создать файл %1: %2")
                 .arg(error.fileName(), error.message()));
    }
    try {
        off_t written = 0;
        off_t flushedTo = 0;
        for (;;) {
            const zip_int64_t got = zip_fread(zf.get(), buffer.data(), buffer.size());
            if (got < 0)
                fail(QStringLiteral("Файл %1 в архиве повреждён: %2")
                         .arg(e.name, zipFileErrorText(zf.get())));
            if (got == 0)
                break;
            if (static_cast<zip_uint64_t>(written + got) > e.size)
                fail(QStringLiteral("Файл %1 в архиве повреждён: в нём больше данных, чем "
                                    "указано в архиве")
                         .arg(e.name));
            writeAll(fd, buffer.data(), got, temporary);
            written += got;
            // Start writing back to disk as we go, so that the flush before the rename
            // does not wait for the whole file at once.
            if (written - flushedTo >= kWritebackStep) {
                ::sync_file_range(fd, flushedTo, written - flushedTo, SYNC_FILE_RANGE_WRITE);
                flushedTo = written;
            }
        }
        if (static_cast<zip_uint64_t>(written) != e.size)
            fail(QStringLiteral("Файл %1 в архиве повреждён: в нём меньше данных, чем указано "
                                "в архиве")
                     .arg(e.name));
        if (::fsync(fd) != 0)
            fail(QStringLiteral("Не удалось записать файл %1: %2")
                     .arg(temporary, FileError::messageForErrno(errno)));
    } catch (...) {
        ::close(fd);
        QFile::remove(temporary);
        throw;
    }
    if (::close(fd) != 0) {
        const int err = errno;
        QFile::remove(temporary);
        fail(QStringLiteral("Не удалось записать файл %1: %2")
                 .arg(temporary, FileError::messageForErrno(err)));
    }
    return temporary;
}

bool renamePath(const QString& from, const QString& to) {
    return ::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
}

// A name for the old file beside the scratch files, not yet taken; nothing is made there until
// the old file is linked to it, so a journal that names it never names a stray empty file.
QString asideName(const QString& target) {
    static quint64 counter = 0;
    return QDir(scratchFolderFor(target))
        .filePath(QStringLiteral("%1%2.old-%3-%4")
                      .arg(kScratchPrefix, QFileInfo(target).fileName())
                      .arg(::getpid())
                      .arg(++counter));
}

bool isRegularFile(const QString& target) {
    struct stat st;
    if (::lstat(QFile::encodeName(target).constData(), &st) != 0) {
        if (errno == ENOENT)
            return false;
        FileError::throwErrno(errno, target);
    }
    if (!S_ISREG(st.st_mode)) // only a file is replaced, never a folder or anything else
        FileError::throwErrno(S_ISDIR(st.st_mode) ? EISDIR : EEXIST, target);
    return true;
}

// Keeps the old file under `aside`. A hard link leaves the data file itself in place, so that
// even a crash in the middle finds every data file whole, old or new.
void keepAside(const QString& target, const QString& aside) {
    if (::link(QFile::encodeName(target).constData(), QFile::encodeName(aside).constData()) == 0)
        return;
    const int err = errno;
    if (err != EPERM && err != ENOTSUP && err != EXDEV)
        FileError::throwErrno(err, target);
    // No hard links on this file system: the old file is moved aside instead.
    if (!renamePath(target, aside))
        FileError::throwErrno(errno, target);
}

bool exists(const QString& path) {
    struct stat st;
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0;
}

// Puts back what `entries` had replaced so far, newest first.
void putBack(const QList<JournalEntry>& entries) noexcept {
    for (auto it = entries.crbegin(); it != entries.crend(); ++it) {
        if (!it->aside.isEmpty()) {
            if (exists(it->aside))
                renamePath(it->aside, it->target);
        } else if (!exists(it->temporary)) {
            QFile::remove(it->target);
        }
    }
}

// The plan as the journal names it: relative to the installation folder, Baza's parent.
RestoreJournalPlan journalPlan(RestoreDirection direction, const QList<JournalEntry>& plan) {
    RestoreJournalPlan out{direction, plan};
    for (JournalEntry& e : out.entries) {
        const QDir root = QFileInfo(QFileInfo(e.target).absolutePath()).absolutePath();
        e.target = root.relativeFilePath(e.target);
        e.temporary = root.relativeFilePath(e.temporary);
        if (!e.aside.isEmpty())
            e.aside = root.relativeFilePath(e.aside);
    }
    return out;
}

} // namespace

qint64 unpackedLimit(qint64 archiveBytes) {
    return std::max(archiveBytes * 64, kFourGigabytes);
}

PreparedRestore::PreparedRestore(PreparedRestore&& other) noexcept
    : m_entries(std::move(other.m_entries)), m_dataFolder(std::move(other.m_dataFolder)),
      m_skipped(std::move(other.m_skipped)) {
    other.m_entries.clear();
}

PreparedRestore& PreparedRestore::operator=(PreparedRestore&& other) noexcept {
    if (this != &other) {
        discard();
        m_entries = std::move(other.m_entries);
        m_dataFolder = std::move(other.m_dataFolder);
        m_skipped = std::move(other.m_skipped);
        other.m_entries.clear();
    }
    return *this;
}

PreparedRestore::~PreparedRestore() {
    discard();
}

void PreparedRestore::discard() {
    for (const Entry& e : m_entries)
        QFile::remove(e.temporary);
    m_entries.clear();
}

QStringList PreparedRestore::names() const {
    QStringList out;
    for (const Entry& e : m_entries)
        out << QFileInfo(e.target).fileName();
    return out;
}

void PreparedRestore::commit() {
    QList<JournalEntry> plan;
    const QString journal = restoreJournalPath(m_dataFolder);
    QString failedTarget;
    bool journalWritten = false;
    try {
        for (const Entry& e : std::as_const(m_entries)) {
            failedTarget = e.target;
            if (::chmod(QFile::encodeName(e.temporary).constData(), modeToKeep(e.target)) != 0)
                FileError::throwErrno(errno, e.temporary);
            plan.append({e.target, e.temporary,
                         isRegularFile(e.target) ? asideName(e.target) : QString(),
                         fileStamp(e.temporary)});
        }
        // From here on a kill is finished (or undone) by the next start from the journal.
        failedTarget = journal;
        writeRestoreJournal(journal, journalPlan(RestoreDirection::Forward, plan));
        journalWritten = true;
        for (const JournalEntry& e : std::as_const(plan)) {
            failedTarget = e.target;
            if (!e.aside.isEmpty())
                keepAside(e.target, e.aside);
            if (!renamePath(e.temporary, e.target))
                FileError::throwErrno(errno, e.target);
        }
        syncFolder(m_dataFolder);
        removeRestoreJournal(journal);
    } catch (const FileError& error) {
        if (journalWritten) {
            try {
                // A kill while the old files go back must not be finished forward.
                writeRestoreJournal(journal, journalPlan(RestoreDirection::Back, plan));
            } catch (const FileError&) {
                // The forward journal stays until the old files are back.
            }
            putBack(plan);
            try {
                syncFolder(m_dataFolder);
                removeRestoreJournal(journal);
                for (const JournalEntry& e : std::as_const(plan))
                    if (!e.aside.isEmpty())
                        QFile::remove(e.aside);
            } catch (const FileError&) {
                // The journal stays; the next start puts the old files back from it.
            }
        }
        discard();
        fail(QStringLiteral("Не удалось заменить файл %1: %2.\nФайлы папки %3 остались прежними.")
                 .arg(failedTarget, error.message(), m_dataFolder));
    }
    for (const JournalEntry& e : std::as_const(plan))
        if (!e.aside.isEmpty())
            QFile::remove(e.aside);
    m_entries.clear();
}

PreparedRestore prepareRestore(const QString& archivePath, const QString& dataFolder) {
    int code = 0;
    std::unique_ptr<zip_t, ZipCloser> za(
        zip_open(QFile::encodeName(archivePath).constData(), ZIP_RDONLY | ZIP_CHECKCONS, &code));
    if (!za)
        fail(QStringLiteral("Архив %1 не читается: %2").arg(archivePath, zipErrorText(code)));
    if (!QDir().mkpath(dataFolder))
        fail(QStringLiteral("Не удалось создать папку %1").arg(dataFolder));

    PreparedRestore prepared;
    const QList<PlannedEntry> plan =
        planEntries(za.get(), archivePath, dataFolder, prepared.m_skipped);
    prepared.m_dataFolder = dataFolder;
    std::vector<char> buffer(1 << 20);
    for (const PlannedEntry& e : plan) {
        const QString target = QDir(dataFolder).filePath(e.bare);
        prepared.m_entries.append({unpackEntry(za.get(), e, target, buffer), target});
    }
    return prepared;
}

} // namespace zelm
