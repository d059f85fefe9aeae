#pragma once
// Changing a file of fixed records as a whole, without ever leaving it half-changed: the new
// content is written completely into a scratch file, flushed and renamed over the old file.
#include "store/Records.h"

#include <QString>
#include <functional>

namespace zelm {

class CardFile;

// Copies records [first, first + n) of `from` to the end of `to` in large blocks.
void copyRecords(const CardFile& from, qint64 first, qint64 n, CardFile& to);
// The same, into two files at once: the records are read once.
void copyRecordsTwice(const CardFile& from, qint64 first, qint64 n, CardFile& to, CardFile& alsoTo);
// Appends every whole record of `from` except the one at `skip` to `to`, in file order.
void copyRecordsExcept(const CardFile& from, qint64 skip, CardFile& to);

// Appends one record at the end and flushes it to disk; returns its index. When the append
// fails the file is cut back to its old length, so no partial record stays behind.
qint64 appendFlushed(CardFile& file, const void* record);
// Cuts the file back to `count` records, as far as the disk allows; never throws.
void cutBack(CardFile& file, qint64 count) noexcept;

// `fill` writes the new content into a scratch file created at `scratchPath`; the scratch file
// is flushed and renamed over `file`'s path, and `file` is open on the new content, position 0.
// On failure the old file stays as it was and open, and the scratch file is removed.
void rewriteThroughScratch(CardFile& file, const QString& scratchPath,
                           const std::function<void(CardFile& scratch)>& fill);

// Removes the record at `index` by rewriting the file through `scratchPath`.
void removeRecordByRewrite(CardFile& file, qint64 index, const QString& scratchPath);

// Streams the Main card file, with `card` placed at index `insertAt`, into both the Working
// card file (created anew) and a complete new Main card file in a scratch file, which is then
// flushed and renamed over the old one. Afterwards the Working card file holds a copy of the
// new register.
void insertCardIntoMainFile(CardFile& main, CardFile& working, const QString& workingPath,
                            qint64 insertAt, const TAnketa& card);

} // namespace zelm
