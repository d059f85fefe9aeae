#pragma once
// The cards' history moved with the register: Baza/History.dat onto the server's card_history,
// and back as the file.
#include <QString>

namespace zelm {

class Installation;
class PgConnection;

// Inserts every whole version of the data folder's history file, oldest first, inside the
// caller's transaction; returns how many.
qint64 moveHistoryToServer(PgConnection& c, const Installation& inst);
// Writes every version the server keeps, oldest first, as a history file at `path` (a scratch
// file the caller puts in place), inside the caller's transaction; returns how many.
qint64 writeHistoryFromServer(PgConnection& c, const QString& path);

} // namespace zelm
