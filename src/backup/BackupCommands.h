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
};

// "Выход": closes the data files, asks, and writes the backup when wanted.
void leaveWithBackup(const BackupContext& ctx);
// "Восстановить": true when the data files were closed and the program is to end.
bool restoreFromBackup(const BackupContext& ctx);

} // namespace zelm
