#pragma once
// A backup or restore that could not be done: the reason as the user is told it.
#include <QString>
#include <stdexcept>

namespace zelm {

class ArchiveError : public std::runtime_error {
public:
    explicit ArchiveError(const QString& message)
        : std::runtime_error(message.toStdString()), m_message(message) {}
    const QString& message() const { return m_message; }

private:
    QString m_message;
};

} // namespace zelm
