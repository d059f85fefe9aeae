// Starts the tests' soffice before the LibreOffice tests ("start") and ends it after them
// ("stop"), so the whole run pays for one cold start.
#include "platform/libreoffice/LibreOfficeSession.h"

#include <QCoreApplication>
#include <QDir>
#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 2 || (std::strcmp(argv[1], "start") != 0 && std::strcmp(argv[1], "stop") != 0)) {
        std::fprintf(stderr, "usage: office_fixture start|stop\n");
        return 2;
    }
    zelm::LibreOfficeOptions options;
    options.profileFolder = QStringLiteral(ZELM_TEST_OFFICE_PROFILE);
    options.headless = true;
    try {
        zelm::LibreOfficeSession office(options);
        if (std::strcmp(argv[1], "start") == 0) {
            office.connect();
            office.closeAllDocuments();
        } else {
            office.terminate();
        }
    } catch (const zelm::OfficeError& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
