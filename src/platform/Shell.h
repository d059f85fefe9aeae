#pragma once
// The desktop shell: opening a document with its associated program and starting programs,
// never waiting for them.
#include <QString>
#include <QStringList>

namespace zelm {

class Shell {
public:
    virtual ~Shell() = default;
    // False when no program could be started for the document.
    virtual bool openDocument(const QString& path) = 0;
    // Starts `program` directly with `arguments` (no shell in between) in `workingFolder`.
    // False when it could not be started; `reason`, when given, then holds the platform's
    // message (the program is missing, not executable, the folder does not exist...).
    virtual bool startProgram(const QString& program, const QStringList& arguments,
                              const QString& workingFolder, QString* reason = nullptr) = 0;
};

// The keyboard layout request of the card window; only a Windows build changes anything.
class KeyboardLayout {
public:
    virtual ~KeyboardLayout() = default;
    virtual void activate(const QString& layoutId) = 0; // "00000419" is Russian
};

// Printing a window's image on the default printer.
class WindowPrinter {
public:
    virtual ~WindowPrinter() = default;
    // False when there is no printer to print on.
    virtual bool printWindow(class QWidget* window) = 0;
};

} // namespace zelm
