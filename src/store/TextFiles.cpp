#include "store/TextFiles.h"

#include "store/CardFile.h"
#include "store/Cp1251.h"
#include "store/FileError.h"

namespace zelm {

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
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (!file.exists())
            throw FileError(QStringLiteral("Cannot open file %1").arg(path), path);
        throw FileError(file.errorString(), path);
    }
    return splitTextLines(file.readAll());
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

ReportFile::ReportFile(const QString& path) : m_file(path) {
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw FileError(m_file.errorString(), path);
}

ReportFile::~ReportFile() {
    if (m_file.isOpen())
        m_file.close();
}

void ReportFile::write(const QString& text) {
    QByteArray bytes = toCp1251(text);
    if (m_file.write(bytes) != bytes.size())
        throw FileError(m_file.errorString(), m_file.fileName());
}

void ReportFile::close() {
    if (!m_file.flush())
        throw FileError(m_file.errorString(), m_file.fileName());
    m_file.close();
}

} // namespace zelm
