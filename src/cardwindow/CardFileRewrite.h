#pragma once
// Taking one record out of a card file by writing the remaining records to a new file and
// renaming it over the old one, so a failure never leaves the file half-shifted.
#include <QString>

namespace zelm {

class CardFile;

// Appends every whole record of `from` except the one at `skip` to `to`, in file order,
// copying large blocks at a time. Neither position matters.
void copyRecordsExcept(const CardFile& from, qint64 skip, CardFile& to);

// Removes the record at `index` from `file`: the rest goes to `scratchPath` (created anew),
// which is flushed and renamed over the file; `file` is then open on the new content,
// position 0. On failure the file keeps its old content and stays open, and the scratch
// file is removed.
void removeRecordByRewrite(CardFile& file, qint64 index, const QString& scratchPath);

} // namespace zelm
