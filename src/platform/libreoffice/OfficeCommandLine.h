#pragma once
// The command line of our own soffice on its private profile. Plain Qt: no UNO.
#include <QString>
#include <QStringList>

namespace zelm {

// A pipe name of this user and this profile folder (soffice adds the user id itself).
QString officePipeName(const QString& profileFolder);

// soffice's arguments: listen on the pipe, use the profile, no start centre, no recovery.
QStringList officeArguments(const QString& profileFolder, const QString& pipeName, bool headless);

} // namespace zelm
