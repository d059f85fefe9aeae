// The access table on the server, reached only through the server's functions: the login
// answers a letter for the right password, and the administrator's own password opens the
// table for reading and writing each time. The editor is one administrator's at a time; its
// lock is a session lock of the server, so a workstation that crashes or loses the network
// never leaves the table locked.
#include "server/CardSql.h"
#include "server/ServerError.h"
#include "server/ServerRegister.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace zelm {

QStringList ServerRegister::accessNames() {
    const PgResult r = m_c.exec("SELECT zelm_access_names()");
    QStringList names;
    for (int i = 0; i < r.rows(); ++i)
        names << r.text(i, 0);
    return names;
}

std::optional<QString> ServerRegister::login(const QString& name, const QString& password) {
    const PgResult r = m_c.exec("SELECT dostup, token FROM zelm_login($1, $2)",
                                {PgParam::text(name), PgParam::text(password)});
    if (r.rows() == 0)
        return std::nullopt;
    if (!r.isNull(0, 1)) {
        m_loginToken = r.text(0, 1);
        m_user = name;
    }
    return r.text(0, 0);
}

void ServerRegister::vouchAgain() {
    if (m_loginToken.isEmpty())
        return;
    try {
        m_c.exec("SELECT zelm_resume($1)", {PgParam::text(m_loginToken)});
    } catch (const ServerError& e) {
        // Without it the server names this workstation's role alone beside its changes.
        if (e.kind() == ServerError::Kind::Connection)
            throw;
    }
}

std::optional<QList<AccessRow>> ServerRegister::accessRows(const QString& adminName,
                                                           const QString& adminPassword) {
    const PgResult r = m_c.exec("SELECT kod, data, fio, dostup FROM zelm_access_rows($1, $2)",
                                {PgParam::text(adminName), PgParam::text(adminPassword)});
    if (r.rows() == 0)
        return std::nullopt;
    QList<AccessRow> rows;
    for (int i = 0; i < r.rows(); ++i)
        rows.append({r.text(i, 0), r.real(i, 1), r.text(i, 2), QString(), r.text(i, 3)});
    return rows;
}

QString accessPasswordRefusal(const QString& adminName) {
    return QStringLiteral("Пароль администратора «%1» не подошёл, или у него нет буквы Z. "
                          "Таблица доступа не открыта и не изменена.")
        .arg(adminName);
}

void ServerRegister::writeAccessRows(const QString& adminName, const QString& adminPassword,
                                     const QList<AccessRow>& rows) {
    if (!holdsAccessEditor())
        throw ServerError(ServerError::Kind::Refused,
                          QStringLiteral("Таблица доступа не записана: связь с сервером %1 "
                                         "прерывалась, и право её править потеряно. Откройте "
                                         "таблицу снова.")
                              .arg(serverName()));
    QJsonArray array;
    for (const AccessRow& row : rows)
        array.append(QJsonObject{{QStringLiteral("kod"), row.Kod},
                                 {QStringLiteral("data"), row.Data},
                                 {QStringLiteral("fio"), row.FIO},
                                 {QStringLiteral("parol"), row.Parol.trimmed()},
                                 {QStringLiteral("dostup"), row.Dostup}});
    const PgResult r =
        m_c.exec("SELECT zelm_access_write($1, $2, $3::jsonb)",
                 {PgParam::text(adminName), PgParam::text(adminPassword),
                  PgParam{QJsonDocument(array).toJson(QJsonDocument::Compact), false}});
    if (r.isNull(0, 0))
        return;
    const QString why = r.text(0, 0);
    QString text;
    if (why == QLatin1String("no_z"))
        text = QStringLiteral("Таблица доступа не записана: буква Z должна быть хотя бы у "
                              "одного, иначе таблицу больше некому будет править.");
    else if (why.startsWith(QLatin1String("new:")))
        text = QStringLiteral("Таблица доступа не записана: у новой строки «%1» нет пароля. "
                              "Впишите его в столбец «Пароль».")
                   .arg(why.mid(4));
    else
        text = accessPasswordRefusal(adminName);
    throw ServerError(ServerError::Kind::Refused, text);
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
        m_c.exec("SELECT zelm_access_editor_take($1, $2)",
                 {PgParam::text(m_user), PgParam::text(m_machine)});
        return std::nullopt;
    }
    const PgResult r = m_c.exec("SELECT holder, machine, since FROM zelm_access_editor_holder()");
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

} // namespace zelm
