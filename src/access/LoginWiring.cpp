#include "cardwindow/Wiring.h"
#include "cardwindow/ZelmApp.h"

namespace zelm {

void wireLoginCommands(ZelmApp& app) { (void)app; }

} // namespace zelm
