// COPY ... FROM STDIN on the connection: a whole register moved onto the server, or its search
// rows made again by an upgrade, go over as one stream of rows instead of thousands of
// statements. The same rules as for a statement: every wait is bounded, the user may give it up,
// and a failure names the server.
#include "server/PgConnection.h"
#include "server/ServerCallThread.h"
#include "server/ServerError.h"

#include <cstdlib>
#include <exception>
#include <libpq-fe.h>
#include <stdexcept>

namespace zelm {

qint64 PgConnection::copyIn(const char* sql, const CopySource& next) {
    qint64 rows = 0;
    servercalls::run(m_config.displayName, [&] { rows = copyInHere(sql, next); });
    return rows;
}

qint64 PgConnection::copyInHere(const char* sql, const CopySource& next) {
    // The data is given once: a COPY whose connection was lost is never sent again.
    if (!connected()) {
        if (m_inTransaction)
            failLost();
        connect();
    }
    const qint64 startBy = replyDeadline(false);
    if (!PQsendQueryParams(m_conn, sql, 0, nullptr, nullptr, nullptr, nullptr, 0))
        failLost();
    flushOut(startBy);
    PgResult started = lastResult(startBy);
    if (!started.raw() || PQresultStatus(started.raw()) != PGRES_COPY_IN) {
        checked(std::move(started), sql); // the server's refusal
        throw std::invalid_argument("copyIn() runs a COPY ... FROM STDIN only");
    }
    QByteArray piece;
    std::exception_ptr sourceFailed;
    for (;;) {
        // A fast link may never make the loop wait: the user's word is looked for here too.
        if (servercalls::cancelRequested())
            failCancelled();
        bool more = false;
        try {
            piece.clear();
            more = next(piece);
        } catch (...) {
            sourceFailed = std::current_exception();
            break;
        }
        if (!more)
            break;
        putCopyData(piece);
    }
    if (sourceFailed) {
        // The server refuses the COPY, so its transaction cannot store a part of the data.
        try {
            const qint64 deadline = replyDeadline(false);
            endCopy("the data to copy could not be read", deadline);
            lastResult(deadline);
        } catch (const ServerError&) {
        }
        std::rethrow_exception(sourceFailed);
    }
    endCopy(nullptr, replyDeadline(false));
    // The rows' checks and the triggers run now, as long as the data is large.
    const PgResult done = checked(lastResult(replyDeadline(m_unlimited)), sql);
    return std::strtoll(PQcmdTuples(done.raw()), nullptr, 10);
}

void PgConnection::putCopy(const std::function<int()>& put, qint64 deadline) {
    for (;;) {
        const int done = put();
        if (done > 0)
            break;
        if (done < 0)
            failLost();
        // libpq's buffer is full: the server has still to read what went before.
        if (!waitSocket(true, deadline))
            failSilent();
        if (!PQconsumeInput(m_conn) || PQflush(m_conn) < 0)
            failLost();
    }
    flushOut(deadline);
}

void PgConnection::putCopyData(const QByteArray& piece) {
    putCopy(
        [&] { return PQputCopyData(m_conn, piece.constData(), static_cast<int>(piece.size())); },
        replyDeadline(false));
}

void PgConnection::endCopy(const char* error, qint64 deadline) {
    putCopy([&] { return PQputCopyEnd(m_conn, error); }, deadline);
}

} // namespace zelm
