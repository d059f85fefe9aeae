#pragma once
// A card list's rows from the server: a few blocks of cards read when the list paints them,
// kept until the order is read again. A server that cannot be reached shows empty rows; the
// next command says why.
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

private:
    struct Block {
        qint64 first;
        std::vector<TAnketa> cards;
    };
    ServerCards& m_cards;
    RegisterFile m_file;
    quint64 m_seen;
    std::list<Block> m_cache; // most recently used first
};

} // namespace zelm
