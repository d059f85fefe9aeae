#include "cardwindow/AppContext.h"

namespace zelm {

void CloseAllFiles(AppContext& ctx) {
    DataFiles& f = ctx.files;
    f.main.close();
    f.access.close();
    f.archive.close();
    f.working.close();
    f.attachments.close();
}

} // namespace zelm
