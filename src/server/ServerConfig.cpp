#include "server/ServerConfig.h"

#include "server/ServerError.h"
#include "store/Cp1251.h"
#include "store/Installation.h"

#include <QFile>
#include <QFileInfo>
#include <libpq-fe.h>

namespace zelm {
namespace {

ServerError setupError(const QString& why) {
    return ServerError(ServerError::Kind::Setup,
                       QStringLiteral("Файл Server.vez не годится: %1").arg(why));
}

QString localUserName() {
    const QByteArray u = qgetenv("PGUSER");
    if (!u.isEmpty())
        return QString::fromLocal8Bit(u);
    const QByteArray login = qgetenv("USER");
    return login.isEmpty() ? QString::fromLocal8Bit(qgetenv("LOGNAME"))
                           : QString::fromLocal8Bit(login);
}

} // namespace

ServerConfig ServerConfig::parse(const QString& connectionString) {
    const QByteArray text = connectionString.trimmed().toUtf8();
    if (text.isEmpty())
        throw setupError(QStringLiteral("в нём нет строки подключения к серверу."));
    char* error = nullptr;
    PQconninfoOption* options = PQconninfoParse(text.constData(), &error);
    if (!options) {
        const QString why = error ? QString::fromUtf8(error).trimmed() : QString();
        PQfreemem(error);
        throw setupError(QStringLiteral("строка подключения не разобрана (%1).").arg(why));
    }
    ServerConfig c;
    c.connectionString = QString::fromUtf8(text);
    QString host, port;
    bool hasPassword = false;
    for (PQconninfoOption* o = options; o->keyword; ++o) {
        if (!o->val)
            continue;
        const QByteArray key(o->keyword);
        const QByteArray value(o->val);
        if (key == "password") {
            hasPassword = true;
            continue;
        }
        if (key == "client_encoding")
            continue; // the program's own texts are sent as UTF-8
        if (key == "host" || key == "hostaddr")
            host = host.isEmpty() ? QString::fromUtf8(value) : host;
        if (key == "port")
            port = QString::fromUtf8(value);
        if (key == "user")
            c.user = QString::fromUtf8(value);
        if (key == "dbname")
            c.database = QString::fromUtf8(value);
        c.keywords.append(qMakePair(key, value));
    }
    PQconninfoFree(options);
    if (hasPassword)
        throw setupError(QStringLiteral("в нём записан пароль. Уберите его из Server.vez и "
                                        "запишите в файл паролей ~/.pgpass (права 0600)."));
    c.keywords.append(qMakePair(QByteArray("client_encoding"), QByteArray("UTF8")));
    c.keywords.append(qMakePair(QByteArray("fallback_application_name"), QByteArray("zelm")));
    if (c.user.isEmpty())
        c.user = localUserName();
    if (c.database.isEmpty())
        c.database = c.user;
    if (host.isEmpty())
        host = QStringLiteral("localhost");
    c.displayName = QStringLiteral("%1:%2/%3")
                        .arg(host, port.isEmpty() ? QStringLiteral("5432") : port, c.database);
    return c;
}

QList<QPair<QByteArray, QByteArray>> ServerConfig::connectKeywords() const {
    QList<QPair<QByteArray, QByteArray>> all = keywords;
    const auto add = [&](const char* key, int value) {
        for (const auto& kv : keywords)
            if (kv.first == key)
                return; // Server.vez chose its own
        all.append(qMakePair(QByteArray(key), QByteArray::number(value)));
    };
    add("connect_timeout", limits.connectSeconds);
    add("keepalives", 1);
    add("keepalives_idle", limits.keepaliveIdleSeconds);
    add("keepalives_interval", limits.keepaliveIntervalSeconds);
    add("keepalives_count", limits.keepaliveCount);
    add("tcp_user_timeout", limits.tcpUserTimeoutMs);
    return all;
}

QString serverConfigPath(const Installation& inst) {
    return inst.path(QStringLiteral("Server.vez"));
}

std::optional<ServerConfig> readServerConfig(const Installation& inst) {
    const QString path = serverConfigPath(inst);
    const QFileInfo info(path);
    if (!info.exists())
        return std::nullopt;
    QFile f(path);
    if (!info.isFile() || info.isSymLink() || !f.open(QIODevice::ReadOnly))
        throw setupError(QStringLiteral("его нельзя прочитать (%1).").arg(path));
    const QByteArray bytes = f.read(64 * 1024);
    // The first line that is not empty and not a comment is the connection string.
    for (const QByteArray& raw : bytes.split('\n')) {
        const QString line = fromCp1251(raw).trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        return ServerConfig::parse(line);
    }
    throw setupError(QStringLiteral("в нём нет строки подключения к серверу."));
}

} // namespace zelm
