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
    enum class Detail {
        None,
        Silent,    // no reply within the time limit: the link or the server went silent
        Uncertain, // the link broke as a change was committed, and its fate could not be learnt
        Cancelled, // the user gave the command up
        Busy,      // made while the window waited for another command: never sent
    };
    ServerError(Kind kind, QString message, QString sqlState = {}, Detail detail = Detail::None);

    Kind kind() const { return m_kind; }
    Detail detail() const { return m_detail; }
    const QString& sqlState() const { return m_sqlState; } // the server's code, when it refused
    const QString& message() const { return m_message; }
    bool connectionLost() const { return m_kind == Kind::Connection; }

private:
    Kind m_kind;
    QString m_message;
    QString m_sqlState;
    Detail m_detail;
};

// What libpq said when a connection could not be made, in Russian, naming `server`.
QString connectFailureMessage(const QString& server, const QString& user, const QString& database,
                              const QString& libpqMessage);
// A connection that broke while a command ran.
QString connectionLostMessage(const QString& server);
// A card whose stored record is not a whole record.
QString damagedCardMessage(const QString& server, qint32 uniq, qint64 key, int length);
// The user gave a read, a search or a move up; nothing was changed.
QString cancelledMessage(const QString& server);
// No reply within `seconds`.
QString silentServerMessage(const QString& server, int seconds);
// The server refused a command: what it means in Russian, with the server's code (SQLSTATE)
// kept for the administrator; the server's own words only where no Russian reason is known. A
// missing privilege names the role and, from the statement `sql`, which right it lacks.
QString commandFailureMessage(const QString& server, const QString& sqlState,
                              const QString& primaryMessage, const QString& constraint = {},
                              const QString& user = {}, const char* sql = nullptr);

} // namespace zelm
