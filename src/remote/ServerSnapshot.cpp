#include "remote/ServerSnapshot.h"

#include "remote/ServerCards.h"
#include "server/ServerRegister.h"

namespace zelm {

ServerSnapshot::ServerSnapshot(ServerConfig config, RegisterFile file)
    : m_config(std::move(config)), m_file(file) {}

ServerSnapshot::~ServerSnapshot() = default;

void ServerSnapshot::open() const {
    if (m_cards)
        return;
    auto server = std::make_unique<ServerRegister>(m_config);
    server->open();
    auto cards = std::make_unique<ServerCards>(*server);
    cards->reload();
    m_server = std::move(server);
    m_cards = std::move(cards);
}

qint64 ServerSnapshot::count() const {
    open();
    return m_cards->count(m_file);
}

void ServerSnapshot::readRange(qint64 first, qint64 n, void* out) const {
    open();
    m_cards->readRecords(m_file, first, n, static_cast<TAnketa*>(out));
}

} // namespace zelm
