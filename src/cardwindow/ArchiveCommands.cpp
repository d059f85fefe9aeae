#include "cardwindow/Wiring.h"
#include "cardwindow/ZelmApp.h"

namespace zelm {

void wireArchiveCommands(ZelmApp& app) { (void)app; }

} // namespace zelm
