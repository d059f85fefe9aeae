#pragma once
// The default printer as CUPS sees it, the user's own default (lpoptions) included, which is
// also the one LibreOffice would pick.
#include "reportf/Office.h"

namespace zelm::reportf {

class CupsPrinters : public Printers {
public:
    std::optional<PrinterState> defaultPrinter() override;
};

} // namespace zelm::reportf
