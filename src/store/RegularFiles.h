#pragma once
// Reading and replacing files that must be plain files. A link where a data file is expected
// could make a print overwrite the register, a named pipe would hang a read forever and a
// device would be read without end, so such names are refused instead of followed.
#include <QByteArray>
#include <QString>

namespace zelm {

// Reads the whole regular file at `path` without following a link, at most `limit` bytes.
// Throws FileError naming the file: not found, a link, a folder, not a regular file, larger
// than `limit` (unless `over` is Cut: then its first `limit` bytes), or a read error.
enum class OverLimit { Refuse, Cut };
QByteArray readRegularFile(const QString& path, qint64 limit, OverLimit over = OverLimit::Refuse);

// Throws FileError when something other than a regular file (a link, a folder, a pipe, a
// device) has the name `path`; a missing file is fine. For writers that replace the file.
void requireRegularOrMissing(const QString& path);

// The text of a refusal for what lstat() found at a path: "Это ссылка, а не обычный файл", ...
QString notRegularReason(unsigned mode);

} // namespace zelm
