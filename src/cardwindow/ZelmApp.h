#pragma once
// One run of the program: the installation prepared, the nine windows created in order.
#include "cardwindow/AppContext.h"

#include <QString>
#include <memory>

class QApplication;

namespace zelm {

class Platform;
class TZapusk;
class TForm1;
class TDokKart;
class TKonverti;
class TRedaktir;
class TNastroika;
class TWibor;
class TForm5;
class TPoisk;
class ReportLauncher;

class ZelmApp {
public:
    ZelmApp(const QString& installationRoot, Platform& platform);
    ~ZelmApp();
    ZelmApp(const ZelmApp&) = delete;
    ZelmApp& operator=(const ZelmApp&) = delete;

    AppContext& ctx() { return *m_ctx; }
    bool newInstallation() const { return m_newInstallation; }

    TZapusk* zapusk() const { return m_zapusk.get(); }
    TForm1* form1() const { return m_form1.get(); }
    TDokKart* dokKart() const { return m_dokKart.get(); }
    TKonverti* konverti() const { return m_konverti.get(); }
    TRedaktir* redaktir() const { return m_redaktir.get(); }
    TNastroika* nastroika() const { return m_nastroika.get(); }
    TWibor* wibor() const { return m_wibor.get(); }
    TForm5* form5() const { return m_form5.get(); }
    TPoisk* poisk() const { return m_poisk.get(); }
    ReportLauncher& reportLauncher() const { return *m_reportLauncher; }

    void showLogin(); // the login window, the application's main window

private:
    std::unique_ptr<AppContext> m_ctx;
    bool m_newInstallation = false;
    std::unique_ptr<ReportLauncher> m_reportLauncher;
    std::unique_ptr<TZapusk> m_zapusk;
    std::unique_ptr<TForm1> m_form1;
    std::unique_ptr<TDokKart> m_dokKart;
    std::unique_ptr<TKonverti> m_konverti;
    std::unique_ptr<TRedaktir> m_redaktir;
    std::unique_ptr<TNastroika> m_nastroika;
    std::unique_ptr<TWibor> m_wibor;
    std::unique_ptr<TForm5> m_form5;
    std::unique_ptr<TPoisk> m_poisk;
};

// The program: prepares the installation folder ($ZELM_HOME or ~/ZELM), creates the windows
// and runs the event loop until the login window closes.
int runZelm(QApplication& application);
int runZelm(QApplication& application, const QString& installationRoot, Platform& platform);

// Connects the commands of every subsystem to the card window and its secondary windows.
void wireCommands(ZelmApp& app);

} // namespace zelm
