#pragma once
// The Service menu's commands that move the register between the data folder and a server, and
// the export that keeps the data folder's files the exchange format while a server holds the
// register. Their errors are told in Russian and name the server or the file; the transfer
// itself stores nothing half.
#include <QString>
#include <functional>

class QWidget;

namespace zelm {

class Installation;
class Platform;
class ServerRegister;

struct ServerMenu {
    Platform& platform;
    const Installation& inst;
    ServerRegister* server; // the register of this run; null when it is the data folder
    QWidget* parent;
    std::function<void(int percent)> progress; // the card window's progress bar
    QString user;                              // the login's UserFIO: the administrator
};

// «Перенести картотеку на сервер»: the data folder's files into an empty server database, the
// run's own server or, without one, the server the user names (then written to Server.vez).
// True when the register moved: the program is to end, so that nothing more is written to the
// files left behind, and the next start works on the server.
bool nToServerClick(const ServerMenu& menu);

// «Выгрузить картотеку с сервера»: the run's server's register written as the data folder's
// files, after the user agreed to replace them.
void nFromServerClick(const ServerMenu& menu);

// Before the backup at exit: with a server, its register written as the data folder's files, so
// the backup restores on any workstation. False (the user told) when that failed: the folder's
// files are then older than the register, and a backup of them would restore an old register.
bool exportForBackup(const ServerMenu& menu);

// Before a restore from a backup: with a server it is refused (the user told how to do it),
// since it would replace only the data folder's files and leave the register as it was.
bool restoreAllowed(const ServerMenu& menu);

} // namespace zelm
