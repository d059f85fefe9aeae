#pragma once
// The other workstations' changes as they commit: a connection of its own that LISTENs and is
// watched by the event loop, so a list hears of a change within milliseconds. When the server
// goes away the feed says so and tries again every second; after it is back, notices sent
// meanwhile are lost, so reloadAll() asks the listener to read again what it shows.
#include "server/PgConnection.h"

#include <QObject>
#include <QString>
#include <QTimer>
#include <memory>

class QSocketNotifier;

namespace zelm {

class ChangeFeed : public QObject {
    Q_OBJECT
public:
    explicit ChangeFeed(ServerConfig config, QObject* parent = nullptr);
    ~ChangeFeed() override;

    // Connects and listens; throws ServerError when the server cannot be reached.
    void start();
    bool listening() const;

signals:
    // `file` 0 is the Main card file, 1 the Archive; `what` is append, insert, save, delete or
    // archive; `originPid` is the server process of the workstation that made the change
    // (PgConnection::backendPid), so a workstation can pass over its own.
    void cardChanged(int file, qint64 id, const QString& what, int originPid);
    void attachmentsChanged(qint32 card, int originPid);
    void referenceListChanged(const QString& fileName, int originPid);
    void accessTableChanged(int originPid);
    void connectionLost(const QString& message);
    // Changes may have been missed (the connection was lost and is back) or the whole register
    // was replaced (moved onto the server): read again everything shown.
    void reloadAll();

private:
    void readNotifications();
    void listen();
    void lost();
    void retry();

    PgConnection m_c;
    std::unique_ptr<QSocketNotifier> m_notifier;
    QTimer m_retry;
};

} // namespace zelm
