#pragma once
#include <QString>

namespace zelm {
class Installation;
// Writes the user guide into Help/ReadMe.doc when it is missing there.
void installHelpDocument(const Installation& inst);
} // namespace zelm
