// The access table on the server and its editor, one administrator at a time. The editor's
// lock is a session lock of the server: it goes with the connection, so a workstation that
// crashes or loses the network never leaves the table locked.
#include "server/CardSql.h"
#include "server/ServerError.h"
#include "server/ServerRegister.h"

namespace zelm {

std::optional<QByteArray> ServerRegister::accessTable(int* version) {
    const PgResult r = m_c.exec("SELECT content, version FROM access_table WHERE id = 1");
    if (version)
        *version = r.rows() ? r.int32(0, 1) : 0;
    if (r.rows() == 0)
        return std::nullopt;
    return r.bytes(0, 0);
}

bool ServerRegister::holdsAccessEditor() {
    if (!m_c.connected())
        return false;
    const PgResult r =
        m_c.exec("SELECT EXISTS (SELECT 1 FROM pg_locks WHERE locktype = 'advisory' AND "
                 "pid = pg_backend_pid() AND classid = $1::oid AND objid = $2::oid AND granted)",
                 {PgParam::integer(kLockClass), PgParam::integer(kAccessLock)});
    return r.boolean(0, 0);
}

std::optional<AccessEditor> ServerRegister::lockAccessEditor() {
    if (holdsAccessEditor())
        return std::nullopt;
    const PgResult got = m_c.exec("SELECT pg_try_advisory_lock($1, $2)",
                                  {PgParam::integer(kLockClass), PgParam::integer(kAccessLock)});
    if (got.boolean(0, 0)) {
        m_c.exec("INSERT INTO access_editor (id, holder, machine, since, backend) "
                 "VALUES (1, $1, $2, now(), pg_backend_pid()) ON CONFLICT (id) DO UPDATE SET "
                 "holder = EXCLUDED.holder, machine = EXCLUDED.machine, since = now(), "
                 "backend = EXCLUDED.backend",
                 {PgParam::text(m_user), PgParam::text(m_machine)});
        return std::nullopt;
    }
    const PgResult r =
        m_c.exec("SELECT holder, machine, extract(epoch FROM since)::float8 FROM access_editor");
    AccessEditor holder;
    if (r.rows()) {
        holder.user = r.text(0, 0);
        holder.machine = r.text(0, 1);
        holder.since = QDateTime::fromMSecsSinceEpoch(qRound64(r.real(0, 2) * 1000), Qt::UTC);
    }
    return holder;
}

void ServerRegister::unlockAccessEditor() {
    if (!m_c.connected())
        return;
    m_c.exec("SELECT pg_advisory_unlock($1, $2)",
             {PgParam::integer(kLockClass), PgParam::integer(kAccessLock)});
}

void ServerRegister::writeAccessTable(const QByteArray& content, std::optional<int> readVersion) {
    if (!holdsAccessEditor())
        throw ServerError(ServerError::Kind::Refused,
                          QStringLiteral("Таблица доступа не записана: связь с сервером %1 "
                                         "прерывалась, и право её править потеряно. Откройте "
                                         "таблицу снова.")
                              .arg(serverName()));
    PgTransaction t(m_c);
    if (readVersion) {
        const PgResult now = m_c.exec("SELECT version FROM access_table WHERE id = 1 FOR UPDATE");
        if ((now.rows() ? now.int32(0, 0) : 0) != *readVersion)
            throw ServerError(ServerError::Kind::Refused,
                              QStringLiteral("Таблицу доступа изменили на другом рабочем месте "
                                             "после того, как она была показана здесь; она не "
                                             "записана. Закройте окно таблицы и откройте его "
                                             "снова, чтобы увидеть её как есть, и повторите "
                                             "правку."));
    }
    m_c.exec("INSERT INTO access_table (id, content) VALUES (1, $1) ON CONFLICT (id) DO UPDATE "
             "SET content = EXCLUDED.content, version = access_table.version + 1",
             {PgParam::bytes(content)});
    notify(QStringLiteral("access"));
    commitChange(t, Change::Other);
}

} // namespace zelm
