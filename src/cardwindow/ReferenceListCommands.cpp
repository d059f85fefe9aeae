#include "cardwindow/Wiring.h"
#include "cardwindow/ZelmApp.h"

namespace zelm {

void wireReferenceListCommands(ZelmApp& app) { (void)app; }

} // namespace zelm
