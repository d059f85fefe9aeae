#include "store/CardFile.h"

#include "store/FileError.h"
#include "store/RegularFiles.h"
#include "store/ScratchFiles.h"

#include <QDir>
#include <QFileInfo>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <exception>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zelm {
namespace {

QByteArray nativePath(const QString& path) {
    return QFile::encodeName(path);
}

std::atomic<quint64> g_flushes{0};

// The texts a command shows when a card file is shorter than what it was asked for: another
// program cut it, or it was never whole.
QString beyondEndText() {
    return QStringLiteral("Файл короче, чем ожидалось: его изменила другая программа");
}

} // namespace

CardFile::~CardFile() {
    if (m_fd >= 0)
        ::close(m_fd);
}

void CardFile::requireOpen() const {
    if (m_fd < 0)
        throw FileError(QStringLiteral("Файл не открыт"), m_path);
}

void CardFile::openFd(const QString& path, int recordSize, int flags) {
    // A file not open names the one it was asked for, so "not open" says which.
    if (m_fd < 0) {
        m_path = path;
        m_recordSize = recordSize;
    }
    // A link is never followed and a pipe never waited on: a card file is a regular file of the
    // data folder or it is refused, before anything is truncated or written.
    int fd =
        ::open(nativePath(path).constData(), flags | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0644);
    if (fd < 0)
        FileError::throwErrno(errno, path);
    struct stat st;
    if (::fstat(fd, &st) != 0) {
        const int err = errno;
        ::close(fd);
        FileError::throwErrno(err, path);
    }
    if (!S_ISREG(st.st_mode)) {
        ::close(fd);
        throw FileError(notRegularReason(st.st_mode), path);
    }
    // Only now is the file open before given up: a name that cannot be opened leaves the
    // file open before readable.
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = fd;
    m_path = path;
    m_recordSize = recordSize;
    m_pos = 0;
}

void CardFile::open(const QString& path, int recordSize) {
    openFd(path, recordSize, O_RDWR);
}

void CardFile::create(const QString& path, int recordSize) {
    openFd(path, recordSize, O_RDWR | O_CREAT | O_TRUNC);
}

void CardFile::reopen() {
    requireOpen();
    flush();
    openFd(m_path, m_recordSize, O_RDWR);
}

void CardFile::close() {
    if (m_fd >= 0) {
        int rc = ::close(m_fd);
        m_fd = -1;
        if (rc != 0)
            FileError::throwErrno(errno, m_path);
    }
    m_pos = 0;
}

qint64 CardFile::count() const {
    requireOpen();
    struct stat st;
    if (::fstat(m_fd, &st) != 0)
        FileError::throwErrno(errno, m_path);
    return static_cast<qint64>(st.st_size) / m_recordSize;
}

CardFile::Stamp CardFile::stamp() const {
    requireOpen();
    struct stat st;
    if (::fstat(m_fd, &st) != 0)
        FileError::throwErrno(errno, m_path);
    Stamp s;
    s.device = st.st_dev;
    s.inode = st.st_ino;
    s.size = st.st_size;
    s.changedNs = static_cast<qint64>(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec;
    s.modifiedNs = static_cast<qint64>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    return s;
}

bool CardFile::replacedOnDisk(const Stamp& open) const {
    struct stat byName;
    if (::lstat(nativePath(m_path).constData(), &byName) != 0)
        return true;
    return byName.st_dev != open.device || byName.st_ino != open.inode;
}

void CardFile::seek(qint64 index) {
    requireOpen();
    if (index < 0 || index > count())
        throw FileError(beyondEndText(), m_path);
    m_pos = index;
}

void CardFile::read(void* record) {
    requireOpen();
    if (m_pos >= count())
        throw FileError(beyondEndText(), m_path);
    readRange(m_pos, 1, record);
    ++m_pos;
}

void CardFile::readRange(qint64 first, qint64 n, void* out) const {
    requireOpen();
    if (first < 0 || n < 0 || first + n > count())
        throw FileError(beyondEndText(), m_path);
    auto* dst = static_cast<char*>(out);
    qint64 want = n * m_recordSize;
    off_t offset = static_cast<off_t>(first) * m_recordSize;
    while (want > 0) {
        ssize_t got = ::pread(m_fd, dst, static_cast<size_t>(want), offset);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            FileError::throwErrno(errno, m_path);
        }
        if (got == 0)
            throw FileError(beyondEndText(), m_path);
        dst += got;
        want -= got;
        offset += got;
    }
}

namespace {
void writeAllAt(int fd, const char* src, qint64 size, off_t offset, const QString& path) {
    while (size > 0) {
        ssize_t put = ::pwrite(fd, src, static_cast<size_t>(size), offset);
        if (put < 0) {
            if (errno == EINTR)
                continue;
            FileError::throwErrno(errno, path);
        }
        src += put;
        size -= put;
        offset += put;
    }
}
} // namespace

void CardFile::write(const void* record) {
    requireOpen();
    qint64 n = count();
    if (m_pos > n)
        throw FileError(beyondEndText(), m_path);
    writeAllAt(m_fd, static_cast<const char*>(record), m_recordSize,
               static_cast<off_t>(m_pos) * m_recordSize, m_path);
    ++m_pos;
}

void CardFile::writeRange(qint64 first, qint64 n, const void* records) {
    requireOpen();
    writeAllAt(m_fd, static_cast<const char*>(records), n * m_recordSize,
               static_cast<off_t>(first) * m_recordSize, m_path);
}

void CardFile::appendMany(const void* records, qint64 n) {
    requireOpen();
    qint64 at = count();
    writeAllAt(m_fd, static_cast<const char*>(records), n * m_recordSize,
               static_cast<off_t>(at) * m_recordSize, m_path);
    m_pos = at + n;
}

void CardFile::truncate() {
    requireOpen();
    if (::ftruncate(m_fd, static_cast<off_t>(m_pos) * m_recordSize) != 0)
        FileError::throwErrno(errno, m_path);
}

void CardFile::flush() {
    requireOpen();
    if (::fsync(m_fd) != 0)
        FileError::throwErrno(errno, m_path);
    ++g_flushes;
}

quint64 CardFile::flushesSoFar() {
    return g_flushes.load();
}

void writeFileAtomically(const QString& path, const QByteArray& bytes) {
    QString scratch;
    const int fd = createScratchFile(path, scratch);
    try {
        try {
            writeAllAt(fd, bytes.constData(), bytes.size(), 0, scratch);
            if (::fchmod(fd, modeToKeep(path)) != 0 || ::fsync(fd) != 0)
                FileError::throwErrno(errno, scratch);
        } catch (...) {
            ::close(fd);
            throw;
        }
        if (::close(fd) != 0)
            FileError::throwErrno(errno, scratch);
        if (::rename(nativePath(scratch).constData(), nativePath(path).constData()) != 0)
            FileError::throwErrno(errno, path);
    } catch (...) {
        QFile::remove(scratch);
        throw;
    }
    syncFolder(QFileInfo(path).absolutePath());
}

void writeRecordsAtomically(const QString& path, const void* records, qint64 bytes) {
    writeFileAtomically(path, QByteArray::fromRawData(static_cast<const char*>(records), bytes));
}

void replaceFile(const QString& from, const QString& to) {
    int fd = ::open(nativePath(from).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        FileError::throwErrno(errno, from);
    // The new file takes the place of the old one with its permissions too.
    int rc = ::fchmod(fd, modeToKeep(to));
    if (rc == 0)
        rc = ::fsync(fd);
    int err = errno;
    ::close(fd);
    if (rc != 0)
        FileError::throwErrno(err, from);
    if (::rename(nativePath(from).constData(), nativePath(to).constData()) != 0)
        FileError::throwErrno(errno, to);
    syncFolder(QFileInfo(to).absolutePath());
}

namespace {

void keepFirstFailure(std::exception_ptr& first, const std::function<void()>& step) {
    try {
        step();
    } catch (...) {
        if (!first)
            first = std::current_exception();
    }
}

} // namespace

void runEveryStep(std::initializer_list<std::function<void()>> steps) {
    std::exception_ptr first;
    for (const std::function<void()>& step : steps)
        keepFirstFailure(first, step);
    if (first)
        std::rethrow_exception(first);
}

void closeAllDataFiles(std::initializer_list<CardFile*> files) {
    std::exception_ptr first;
    for (CardFile* file : files)
        if (file)
            keepFirstFailure(first, [file] { file->close(); });
    if (first)
        std::rethrow_exception(first);
}

} // namespace zelm
