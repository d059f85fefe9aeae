// The windows of different subsystems meet here: the login opens the card window, the card
// window's menus open the secondary windows, and leaving closes everything.
#include "access/TForm5.h"
#include "access/TNastroika.h"
#include "access/TZapusk.h"
#include "app/ServerMenuCommands.h"
#include "app/ZelmApp.h"
#include "attach/AttachedCard.h"
#include "attach/TDokKart.h"
#include "backup/BackupCommands.h"
#include "cardwindow/CardListModel.h"
#include "cardwindow/CardWindowCommands.h"
#include "cardwindow/HelpDocument.h"
#include "cardwindow/TForm1.h"
#include "cardwindow/TWibor.h"
#include "output/ExcelExport.h"
#include "output/PrintCommands.h"
#include "output/TKonverti.h"
#include "output/WordDocuments.h"
#include "platform/Platform.h"
#include "search/TPoisk.h"
#include "search/WorkingCommands.h"
#include "stats/StatOutput.h"
#include "stats/TStatistika.h"
#include "store/SharedData.h"
#include "widgets/TdxfColorButton.h"

#include <QAction>
#include <QCoreApplication>

namespace zelm {
namespace {

void wireLogin(ZelmApp& app) {
    TForm1* w = app.form1();
    TZapusk* login = app.zapusk();
    QObject::connect(w, &TForm1::closedForGood, login, &QDialog::close);
    QObject::connect(login, &TZapusk::serviceMenuBarred, w,
                     [w] { w->setServiceMenuEnabled(false); });
    QObject::connect(login, &TZapusk::passwordAccepted, w, [w] {
        w->userLoggedIn();
        w->setWindowModality(Qt::ApplicationModal);
        w->show();
        w->raise();
        w->activateWindow();
    });
    QObject::connect(login, &TZapusk::helpRequested, login, [&app, login] {
        try {
            openHelpDocument(app.platform(), app.installation());
        } catch (const OfficeError& e) {
            app.platform().dialogs().error(login, e.message());
        }
    });
}

// The Working tab's commands, the list presses and the search button.
void wireWorkingCommands(ZelmApp& app) {
    TForm1* w = app.form1();
    CardSession* s = &app.session();
    CardListsView* v = &app.cardLists();
    TPoisk* poisk = app.poisk();
    w->onCommand(TForm1::Command::Search, [poisk] { poisk->openSearch(); });
    w->onCommand(TForm1::Command::ShownToWorking, [s] { nGlRabClick(*s); });
    w->onCommand(TForm1::Command::EmptyWorking, [s, v] { RabZeroClick(*s, *v); });
    w->onCommand(TForm1::Command::RemoveFromWorking, [s, v] { DelRabClick(*s, *v); });
    QObject::connect(w, &TForm1::listPressed, w, [w, s, v](TForm1::CardList which, int row) {
        if (which == TForm1::CardList::Main)
            w->runCommand([s, row] { SpisokMouseDown(*s, row); });
        else if (which == TForm1::CardList::Working)
            w->runCommand([s, v, row] { RabTabMouseDown(*s, *v, row); });
    });
    QObject::connect(w, &TForm1::listShown, w, [w, s, v](TForm1::CardList which) {
        if (which == TForm1::CardList::Working)
            w->runCommand([s, v] { TabSheet2Show(*s, *v); });
    });
}

void wireServiceMenu(ZelmApp& app) {
    TForm1* w = app.form1();
    TForm5* editor = app.form5();
    TNastroika* settings = app.nastroika();
    w->onCommand(TForm1::Command::Passwords, [editor] { editor->show(); });
    w->onCommand(TForm1::Command::Settings, [settings] { settings->exec(); });
    QObject::connect(settings->pRezKop(), &QAbstractButton::clicked, settings, [&app, w] {
        w->runCommand([&] { openNetworkHelp(app.platform(), app.installation()); });
    });
}

// The commands that move the register between the data folder and a server, with the card
// window's progress bar.
ServerMenu serverMenu(ZelmApp& app) {
    TForm1* w = app.form1();
    return ServerMenu{app.platform(),
                      app.installation(),
                      app.server(),
                      w,
                      [w](int percent) {
                          w->setProgress(percent);
                          QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
                      },
                      app.user().UserFIO};
}

std::function<void()> closeDataFiles(ZelmApp& app) {
    return [&app] {
        // A failed close is reported, yet leaving goes on.
        app.form1()->runCommand([&app] { app.closeDataFiles(); });
    };
}

void wireServerCommands(ZelmApp& app) {
    TForm1* w = app.form1();
    const ServerMenu menu = serverMenu(app);
    const std::function<void()> close = closeDataFiles(app);
    w->onCommand(TForm1::Command::ToServer, [menu, close, w] {
        if (nToServerClick(menu)) {
            close();
            w->closeForGood();
        }
    });
    w->onCommand(TForm1::Command::FromServer, [menu] { nFromServerClick(menu); });
    // There is nothing to export while the data folder is the register.
    w->setCommandEnabled(TForm1::Command::FromServer, app.server() != nullptr);
}

void wireBackup(ZelmApp& app) {
    TForm1* w = app.form1();
    const ServerMenu menu = serverMenu(app);
    const BackupContext ctx{app.platform(),      app.installation(),
                            app.settings(),      w,
                            closeDataFiles(app), [menu] { return exportForBackup(menu); }};
    w->onCommand(TForm1::Command::Exit, [ctx, w] {
        leaveWithBackup(ctx);
        w->closeForGood();
    });
    w->onCommand(TForm1::Command::Restore, [ctx, menu, w] {
        if (restoreAllowed(menu) && restoreFromBackup(ctx))
            w->closeForGood();
    });
}

void wireAttachedFiles(ZelmApp& app) {
    TForm1* w = app.form1();
    TDokKart* files = app.dokKart();
    w->onCommand(TForm1::Command::AttachedFiles, [w, files] {
        w->setAttachmentCount(files->PuskDokKartClick(AttachedCard::fromCard(w->writeEdits())));
    });
    QObject::connect(files, &TDokKart::attachmentsCounted, w, &TForm1::setAttachmentCount);
}

void wirePrinting(ZelmApp& app) {
    TForm1* w = app.form1();
    ReportLauncher* launcher = &app.reportLauncher();
    const OfficeSettings* settings = &app.settings();
    w->onCommand(TForm1::Command::PrintCard, [w, launcher, settings] {
        // A new card not yet saved is printed as the window shows it; a stored card as it
        // was stored, without edits not yet saved.
        if (w->session().mode() == CardSession::Mode::New)
            w->writeEdits();
        N13Click(*launcher, w->session().cardToPrint(), settings->Firma, w);
    });
    w->onCommand(TForm1::Command::PrintList, [w, launcher, settings] {
        PRNSpisokClick(*launcher, w->session().working(), settings->Firma, w);
    });
    w->onCommand(TForm1::Command::CardTemplate, [w, launcher] { PolnPicrtf1Click(*launcher, w); });
    w->onCommand(TForm1::Command::ListTemplate, [w, launcher] { KnigaPic1Click(*launcher, w); });
    w->onCommand(TForm1::Command::StatisticsTemplate,
                 [w, launcher] { StatPic1Click(*launcher, w); });
    TStatistika* statistics = app.statistika();
    w->onCommand(TForm1::Command::Statistics, [statistics] { statistics->NStatistikaClick(); });
    TKonverti* envelopes = app.konverti();
    w->onCommand(TForm1::Command::Envelopes, [envelopes] { envelopes->KonvertClick(); });
}

// The card's Result and Note documents: made from their template when missing, else opened
// or deleted as the user chooses.
void wireCardDocuments(ZelmApp& app) {
    TForm1* w = app.form1();
    TWibor* choice = app.wibor();
    Platform* platform = &app.platform();
    const Installation* inst = &app.installation();
    auto documentOf = [w, choice, platform](const CardDocumentKind& kind) {
        const TAnketa card = w->writeEdits();
        const TForm1::ShownBoxes shown = w->shownBoxes();
        const CardBoxTexts boxes{shown.created, shown.changed, shown.admin,  shown.running,
                                 shown.number,  shown.mark,    shown.result, shown.note};
        // A card not saved yet has the number it will be saved with.
        return cardDocumentClick(
            kind, card.Klu4Form1, placeholderValues(card, boxes), *platform, w,
            [choice](const QString& a, const QString& b, const QString& c, const QString& title) {
                return AskChoice(*choice, a, b, c, title);
            });
    };
    w->onCommand(TForm1::Command::ResultDocument, [w, inst, documentOf] {
        w->setDocumentCaptions(documentOf(resultDocumentKind(*inst)), {});
    });
    w->onCommand(TForm1::Command::NoteDocument, [w, inst, documentOf] {
        w->setDocumentCaptions({}, documentOf(noteDocumentKind(*inst)));
    });
    w->onCommand(TForm1::Command::ResultTemplate, [inst, platform] {
        openCardDocumentTemplate(resultDocumentKind(*inst), *platform);
    });
    w->onCommand(TForm1::Command::NoteTemplate, [inst, platform] {
        openCardDocumentTemplate(noteDocumentKind(*inst), *platform);
    });
}

// The Working and Archive lists to the spreadsheet, the titles in the first row.
void wireExport(ZelmApp& app) {
    TForm1* w = app.form1();
    auto exportList = [w, &app](TForm1::CardList which) {
        const CardListModel& list = w->list(which);
        const QStringList titles = CardListModel::columnTitles() << QStringLiteral("Уник. №");
        const ExportGrid grid{
            list.cardCount() + 1, list.columnCount(), [&list, &titles](int row, int column) {
                return row == 0 ? titles.value(column) : list.cellText(row - 1, column);
            }};
        ExportTable(grid, app.installation(), app.settings().VerOff, app.platform().office(),
                    [w](int percent) { w->setProgress(percent); });
    };
    w->onCommand(TForm1::Command::WorkingToExcel,
                 [exportList] { exportList(TForm1::CardList::Working); });
    w->onCommand(TForm1::Command::ArchiveToExcel,
                 [exportList] { exportList(TForm1::CardList::Archive); });
}

} // namespace

void wireWindows(ZelmApp& app) {
    TForm1& w = *app.form1();
    wireReferenceListCommands(w, *app.redaktir());
    wireDeletionCommand(w, *app.wibor());
    wireWorkingCommands(app);
    wireLogin(app);
    wireServiceMenu(app);
    wireServerCommands(app);
    wireBackup(app);
    wireAttachedFiles(app);
    wirePrinting(app);
    wireCardDocuments(app);
    wireExport(app);
}

} // namespace zelm
