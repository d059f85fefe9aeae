#include "store/DataFiles.h"

namespace zelm {

void CloseAllFiles(DataFiles& files) {
    closeAllDataFiles(
        {&files.main, &files.access, &files.archive, &files.working, &files.attachments});
}

} // namespace zelm
