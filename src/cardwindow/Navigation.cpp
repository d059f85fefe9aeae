#include "cardwindow/Wiring.h"
#include "cardwindow/ZelmApp.h"

namespace zelm {

void wireNavigation(ZelmApp& app) { (void)app; }

} // namespace zelm
