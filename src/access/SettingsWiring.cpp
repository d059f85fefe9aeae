#include "cardwindow/Wiring.h"
#include "cardwindow/ZelmApp.h"

namespace zelm {

void wireSettingsCommands(ZelmApp& app) { (void)app; }

} // namespace zelm
