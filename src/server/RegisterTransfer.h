#pragma once
// Moving a register between the data folder's files and a server: onto an empty server database
// in one transaction, and back from the server as the data folder's files. The files stay the
// exchange format: a backup made from them restores on any workstation, with or without a
// server.
#include "store/AccessTable.h"

#include <QString>
#include <functional>

namespace zelm {

class Installation;
class ServerRegister;

// Called as the work goes on: `done` of `total` records.
using TransferProgress = std::function<void(qint64 done, qint64 total)>;

struct TransferCounts {
    qint64 cards = 0;
    qint64 archived = 0;
    qint64 attachments = 0;
    int lists = 0;
    bool accessTable = false;
    qint64 versions = 0; // of the cards' history
    // Exported: the access table as written to Dostup.dat, each row with its new password.
    QList<AccessRow> accessRows;
};

// The administrator whose password opens the access table for an export.
struct AccessExport {
    QString adminName;
    QString adminPassword;
};

// Copies the Main card file, the Archive, the attached-file list, the reference lists, the
// access table and the cards' history of the data folder onto the server, byte for byte (the
// access table's passwords as salted hashes: only the database's owner may move it), in one
// transaction. Throws ServerError, storing nothing, when the server's database already holds
// cards or attached files, and FileError when a file cannot be read.
TransferCounts moveRegisterToServer(ServerRegister& server, const Installation& inst,
                                    const TransferProgress& progress = {});

// Writes the server's register (one consistent moment of it) as the data folder's files. Every
// file is written whole into Temp first; only when all are written are they renamed into place.
// The server keeps no password it could give back: with `access`, Dostup.dat is written with
// the names, codes, dates and letters of the server's table and a new password for each row
// (the server's passwords stay as they were), returned in the counts to be shown once; without
// it Dostup.dat is left as it is. A wrong administrator's password throws ServerError before
// anything is written.
TransferCounts exportRegisterFromServer(ServerRegister& server, const Installation& inst,
                                        const TransferProgress& progress = {},
                                        const AccessExport* access = nullptr);

} // namespace zelm
