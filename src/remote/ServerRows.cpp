#include "remote/ServerRows.h"

#include "remote/ServerCards.h"
#include "server/ServerCallThread.h"

#include <algorithm>
#include <stdexcept>

namespace zelm {
namespace {

constexpr qint64 kBlockCards = 64; // a screen of rows and some, in one query
constexpr size_t kCachedBlocks = 8;

} // namespace

ServerRows::ServerRows(ServerCards& cards, RegisterFile file)
    : m_cards(cards), m_file(file), m_seen(cards.generation()) {}

qint64 ServerRows::count() const {
    return m_cards.count(m_file);
}

const char* ServerRows::record(qint64 index) {
    if (index < 0 || index >= count())
        return nullptr;
    const qint64 first = index / kBlockCards * kBlockCards;
    auto it = std::find_if(m_cache.begin(), m_cache.end(),
                           [first](const Block& b) { return b.first == first; });
    if (it == m_cache.end()) {
        if (forDrawing() && servercalls::serving()) {
            // The window's thread would wait for the server inside its drawing.
            if (m_leftUnread < 0)
                m_leftUnread = first;
            return nullptr;
        }
        if (!readBlock(first))
            return nullptr;
        it = m_cache.begin();
    } else if (it != m_cache.begin()) {
        m_cache.splice(m_cache.begin(), m_cache, it);
        it = m_cache.begin();
    }
    return reinterpret_cast<const char*>(&it->cards[static_cast<size_t>(index - first)]);
}

bool ServerRows::readBlock(qint64 first) {
    Block block{first,
                std::vector<TAnketa>(static_cast<size_t>(std::min(kBlockCards, count() - first)))};
    try {
        m_cards.readRecords(m_file, first, static_cast<qint64>(block.cards.size()),
                            block.cards.data());
    } catch (const std::exception&) {
        // Painting cannot report: the rows stay empty until the server answers again.
        return false;
    }
    m_cache.push_front(std::move(block));
    if (m_cache.size() > kCachedBlocks)
        m_cache.pop_back();
    return true;
}

bool ServerRows::readLeftRows() {
    const qint64 first = m_leftUnread;
    m_leftUnread = -1;
    return first >= 0 && first < count() && readBlock(first);
}

bool ServerRows::check() {
    if (m_seen == m_cards.generation())
        return false;
    reload();
    return true;
}

void ServerRows::reload() {
    m_cache.clear();
    m_seen = m_cards.generation();
}

} // namespace zelm
