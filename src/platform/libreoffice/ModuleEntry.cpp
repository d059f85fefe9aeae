// The entry of the loadable LibreOffice module: the program loads it at run time, so it starts
// and works on a machine without LibreOffice (whose UNO libraries this module needs).
#include "platform/libreoffice/LibreOfficeSession.h"

extern "C" __attribute__((visibility("default"))) zelm::OfficeAutomation* zelm_create_office() {
    return new zelm::LibreOfficeSession();
}
