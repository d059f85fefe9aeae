#pragma once
// Text files at the program's boundary: Windows-1251, lines ended by CR LF.
#include <QFile>
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

// An open report data file: text written as Windows-1251.
class ReportFile {
public:
    explicit ReportFile(const QString& path); // created anew
    ~ReportFile();
    void write(const QString& text);
    void close();

private:
    QFile m_file;
};

} // namespace zelm
