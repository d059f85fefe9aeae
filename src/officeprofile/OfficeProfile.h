#pragma once
// The settings of a private LibreOffice profile, written before soffice starts on it. Plain Qt.
#include <QList>
#include <QString>

namespace zelm {

// LibreOffice's program folder for a soffice (the link on the PATH followed); empty when the
// program cannot be found.
QString officeProgramFolder(const QString& soffice);

// "LibreOffice 7.4" in bootstraprc gives "7.4"; empty when unreadable.
QString libreOfficeVersion(const QString& programFolder);

// One setting of registrymodifications.xcu: a property of a configuration node.
struct OfficeSetting {
    QString path;  // "/org.openoffice.Setup/L10N"
    QString name;  // "ooLocale"
    QString value; // "ru-RU"
};

// What a profile of ours holds: no first-start tip or welcome bar, documents saved in the
// format they came in without asking (a Word user's .doc stays a .doc), and Russian for the
// menus, the formats, the documents' language, spelling and hyphenation, whatever the
// desktop's locale. `version` empty: no version is written.
QList<OfficeSetting> officeProfileSettings(const QString& version);

// Writes the settings into the profile's registrymodifications.xcu. A setting the file
// already has, LibreOffice's own or the user's, is kept; missing ones are added, so a profile
// made by an earlier version of this program gets them too. Returns false, with the reason in
// `error`, when the file cannot be written.
bool prepareOfficeProfile(const QString& profileFolder, const QString& version,
                          QString* error = nullptr);

} // namespace zelm
