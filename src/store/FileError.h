#pragma once
// The one error type of every file operation: the platform's message and the file's name.
#include <QString>
#include <stdexcept>

namespace zelm {

class FileError : public std::runtime_error {
public:
    FileError(QString message, QString fileName);

    const QString& message() const { return m_message; }
    const QString& fileName() const { return m_fileName; }
    // "<message>" followed by the file's name on its own line, as the error box shows it.
    QString displayText() const;

    // The platform's message for an errno value: "File not found", "Disk full", ...
    static QString messageForErrno(int err);
    [[noreturn]] static void throwErrno(int err, const QString& fileName);

private:
    QString m_message;
    QString m_fileName;
};

// Conversion errors ("'%s' is not a valid integer value") are not file errors but are shown
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
