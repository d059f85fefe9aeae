#pragma once
// A card list's rows from the server: a few blocks of cards read when the list has painted
// without them (a paint never waits for the server), kept until the order is read again. A server
// that cannot be reached shows empty rows; the next command says why.
#include "cardlists/RowSource.h"
#include "register/Register.h"

#include <list>
#include <vector>

namespace zelm {

class ServerCards;

class ServerRows : public RowSource {
public:
    ServerRows(ServerCards& cards, RegisterFile file);

    qint64 count() const override;
    const char* record(qint64 index) override;
    bool check() override;
    void reload() override;
    bool stale() const override { return false; }
    // A list paints without waiting: a block not read yet is read after the painting.
    bool rowsLeftUnread() const override { return m_leftUnread >= 0; }
    bool readLeftRows() override;

private:
    bool readBlock(qint64 first); // false when the server did not answer
    struct Block {
        qint64 first;
        std::vector<TAnketa> cards;
    };
    ServerCards& m_cards;
    RegisterFile m_file;
    quint64 m_seen;
    std::list<Block> m_cache; // most recently used first
    qint64 m_leftUnread = -1; // the first row of the block painting left unread
};

} // namespace zelm
