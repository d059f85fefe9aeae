#pragma once
// A backup archive that could not be written, or could not be restored from: the reason as
// the user is told it.
#include <QString>
#include <stdexcept>

namespace zelm {

class ZipError : public std::runtime_error {
public:
    explicit ZipError(const QString& message)
        : std::runtime_error(message.toStdString()), m_message(message) {}
    const QString& message() const { return m_message; }

private:
    QString m_message;
};

} // namespace zelm
