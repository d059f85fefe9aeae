#include "cardwindow/Wiring.h"
#include "cardwindow/ZelmApp.h"

namespace zelm {

void wireSearchCommands(ZelmApp& app) { (void)app; }

} // namespace zelm
