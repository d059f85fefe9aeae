#pragma once
// Everything the windows need from the operating system, in one place.
#include "platform/Dialogs.h"
#include "platform/KeyboardLayout.h"
#include "platform/Office.h"
#include "platform/Shell.h"
#include "platform/WindowPrinter.h"

#include <memory>

namespace zelm {

class Platform {
public:
    virtual ~Platform() = default;
    virtual Dialogs& dialogs() = 0;
    virtual Shell& shell() = 0;
    virtual OfficeAutomation& office() = 0;
    virtual KeyboardLayout& keyboard() = 0;
    virtual WindowPrinter& printer() = 0;
};

// The real implementations for this desktop.
std::unique_ptr<Platform> createDesktopPlatform();

} // namespace zelm
