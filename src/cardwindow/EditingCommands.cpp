#include "cardwindow/Wiring.h"
#include "cardwindow/ZelmApp.h"

namespace zelm {

void wireEditingCommands(ZelmApp& app) { (void)app; }

} // namespace zelm
