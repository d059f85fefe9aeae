#pragma once
// The other workstations' changes as they commit: a connection of its own, on a thread of its
// own, that LISTENs, so a list hears of a change within milliseconds and the window never waits
// for the feed. The feed asks the server for a sign of life now and then: a link that goes
// silent is noticed within seconds, not when the operating system gives up. When the server
// goes away the feed says so and tries again every second; once it is back, notices sent
// meanwhile are lost, so reloadAll() asks the listener to read again what it shows.
//
// Anyone who may connect may send a notice: notices are checked, and those that would make
// every workstation read everything are let through at most once every few seconds.
#include "server/ServerConfig.h"

#include <QObject>
#include <QString>
#include <QThread>
#include <atomic>

namespace zelm {

class ChangeListener;

class ChangeFeed : public QObject {
    Q_OBJECT
public:
    explicit ChangeFeed(ServerConfig config, QObject* parent = nullptr);
    ~ChangeFeed() override;

    // Begins to listen, on the feed's thread; connectionLost() says when it could not.
    void start();
    bool listening() const { return m_listening.load(); }

signals:
    // `file` 0 is the Main card file, 1 the Archive; `what` is append, insert, save, delete,
    // archive or recall; `originPid` is the server process of the workstation that made the
    // change (PgConnection::backendPid), so a workstation can pass over its own.
    void cardChanged(int file, qint64 id, const QString& what, int originPid);
    void attachmentsChanged(qint32 card, int originPid);
    void referenceListChanged(const QString& fileName, int originPid);
    void accessTableChanged(int originPid);
    void connectionLost(const QString& message);
    // Listening again after connectionLost().
    void resumed();
    // Changes may have been missed (the connection was lost and is back) or the whole register
    // was replaced (moved onto the server): read again everything shown.
    void reloadAll();

private:
    friend class ChangeListener;
    std::atomic<bool> m_listening{false};
    QThread m_thread;
    ChangeListener* m_listener; // lives on m_thread
};

} // namespace zelm
