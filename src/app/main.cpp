#include "app/Usage.h"
#include "app/ZelmApp.h"
#include "platform/CommandLine.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char** argv) {
    // Answered before QApplication exists: it would need a display.
    zelm::CommandLine line = zelm::parseCommandLine(zelm::commandLineArguments(argc, argv));
    if (line.request == zelm::CommandLine::Request::Run && !line.arguments.isEmpty())
        line = zelm::commandLineError(line, zelm::CommandLine::Fault::ExtraArgument,
                                      line.arguments.first());
    const int answered = zelm::answerCommandLine(line, QStringLiteral("zelm"),
                                                 zelm::zelmHelp(zelm::russianMessages()),
                                                 zelm::zelmVersion(), stdout, stderr);
    if (answered >= 0)
        return answered;
    QApplication application(argc, argv);
    return zelm::runZelm(application);
}
