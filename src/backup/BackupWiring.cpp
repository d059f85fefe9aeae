#include "cardwindow/Wiring.h"
#include "cardwindow/ZelmApp.h"

namespace zelm {

void wireBackupCommands(ZelmApp& app) { (void)app; }

} // namespace zelm
