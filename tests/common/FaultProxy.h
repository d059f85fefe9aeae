#pragma once
// A relay of the tests' own between the program and the test's PostgreSQL: a TCP port on
// 127.0.0.1 whose connections it carries to the server's Unix socket, until a test makes the
// link fail the ways a network does (goes silent, stalls mid-reply, loses one reply).
#include <QString>
#include <atomic>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace zelm::testing {

class FaultProxy {
public:
    // Relays to the Unix socket of a server on `socketFolder` (PgTestServer::socketFolder()).
    explicit FaultProxy(const QString& socketFolder);
    ~FaultProxy();
    FaultProxy(const FaultProxy&) = delete;
    FaultProxy& operator=(const FaultProxy&) = delete;

    bool listening() const { return m_port != 0; }
    quint16 port() const { return m_port; }
    QString connectionString(const QString& database) const;

    // Nothing more goes either way; the connections stay open at both ends, as a cable pulled
    // between two routers leaves them.
    void setSilent(bool silent) { m_silent = silent; }
    // The server's next `bytes` reach the program, then the link goes silent.
    void stallAfter(qint64 bytes) { m_budget = bytes; }
    // The next COMMIT reaches the server and is carried out; its reply is dropped and the
    // connection cut, as when the link fails at that moment. `thenRefuse`: the link stays
    // down for new connections too (setRefusing(true)) from that moment.
    void dropNextCommitReply(bool thenRefuse = false) {
        m_refuseAfterDrop = thenRefuse;
        m_dropCommit = true;
    }
    // New connections are closed as soon as they are made (the link still down).
    void setRefusing(bool refusing) { m_refusing = refusing; }
    // How many COMMIT replies were dropped so far.
    int droppedReplies() const { return m_dropped; }

private:
    struct Pair;
    void run();
    void accept();
    bool relay(Pair& p, bool fromClient);

    QString m_upstream;
    int m_listen = -1;
    quint16 m_port = 0;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_silent{false};
    std::atomic<bool> m_refusing{false};
    std::atomic<bool> m_dropCommit{false};
    std::atomic<bool> m_refuseAfterDrop{false};
    std::atomic<qint64> m_budget{-1};
    std::atomic<int> m_dropped{0};
    std::vector<std::unique_ptr<Pair>> m_pairs;
    std::thread m_thread;
};

} // namespace zelm::testing
