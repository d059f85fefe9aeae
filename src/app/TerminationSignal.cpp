#include "app/TerminationSignal.h"

#include "app/ServerMenuCommands.h"
#include "app/ZelmApp.h"
#include "backup/ZipBackup.h"
#include "backup/ZipError.h"
#include "cardwindow/TForm1.h"
#include "platform/Platform.h"
#include "store/FileError.h"

#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QSessionManager>
#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace zelm {
namespace {

constexpr int kSignals[] = {SIGTERM, SIGHUP};

int g_pipe[2] = {-1, -1};

extern "C" void onTerminationSignal(int) {
    const int saved = errno;
    const char byte = 1;
    // A full pipe already holds a request: nothing is lost.
    [[maybe_unused]] const ssize_t written = ::write(g_pipe[1], &byte, 1);
    errno = saved;
}

void tell(const QString& text) {
    std::fprintf(stderr, "zelm: %s\n", text.toLocal8Bit().constData());
}

// No one is there to answer: every question gets its cautious answer, and what would be shown
// goes to standard error.
class UnattendedDialogs : public Dialogs {
public:
    void notice(QWidget*, const QString& text, const QString&) override { tell(text); }
    bool ask(QWidget*, const QString&, const QString&) override { return false; }
    int choose(QWidget*, const QString&, const QString&, const QStringList&) override { return -1; }
    std::optional<QString> enterText(QWidget*, const QString&, const QString&,
                                     const QString&) override {
        return std::nullopt;
    }
    void error(QWidget*, const QString& text) override { tell(text); }
    QString openFile(QWidget*, const QString&, const QString&, const QString&) override {
        return {};
    }
    QString chooseFolder(QWidget*, const QString&, const QString&) override { return {}; }
    std::optional<QColor> chooseColour(QWidget*, const QColor&) override { return std::nullopt; }
};

class UnattendedPlatform : public Platform {
public:
    explicit UnattendedPlatform(Platform& real) : m_real(real) {}
    Dialogs& dialogs() override { return m_dialogs; }
    Shell& shell() override { return m_real.shell(); }
    OfficeAutomation& office() override { return m_real.office(); }
    KeyboardLayout& keyboard() override { return m_real.keyboard(); }
    WindowPrinter& printer() override { return m_real.printer(); }

private:
    Platform& m_real;
    UnattendedDialogs m_dialogs;
};

} // namespace

TerminationSignal::TerminationSignal() {
    QCoreApplication::instance()->installEventFilter(this);
    // Every change is written when it is made, so the session manager's Save Yourself (also
    // sent for a mere checkpoint) has nothing to commit. A new session does not start the
    // program again: it would begin at the login with nobody to answer.
    if (auto* gui = qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        connect(gui, &QGuiApplication::commitDataRequest, this, [](QSessionManager& manager) {
            manager.setRestartHint(QSessionManager::RestartNever);
        });
    if (::pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        tell(QStringLiteral("SIGTERM и конец сеанса завершат программу без записи: %1")
                 .arg(qt_error_string(errno)));
        return;
    }
    m_notifier = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &TerminationSignal::readPipe);
    struct sigaction action {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int s : kSignals)
        ::sigaction(s, &action, nullptr);
}

bool TerminationSignal::eventFilter(QObject* watched, QEvent* event) {
    // The session's end, and the last window closed after «Выход» or the login's «Отмена».
    if (watched == QCoreApplication::instance() && event->type() == QEvent::Quit) {
        request();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

TerminationSignal::~TerminationSignal() {
    if (g_pipe[0] < 0)
        return;
    for (const int s : kSignals)
        std::signal(s, SIG_DFL);
    delete m_notifier;
    ::close(g_pipe[0]);
    ::close(g_pipe[1]);
    g_pipe[0] = g_pipe[1] = -1;
}

void TerminationSignal::readPipe() {
    char bytes[16];
    while (::read(g_pipe[0], bytes, sizeof bytes) > 0) {
    }
    request();
}

void TerminationSignal::request() {
    m_requested = true;
    QCoreApplication::exit(0);
}

void leaveOnTermination(ZelmApp& app) {
    TForm1* w = app.form1();
    if (!w || !w->isVisible())
        return;
    UnattendedPlatform unattended(app.platform());
    try {
        app.closeDataFiles();
    } catch (const FileError& e) {
        tell(e.displayText());
    }
    // A server's register exported into the folder first; a folder that worked without its
    // server is packed as it is, keeping the cards stored meanwhile.
    const ServerMenu menu{unattended, app.installation(), app.server(),
                          nullptr,    [](int) {},         app.user().UserFIO};
    if (!exportForBackup(menu))
        return;
    try {
        makeBackup(app.installation().path(QStringLiteral("Baza")), app.settings().SavePapka);
    } catch (const ZipError& e) {
        tell(QStringLiteral("Резервная копия не сделана. ") + e.message());
    }
}

} // namespace zelm
