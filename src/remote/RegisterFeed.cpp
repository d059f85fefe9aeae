#include "remote/RegisterFeed.h"

#include "server/ChangeFeed.h"
#include "server/ServerCallThread.h"
#include "server/ServerRegister.h"
#include "session/CardSession.h"

namespace zelm {
namespace {

// Notices arriving within this many milliseconds are read in one go: a register moved onto the
// server or a burst of deletions is shown once, not card by card.
constexpr int kGatherMs = 50;

} // namespace

RegisterFeed::RegisterFeed(ServerRegister& server, CardSession& session, QObject* parent)
    : QObject(parent), m_server(server), m_session(session),
      m_feed(std::make_unique<ChangeFeed>(server.connection().config())) {
    m_gather.setSingleShot(true);
    m_gather.setInterval(kGatherMs);
    connect(&m_gather, &QTimer::timeout, this,
            [this] { servercalls::whenIdle(this, [this] { apply(); }); });
    connect(m_feed.get(), &ChangeFeed::cardChanged, this,
            [this](int, qint64 id, const QString&, int originPid) { changed(id, originPid); });
    connect(m_feed.get(), &ChangeFeed::reloadAll, this, [this] {
        m_everything = true;
        m_gather.start();
        servercalls::whenIdle(this, [this] { emit reloadAll(); });
    });
    connect(m_feed.get(), &ChangeFeed::referenceListChanged, this,
            [this](const QString& fileName, int originPid) {
                if (!own(originPid))
                    servercalls::whenIdle(
                        this, [this, fileName] { emit referenceListChanged(fileName); });
            });
    connect(m_feed.get(), &ChangeFeed::attachmentsChanged, this,
            [this](qint32 card, int originPid) {
                if (!own(originPid))
                    servercalls::whenIdle(this, [this, card] { emit attachmentsChanged(card); });
            });
    connect(m_feed.get(), &ChangeFeed::connectionLost, this,
            [this] { emit connectionLost(m_server.serverName()); });
    connect(m_feed.get(), &ChangeFeed::resumed, this, &RegisterFeed::resumed);
}

RegisterFeed::~RegisterFeed() = default;

void RegisterFeed::start() {
    m_feed->start();
}

bool RegisterFeed::listening() const {
    return m_feed->listening();
}

bool RegisterFeed::own(int originPid) const {
    return originPid != 0 && originPid == m_server.connection().backendPid();
}

void RegisterFeed::changed(qint64 id, int originPid) {
    if (own(originPid))
        return;
    m_ids.push_back(id);
    if (!m_gather.isActive())
        m_gather.start();
}

void RegisterFeed::apply() {
    if (m_ids.empty() && !m_everything)
        return; // applied already, by an earlier gathering
    std::vector<qint64> ids;
    ids.swap(m_ids);
    if (m_everything)
        ids.clear();
    m_everything = false;
    try {
        m_session.cardsChangedElsewhere(ids);
    } catch (const std::exception&) {
        // The server went away meanwhile: the feed says so and reloads once it is back.
    }
}

} // namespace zelm
