#include "app/ZelmApp.h"

#include "app/ServerWaitScreen.h"
#include "app/StartupProbe.h"
#include "app/TerminationSignal.h"

#include "access/TForm5.h"
#include "access/TNastroika.h"
#include "access/TZapusk.h"
#include "app/CardWindowLists.h"
#include "attach/TDokKart.h"
#include "backup/RestoreJournal.h"
#include "cardwindow/HelpDocument.h"
#include "cardwindow/TForm1.h"
#include "cardwindow/TRedaktir.h"
#include "cardwindow/TWibor.h"
#include "output/OfficeTemplates.h"
#include "output/ReportLauncher.h"
#include "output/TKonverti.h"
#include "platform/Platform.h"
#include "platform/RussianInterface.h"
#include "register/FolderRegister.h"
#include "remote/RegisterFeed.h"
#include "remote/ServerCards.h"
#include "remote/ServerSharedData.h"
#include "reportf/templates/ReportTemplates.h"
#include "search/TPoisk.h"
#include "server/ServerCallThread.h"
#include "server/ServerError.h"
#include "server/ServerRegister.h"
#include "stats/TStatistika.h"
#include "store/CardFile.h"
#include "store/DataFolderLock.h"
#include "store/FileError.h"
#include "store/FolderSharedData.h"
#include "store/ReferenceLists.h"
#include "store/ScratchFiles.h"

#include <QApplication>
#include <QDir>

#include <csignal>

namespace zelm {

ZelmApp::ZelmApp(const QString& installationRoot, Platform& platform)
    : ZelmApp(installationRoot, platform,
              chooseRegister(Installation(installationRoot), platform)) {}

ZelmApp::ZelmApp(const QString& installationRoot, Platform& platform,
                 std::unique_ptr<ServerRegister> server)
    : ZelmApp(installationRoot, platform, RegisterChoice{std::move(server), false}) {}

ZelmApp::ZelmApp(const QString& installationRoot, Platform& platform, RegisterChoice choice)
    : m_inst(installationRoot), m_platform(platform), m_server(std::move(choice.server)),
      m_endRequested(choice.endProgram), m_settings(defaultSettings(m_inst)) {
    // The one choice of where the register lives; everything else reads and changes it
    // through the session's Register and SharedData, whichever home they have.
    if (m_server) {
        serveWindowThreadWithScreen();
        m_session =
            std::make_unique<CardSession>(m_inst, m_user, std::make_unique<ServerCards>(*m_server));
        m_shared = std::make_unique<ServerSharedData>(*m_server);
    } else {
        m_session = std::make_unique<CardSession>(
            m_inst, m_user, std::make_unique<FolderRegister>(m_inst, &m_user));
        m_shared = std::make_unique<FolderSharedData>(m_inst);
    }
    if (m_endRequested)
        return;
    try {
        m_newInstallation = m_inst.prepare();
        // A restore cut short is finished before anything reads Baza or cleans Temp, whose
        // scratch files it still needs.
        QString restoreNotice;
        if (finishInterruptedRestore(m_inst, &restoreNotice) != InterruptedRestore::None)
            platform.dialogs().notice(nullptr, restoreNotice,
                                      QStringLiteral("Восстановление из архива"));
        // What a rewrite cut short by a crash left behind is never data.
        removeLeftoverScratchFiles(m_inst);
        // A list the server lacks gets its starting entries when it is first read.
        if (!m_server)
            createMissingReferenceLists(m_inst, m_newInstallation);
        installHelpDocument(m_inst);
        writeMissingReportTemplates(m_inst.path(QStringLiteral("report")));
        writeMissingOfficeTemplates(m_inst);
    } catch (const FileError& e) {
        platform.dialogs().error(nullptr, e.displayText());
    }
    if (m_server)
        joinServer();
    m_zapusk = std::make_unique<TZapusk>(platform, *m_shared, m_user);
    m_form1 = std::make_unique<TForm1>(*m_session, platform, m_settings, *m_shared);
    m_dokKart =
        std::make_unique<TDokKart>(m_inst, platform, m_shared->attachments(), m_form1.get());
    m_reportLauncher = std::make_unique<ReportLauncher>(m_inst, platform);
    m_konverti = std::make_unique<TKonverti>(m_settings, *m_reportLauncher, m_form1.get());
    m_redaktir = std::make_unique<TRedaktir>(m_form1.get());
    m_nastroika = std::make_unique<TNastroika>(platform, m_inst, m_settings, m_form1.get());
    m_wibor = std::make_unique<TWibor>(m_form1.get());
    m_form5 = std::make_unique<TForm5>(platform, *m_shared, m_form1.get());
    m_cardLists = std::make_unique<CardWindowLists>(*m_form1);
    m_poisk = std::make_unique<TPoisk>(*m_session, *m_cardLists);
    m_statistika = std::make_unique<TStatistika>(
        [session = m_session.get()](StatSource s) -> std::shared_ptr<const RecordSource> {
            if (s == StatSource::Working) // the window keeps it open while it lives
                return std::shared_ptr<const RecordSource>(&session->working(),
                                                           [](const RecordSource*) {});
            return session->cardRegister().snapshot(s == StatSource::Archive ? RegisterFile::Archive
                                                                             : RegisterFile::Main);
        },
        m_settings, m_inst, platform, *m_reportLauncher, m_form1.get());
    wireWindows(*this);
    if (m_server) {
        serverWaitScreen().setBusyGauge([w = m_form1.get()](bool busy) { w->setBusy(busy); });
        wireServerIdentity(*this, *m_server);
        followSharedDataChanges(*this, *m_registerFeed);
    }
}

void ZelmApp::joinServer() {
    m_registerFeed = std::make_unique<RegisterFeed>(*m_server, *m_session);
    // It tries again by itself when it cannot listen; the lists then catch up.
    m_registerFeed->start();
}

ZelmApp::~ZelmApp() {
    if (m_server)
        serverWaitScreen().setBusyGauge({});
    // Secondary windows first: they are children of the card window.
    m_statistika.reset();
    m_poisk.reset();
    m_form5.reset();
    m_wibor.reset();
    m_nastroika.reset();
    m_redaktir.reset();
    m_konverti.reset();
    m_dokKart.reset();
    m_form1.reset();
    m_zapusk.reset();
    m_reportLauncher.reset();
    if (m_server) {
        // The server's last words (the feed's end, the session's) are said on this thread.
        m_registerFeed.reset();
        servercalls::stopServing();
    }
}

void ZelmApp::closeDataFiles() {
    runEveryStep({[this] { m_session->closeFiles(); }, [this] { m_shared->closeFiles(); }});
}

void ZelmApp::showLogin() {
    m_zapusk->show();
}

namespace {

// Takes the data folder for this run; false when another program holds it and the start is
// to be refused (the user has been told).
bool takeDataFolder(DataFolderLock& lock, Platform& platform) {
    try {
        DataFolderLock::Status status = lock.acquire();
        if (status == DataFolderLock::Status::HeldOnOtherMachine &&
            platform.dialogs().ask(nullptr, takeOverQuestion(lock.holder()), folderInUseCaption()))
            status = lock.takeOver();
        if (status == DataFolderLock::Status::Acquired)
            return true;
        if (status == DataFolderLock::Status::InUse)
            platform.dialogs().notice(nullptr, folderInUseMessage(lock.holder()),
                                      folderInUseCaption());
    } catch (const FileError& e) {
        platform.dialogs().error(nullptr, e.displayText());
    }
    return false;
}

} // namespace

void prepareApplication(QApplication& application) {
    // A helper program or LibreOffice that ends while we write to it must not end the
    // program: the write fails and the command says so.
    std::signal(SIGPIPE, SIG_IGN);
    QApplication::setApplicationName(QStringLiteral("zelm"));
    // Ties the windows to the installed zelm.desktop (its icon and name on Wayland docks).
    QGuiApplication::setDesktopFileName(QStringLiteral("zelm"));
    installRussianInterface(application);
}

int runZelm(QApplication& application, const QString& installationRoot, Platform& platform) {
    prepareApplication(application);
    TerminationSignal termination;
    QDir().mkpath(installationRoot);
    DataFolderLock lock(DataFolderLock::lockPathFor(Installation(installationRoot)));
    if (!takeDataFolder(lock, platform))
        return 1;
    ZelmApp app(installationRoot, platform);
    if (app.endRequested())
        return 1;
    app.showLogin();
    if (startupProbeRequested())
        armStartupProbe(app);
    const int status = termination.requested() ? 0 : application.exec();
    if (termination.requested())
        leaveOnTermination(app);
    return status;
}

int runZelm(QApplication& application) {
    auto platform = createDesktopPlatform();
    return runZelm(application, Installation::defaultRoot(), *platform);
}

} // namespace zelm
