#pragma once
// One run of the program: the installation prepared, the register chosen (the data folder or a
// server), the shared state of the run, and the nine windows created in order and wired to each
// other.
#include "app/ServerStartup.h"
#include "session/CardSession.h"
#include "store/CurrentUser.h"
#include "store/Installation.h"
#include "store/Settings.h"

#include <QString>
#include <memory>

class QApplication;

namespace zelm {

class Platform;
class ServerRegister;
class SharedData;
class TZapusk;
class TForm1;
class TDokKart;
class TKonverti;
class TRedaktir;
class TNastroika;
class TWibor;
class TForm5;
class TPoisk;
class TStatistika;
class ReportLauncher;
class CardListsView;
class ServerRegister;
class RegisterFeed;

class ZelmApp {
public:
    // Chooses the register first (ServerStartup.h). When the user chose to end the program
    // instead, nothing more is made: endRequested() is true and there are no windows.
    ZelmApp(const QString& installationRoot, Platform& platform);
    // On a register kept by a server, connected already.
    ZelmApp(const QString& installationRoot, Platform& platform,
            std::unique_ptr<ServerRegister> server);
    ~ZelmApp();
    ZelmApp(const ZelmApp&) = delete;
    ZelmApp& operator=(const ZelmApp&) = delete;

    const Installation& installation() const { return m_inst; }
    Platform& platform() { return m_platform; }
    CurrentUser& user() { return m_user; }
    OfficeSettings& settings() { return m_settings; }
    CardSession& session() { return *m_session; }
    RegisterFeed* registerFeed() const { return m_registerFeed.get(); }
    // The access table, the reference lists and the attached-file list, where the register
    // keeps them.
    SharedData& sharedData() { return *m_shared; }
    bool newInstallation() const { return m_newInstallation; }
    // The server holding the register; null when the data folder is the register.
    ServerRegister* server() const { return m_server.get(); }
    bool endRequested() const { return m_endRequested; }

    TZapusk* zapusk() const { return m_zapusk.get(); }
    TForm1* form1() const { return m_form1.get(); }
    TDokKart* dokKart() const { return m_dokKart.get(); }
    TKonverti* konverti() const { return m_konverti.get(); }
    TRedaktir* redaktir() const { return m_redaktir.get(); }
    TNastroika* nastroika() const { return m_nastroika.get(); }
    TWibor* wibor() const { return m_wibor.get(); }
    TForm5* form5() const { return m_form5.get(); }
    TPoisk* poisk() const { return m_poisk.get(); }
    CardListsView& cardLists() const { return *m_cardLists; }
    TStatistika* statistika() const { return m_statistika.get(); }
    ReportLauncher& reportLauncher() const { return *m_reportLauncher; }

    void showLogin(); // the login window, the application's main window
    // Leaving: the register, the Working card file and the shared data's files closed, every
    // one even when one fails; the first failure is thrown after.
    void closeDataFiles();

private:
    void joinServer();
    ZelmApp(const QString& installationRoot, Platform& platform, RegisterChoice choice);

    Installation m_inst;
    Platform& m_platform;
    std::unique_ptr<ServerRegister> m_server;
    bool m_endRequested = false;
    CurrentUser m_user;
    OfficeSettings m_settings;
    std::unique_ptr<CardSession> m_session;
    std::unique_ptr<RegisterFeed> m_registerFeed;
    std::unique_ptr<SharedData> m_shared;
    bool m_newInstallation = false;
    std::unique_ptr<ReportLauncher> m_reportLauncher;
    std::unique_ptr<TZapusk> m_zapusk;
    std::unique_ptr<TForm1> m_form1;
    std::unique_ptr<CardListsView> m_cardLists; // the card window as the search sees it
    std::unique_ptr<TDokKart> m_dokKart;
    std::unique_ptr<TKonverti> m_konverti;
    std::unique_ptr<TRedaktir> m_redaktir;
    std::unique_ptr<TNastroika> m_nastroika;
    std::unique_ptr<TWibor> m_wibor;
    std::unique_ptr<TForm5> m_form5;
    std::unique_ptr<TPoisk> m_poisk;
    std::unique_ptr<TStatistika> m_statistika;
};

// Names the application and makes its interface Russian. No display name is set: the window
// manager would show it after every window's own title and cut narrow windows' titles short.
void prepareApplication(QApplication& application);

// The program: prepares the installation folder ($ZELM_HOME or ~/ZELM), creates the windows
// and runs the event loop until the login window closes.
int runZelm(QApplication& application);
int runZelm(QApplication& application, const QString& installationRoot, Platform& platform);

// Connects the windows of different subsystems to each other (Wiring.cpp).
void wireWindows(ZelmApp& app);
// The server knows the workstation by the name of the user logged in (SharedDataWiring.cpp).
void wireServerIdentity(ZelmApp& app, ServerRegister& server);
// Another workstation's change to a reference list or to the attached files of the card shown
// appears in the card window at once. The app connects it once the feed listens.
// The mark that the others' changes cannot reach this workstation follows the feed.
void followSharedDataChanges(ZelmApp& app, RegisterFeed& feed);

} // namespace zelm
