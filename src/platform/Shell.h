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

} // namespace zelm
