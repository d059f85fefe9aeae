// Every subsystem connects its commands here, once the nine windows exist.
#include "cardwindow/ZelmApp.h"

namespace zelm {

void wireCommands(ZelmApp& app) {
    (void)app;
}

} // namespace zelm
