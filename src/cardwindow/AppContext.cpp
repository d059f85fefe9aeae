#include "cardwindow/AppContext.h"

namespace zelm {

void CloseAllFiles(AppContext& ctx) {
    DataFiles& f = ctx.files;
    closeAllDataFiles({&f.main, &f.access, &f.archive, &f.working, &f.attachments});
}

} // namespace zelm
