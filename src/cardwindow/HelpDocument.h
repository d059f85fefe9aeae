#pragma once
#include <QString>

namespace zelm {
class Installation;
struct AppContext;
// Writes the user guide into Help/ReadMe.doc when it is missing there.
void installHelpDocument(const Installation& inst);
// Opens the user guide in Word and shows Word; an Office failure is raised as OfficeError.
void openHelpDocument(AppContext& ctx);
} // namespace zelm
