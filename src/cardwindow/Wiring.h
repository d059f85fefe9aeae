#pragma once
// Each subsystem connects its commands to the windows in a function of its own.
namespace zelm {
class ZelmApp;
void wireNavigation(ZelmApp& app);            // cardwindow/Navigation.cpp
void wireEditingCommands(ZelmApp& app);       // cardwindow/EditingCommands.cpp
void wireReferenceListCommands(ZelmApp& app); // cardwindow/ReferenceListCommands.cpp
void wireArchiveCommands(ZelmApp& app);       // cardwindow/ArchiveCommands.cpp
void wireSearchCommands(ZelmApp& app);        // search/SearchWiring.cpp
void wireLoginCommands(ZelmApp& app);         // access/LoginWiring.cpp
void wireSettingsCommands(ZelmApp& app);      // access/SettingsWiring.cpp
void wireBackupCommands(ZelmApp& app);        // backup/BackupWiring.cpp
void wireHelpCommands(ZelmApp& app);          // cardwindow/HelpDocument.cpp
} // namespace zelm
