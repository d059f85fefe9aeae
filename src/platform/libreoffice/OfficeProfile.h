#pragma once
// The private LibreOffice profile and the command line of our own soffice. Plain Qt: no UNO.
#include <QString>
#include <QStringList>

namespace zelm {

// "LibreOffice 7.4" in bootstraprc gives "7.4"; empty when unreadable.
QString libreOfficeVersion(const QString& programFolder);

// Settings a new profile starts with: no first-start tip or welcome bar, documents saved in
// the format they came in without asking (a Word user's .doc stays a .doc), Russian formats.
// Existing settings are left alone. Returns false when the folder cannot be written.
bool prepareOfficeProfile(const QString& profileFolder, const QString& version);

// A pipe name of this user and this profile folder (soffice adds the user id itself).
QString officePipeName(const QString& profileFolder);

// soffice's arguments: listen on the pipe, use the profile, no start centre, no recovery.
QStringList officeArguments(const QString& profileFolder, const QString& pipeName, bool headless);

} // namespace zelm
