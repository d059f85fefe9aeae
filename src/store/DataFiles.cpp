#include "store/DataFiles.h"

#include "store/FileError.h"

#include <optional>

namespace zelm {

void CloseAllFiles(DataFiles& files) {
    std::optional<FileError> first;
    for (CardFile* f :
         {&files.main, &files.access, &files.archive, &files.working, &files.attachments}) {
        try {
            f->close();
        } catch (const FileError& e) {
            if (!first)
                first = e;
        }
    }
    if (first)
        throw *first;
}

} // namespace zelm
