#include "output/ExcelExport.h"

#include "platform/Office.h"
#include "store/Cp1251.h"
#include "store/FileError.h"
#include "store/Installation.h"
#include "store/RegularFiles.h"

#include <QFileInfo>
#include <QSaveFile>
#include <cerrno>

#include <fcntl.h>
#include <unistd.h>

namespace zelm {

namespace {

bool needsQuotes(const QString& cell) {
    for (QChar c : cell)
        if (c == QLatin1Char(';') || c == QLatin1Char('"') || c == QLatin1Char('\n') ||
            c == QLatin1Char('\r'))
            return true;
    return false;
}

void appendCell(QByteArray& line, const QString& cell) {
    if (needsQuotes(cell)) {
        QString quoted = cell;
        quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
        line += '"';
        line += toCp1251(quoted);
        line += '"';
    } else {
        line += toCp1251(cell);
    }
    line += ';';
}

void syncFolder(const QString& file) {
    const QByteArray folder = QFile::encodeName(QFileInfo(file).absolutePath());
    int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// Calls the progress only when the percentage changes, and with 0 when it goes out of scope.
class ProgressReport {
public:
    ProgressReport(const ExportProgress& progress, int total)
        : m_progress(progress), m_total(total) {}
    ~ProgressReport() {
        if (m_progress)
            m_progress(0);
    }
    void rowsDone(int done) {
        if (!m_progress || m_total <= 0)
            return;
        const int percent = static_cast<int>(qint64(done) * 100 / m_total);
        if (percent != m_last) {
            m_last = percent;
            m_progress(percent);
        }
    }

private:
    const ExportProgress& m_progress;
    int m_total;
    int m_last = -1;
};

void writeRows(const QString& path, const ExportGrid& grid, ProgressReport& report) {
    requireRegularOrMissing(path); // the scratch file would replace a link's target
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw FileError(FileError::messageForFile(file, errno), path);
    QByteArray buffer;
    constexpr qsizetype chunk = 1 << 16;
    buffer.reserve(chunk + 4096);
    auto flush = [&] {
        if (file.write(buffer) != buffer.size()) {
            const QString why = FileError::messageForFile(file, errno);
            file.cancelWriting();
            throw FileError(why, path);
        }
        buffer.clear();
    };
    for (int r = 0; r < grid.rowCount; ++r) {
        for (int c = 0; c < grid.columnCount; ++c)
            appendCell(buffer, grid.cell(r, c));
        buffer += "\r\n";
        if (buffer.size() >= chunk)
            flush();
        report.rowsDone(r + 1);
    }
    flush();
    if (!file.commit())
        throw FileError(FileError::messageForFile(file, errno), path);
    syncFolder(path);
}

} // namespace

QString exportFilePath(const Installation& inst) {
    return inst.path(QStringLiteral("L_Excel.txt"));
}

QByteArray exportLine(const QStringList& cells) {
    QByteArray line;
    for (const QString& cell : cells)
        appendCell(line, cell);
    line += "\r\n";
    return line;
}

void writeExportFile(const QString& path, const ExportGrid& grid, const ExportProgress& progress) {
    ProgressReport report(progress, grid.rowCount);
    writeRows(path, grid, report);
}

void ExportTable(const ExportGrid& grid, const Installation& inst, const QString& verOff,
                 OfficeAutomation& office, const ExportProgress& progress) {
    ExportTable(grid, exportFilePath(inst), verOff, office, progress);
}

void ExportTable(const ExportGrid& grid, const QString& path, const QString& verOff,
                 OfficeAutomation& office, const ExportProgress& progress) {
    ProgressReport report(progress, grid.rowCount);
    writeRows(path, grid, report);
    ExcelApplication& excel = office.excel();
    if (verOff != QLatin1String("2003"))
        excel.disconnect();
    excel.connect();
    excel.workbooksOpen(path);
    excel.setVisible(true);
}

} // namespace zelm
