// The program as a child of TerminationTest: runZelm on the folder given, with a scripted
// platform, brought to the moment the test wants to end it in, then "ready" on standard output.
//   termination_child FOLDER edit      the card shown, its organisation's name being edited
//   termination_child FOLDER settings  the same, with the settings window open (a modal loop)
//   termination_child FOLDER logout    the edit, then the session manager's Die as Qt delivers
//                                      it (a Quit event to the application)
#include "access/TZapusk.h"
#include "app/ZelmApp.h"
#include "common/ScriptedPlatform.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QTimer>
#include <cstdio>

namespace {

QWidget* window(const char* name) {
    for (QWidget* top : QApplication::topLevelWidgets())
        if (top->objectName() == QLatin1String(name))
            return top;
    return nullptr;
}

void ready() {
    std::puts("ready");
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    if (argc < 3)
        return 3;
    const QString folder = QString::fromLocal8Bit(argv[1]);
    const QString scenario = QString::fromLocal8Bit(argv[2]);
    zelm::ScriptedPlatform platform;
    QTimer::singleShot(0, &application, [scenario] {
        qobject_cast<zelm::TZapusk*>(window("Zapusk"))->DaleeClick();
        QWidget* cards = window("Form1");
        cards->findChild<QComboBox*>(QStringLiteral("NameOrg"))
            ->setEditText(QStringLiteral("Правка, которой не дали записать"));
        if (scenario == QLatin1String("settings")) {
            QTimer::singleShot(100, ready);
            cards->findChild<QAction*>(QStringLiteral("N8"))->trigger();
        } else {
            ready();
        }
        if (scenario == QLatin1String("logout"))
            QTimer::singleShot(100, [] {
                QCoreApplication::postEvent(QCoreApplication::instance(), new QEvent(QEvent::Quit));
            });
    });
    return zelm::runZelm(application, folder, platform);
}
