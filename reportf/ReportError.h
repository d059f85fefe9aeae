#pragma once
// A failed report run: the Russian text shown to the user, naming the file or the program.
#include <QString>
#include <stdexcept>

namespace zelm::reportf {

class ReportError : public std::runtime_error {
public:
    explicit ReportError(const QString& text)
        : std::runtime_error(text.toStdString()), m_text(text) {}
    const QString& text() const { return m_text; }

private:
    QString m_text;
};

// A command line that fits none of the report program's forms: a user's typing, told on
// standard error with exit status 2 rather than in a message box.
class UsageError : public ReportError {
public:
    using ReportError::ReportError;
};

} // namespace zelm::reportf
