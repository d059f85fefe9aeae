#include "store/FileError.h"

#include <cerrno>

namespace zelm {

FileError::FileError(QString message, QString fileName)
    : std::runtime_error((message + QStringLiteral(": ") + fileName).toStdString()),
      m_message(std::move(message)), m_fileName(std::move(fileName)) {}

QString FileError::displayText() const {
    if (m_fileName.isEmpty())
        return m_message;
    return m_message + QStringLiteral("\n") + m_fileName;
}

QString FileError::messageForErrno(int err) {
    switch (err) {
    case ENOENT:
    case ENOTDIR:
        return QStringLiteral("File not found");
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR: // Windows refuses a folder in place of a file the same way
        return QStringLiteral("File access denied");
    case ENOSPC:
    case EDQUOT:
        return QStringLiteral("Disk full");
    case EMFILE:
    case ENFILE:
        return QStringLiteral("Too many open files");
    default:
        return QStringLiteral("I/O error %1").arg(err);
    }
}

void FileError::throwErrno(int err, const QString& fileName) {
    throw FileError(messageForErrno(err), fileName);
}

ConversionError::ConversionError(QString message)
    : std::runtime_error(message.toStdString()), m_message(std::move(message)) {}

int parseIntOrThrow(const QString& text) {
    bool ok = false;
    int value = text.trimmed().toInt(&ok);
    if (!ok)
        throw ConversionError(QStringLiteral("'%1' is not a valid integer value").arg(text));
    return value;
}

} // namespace zelm
