#include "server/PgConnection.h"

#include "server/ServerError.h"

#include <QtEndian>
#include <cstring>
#include <libpq-fe.h>

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
    m_inTransaction = false;
}

void PgConnection::ensureConnected() {
    if (connected())
        return;
    disconnect();
    std::vector<const char*> keys, values;
    for (const auto& [k, v] : m_config.keywords) {
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
    if (m_onConnect)
        m_onConnect();
}

int PgConnection::backendPid() const {
    return m_conn ? PQbackendPID(m_conn) : 0;
}

void PgConnection::failLost() {
    disconnect();
    throw ServerError(ServerError::Kind::Connection, connectionLostMessage(m_config.displayName));
}

PgResult PgConnection::exec(const char* sql, const std::vector<PgParam>& params) {
    if (m_inTransaction) {
        if (!connected())
            failLost();
        return run(sql, params);
    }
    // A connection that broke while idle (the server restarted, the network dropped) shows only
    // when used: outside a transaction the statement is sent once more on a new connection.
    const bool wasConnected = connected();
    ensureConnected();
    try {
        return run(sql, params);
    } catch (const ServerError& e) {
        if (!wasConnected || !e.connectionLost())
            throw;
    }
    ensureConnected();
    return run(sql, params);
}

PgResult PgConnection::run(const char* sql, const std::vector<PgParam>& params) {
    std::vector<const char*> values;
    std::vector<int> lengths, formats;
    values.reserve(params.size());
    for (const PgParam& p : params) {
        values.push_back(p.value.constData());
        lengths.push_back(static_cast<int>(p.value.size()));
        formats.push_back(p.binary ? 1 : 0);
    }
    PgResult r(PQexecParams(m_conn, sql, static_cast<int>(params.size()), nullptr, values.data(),
                            lengths.data(), formats.data(), 1));
    PGresult* raw = r.raw();
    const ExecStatusType status = raw ? PQresultStatus(raw) : PGRES_FATAL_ERROR;
    if (status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK)
        return r;
    if (!raw || PQstatus(m_conn) != CONNECTION_OK)
        failLost();
    const char* code = PQresultErrorField(raw, PG_DIAG_SQLSTATE);
    const QString state = QString::fromLatin1(code ? code : "");
    const QString primary = QString::fromUtf8(PQresultErrorField(raw, PG_DIAG_MESSAGE_PRIMARY));
    // No code: libpq itself failed (the server closed the connection unexpectedly).
    if (state.isEmpty() || state.startsWith(QLatin1String("57P")) ||
        state.startsWith(QLatin1String("08")))
        failLost();
    throw ServerError(
        ServerError::Kind::Refused,
        commandFailureMessage(m_config.displayName, state, primary, m_config.user, sql), state);
}

PgTransaction::PgTransaction(PgConnection& c, const char* begin) : m_c(c) {
    m_c.exec(begin);
    m_c.m_inTransaction = true;
}

PgTransaction::~PgTransaction() {
    if (!m_open)
        return;
    m_c.m_inTransaction = false;
    if (m_c.connected()) {
        PGresult* r = PQexec(m_c.handle(), "ROLLBACK");
        PQclear(r);
    }
}

void PgTransaction::commit() {
    // A COMMIT lost on the way leaves it unknown whether it took effect: the caller is told the
    // connection broke, and what it shows is read again.
    m_c.exec("COMMIT");
    m_open = false;
    m_c.m_inTransaction = false;
}

} // namespace zelm
