#pragma once
// Server.vez in the installation folder: one libpq connection string. Without the file the data
// folder is the register. Passwords never stand in it: libpq's ~/.pgpass (or PGPASSFILE) and
// its other means supply them.
#include "server/TimeLimits.h"

#include <QList>
#include <QPair>
#include <QString>
#include <optional>

namespace zelm {

class Installation;

struct ServerConfig {
    QString connectionString;
    // The keywords libpq took from it, with the defaults the program adds (the application's
    // name, UTF-8 for the few texts that are not records).
    QList<QPair<QByteArray, QByteArray>> keywords;
    ServerTimeLimits limits;
    QString displayName; // "host:port/dbname", for messages
    QString user;        // as given, or the login name libpq will use
    QString database;

    // The keywords a connection is made with: those above, and the time limits' own
    // (connect_timeout, keepalives, tcp_user_timeout) where Server.vez does not set them.
    QList<QPair<QByteArray, QByteArray>> connectKeywords() const;

    // Parses a connection string; throws ServerError (Setup) naming the fault.
    static ServerConfig parse(const QString& connectionString);
};

QString serverConfigPath(const Installation& inst); // <root>/Server.vez
// The configuration when Server.vez exists; throws ServerError when it cannot be used.
std::optional<ServerConfig> readServerConfig(const Installation& inst);

} // namespace zelm
