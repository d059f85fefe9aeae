#pragma once
// Ending the program from outside as «Выход» ends it, without questions: on SIGTERM (a
// shutdown, `kill`, `systemctl`), SIGHUP (its terminal closed) and when the desktop's session
// ends (the session manager's Die, which Qt turns into a request to quit: left to Qt, it would
// be refused by the card window, which the title bar cannot close).
//
// A signal handler may do almost nothing, so it only writes a byte into a pipe; the event loop
// hears it and leaves every loop, modal dialogs' included (their questions get the cautious
// answer). Once the event loop is left, leaveOnTermination does what «Выход» does.
#include <QObject>

class QSocketNotifier;

namespace zelm {

class ZelmApp;

class TerminationSignal : public QObject {
public:
    TerminationSignal();
    ~TerminationSignal() override; // the signals' default handling back
    TerminationSignal(const TerminationSignal&) = delete;
    TerminationSignal& operator=(const TerminationSignal&) = delete;

    bool requested() const { return m_requested; }
    // As a signal does: marks the end and leaves every event loop.
    void request();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void readPipe();

    QSocketNotifier* m_notifier = nullptr;
    bool m_requested = false;
};

// What «Выход» does once the user answered «Да» to the backup, asking nothing and showing
// nothing (a message goes to standard error): the data files closed, the backup of the data
// folder written (with a server, its register exported first), the card window's unsaved edit
// left out, as «Выход» leaves it. Nothing is done when the card window was never shown: that is
// the login's «Отмена».
void leaveOnTermination(ZelmApp& app);

} // namespace zelm
