#pragma once
// Which register a run works on: the data folder, or the PostgreSQL server that Server.vez in
// the installation folder names. Decided before the login window, since in server mode the
// access table lives on the server.
#include <QString>
#include <memory>

namespace zelm {

class Installation;
class Platform;
class ServerRegister;

struct RegisterChoice {
    // Connected, its schema made or upgraded; null when the data folder is the register.
    std::unique_ptr<ServerRegister> server;
    bool endProgram = false; // the user chose to end rather than work on the data folder
};

// Without Server.vez: the data folder, without a word. With it: its server. When the file cannot
// be used or the server cannot be reached, the user is told why and chooses between the data
// folder and ending the program.
RegisterChoice chooseRegister(const Installation& inst, Platform& platform);

// The answers of that choice, in the order the box shows them.
QString workOnDataFolderAnswer();
QString endProgramAnswer();

// A run that worked on the data folder although Server.vez names a server leaves a mark
// (BezServera.vez) until the folder's files are next replaced from the server or moved onto
// it: cards stored in such a run are in that folder only, and are not to be overwritten
// unasked.
bool dataFolderWorkedWithoutServer(const Installation& inst);
void forgetWorkWithoutServer(const Installation& inst);

} // namespace zelm
