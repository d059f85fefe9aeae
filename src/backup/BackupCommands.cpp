// Leaving through "Выход" with the backup of the data folder, and the restore from a backup.
#include "backup/BackupCommands.h"

#include "backup/ZipBackup.h"
#include "backup/ZipError.h"
#include "backup/ZipRestore.h"
#include "platform/Platform.h"
#include "store/Installation.h"
#include "store/Settings.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>

namespace zelm {
namespace {

class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

QString dataFolder(const Installation& inst) {
    return inst.path(QStringLiteral("Baza"));
}

} // namespace

void leaveWithBackup(const BackupContext& ctx) {
    Dialogs& dialogs = ctx.platform.dialogs();
    QWidget* w = ctx.parent;
    ctx.closeDataFiles();
    const bool wanted = dialogs.ask(w,
                                    QStringLiteral("Получить резервную копию папки %1 ?")
                                        .arg(QDir::toNativeSeparators(dataFolder(ctx.inst))),
                                    QStringLiteral("При аварии - нет!.Последние 10 копий в ") +
                                        ctx.settings.SavePapka);
    if (wanted && (!ctx.prepareDataFolder || ctx.prepareDataFolder())) {
        try {
            WaitCursor wait;
            makeBackup(dataFolder(ctx.inst), ctx.settings.SavePapka);
        } catch (const ZipError& e) {
            dialogs.notice(w,
                           QStringLiteral("Резервная копия не сделана.\n") + e.message() +
                               QStringLiteral("\nДанные в папке Baza не изменены."),
                           QStringLiteral("Резервная копия"));
        }
    }
}

bool restoreFromBackup(const BackupContext& ctx) {
    Dialogs& dialogs = ctx.platform.dialogs();
    QWidget* w = ctx.parent;
    const QString readFolder = ctx.settings.ReadPapka;
    const QString archive = dialogs.openFile(
        w, QStringLiteral("Укажите файл резерва для восстановления из ") + readFolder, readFolder,
        QStringLiteral("Резерв Архив zip (*.zip)"));
    QDir::setCurrent(ctx.inst.root());
    if (archive.isEmpty() || !QFileInfo(archive).isFile())
        return false;

    // The archive is read back whole before any data file is closed, so a damaged one
    // leaves the program working on its files as they were.
    PreparedRestore prepared;
    try {
        WaitCursor wait;
        prepared = prepareRestore(archive, dataFolder(ctx.inst));
    } catch (const ZipError& e) {
        dialogs.notice(w,
                       QStringLiteral("Восстановление невозможно.\n") + e.message() +
                           QStringLiteral("\nДанные не изменены."),
                       QStringLiteral("Восстановление из архива"));
        return false;
    }
    ctx.closeDataFiles();
    try {
        prepared.commit();
        QString done = QStringLiteral("Операция выполнена");
        if (!prepared.skipped().isEmpty())
            done += QStringLiteral("\nФайлы архива, которые не относятся к данным программы, не "
                                   "восстановлены: ") +
                    prepared.skipped().join(QStringLiteral(", "));
        dialogs.notice(w, done, QStringLiteral("Запустите программу снова"));
    } catch (const ZipError& e) {
        dialogs.notice(w, QStringLiteral("Восстановление прервано.\n") + e.message(),
                       QStringLiteral("Запустите программу снова"));
    }
    return true;
}

} // namespace zelm
