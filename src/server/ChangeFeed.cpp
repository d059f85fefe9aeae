#include "server/ChangeFeed.h"

#include "server/ServerError.h"

#include <QSocketNotifier>
#include <libpq-fe.h>

namespace zelm {

ChangeFeed::ChangeFeed(ServerConfig config, QObject* parent)
    : QObject(parent), m_c(std::move(config)) {
    m_retry.setInterval(1000);
    m_retry.setSingleShot(true);
    connect(&m_retry, &QTimer::timeout, this, &ChangeFeed::retry);
}

ChangeFeed::~ChangeFeed() {
    m_notifier.reset();
}

bool ChangeFeed::listening() const {
    return m_notifier != nullptr && m_c.connected();
}

void ChangeFeed::start() {
    try {
        listen();
    } catch (const ServerError&) {
        m_retry.start(); // the lists catch up once the feed is back
        throw;
    }
}

void ChangeFeed::listen() {
    m_notifier.reset();
    m_c.ensureConnected();
    m_c.exec("LISTEN zelm");
    m_notifier = std::make_unique<QSocketNotifier>(PQsocket(m_c.handle()), QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, &ChangeFeed::readNotifications);
}

void ChangeFeed::lost() {
    m_notifier.reset();
    m_c.disconnect();
    emit connectionLost(connectionLostMessage(m_c.serverName()));
    m_retry.start();
}

void ChangeFeed::retry() {
    try {
        listen();
    } catch (const ServerError&) {
        m_retry.start();
        return;
    }
    emit reloadAll();
}

void ChangeFeed::readNotifications() {
    PGconn* conn = m_c.handle();
    if (!conn || !PQconsumeInput(conn) || PQstatus(conn) != CONNECTION_OK) {
        lost();
        return;
    }
    while (PGnotify* n = PQnotifies(conn)) {
        const QString payload = QString::fromUtf8(n->extra);
        const int origin = n->be_pid;
        PQfreemem(n);
        const QStringList parts = payload.split(QLatin1Char(' '));
        const QString kind = parts.value(0);
        if (kind == QLatin1String("card") && parts.size() == 4)
            emit cardChanged(parts[1].toInt(), parts[2].toLongLong(), parts[3], origin);
        else if (kind == QLatin1String("attachments") && parts.size() == 2)
            emit attachmentsChanged(parts[1].toInt(), origin);
        else if (kind == QLatin1String("list") && parts.size() >= 2)
            emit referenceListChanged(payload.mid(5), origin);
        else if (kind == QLatin1String("access"))
            emit accessTableChanged(origin);
        else if (kind == QLatin1String("register"))
            emit reloadAll();
    }
}

} // namespace zelm
