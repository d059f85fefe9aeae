#include "cardwindow/ZelmApp.h"

#include "access/TForm5.h"
#include "access/TNastroika.h"
#include "access/TZapusk.h"
#include "attach/TDokKart.h"
#include "cardwindow/HelpDocument.h"
#include "cardwindow/TForm1.h"
#include "cardwindow/TRedaktir.h"
#include "cardwindow/TWibor.h"
#include "output/ReportLauncher.h"
#include "output/TKonverti.h"
#include "platform/Platform.h"
#include "search/TPoisk.h"
#include "store/FileError.h"
#include "store/ReferenceLists.h"

#include <QApplication>

namespace zelm {

ZelmApp::ZelmApp(const QString& installationRoot, Platform& platform)
    : m_ctx(std::make_unique<AppContext>(Installation(installationRoot), platform)) {
    try {
        m_newInstallation = m_ctx->inst.prepare();
        createMissingReferenceLists(m_ctx->inst, m_newInstallation);
        installHelpDocument(m_ctx->inst);
    } catch (const FileError& e) {
        platform.dialogs().error(nullptr, e.displayText());
    }
    m_zapusk = std::make_unique<TZapusk>(*m_ctx, *this);
    m_form1 = std::make_unique<TForm1>(*m_ctx, *this);
    m_dokKart = std::make_unique<TDokKart>(*m_ctx, *this, m_form1.get());
    m_reportLauncher = std::make_unique<ReportLauncher>(m_ctx->inst, platform);
    m_reportLauncher->setOwner(m_form1.get());
    m_konverti = std::make_unique<TKonverti>(m_ctx->settings, *m_reportLauncher, m_form1.get());
    m_redaktir = std::make_unique<TRedaktir>(*m_ctx, *this, m_form1.get());
    m_nastroika = std::make_unique<TNastroika>(*m_ctx, *this, m_form1.get());
    m_wibor = std::make_unique<TWibor>(*m_ctx, *this, m_form1.get());
    m_form5 = std::make_unique<TForm5>(*m_ctx, *this, m_form1.get());
    m_poisk = std::make_unique<TPoisk>(*m_ctx, *this, m_form1.get());
    wireCommands(*this);
}

ZelmApp::~ZelmApp() {
    // Secondary windows first: they are children of the card window.
    m_poisk.reset();
    m_form5.reset();
    m_wibor.reset();
    m_nastroika.reset();
    m_redaktir.reset();
    m_konverti.reset();
    m_dokKart.reset();
    m_form1.reset();
    m_zapusk.reset();
}

void ZelmApp::showLogin() {
    m_zapusk->show();
}

int runZelm(QApplication& application, const QString& installationRoot, Platform& platform) {
    QApplication::setApplicationName(QStringLiteral("zelm"));
    QApplication::setApplicationDisplayName(QStringLiteral("Зельм"));
    ZelmApp app(installationRoot, platform);
    app.showLogin();
    return application.exec();
}

int runZelm(QApplication& application) {
    auto platform = createDesktopPlatform();
    return runZelm(application, Installation::defaultRoot(), *platform);
}

} // namespace zelm
