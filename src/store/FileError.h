#pragma once
// The one error type of every file operation: the platform's message and the file's name.
#include <QString>

class QFileDevice;
#include <stdexcept>

namespace zelm {

class FileError : public std::runtime_error {
public:
    FileError(QString message, QString fileName);

    const QString& message() const { return m_message; }
    const QString& fileName() const { return m_fileName; }
    // "<message>" followed by the file's name on its own line, as the error box shows it.
    QString displayText() const;

    // The Russian text for an errno value: "Файл не найден", "Нет места на диске", ...
    static QString messageForErrno(int err);
    // The same for a failed QFile or QSaveFile call: `err` is errno read right after it
    // (Qt's own texts are English); without one, what the device's error class says.
    static QString messageForFile(const QFileDevice& file, int err);
    [[noreturn]] static void throwErrno(int err, const QString& fileName);

private:
    QString m_message;
    QString m_fileName;
};

// Conversion errors ("«12а» — не целое число") are not file errors but are shown
// the same way by the command that met them.
class ConversionError : public std::runtime_error {
public:
    explicit ConversionError(QString message);
    const QString& message() const { return m_message; }

private:
    QString m_message;
};

// Reads a whole decimal integer the way the user typed it, surrounding blanks allowed.
int parseIntOrThrow(const QString& text);

} // namespace zelm
