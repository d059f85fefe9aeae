#include "store/TextFiles.h"

#include "store/CardFile.h"
#include "store/Cp1251.h"
#include "store/FileError.h"
#include "store/RegularFiles.h"

#include <QFileInfo>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace zelm {

namespace {
// Lists and settings are a few kilobytes; a file far larger is not one of ours.
constexpr qint64 kLargestTextFile = 64LL << 20;

// Makes a rename in the file's folder last; a folder that cannot be synced is left as it is.
void syncFolderOf(const QString& path) {
    QByteArray folder = QFile::encodeName(QFileInfo(path).absolutePath());
    int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}
} // namespace

QStringList splitTextLines(const QByteArray& bytes) {
    QStringList lines;
    const char* p = bytes.constData();
    qsizetype n = bytes.size();
    qsizetype start = 0;
    for (qsizetype i = 0; i < n; ++i) {
        if (p[i] == '\r' || p[i] == '\n') {
            lines << fromCp1251(p + start, i - start);
            if (p[i] == '\r' && i + 1 < n && p[i + 1] == '\n')
                ++i;
            start = i + 1;
        }
    }
    if (start < n)
        lines << fromCp1251(p + start, n - start);
    return lines;
}

QStringList readTextLines(const QString& path) {
    return splitTextLines(readRegularFile(path, kLargestTextFile));
}

QByteArray joinTextLines(const QStringList& lines) {
    QByteArray out;
    for (const QString& line : lines) {
        out += toCp1251(line);
        out += "\r\n";
    }
    return out;
}

void writeTextLines(const QString& path, const QStringList& lines) {
    writeFileAtomically(path, joinTextLines(lines));
}

namespace {
constexpr qsizetype kReportBuffer = 1 << 16;
}

ReportFile::ReportFile(const QString& path) : m_path(path), m_file(path) {
    // The scratch file must be renamed over the old one; never write the old file in place.
    m_file.setDirectWriteFallback(false);
    // The scratch file would replace what a link points at (a card file), not the link.
    requireRegularOrMissing(path);
    if (!m_file.open(QIODevice::WriteOnly))
        throw FileError(FileError::messageForFile(m_file, errno), path);
    m_buffer.reserve(2 * kReportBuffer);
}

ReportFile::~ReportFile() {
    if (m_file.isOpen())
        m_file.cancelWriting();
}

void ReportFile::fail() {
    QString why = FileError::messageForFile(m_file, errno);
    m_file.cancelWriting();
    throw FileError(why, m_path);
}

void ReportFile::write(const QString& text) {
    write(QByteArrayView(toCp1251(text)));
}

void ReportFile::write(QByteArrayView bytes) {
    m_buffer.append(bytes);
    if (m_buffer.size() >= kReportBuffer)
        flushBuffer();
}

void ReportFile::flushBuffer() {
    if (m_buffer.isEmpty())
        return;
    if (m_file.write(m_buffer) != m_buffer.size())
        fail();
    m_buffer.resize(0); // keeps its room
}

void ReportFile::close() {
    flushBuffer();
    if (!m_file.commit())
        throw FileError(FileError::messageForFile(m_file, errno), m_path);
    syncFolderOf(m_path);
}

} // namespace zelm
