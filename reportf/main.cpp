// reportf: the report program of the card index. See ReportCommand.h for its command lines.
#include "platform/CommandLine.h"
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

QString usage(bool russian) {
    if (russian)
        return QStringLiteral(
            "Использование (в папке report программы zelm):\n"
            "  reportf XDat.txt XPic.rtf XRep.rtf - /m   собрать отчёт в XRep.rtf\n"
            "  reportf XDat.txt XPic.rtf XRep.rtf        собрать и показать в LibreOffice Writer\n"
            "  reportf XDat.txt XPic.rtf XRep.rtf - /p   собрать и напечатать на принтере по "
            "умолчанию\n"
            "  reportf XDat.txt XPic.rtf                 открыть шаблон для правки\n"
            "  reportf --pdf OUT.pdf XDat.txt XPic.rtf   собрать отчёт в PDF\n"
            "  reportf -h | --help | -v | --version\n"
            "X: Poln (карточка), Kniga (список мероприятий), KonA8, KonA9 (конверты),\n"
            "   Stat (статистика мероприятий).\n"
            "Профили LibreOffice: ~/.cache/zelm/reportf-profile (печать, PDF),\n"
            "   ~/.cache/zelm/reportf-window-profile (окна).\n"
            "Ошибка: сообщение и код 1; неверная командная строка: код 2.\n"
            "Подробнее: man reportf\n");
    return QStringLiteral(
        "Usage (in the report folder of zelm):\n"
        "  reportf XDat.txt XPic.rtf XRep.rtf - /m   merge the report into XRep.rtf\n"
        "  reportf XDat.txt XPic.rtf XRep.rtf        merge and show it in LibreOffice Writer\n"
        "  reportf XDat.txt XPic.rtf XRep.rtf - /p   merge and print it on the default printer\n"
        "  reportf XDat.txt XPic.rtf                 open the template for editing\n"
        "  reportf --pdf OUT.pdf XDat.txt XPic.rtf   merge the report into a PDF\n"
        "  reportf -h | --help | -v | --version\n"
        "X: Poln (full card), Kniga (list of measures), KonA8, KonA9 (envelopes),\n"
        "   Stat (statistics of measures).\n"
        "LibreOffice profiles: ~/.cache/zelm/reportf-profile (printing, PDF),\n"
        "   ~/.cache/zelm/reportf-window-profile (windows).\n"
        "A failure: a message and exit status 1; a wrong command line: 2.\n"
        "See also: man reportf\n");
}

} // namespace

int main(int argc, char** argv) {
    // Answered before any application object: --help needs no display and no LibreOffice.
    const zelm::CommandLine line =
        zelm::parseCommandLine(zelm::commandLineArguments(argc, argv), [](const QString& option) {
            return option == QLatin1String("--pdf");
        });
    auto answer = [](const zelm::CommandLine& l) {
        return zelm::answerCommandLine(l, QStringLiteral("reportf"), usage(zelm::russianMessages()),
                                       QStringLiteral("reportf " ZELM_VERSION "\n"), stdout,
                                       stderr);
    };
    const int answered = answer(line);
    if (answered >= 0)
        return answered;
    zelm::reportf::ReportRequest request;
    try {
        request = zelm::reportf::parseArguments(line.arguments);
    } catch (const zelm::reportf::UsageError&) {
        using Fault = zelm::CommandLine::Fault;
        return answer(zelm::commandLineError(
            line, line.arguments.isEmpty() ? Fault::MissingArguments : Fault::WrongArguments,
            line.arguments.join(QLatin1Char(' '))));
    }
    auto app = std::make_unique<QCoreApplication>(argc, argv);
    try {
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
