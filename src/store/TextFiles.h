#pragma once
// Text files at the program's boundary: Windows-1251, lines ended by CR LF.
#include <QFile>
#include <QSaveFile>
#include <QString>
#include <QStringList>
#include <memory>

namespace zelm {

// Splits Windows-1251 bytes into lines at CR LF, lone CR or lone LF; a final line end
// does not make an extra empty line.
QStringList splitTextLines(const QByteArray& bytes);
QStringList readTextLines(const QString& path);     // throws FileError when it cannot be read
QByteArray joinTextLines(const QStringList& lines); // each line followed by CR LF
void writeTextLines(const QString& path, const QStringList& lines); // whole-file, atomically

// A report data file being written, as Windows-1251. The text goes to a scratch file beside
// it; close() flushes it to disk and renames it over the old file, so a reader started after
// close() never meets a half-written file, and a failed write leaves the old file as it was.
// A ReportFile dropped without close() leaves no trace.
class ReportFile {
public:
    explicit ReportFile(const QString& path); // throws FileError
    ~ReportFile();
    ReportFile(const ReportFile&) = delete;
    ReportFile& operator=(const ReportFile&) = delete;

    void write(const QString& text);
    void write(QByteArrayView cp1251Bytes); // text already in Windows-1251
    void close();

private:
    void flushBuffer();
    [[noreturn]] void fail();
    QString m_path;
    QSaveFile m_file;
    QByteArray m_buffer; // small writes gathered into large ones
};

} // namespace zelm
