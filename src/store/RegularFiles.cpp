#include "store/RegularFiles.h"

#include "store/FileError.h"

#include <QFile>
#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zelm {

QString notRegularReason(unsigned mode) {
    if (S_ISLNK(mode))
        return QStringLiteral("Это ссылка, а не обычный файл");
    if (S_ISDIR(mode))
        return QStringLiteral("Это папка, а не файл");
    if (S_ISFIFO(mode) || S_ISSOCK(mode))
        return QStringLiteral("Это канал, а не обычный файл");
    return QStringLiteral("Это устройство, а не обычный файл");
}

QByteArray readRegularFile(const QString& path, qint64 limit, OverLimit over) {
    // O_NONBLOCK: opening a named pipe with no writer would otherwise wait forever.
    const int fd =
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        const int err = errno;
        struct stat st;
        if (err == ELOOP && ::lstat(QFile::encodeName(path).constData(), &st) == 0)
            throw FileError(notRegularReason(st.st_mode), path);
        FileError::throwErrno(err, path);
    }
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    struct stat st;
    if (::fstat(fd, &st) != 0)
        FileError::throwErrno(errno, path);
    if (!S_ISREG(st.st_mode))
        throw FileError(notRegularReason(st.st_mode), path);
    if (st.st_size > limit && over == OverLimit::Refuse)
        throw FileError(QStringLiteral("Файл слишком велик (%1 байт, допустимо не больше %2)")
                            .arg(st.st_size)
                            .arg(limit),
                        path);
    QByteArray bytes;
    bytes.resize(static_cast<qsizetype>(std::min<qint64>(st.st_size, limit)));
    qsizetype got = 0;
    // The size may change while we read: never more than `limit` is taken.
    for (;;) {
        if (got == bytes.size()) {
            if (got >= limit)
                break;
            bytes.resize(std::min<qsizetype>(limit, got + 65536));
        }
        const ssize_t n = ::read(fd, bytes.data() + got, static_cast<size_t>(bytes.size() - got));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            FileError::throwErrno(errno, path);
        }
        if (n == 0)
            break;
        got += n;
    }
    bytes.resize(got);
    return bytes;
}

void requireRegularOrMissing(const QString& path) {
    struct stat st;
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0) {
        if (errno == ENOENT)
            return;
        FileError::throwErrno(errno, path);
    }
    if (!S_ISREG(st.st_mode))
        throw FileError(notRegularReason(st.st_mode), path);
}

} // namespace zelm
