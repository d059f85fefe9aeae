#include "register/ArchiveJournal.h"

#include "store/FileError.h"
#include "store/Installation.h"
#include "store/ScratchFiles.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zelm {
namespace {

const QByteArray kHeader = QByteArrayLiteral("zelm-archive-journal 1");

// Cuts the file at `path` to `bytes` when it is longer, and syncs it.
void cutTo(const QString& path, qint64 bytes) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) {
        if (errno == ENOENT)
            return;
        FileError::throwErrno(errno, path);
    }
    struct stat st;
    int rc = ::fstat(fd, &st);
    if (rc == 0 && S_ISREG(st.st_mode) && st.st_size > bytes)
        rc = ::ftruncate(fd, bytes) == 0 ? ::fsync(fd) : -1;
    const int err = errno;
    ::close(fd);
    if (rc != 0)
        FileError::throwErrno(err, path);
}

} // namespace

QString archiveJournalPath(const Installation& inst) {
    return inst.path(QStringLiteral("Temp/zelm-archive.journal"));
}

void writeArchiveJournal(const QString& path, const CardFile::Stamp& mainBefore,
                         qint64 archiveBytes) {
    writeFileAtomically(path, kHeader + '\n' + QByteArray::number(mainBefore.device) + ' ' +
                                  QByteArray::number(mainBefore.inode) + ' ' +
                                  QByteArray::number(archiveBytes) + '\n');
}

void removeArchiveJournal(const QString& path) noexcept {
    QFile::remove(path);
}

void finishInterruptedArchiving(const Installation& inst) {
    const QString path = archiveJournalPath(inst);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return;
    const QList<QByteArray> lines = file.readAll().split('\n');
    file.close();
    const QList<QByteArray> fields = lines.size() > 1 ? lines[1].split(' ') : QList<QByteArray>();
    bool ok = lines.value(0) == kHeader && fields.size() == 3;
    const quint64 device = ok ? fields[0].toULongLong(&ok) : 0;
    const quint64 inode = ok ? fields[1].toULongLong(&ok) : 0;
    const qint64 archiveBytes = ok ? fields[2].toLongLong(&ok) : -1;
    // Written whole or not at all: anything else is no journal of this program's.
    if (ok && archiveBytes >= 0) {
        struct stat st;
        if (::stat(QFile::encodeName(inst.mainCardFile()).constData(), &st) == 0 &&
            quint64(st.st_dev) == device && quint64(st.st_ino) == inode)
            cutTo(inst.archiveCardFile(), archiveBytes);
    }
    if (!QFile::remove(path) && QFileInfo::exists(path))
        throw FileError(QStringLiteral("Не удалось удалить файл"), path);
    syncFolder(QFileInfo(path).absolutePath());
}

} // namespace zelm
