#include "cardwindow/CardFileRewrite.h"

#include "store/CardFile.h"
#include "store/CardInsertion.h"

#include <QFile>

namespace zelm {

void copyRecordsExcept(const CardFile& from, qint64 skip, CardFile& to) {
    const qint64 count = from.count();
    if (skip < 0 || skip >= count) {
        copyRecords(from, 0, count, to);
        return;
    }
    copyRecords(from, 0, skip, to);
    copyRecords(from, skip + 1, count - skip - 1, to);
}

void removeRecordByRewrite(CardFile& file, qint64 index, const QString& scratchPath) {
    const QString path = file.path();
    const int recordSize = file.recordSize();
    try {
        CardFile scratch;
        scratch.create(scratchPath, recordSize);
        copyRecordsExcept(file, index, scratch);
        scratch.flush();
        scratch.close();
        replaceFile(scratchPath, path);
    } catch (...) {
        QFile::remove(scratchPath);
        throw;
    }
    file.open(path, recordSize);
}

} // namespace zelm
