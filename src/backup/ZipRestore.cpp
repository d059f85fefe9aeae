#include "backup/ZipRestore.h"

#include "backup/ArchiveError.h"
#include "store/CardFile.h"
#include "store/FileError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <memory>
#include <unistd.h>
#include <vector>
#include <zip.h>

namespace zelm {
namespace {

constexpr off_t kWritebackStep = 8 << 20;

[[noreturn]] void fail(const QString& text) {
    throw ArchiveError(text);
}

QString openErrorText(int code) {
    zip_error_t error;
    zip_error_init_with_code(&error, code);
    QString text = QString::fromLocal8Bit(zip_error_strerror(&error));
    zip_error_fini(&error);
    return text;
}

struct ZipCloser {
    void operator()(zip_t* za) const { zip_discard(za); }
};
struct ZipFileCloser {
    void operator()(zip_file_t* zf) const { zip_fclose(zf); }
};

// A new file with a unique hidden name in `folder`: hidden names are never backed up.
int makeTemporaryFile(const QString& folder, QString& path) {
    QByteArray pattern =
        QFile::encodeName(QDir(folder).filePath(QStringLiteral(".restore-XXXXXX")));
    int fd = ::mkstemp(pattern.data());
    if (fd < 0)
        fail(QStringLiteral("Не удалось создать файл в папке %1: %2")
                 .arg(folder, FileError::messageForErrno(errno)));
    path = QFile::decodeName(pattern);
    return fd;
}

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

} // namespace

QString bareEntryName(const QString& entryName) {
    QString name = entryName;
    name.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (name.endsWith(QLatin1Char('/')))
        return {};
    name = name.mid(name.lastIndexOf(QLatin1Char('/')) + 1);
    name = name.mid(name.lastIndexOf(QLatin1Char(':')) + 1); // "C:x" names a drive
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return {};
    for (QChar c : name)
        if (c.unicode() < 0x20)
            return {};
    return name;
}

PreparedRestore::PreparedRestore(PreparedRestore&& other) noexcept
    : m_entries(std::move(other.m_entries)) {
    other.m_entries.clear();
}

PreparedRestore& PreparedRestore::operator=(PreparedRestore&& other) noexcept {
    if (this != &other) {
        discard();
        m_entries = std::move(other.m_entries);
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
    while (!m_entries.isEmpty()) {
        const Entry e = m_entries.takeFirst();
        try {
            replaceFile(e.temporary, e.target);
        } catch (const FileError& error) {
            QFile::remove(e.temporary);
            discard();
            fail(QStringLiteral("Не удалось заменить файл %1: %2").arg(e.target, error.message()));
        }
    }
}

PreparedRestore prepareRestore(const QString& archivePath, const QString& dataFolder) {
    int code = 0;
    std::unique_ptr<zip_t, ZipCloser> za(
        zip_open(QFile::encodeName(archivePath).constData(), ZIP_RDONLY | ZIP_CHECKCONS, &code));
    if (!za)
        fail(QStringLiteral("Архив %1 не читается: %2").arg(archivePath, openErrorText(code)));
    if (!QDir().mkpath(dataFolder))
        fail(QStringLiteral("Не удалось создать папку %1").arg(dataFolder));

    PreparedRestore prepared;
    std::vector<char> buffer(1 << 20);
    const zip_int64_t count = zip_get_num_entries(za.get(), 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        const auto index = static_cast<zip_uint64_t>(i);
        const char* rawName = zip_get_name(za.get(), index, ZIP_FL_ENC_GUESS);
        const QString entryName = rawName ? QString::fromUtf8(rawName) : QString();
        const QString bare = bareEntryName(entryName);
        if (bare.isEmpty())
            continue;
        std::unique_ptr<zip_file_t, ZipFileCloser> zf(zip_fopen_index(za.get(), index, 0));
        if (!zf)
            fail(QStringLiteral("Файл %1 в архиве не читается: %2")
                     .arg(entryName, QString::fromLocal8Bit(zip_strerror(za.get()))));
        QString temporary;
        const int fd = makeTemporaryFile(dataFolder, temporary);
        prepared.m_entries.append({temporary, QDir(dataFolder).filePath(bare)});
        try {
            off_t written = 0;
            off_t flushedTo = 0;
            for (;;) {
                const zip_int64_t got = zip_fread(zf.get(), buffer.data(), buffer.size());
                if (got < 0)
                    fail(QStringLiteral("Файл %1 в архиве повреждён: %2")
                             .arg(entryName, QString::fromLocal8Bit(zip_file_strerror(zf.get()))));
                if (got == 0)
                    break;
                writeAll(fd, buffer.data(), got, temporary);
                written += got;
                // Start writing back to disk as we go, so that the flush before the rename
                // does not wait for the whole file at once.
                if (written - flushedTo >= kWritebackStep) {
                    ::sync_file_range(fd, flushedTo, written - flushedTo, SYNC_FILE_RANGE_WRITE);
                    flushedTo = written;
                }
            }
        } catch (...) {
            ::close(fd);
            throw;
        }
        if (::close(fd) != 0)
            fail(QStringLiteral("Не удалось записать файл %1: %2")
                     .arg(temporary, FileError::messageForErrno(errno)));
    }
    return prepared;
}

} // namespace zelm
