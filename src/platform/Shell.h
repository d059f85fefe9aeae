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
    virtual bool startProgram(const QString& program, const QStringList& arguments,
                              const QString& workingFolder) = 0;
};

} // namespace zelm
