#pragma once
// Leaving with a backup of the data folder, and the restore from a backup: the questions, the
// dialogs and the messages around ZipBackup and ZipRestore.
#include <functional>

class QWidget;

namespace zelm {

class Installation;
class Platform;
struct OfficeSettings;

struct BackupContext {
    Platform& platform;
    const Installation& inst;
    const OfficeSettings& settings;
    QWidget* parent;
    // Closes every data file; a failure is shown there, and the command goes on.
    std::function<void()> closeDataFiles;
    // Brings the data folder up to date just before it is packed (with a server: the server's
    // register written into it as files); false when the backup is not to be made, the user
    // having been told why. Empty: the folder is packed as it is.
    std::function<bool()> prepareDataFolder = {};
};

// "Выход": closes the data files, asks, and writes the backup when wanted and the data folder
// could be prepared.
void leaveWithBackup(const BackupContext& ctx);
// "Восстановить": true when the data files were closed and the program is to end.
bool restoreFromBackup(const BackupContext& ctx);

} // namespace zelm
