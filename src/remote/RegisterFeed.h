#pragma once
// Brings the other workstations' changes to this one's session: the server's notices, a few
// gathered at a time, make the session read the register's order again, and its lists follow.
// This workstation's own changes are passed over: the session made them already. Nothing of it
// runs while the window waits for the server: the news waits for the command under way.
#include <QObject>
#include <QString>
#include <QTimer>
#include <memory>
#include <vector>

namespace zelm {

class CardSession;
class ChangeFeed;
class ServerRegister;

class RegisterFeed : public QObject {
    Q_OBJECT
public:
    RegisterFeed(ServerRegister& server, CardSession& session, QObject* parent = nullptr);
    ~RegisterFeed() override;

    // Begins to listen; connectionLost() says when the server cannot be reached.
    void start();
    bool listening() const;

signals:
    // The feed's news of others' changes, as ChangeFeed gives it, own changes left out.
    void referenceListChanged(const QString& fileName);
    void attachmentsChanged(qint32 card);
    void reloadAll();
    void connectionLost(const QString& serverName);
    void resumed();

private:
    bool own(int originPid) const;
    void changed(qint64 id, int originPid);
    void apply();

    ServerRegister& m_server;
    CardSession& m_session;
    std::unique_ptr<ChangeFeed> m_feed;
    QTimer m_gather;
    std::vector<qint64> m_ids;
    bool m_everything = false;
};

} // namespace zelm
