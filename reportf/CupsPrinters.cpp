#include "reportf/CupsPrinters.h"

#include <cups/cups.h>

#include <cstring>

namespace zelm::reportf {

std::optional<PrinterState> CupsPrinters::defaultPrinter() {
    cups_dest_t* dests = nullptr;
    const int count = cupsGetDests2(CUPS_HTTP_DEFAULT, &dests);
    const cups_dest_t* dest = cupsGetDest(nullptr, nullptr, count, dests);
    std::optional<PrinterState> result;
    if (dest != nullptr) {
        PrinterState state;
        state.name = QString::fromUtf8(dest->name);
        const char* printerState = cupsGetOption("printer-state", dest->num_options, dest->options);
        state.stopped = printerState != nullptr && std::strcmp(printerState, "5") == 0;
        const char* accepting =
            cupsGetOption("printer-is-accepting-jobs", dest->num_options, dest->options);
        state.acceptingJobs = accepting == nullptr || std::strcmp(accepting, "false") != 0;
        result = state;
    }
    cupsFreeDests(count, dests);
    return result;
}

} // namespace zelm::reportf
