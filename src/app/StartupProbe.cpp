#include "app/StartupProbe.h"

#include "access/TZapusk.h"
#include "app/ZelmApp.h"
#include "cardwindow/TForm1.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QTimer>
#include <cstdio>
#include <ctime>
#include <sys/resource.h>
#include <unistd.h>

namespace zelm {
namespace {

// Seconds since the kernel started this process (its exec), in the kernel's clock ticks.
double secondsSinceProcessStart() {
    QFile stat(QStringLiteral("/proc/self/stat"));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray line = stat.readAll();
    // The fields after the command name, which is in parentheses and may hold blanks.
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    constexpr int kStartTime = 22 - 3; // field 22, counted after pid and comm, from 0
    if (fields.size() <= kStartTime)
        return -1;
    const double started =
        fields[kStartTime].toDouble() / static_cast<double>(sysconf(_SC_CLK_TCK));
    timespec now{};
    clock_gettime(CLOCK_BOOTTIME, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9 - started;
}

double peakResidentMiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

// Watches the card window's paints and ends the run at the first idle moment after one.
class IdleAfterPaint : public QObject {
public:
    explicit IdleAfterPaint(TForm1* window) : QObject(window), m_window(window) {
        window->installEventFilter(this);
        connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock, this,
                &IdleAfterPaint::idle);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == m_window && event->type() == QEvent::Paint)
            m_painted = true;
        return false;
    }

private:
    void idle() {
        if (!m_painted || m_done)
            return;
        m_done = true;
        std::printf("startup-probe: %.3f s since exec, peak %.1f MiB, %d cards\n",
                    secondsSinceProcessStart(), peakResidentMiB(), m_window->session().CardTotal());
        std::fflush(stdout);
        QCoreApplication::exit(0);
    }

    TForm1* m_window;
    bool m_painted = false;
    bool m_done = false;
};

} // namespace

bool startupProbeRequested() {
    return qEnvironmentVariableIntValue("ZELM_STARTUP_PROBE") == 1;
}

void armStartupProbe(ZelmApp& app) {
    TZapusk* login = app.zapusk();
    new IdleAfterPaint(app.form1());
    // As a user who presses Enter on the password shown, as soon as the login can take it.
    QTimer::singleShot(0, login, [login] { login->DaleeClick(); });
}

} // namespace zelm
