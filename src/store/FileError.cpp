#include "store/FileError.h"

#include <QFile>

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
        return QStringLiteral("Файл не найден");
    case EACCES:
    case EPERM:
        return QStringLiteral("Нет доступа к файлу");
    case EROFS:
        return QStringLiteral("Диск доступен только для чтения");
    case EISDIR:
        return QStringLiteral("Это папка, а не файл");
    case ENOSPC:
    case EDQUOT:
        return QStringLiteral("Нет места на диске");
    case EFBIG:
        return QStringLiteral("Файл слишком велик");
    case ELOOP:
        return QStringLiteral("Это ссылка, а не обычный файл");
    case EMFILE:
    case ENFILE:
        return QStringLiteral("Слишком много открытых файлов");
    case ESPIPE: // a seek in a named pipe or a terminal that took a card file's name
    case ENXIO:
        return QStringLiteral("Это канал или устройство, а не обычный файл");
    default:
        return QStringLiteral("Ошибка ввода-вывода %1").arg(err);
    }
}

QString FileError::messageForFile(const QFileDevice& file, int err) {
    if (err != 0 && err != EINVAL && err != EBADF)
        return messageForErrno(err);
    switch (file.error()) {
    case QFileDevice::ReadError:
        return QStringLiteral("Ошибка чтения");
    case QFileDevice::WriteError:
    case QFileDevice::ResizeError:
        return QStringLiteral("Ошибка записи");
    case QFileDevice::PermissionsError:
        return QStringLiteral("Нет доступа к файлу");
    case QFileDevice::OpenError:
        return QFile::exists(file.fileName()) ? QStringLiteral("Файл не открывается")
                                              : QStringLiteral("Файл не найден");
    default:
        return QStringLiteral("Ошибка ввода-вывода");
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
        throw ConversionError(QStringLiteral("«%1» — не целое число").arg(text));
    return value;
}

} // namespace zelm
