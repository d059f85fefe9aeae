#include "server/ChangeFeed.h"

#include "server/PgConnection.h"
#include "server/ServerError.h"

#include <QDeadlineTimer>
#include <QSocketNotifier>
#include <QTimer>
#include <libpq-fe.h>
#include <memory>

namespace zelm {
namespace {

const QStringList& cardChanges() {
    static const QStringList known{QStringLiteral("append"),  QStringLiteral("insert"),
                                   QStringLiteral("save"),    QStringLiteral("delete"),
                                   QStringLiteral("archive"), QStringLiteral("recall"),
                                   QStringLiteral("restore")};
    return known;
}

} // namespace

// The feed's work, on its thread: the connection, its socket and its timers.
class ChangeListener : public QObject {
public:
    ChangeListener(ServerConfig config, ChangeFeed& feed) : m_c(std::move(config)), m_feed(feed) {
        m_retry.setInterval(1000);
        m_retry.setSingleShot(true);
        connect(&m_retry, &QTimer::timeout, this, &ChangeListener::retry);
        m_heartbeat.setInterval(m_c.config().limits.feedHeartbeatMs);
        connect(&m_heartbeat, &QTimer::timeout, this, &ChangeListener::beat);
        m_reloadLater.setSingleShot(true);
        connect(&m_reloadLater, &QTimer::timeout, this, &ChangeListener::reloadNow);
    }

    void start() {
        if (!listen())
            lost();
    }

    void stop() {
        m_retry.stop();
        m_heartbeat.stop();
        m_reloadLater.stop();
        m_notifier.reset();
        m_c.disconnect();
        m_feed.m_listening = false;
    }

private:
    // The feed's signals are sent from the window's thread, where its listeners live.
    template <class F> void tell(F f) {
        QMetaObject::invokeMethod(&m_feed, std::move(f), Qt::QueuedConnection);
    }

    bool listen() {
        m_notifier.reset();
        try {
            m_c.ensureConnected();
            m_c.exec("LISTEN zelm");
        } catch (const ServerError&) {
            return false;
        }
        m_notifier =
            std::make_unique<QSocketNotifier>(PQsocket(m_c.handle()), QSocketNotifier::Read);
        connect(m_notifier.get(), &QSocketNotifier::activated, this, &ChangeListener::read);
        m_awaitingSince = 0;
        m_heartbeat.start();
        m_feed.m_listening = true;
        return true;
    }

    void lost() {
        const bool was = m_feed.m_listening.exchange(false);
        m_heartbeat.stop();
        m_notifier.reset();
        m_c.disconnect();
        if (was || !m_toldLost)
            tell([message = connectionLostMessage(m_c.serverName()), f = &m_feed] {
                emit f->connectionLost(message);
            });
        m_toldLost = true;
        m_retry.start();
    }

    void retry() {
        if (!listen()) {
            m_retry.start();
            return;
        }
        m_toldLost = false;
        tell([=, f = &m_feed] { emit f->resumed(); });
        tell([=, f = &m_feed] { emit f->reloadAll(); });
    }

    // A sign of life asked for on the idle connection; no answer in time is a silent link.
    void beat() {
        PGconn* conn = m_c.handle();
        const qint64 now = QDeadlineTimer::current().deadline();
        if (m_awaitingSince > 0) {
            if (now - m_awaitingSince > m_c.config().limits.feedSilenceMs)
                lost();
            return;
        }
        if (!conn || !PQsendQuery(conn, "SELECT 1") || PQflush(conn) < 0) {
            lost();
            return;
        }
        m_awaitingSince = now;
    }

    void read() {
        PGconn* conn = m_c.handle();
        if (!conn || !PQconsumeInput(conn) || PQstatus(conn) != CONNECTION_OK) {
            lost();
            return;
        }
        while (m_awaitingSince > 0 && !PQisBusy(conn)) {
            PGresult* r = PQgetResult(conn);
            if (!r) {
                m_awaitingSince = 0; // the sign of life came
                break;
            }
            PQclear(r);
        }
        while (PGnotify* n = PQnotifies(conn)) {
            const QString payload = QString::fromUtf8(n->extra);
            const int origin = n->be_pid;
            PQfreemem(n);
            pass(payload, origin);
        }
    }

    // A notice is used only when it is one the server's functions send.
    void pass(const QString& payload, int origin) {
        const QStringList parts = payload.split(QLatin1Char(' '));
        const QString kind = parts.value(0);
        bool fileOk = false, idOk = false;
        if (kind == QLatin1String("card") && parts.size() == 4) {
            const int file = parts[1].toInt(&fileOk);
            const qint64 id = parts[2].toLongLong(&idOk);
            if (fileOk && idOk && (file == 0 || file == 1) && id > 0 &&
                cardChanges().contains(parts[3]))
                tell([=, f = &m_feed] { emit f->cardChanged(file, id, parts[3], origin); });
        } else if (kind == QLatin1String("attachments") && parts.size() == 2) {
            const qint32 card = parts[1].toInt(&idOk);
            if (idOk)
                tell([=, f = &m_feed] { emit f->attachmentsChanged(card, origin); });
        } else if (kind == QLatin1String("list") && parts.size() >= 2 && payload.size() < 64) {
            tell([=, f = &m_feed] { emit f->referenceListChanged(payload.mid(5), origin); });
        } else if (kind == QLatin1String("access") && parts.size() == 1) {
            tell([=, f = &m_feed] { emit f->accessTableChanged(origin); });
        } else if (kind == QLatin1String("register") && parts.size() == 1) {
            reloadSoon();
        }
    }

    // The whole register was replaced: read again, but not more often than every few seconds
    // however many such notices come.
    void reloadSoon() {
        constexpr qint64 kReloadGapMs = 3000;
        const qint64 now = QDeadlineTimer::current().deadline();
        if (m_reloadLater.isActive())
            return;
        const qint64 wait = m_lastReload + kReloadGapMs - now;
        if (m_lastReload == 0 || wait <= 0)
            reloadNow();
        else
            m_reloadLater.start(static_cast<int>(wait));
    }
    void reloadNow() {
        m_lastReload = QDeadlineTimer::current().deadline();
        tell([=, f = &m_feed] { emit f->reloadAll(); });
    }

    PgConnection m_c;
    ChangeFeed& m_feed;
    std::unique_ptr<QSocketNotifier> m_notifier;
    // Children, so that they move to the feed's thread with the listener.
    QTimer m_retry{this};
    QTimer m_heartbeat{this};
    QTimer m_reloadLater{this};
    qint64 m_awaitingSince = 0;
    qint64 m_lastReload = 0;
    bool m_toldLost = false;
};

ChangeFeed::ChangeFeed(ServerConfig config, QObject* parent)
    : QObject(parent), m_listener(new ChangeListener(std::move(config), *this)) {
    m_thread.setObjectName(QStringLiteral("zelm-feed"));
    m_listener->moveToThread(&m_thread);
    m_thread.start();
}

ChangeFeed::~ChangeFeed() {
    QMetaObject::invokeMethod(
        m_listener, [l = m_listener] { l->stop(); }, Qt::BlockingQueuedConnection);
    m_thread.quit();
    m_thread.wait();
    delete m_listener;
}

void ChangeFeed::start() {
    QMetaObject::invokeMethod(
        m_listener, [l = m_listener] { l->start(); }, Qt::QueuedConnection);
}

} // namespace zelm
