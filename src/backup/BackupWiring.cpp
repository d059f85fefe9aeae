// Leaving through "Выход" with the backup of the data folder, and the restore from a backup.
#include "access/TNastroika.h"
#include "backup/ZipBackup.h"
#include "backup/ZipError.h"
#include "backup/ZipRestore.h"
#include "cardwindow/TForm1.h"
#include "cardwindow/Wiring.h"
#include "cardwindow/ZelmApp.h"
#include "platform/Platform.h"
#include "store/FileError.h"
#include "widgets/TdxfColorButton.h"

#include <QAction>
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

QString dataFolder(const AppContext& ctx) {
    return ctx.inst.path(QStringLiteral("Baza"));
}

// A failed close is reported, yet leaving goes on: the files are closed either way.
void closeDataFiles(TForm1* w) {
    w->runCommand([w] { CloseAllFiles(w->ctx()); });
}

void leaveWithBackup(TForm1* w) {
    AppContext& ctx = w->ctx();
    Dialogs& dialogs = ctx.platform.dialogs();
    closeDataFiles(w);
    const bool wanted = dialogs.ask(
        w, QStringLiteral("Получить резервную копию папки C:\\ZELM\\Baza ?"),
        QStringLiteral("При аварии - нет!.Последние 10 копий в ") + ctx.settings.SavePapka);
    if (wanted) {
        try {
            WaitCursor wait;
            makeBackup(dataFolder(ctx), ctx.settings.SavePapka);
        } catch (const ZipError& e) {
            dialogs.notice(w,
                           QStringLiteral("Резервная копия не сделана.\n") + e.message() +
                               QStringLiteral("\nДанные в папке Baza не изменены."),
                           QStringLiteral("Резервная копия"));
        }
    }
    w->closeForGood();
}

void restoreFromBackup(TForm1* w) {
    AppContext& ctx = w->ctx();
    Dialogs& dialogs = ctx.platform.dialogs();
    const QString readFolder = ctx.settings.ReadPapka;
    const QString archive = dialogs.openFile(
        w, QStringLiteral("Укажите файл резерва для восстановления из ") + readFolder, readFolder,
        QStringLiteral("Резерв Архив zip (*.zip)"));
    QDir::setCurrent(ctx.inst.root());
    if (archive.isEmpty() || !QFileInfo(archive).isFile())
        return;

    // The archive is read back whole before any data file is closed, so a damaged one
    // leaves the program working on its files as they were.
    PreparedRestore prepared;
    try {
        WaitCursor wait;
        prepared = prepareRestore(archive, dataFolder(ctx));
    } catch (const ZipError& e) {
        dialogs.notice(w,
                       QStringLiteral("Восстановление невозможно.\n") + e.message() +
                           QStringLiteral("\nДанные не изменены."),
                       QStringLiteral("Восстановление из архива"));
        return;
    }
    closeDataFiles(w);
    try {
        prepared.commit();
        dialogs.notice(w, QStringLiteral("Операция выполнена"),
                       QStringLiteral("Запустите программу снова"));
    } catch (const ZipError& e) {
        dialogs.notice(w, QStringLiteral("Восстановление прервано.\n") + e.message(),
                       QStringLiteral("Запустите программу снова"));
    }
    w->closeForGood();
}

void openNetworkHelp(AppContext& ctx, QWidget* parent) {
    const QString phrase = QStringLiteral("Если у Вас сеть");
    auto word = ctx.platform.office().createWord();
    word->documentsOpen(ctx.inst.helpDocument());
    word->findSetForward(true);
    word->findSetText(phrase);
    word->findExecute();
    word->findExecute();
    word->setVisible(true);
    // A viewer other than Word cannot be told where to go, so the user is.
    ctx.platform.dialogs().notice(
        parent,
        QStringLiteral("Восстановление программы и работа в сети описаны в разделе, "
                       "который начинается со второго «%1» в справке.")
            .arg(phrase),
        QStringLiteral("Восстановление программы. Сеть."));
}

} // namespace

void wireBackupCommands(ZelmApp& app) {
    TForm1* w = app.form1();
    QObject::connect(w->ui().N3, &QAction::triggered, w, [w] { leaveWithBackup(w); });
    QObject::connect(w->ui().BackUp1, &QAction::triggered, w, [w] { restoreFromBackup(w); });
    TNastroika* settings = app.nastroika();
    QObject::connect(settings->pRezKop(), &QAbstractButton::clicked, settings, [w, settings] {
        w->runCommand([w, settings] { openNetworkHelp(w->ctx(), settings); });
    });
}

} // namespace zelm
