#pragma once
// The one error type of the server layer: a Russian message that names the server, ready for
// a message box. The command that met it stored nothing (its transaction was rolled back).
#include <QString>
#include <stdexcept>

namespace zelm {

class ServerError : public std::runtime_error {
public:
    enum class Kind {
        Connection, // no server, refused, lost during the command
        Refused,    // the server ran the command and refused it
        Setup,      // Server.vez itself is wrong
    };
    ServerError(Kind kind, QString message, QString sqlState = {});

    Kind kind() const { return m_kind; }
    const QString& sqlState() const { return m_sqlState; } // the server's code, when it refused
    const QString& message() const { return m_message; }
    bool connectionLost() const { return m_kind == Kind::Connection; }

private:
    Kind m_kind;
    QString m_message;
    QString m_sqlState;
};

// What libpq said when a connection could not be made, in Russian, naming `server`.
QString connectFailureMessage(const QString& server, const QString& user, const QString& database,
                              const QString& libpqMessage);
// A connection that broke while a command ran.
QString connectionLostMessage(const QString& server);
// The server refused a command: SQLSTATE and its primary message. A missing privilege names the
// role and, from the statement `sql`, which right it lacks.
QString commandFailureMessage(const QString& server, const QString& sqlState,
                              const QString& primaryMessage, const QString& user = {},
                              const char* sql = nullptr);

} // namespace zelm
