#include "common/FaultProxy.h"

#include <QByteArray>
#include <algorithm>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace zelm::testing {

struct FaultProxy::Pair {
    int client = -1;
    int server = -1;
    bool commitSent = false; // the COMMIT whose reply is to be dropped went to the server
    bool stalled = false;
    ~Pair() {
        if (client >= 0)
            ::close(client);
        if (server >= 0)
            ::close(server);
    }
};

namespace {

bool sendAll(int fd, const char* data, qint64 n) {
    while (n > 0) {
        const ssize_t k = ::send(fd, data, static_cast<size_t>(n), MSG_NOSIGNAL);
        if (k <= 0)
            return false;
        data += k;
        n -= k;
    }
    return true;
}

} // namespace

FaultProxy::FaultProxy(const QString& socketFolder)
    : m_upstream(socketFolder + QStringLiteral("/.s.PGSQL.5432")) {
    m_listen = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof addr;
    if (m_listen < 0 || ::bind(m_listen, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
        ::listen(m_listen, 64) != 0 ||
        ::getsockname(m_listen, reinterpret_cast<sockaddr*>(&addr), &len) != 0)
        return;
    m_port = ntohs(addr.sin_port);
    m_thread = std::thread([this] { run(); });
}

FaultProxy::~FaultProxy() {
    m_stop = true;
    if (m_thread.joinable())
        m_thread.join();
    m_pairs.clear();
    if (m_listen >= 0)
        ::close(m_listen);
}

QString FaultProxy::connectionString(const QString& database) const {
    return QStringLiteral("host=127.0.0.1 port=%1 dbname=%2 user=pgadmin")
        .arg(m_port)
        .arg(database);
}

void FaultProxy::accept() {
    const int client = ::accept(m_listen, nullptr, nullptr);
    if (client < 0)
        return;
    if (m_refusing) {
        ::close(client);
        return;
    }
    auto p = std::make_unique<Pair>();
    p->client = client;
    p->server = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    const QByteArray path = m_upstream.toLocal8Bit();
    qstrncpy(addr.sun_path, path.constData(), sizeof addr.sun_path);
    if (p->server < 0 || ::connect(p->server, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0)
        return; // the pair closes both
    m_pairs.push_back(std::move(p));
}

// False when the pair is done with.
bool FaultProxy::relay(Pair& p, bool fromClient) {
    char buf[16384];
    const ssize_t n = ::recv(fromClient ? p.client : p.server, buf, sizeof buf, 0);
    if (n <= 0)
        return false;
    if (fromClient) {
        if (m_dropCommit && QByteArray::fromRawData(buf, n).contains("COMMIT")) {
            m_dropCommit = false;
            p.commitSent = true;
        }
        return sendAll(p.server, buf, n);
    }
    if (p.commitSent) {
        // The server answered: the COMMIT is done, and its answer is lost.
        if (m_refuseAfterDrop)
            m_refusing = true;
        ++m_dropped;
        return false;
    }
    qint64 pass = n;
    const qint64 budget = m_budget;
    if (budget >= 0) {
        pass = std::min<qint64>(budget, n);
        m_budget = budget - pass;
        p.stalled = m_budget == 0;
    }
    return sendAll(p.client, buf, pass);
}

void FaultProxy::run() {
    while (!m_stop) {
        std::vector<pollfd> fds{{m_listen, POLLIN, 0}};
        std::vector<Pair*> watched;
        if (!m_silent)
            for (const auto& p : m_pairs)
                if (!p->stalled) {
                    watched.push_back(p.get());
                    fds.push_back({p->client, POLLIN, 0});
                    fds.push_back({p->server, POLLIN, 0});
                }
        if (::poll(fds.data(), fds.size(), 20) <= 0)
            continue;
        std::vector<Pair*> done;
        for (size_t i = 0; i < watched.size(); ++i) {
            Pair& p = *watched[i];
            const bool fromClient = fds[1 + 2 * i].revents != 0;
            const bool fromServer = fds[2 + 2 * i].revents != 0;
            if ((fromClient && !relay(p, true)) || (fromServer && !p.stalled && !relay(p, false)))
                done.push_back(&p);
        }
        std::erase_if(m_pairs, [&](const auto& p) {
            return std::find(done.begin(), done.end(), p.get()) != done.end();
        });
        if (fds[0].revents)
            accept();
    }
}

} // namespace zelm::testing
