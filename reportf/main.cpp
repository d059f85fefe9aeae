// reportf: the report program of the card index. See ReportCommand.h for its command lines.
#include "platform/RussianInterface.h"
#include "reportf/CupsPrinters.h"
#include "reportf/LibreOffice.h"
#include "reportf/ReportCommand.h"
#include "reportf/ReportError.h"

#include <QApplication>
#include <QCoreApplication>
#include <QMessageBox>

#include <cstdio>
#include <memory>
#include <new>

namespace {

// A window system a message box can be shown on. Without one a QGuiApplication aborts, and
// offscreen or minimal platforms have nobody looking: the message goes to standard error only.
bool haveDisplay() {
    const QString platform = qEnvironmentVariable("QT_QPA_PLATFORM");
    if (platform.startsWith(QLatin1String("offscreen")) ||
        platform.startsWith(QLatin1String("minimal")))
        return false;
    if (platform.startsWith(QLatin1String("wayland")))
        return qEnvironmentVariableIsSet("WAYLAND_DISPLAY");
    if (platform.isEmpty())
        return qEnvironmentVariableIsSet("DISPLAY") || qEnvironmentVariableIsSet("WAYLAND_DISPLAY");
    return qEnvironmentVariableIsSet("DISPLAY");
}

void showError(std::unique_ptr<QCoreApplication>& app, int& argc, char** argv,
               const QString& text) {
    std::fprintf(stderr, "reportf: %s\n", text.toLocal8Bit().constData());
    if (!haveDisplay())
        return;
    app.reset();
    QApplication gui(argc, argv);
    zelm::installRussianInterface(gui);
    QMessageBox::warning(nullptr, QStringLiteral("Отчёт"), text);
}

} // namespace

int main(int argc, char** argv) {
    auto app = std::make_unique<QCoreApplication>(argc, argv);
    QStringList arguments = QCoreApplication::arguments();
    arguments.removeFirst();
    try {
        const zelm::reportf::ReportRequest request = zelm::reportf::parseArguments(arguments);
        zelm::reportf::LibreOffice office;
        zelm::reportf::CupsPrinters printers;
        zelm::reportf::runReport(request, office, printers);
        return 0;
    } catch (const zelm::reportf::ReportError& e) {
        showError(app, argc, argv, e.text());
    } catch (const std::bad_alloc&) {
        showError(app, argc, argv,
                  QStringLiteral("Программе отчётов не хватило памяти. Отчёт не составлен."));
    } catch (const std::exception& e) {
        showError(
            app, argc, argv,
            QStringLiteral("Ошибка программы отчётов: %1").arg(QString::fromLocal8Bit(e.what())));
    }
    return 1;
}
