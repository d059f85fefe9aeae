#pragma once
// One libpq connection that connects when first used and again at the first command after it
// was lost. Every statement is a fixed text with its values passed as parameters: card text
// never becomes part of SQL. Results come back in binary form, so records need no decoding.
// Every wait for the server is bounded (TimeLimits.h): the server's own limits are set on each
// new connection, and a reply that does not come within the program's limit drops it. Called on
// the window's thread, the work is carried out off it (ServerCallThread.h).
#include "server/ServerConfig.h"

#include <QByteArray>
#include <QString>
#include <atomic>
#include <functional>
#include <vector>

struct pg_conn;
struct pg_result;

namespace zelm {

struct PgParam {
    QByteArray value;
    bool binary = false;
    bool isNull = false;

    static PgParam text(const QString& s) { return {s.toUtf8(), false}; }
    static PgParam integer(qint64 v) { return {QByteArray::number(v), false}; }
    static PgParam real(double v) { return {QByteArray::number(v, 'g', 17), false}; }
    static PgParam bytes(QByteArray b) { return {std::move(b), true}; }
    static PgParam null() { return {QByteArray(), false, true}; } // SQL NULL
};

class PgResult {
public:
    explicit PgResult(pg_result* r = nullptr) : m_r(r) {}
    ~PgResult();
    PgResult(PgResult&& o) noexcept : m_r(o.m_r) { o.m_r = nullptr; }
    PgResult& operator=(PgResult&& o) noexcept;
    PgResult(const PgResult&) = delete;
    PgResult& operator=(const PgResult&) = delete;

    pg_result* raw() const { return m_r; }
    int rows() const;
    int affected() const; // rows an INSERT, UPDATE or DELETE touched
    bool isNull(int row, int col) const;
    const char* data(int row, int col) const;
    int length(int row, int col) const;
    QByteArray bytes(int row, int col) const;
    // Binary values of the types the schema uses.
    qint16 int16(int row, int col) const;
    qint32 int32(int row, int col) const;
    qint64 int64(int row, int col) const;
    double real(int row, int col) const;
    bool boolean(int row, int col) const;
    QString text(int row, int col) const;

private:
    pg_result* m_r;
};

class PgConnection {
public:
    explicit PgConnection(ServerConfig config);
    ~PgConnection();
    PgConnection(const PgConnection&) = delete;
    PgConnection& operator=(const PgConnection&) = delete;

    const ServerConfig& config() const { return m_config; }
    const QString& serverName() const { return m_config.displayName; }

    // Connects when there is no working connection; throws ServerError (Connection).
    void ensureConnected();
    bool connected() const;
    void disconnect();

    // Runs one statement; throws ServerError. Outside a transaction a lost connection is made
    // again first; inside one the command fails, since what the transaction did is gone.
    PgResult exec(const char* sql, const std::vector<PgParam>& params = {});

    // Runs one statement, handing each row of its reply to `each` as it comes (in a result of
    // one row), while the server is still at work on the next: a long reply is neither held
    // whole nor waited for whole. Throws ServerError as exec() does, and what `each` throws.
    void eachRow(const char* sql, const std::vector<PgParam>& params,
                 const std::function<void(const PgResult&)>& each);

    // Gives the next piece of a COPY's data to `piece`; false when there is no more.
    using CopySource = std::function<bool(QByteArray& piece)>;
    // Runs `sql`, a COPY ... FROM STDIN, with the data `next` gives, all in one call carried out
    // off the window's thread (`next` runs there too); returns how many rows the server took.
    // Each piece waits for the server at most the reply limit, the end as long as exec() would.
    // Throws ServerError as exec() does; what `next` throws ends the COPY (the server refuses
    // it, so the transaction stores none of it) and is thrown on.
    qint64 copyIn(const char* sql, const CopySource& next);

    // Run on every new connection, first thing (e.g. to say again who works on it).
    void setOnConnect(std::function<void()> f) { m_onConnect = std::move(f); }

    pg_conn* handle() const { return m_conn; }
    int backendPid() const;
    bool inTransaction() const { return m_inTransaction; }

    // Work that takes as long as the register is large (a whole register moved, the schema
    // upgraded, an index built): the statement limit is lifted until the transaction ends, or
    // outside a transaction until restoreStatementLimit().
    void liftStatementLimit();
    void restoreStatementLimit();

    enum class Outcome { Committed, RolledBack, Unknown };
    // Whether transaction `xid` of a connection that broke took effect, asked on a new
    // connection. A transaction whose COMMIT never arrived is ended by the server within the
    // idle limit; until then it is waited for.
    Outcome outcomeOf(qint64 xid);

private:
    friend class PgTransaction;
    // The work itself, on the thread that carries it out (ServerCallThread.h).
    void connect();
    PgResult execHere(const char* sql, const std::vector<PgParam>& params);
    Outcome outcomeHere(qint64 xid);
    PgResult run(const char* sql, const std::vector<PgParam>& params);
    qint64 copyInHere(const char* sql, const CopySource& next);
    // Repeats `put` (a PQputCopy... call) while libpq's buffer is full, then sends it all.
    void putCopy(const std::function<int()>& put, qint64 deadline);
    void putCopyData(const QByteArray& piece);
    void endCopy(const char* error, qint64 deadline);
    // 0 (none) when unlimited or the limits say so.
    void send(const char* sql, const std::vector<PgParam>& params);
    pg_result* nextResult(qint64 deadline); // null once the reply is over
    qint64 replyDeadline(bool unlimited) const;
    void flushOut(qint64 deadline);
    PgResult lastResult(qint64 deadline);
    // `r` when it is a success; else throws what the failure means.
    PgResult checked(PgResult r, const char* sql);
    void setSessionLimits();
    // Waits until the socket is ready; false when the reply limit passed first.
    bool waitSocket(bool forWrite, qint64 deadline);
    [[noreturn]] void failLost();
    [[noreturn]] void failSilent();
    [[noreturn]] void failCancelled();

    ServerConfig m_config;
    pg_conn* m_conn = nullptr;
    std::atomic<int> m_pid{0}; // read by the feed's listener on the window's thread
    bool m_inTransaction = false;
    bool m_unlimited = false; // liftStatementLimit() in the transaction under way
    std::function<void()> m_onConnect;
};

// BEGIN .. COMMIT; a transaction not committed is rolled back when it goes out of scope.
class PgTransaction {
public:
    explicit PgTransaction(PgConnection& c, const char* begin = "BEGIN");
    ~PgTransaction();
    PgTransaction(const PgTransaction&) = delete;
    PgTransaction& operator=(const PgTransaction&) = delete;
    // Throws ServerError when the COMMIT fails or its reply does not come.
    void commit();
    // A COMMIT whose reply is lost is not guessed at: what happened is asked on a new
    // connection. Throws what a refused COMMIT throws.
    PgConnection::Outcome commitChecked();

private:
    PgConnection& m_c;
    bool m_open = true;
};

} // namespace zelm
