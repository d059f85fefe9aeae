#include "server/ServerConfig.h"

#include "server/ServerError.h"
#include "store/Cp1251.h"
#include "store/Installation.h"

#include <QFile>
#include <QFileInfo>
#include <QSysInfo>
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

// The machine itself: a Unix socket's folder, the loopback names and addresses, or its own name.
bool isLocalHost(const QString& host) {
    const QString h = host.trimmed().toLower();
    if (h.isEmpty() || h.startsWith(QLatin1Char('/')) || h.startsWith(QLatin1Char('@')))
        return true;
    if (h == QLatin1String("localhost") || h.endsWith(QLatin1String(".localhost")) ||
        h == QLatin1String("::1") || h == QLatin1String("[::1]") ||
        h.startsWith(QLatin1String("127.")))
        return true;
    return h == QSysInfo::machineHostName().toLower();
}

// Passwords and cards cross the network only to a server whose certificate was checked
// against the one the administrator put on this computer.
void requireVerifiedTls(const QStringList& hosts, const QString& sslmode) {
    if (sslmode == QLatin1String("verify-full") || sslmode == QLatin1String("verify-ca"))
        return;
    for (const QString& host : hosts) {
        if (isLocalHost(host))
            continue;
        throw ServerError(
            ServerError::Kind::Setup,
            QStringLiteral("Файл Server.vez не годится: сервер «%1» — другой компьютер, а "
                           "связь с ним не защищена проверкой сертификата (sslmode=%2). "
                           "Допишите в строку подключения в Server.vez «sslmode=verify-full» "
                           "и положите сертификат сервера (или выдавшего его удостоверяющего "
                           "центра) в файл ~/.postgresql/root.crt в домашней папке "
                           "пользователя этого компьютера. Программа к серверу не "
                           "подключалась.")
                .arg(host, sslmode.isEmpty() ? QStringLiteral("не указан") : sslmode));
    }
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
    QString host, port, hostList, hostaddrList, sslmode, service;
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
        if (key == "host")
            hostList = QString::fromUtf8(value);
        if (key == "hostaddr")
            hostaddrList = QString::fromUtf8(value);
        if (key == "service")
            service = QString::fromUtf8(value);
        if (key == "sslmode")
            sslmode = QString::fromUtf8(value);
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
    // What libpq would take from the environment where the string says nothing.
    if (hostList.isEmpty() && hostaddrList.isEmpty()) {
        hostList = qEnvironmentVariable("PGHOST");
        hostaddrList = qEnvironmentVariable("PGHOSTADDR");
    }
    if (sslmode.isEmpty())
        sslmode = qEnvironmentVariable("PGSSLMODE");
    if (service.isEmpty())
        service = qEnvironmentVariable("PGSERVICE");
    // Every name and address counts: libpq may take either. A service file's host is not seen
    // here, so it counts as another computer.
    QStringList targets = hostList.split(QLatin1Char(',')) + hostaddrList.split(QLatin1Char(','));
    if (!service.isEmpty())
        targets << QStringLiteral("service=") + service;
    requireVerifiedTls(targets, sslmode.trimmed());
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
