#include "server/PgConnection.h"

#include "server/ServerCallThread.h"
#include "server/ServerError.h"

#include <QDeadlineTimer>
#include <QThread>
#include <QtEndian>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <libpq-fe.h>
#include <poll.h>

namespace zelm {

PgResult::~PgResult() {
    PQclear(m_r);
}

PgResult& PgResult::operator=(PgResult&& o) noexcept {
    if (this != &o) {
        PQclear(m_r);
        m_r = o.m_r;
        o.m_r = nullptr;
    }
    return *this;
}

int PgResult::rows() const {
    return m_r ? PQntuples(m_r) : 0;
}

int PgResult::affected() const {
    const char* n = m_r ? PQcmdTuples(m_r) : "";
    return *n ? std::atoi(n) : 0;
}

bool PgResult::isNull(int row, int col) const {
    return PQgetisnull(m_r, row, col) != 0;
}

const char* PgResult::data(int row, int col) const {
    return PQgetvalue(m_r, row, col);
}

int PgResult::length(int row, int col) const {
    return PQgetlength(m_r, row, col);
}

QByteArray PgResult::bytes(int row, int col) const {
    return QByteArray(data(row, col), length(row, col));
}

qint16 PgResult::int16(int row, int col) const {
    return length(row, col) == 2 ? qFromBigEndian<qint16>(data(row, col)) : 0;
}

qint32 PgResult::int32(int row, int col) const {
    return length(row, col) == 4 ? qFromBigEndian<qint32>(data(row, col)) : 0;
}

qint64 PgResult::int64(int row, int col) const {
    return length(row, col) == 8 ? qFromBigEndian<qint64>(data(row, col)) : 0;
}

double PgResult::real(int row, int col) const {
    if (length(row, col) != 8)
        return 0;
    const quint64 bits = qFromBigEndian<quint64>(data(row, col));
    double d;
    std::memcpy(&d, &bits, sizeof d);
    return d;
}

bool PgResult::boolean(int row, int col) const {
    return length(row, col) == 1 && data(row, col)[0] != 0;
}

QString PgResult::text(int row, int col) const {
    return QString::fromUtf8(data(row, col), length(row, col));
}

PgConnection::PgConnection(ServerConfig config) : m_config(std::move(config)) {}

PgConnection::~PgConnection() {
    disconnect();
}

bool PgConnection::connected() const {
    return m_conn && PQstatus(m_conn) == CONNECTION_OK;
}

void PgConnection::disconnect() {
    if (m_conn)
        PQfinish(m_conn);
    m_conn = nullptr;
    m_pid.store(0);
    m_inTransaction = false;
    m_unlimited = false;
}

void PgConnection::ensureConnected() {
    if (connected())
        return;
    servercalls::run(m_config.displayName, [this] { connect(); });
}

void PgConnection::connect() {
    disconnect();
    const auto keywords = m_config.connectKeywords();
    std::vector<const char*> keys, values;
    for (const auto& [k, v] : keywords) {
        keys.push_back(k.constData());
        values.push_back(v.constData());
    }
    keys.push_back(nullptr);
    values.push_back(nullptr);
    m_conn = PQconnectdbParams(keys.data(), values.data(), 0);
    if (PQstatus(m_conn) != CONNECTION_OK) {
        const QString why = QString::fromUtf8(PQerrorMessage(m_conn));
        disconnect();
        throw ServerError(
            ServerError::Kind::Connection,
            connectFailureMessage(m_config.displayName, m_config.user, m_config.database, why));
    }
    // Silence the server's notices (NOTICE: relation exists ...) on the terminal.
    PQsetNoticeProcessor(
        m_conn, [](void*, const char*) {}, nullptr);
    // Sending never blocks: every wait goes through waitSocket and its limit.
    PQsetnonblocking(m_conn, 1);
    m_pid.store(PQbackendPID(m_conn));
    setSessionLimits();
    if (m_onConnect)
        m_onConnect();
}

void PgConnection::setSessionLimits() {
    const ServerTimeLimits& l = m_config.limits;
    // The server's ends of the limits: it cancels what runs too long and frees the locks of a
    // workstation that stopped halfway, whatever became of that workstation.
    run("SELECT set_config('statement_timeout', $1, false), "
        "set_config('lock_timeout', $2, false), "
        "set_config('idle_in_transaction_session_timeout', $3, false), "
        "set_config('tcp_keepalives_idle', $4, false), "
        "set_config('tcp_keepalives_interval', $5, false), "
        "set_config('tcp_keepalives_count', $6, false), "
        "set_config('tcp_user_timeout', $7, false)",
        {PgParam::integer(l.statementMs), PgParam::integer(l.lockMs),
         PgParam::integer(l.idleInTransactionMs), PgParam::integer(l.keepaliveIdleSeconds),
         PgParam::integer(l.keepaliveIntervalSeconds), PgParam::integer(l.keepaliveCount),
         PgParam::integer(l.tcpUserTimeoutMs)});
}

int PgConnection::backendPid() const {
    return m_pid.load();
}

void PgConnection::failLost() {
    disconnect();
    throw ServerError(ServerError::Kind::Connection, connectionLostMessage(m_config.displayName));
}

void PgConnection::failCancelled() {
    disconnect();
    throw ServerError(ServerError::Kind::Connection, cancelledMessage(m_config.displayName),
                      QString(), ServerError::Detail::Cancelled);
}

void PgConnection::failSilent() {
    // What the server did with the command is unknown: it is the server's to end it (the idle
    // limit) once it notices; this end starts afresh at the next command.
    disconnect();
    throw ServerError(ServerError::Kind::Connection,
                      silentServerMessage(m_config.displayName, m_config.limits.replyMs() / 1000),
                      QString(), ServerError::Detail::Silent);
}

void PgConnection::liftStatementLimit() {
    exec(m_inTransaction ? "SET LOCAL statement_timeout = 0" : "SET statement_timeout = 0");
    m_unlimited = true;
}

void PgConnection::restoreStatementLimit() {
    m_unlimited = false;
    if (!m_inTransaction && connected())
        exec("SELECT set_config('statement_timeout', $1, false)",
             {PgParam::integer(m_config.limits.statementMs)});
}

bool PgConnection::waitSocket(bool forWrite, qint64 deadline) {
    pollfd p{PQsocket(m_conn), static_cast<short>(POLLIN | (forWrite ? POLLOUT : 0)), 0};
    if (p.fd < 0)
        return true; // the next libpq call reports the broken connection
    // Looks up now and then: the user may give the command up meanwhile.
    constexpr int kSliceMs = 100;
    for (;;) {
        if (servercalls::cancelRequested())
            failCancelled();
        int wait = kSliceMs;
        if (deadline > 0) {
            const qint64 left = deadline - QDeadlineTimer::current().deadline();
            if (left <= 0)
                return false;
            wait = static_cast<int>(std::min<qint64>(left, kSliceMs));
        }
        const int n = ::poll(&p, 1, wait);
        if (n > 0)
            return true;
        if (n < 0 && errno != EINTR)
            return true;
    }
}

PgResult PgConnection::exec(const char* sql, const std::vector<PgParam>& params) {
    PgResult r;
    servercalls::run(m_config.displayName, [&] { r = execHere(sql, params); });
    return r;
}

PgResult PgConnection::execHere(const char* sql, const std::vector<PgParam>& params) {
    if (m_inTransaction) {
        if (!connected())
            failLost();
        return run(sql, params);
    }
    // A connection that broke while idle (the server restarted, the network dropped) shows only
    // when used: outside a transaction the statement is sent once more on a new connection.
    // A server that stayed silent is not asked twice: that would double the wait.
    const bool wasConnected = connected();
    if (!wasConnected)
        connect();
    try {
        return run(sql, params);
    } catch (const ServerError& e) {
        if (!wasConnected || !e.connectionLost() || e.detail() != ServerError::Detail::None)
            throw;
    }
    connect();
    return run(sql, params);
}

void PgConnection::send(const char* sql, const std::vector<PgParam>& params) {
    std::vector<const char*> values;
    std::vector<int> lengths, formats;
    values.reserve(params.size());
    for (const PgParam& p : params) {
        values.push_back(p.isNull ? nullptr : p.value.constData());
        lengths.push_back(static_cast<int>(p.value.size()));
        formats.push_back(p.binary ? 1 : 0);
    }
    if (!PQsendQueryParams(m_conn, sql, static_cast<int>(params.size()), nullptr, values.data(),
                           lengths.data(), formats.data(), 1))
        failLost();
}

PgResult PgConnection::run(const char* sql, const std::vector<PgParam>& params) {
    const qint64 deadline = replyDeadline(m_unlimited);
    send(sql, params);
    flushOut(deadline);
    return checked(lastResult(deadline), sql);
}

qint64 PgConnection::replyDeadline(bool unlimited) const {
    const int limit = unlimited ? 0 : m_config.limits.replyMs();
    return limit > 0 ? QDeadlineTimer::current().deadline() + limit : 0;
}

void PgConnection::flushOut(qint64 deadline) {
    for (;;) {
        const int pending = PQflush(m_conn);
        if (pending == 0)
            return;
        if (pending < 0)
            failLost();
        if (!waitSocket(true, deadline))
            failSilent();
        if (!PQconsumeInput(m_conn))
            failLost();
    }
}

pg_result* PgConnection::nextResult(qint64 deadline) {
    while (PQisBusy(m_conn)) {
        if (!waitSocket(false, deadline))
            failSilent();
        if (!PQconsumeInput(m_conn))
            failLost();
    }
    return PQgetResult(m_conn);
}

PgResult PgConnection::lastResult(qint64 deadline) {
    PgResult r;
    while (PGresult* next = nextResult(deadline)) {
        // A COPY the server waits data for ends no result stream: the caller sends the data.
        const ExecStatusType status = PQresultStatus(next);
        r = PgResult(next);
        if (status == PGRES_COPY_IN)
            return r;
    }
    return r;
}

void PgConnection::eachRow(const char* sql, const std::vector<PgParam>& params,
                           const std::function<void(const PgResult&)>& each) {
    servercalls::run(m_config.displayName, [&] {
        if (m_inTransaction && !connected())
            failLost();
        if (!connected())
            connect();
        const qint64 deadline = replyDeadline(m_unlimited);
        send(sql, params);
        PQsetSingleRowMode(m_conn);
        flushOut(deadline);
        PgResult last;
        bool failed = false;
        while (PGresult* next = nextResult(deadline)) {
            PgResult row(next);
            if (PQresultStatus(next) == PGRES_SINGLE_TUPLE && !failed) {
                try {
                    each(row);
                } catch (...) {
                    // The rest of the reply is not wanted: the connection is given up.
                    disconnect();
                    throw;
                }
            } else {
                failed = PQresultStatus(next) != PGRES_TUPLES_OK;
                last = std::move(row);
            }
        }
        checked(std::move(last), sql);
    });
}

PgResult PgConnection::checked(PgResult r, const char* sql) {
    PGresult* raw = r.raw();
    const ExecStatusType status = raw ? PQresultStatus(raw) : PGRES_FATAL_ERROR;
    if (status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK)
        return r;
    if (!raw || PQstatus(m_conn) != CONNECTION_OK)
        failLost();
    const char* code = PQresultErrorField(raw, PG_DIAG_SQLSTATE);
    const QString state = QString::fromLatin1(code ? code : "");
    const QString primary = QString::fromUtf8(PQresultErrorField(raw, PG_DIAG_MESSAGE_PRIMARY));
    const QString constraint = QString::fromUtf8(PQresultErrorField(raw, PG_DIAG_CONSTRAINT_NAME));
    // No code: libpq itself failed (the server closed the connection unexpectedly).
    if (state.isEmpty() || state.startsWith(QLatin1String("57P")) ||
        state.startsWith(QLatin1String("08")) || state == QLatin1String("25P03"))
        failLost();
    throw ServerError(
        ServerError::Kind::Refused,
        commandFailureMessage(m_config.displayName, state, primary, constraint, m_config.user, sql),
        state);
}

PgConnection::Outcome PgConnection::outcomeOf(qint64 xid) {
    Outcome outcome = Outcome::Unknown;
    servercalls::run(m_config.displayName, [&] { outcome = outcomeHere(xid); });
    return outcome;
}

PgConnection::Outcome PgConnection::outcomeHere(qint64 xid) {
    // A transaction still open on the server is either committing now or waiting for a COMMIT
    // that will never come; the idle limit ends the latter.
    const QDeadlineTimer patience(m_config.limits.idleInTransactionMs + 3000);
    for (;;) {
        try {
            const PgResult r = execHere("SELECT txid_status($1)", {PgParam::integer(xid)});
            if (r.rows() == 0 || r.isNull(0, 0))
                return Outcome::Unknown;
            const QString status = r.text(0, 0);
            if (status == QLatin1String("committed"))
                return Outcome::Committed;
            if (status == QLatin1String("aborted"))
                return Outcome::RolledBack;
        } catch (const ServerError&) {
            return Outcome::Unknown;
        }
        if (patience.hasExpired())
            return Outcome::Unknown;
        QThread::msleep(200);
    }
}

PgTransaction::PgTransaction(PgConnection& c, const char* begin) : m_c(c) {
    m_c.exec(begin);
    m_c.m_inTransaction = true;
}

PgTransaction::~PgTransaction() {
    if (!m_open)
        return;
    m_c.m_unlimited = false;
    if (m_c.connected()) {
        try {
            servercalls::run(m_c.serverName(), [this] { m_c.run("ROLLBACK", {}); });
        } catch (const ServerError&) {
            // Gone or silent: the server rolls back on its own once it notices.
        }
    }
    m_c.m_inTransaction = false;
}

void PgTransaction::commit() {
    // The COMMIT is never sent again on a new connection: the connection still counts as in a
    // transaction until it is answered.
    m_open = false;
    struct Ended {
        PgConnection& c;
        ~Ended() {
            c.m_inTransaction = false;
            c.m_unlimited = false;
        }
    } ended{m_c};
    m_c.exec("COMMIT");
}

PgConnection::Outcome PgTransaction::commitChecked() {
    const PgResult xid = m_c.exec("SELECT txid_current()");
    const qint64 id = xid.int64(0, 0);
    try {
        commit();
        return PgConnection::Outcome::Committed;
    } catch (const ServerError& e) {
        if (!e.connectionLost())
            throw;
    }
    return m_c.outcomeOf(id);
}

} // namespace zelm
