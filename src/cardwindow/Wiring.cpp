// Every subsystem connects its commands here, once the nine windows exist.
#include "cardwindow/Wiring.h"

#include "cardwindow/ZelmApp.h"

namespace zelm {

void wireCommands(ZelmApp& app) {
    wireNavigation(app);
    wireEditingCommands(app);
    wireReferenceListCommands(app);
    wireArchiveCommands(app);
    wireSearchCommands(app);
    wireLoginCommands(app);
    wireSettingsCommands(app);
    wireBackupCommands(app);
    wireHelpCommands(app);
}

} // namespace zelm
