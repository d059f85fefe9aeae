#pragma once
// Office automation as the desktop platform gets it: LibreOffice's module loaded at run time,
// or, where it cannot be loaded, an Office whose every call says LibreOffice is not installed.
#include "platform/Office.h"

#include <QString>
#include <memory>

namespace zelm {

// The module's file: beside the program's lib folder, or where the build put it.
QString libreOfficeModulePath();
std::unique_ptr<OfficeAutomation> loadOfficeAutomation(const QString& modulePath);

} // namespace zelm
