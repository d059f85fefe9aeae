#pragma once
// The session's register on a PostgreSQL server: the order of the Main card file and the Archive
// is held here as keys and unique numbers (16 bytes a card), the cards themselves are read when
// a card is shown, a list paints its rows or a search passes over them.
#include "session/SharedCards.h"

#include <vector>

namespace zelm {

class ServerRegister;
struct ServerCard;

class ServerCards : public SharedCards {
public:
    explicit ServerCards(ServerRegister& server);
    ~ServerCards() override;

    QString serverName() const override;
    const RecordSource& cards(RegisterFile file) const override;
    qint64 count(RegisterFile file) const override;
    void reload() override;
    std::unique_ptr<RowSource> rows(RegisterFile file) override;

    std::optional<SharedCard> read(RegisterFile file, qint64 index) override;
    std::optional<SharedCard> readId(qint64 id) override;
    qint64 idAt(RegisterFile file, qint64 index) const override;
    qint64 indexOfId(RegisterFile file, qint64 id) const override;
    qint64 indexOfNumber(std::int32_t number) const override;
    std::vector<TAnketa> candidates(RegisterFile file, const CardFilter& filter) override;

    SaveResult save(qint64 id, const TAnketa& card, int expectedVersion) override;
    SharedCard append(const TAnketa& card) override;
    SharedCard insertAfter(qint64 anchorId, const TAnketa& card) override;
    bool remove(qint64 id) override;
    bool archive(qint64 id) override;
    bool removeArchived(qint64 id) override;

    // Grows each time the order is read again: lists know their rows went stale.
    quint64 generation() const { return m_generation; }
    // Cards `first` .. `first + n - 1` of the order as last read; a card gone meanwhile is
    // read as a blank record.
    void readRecords(RegisterFile file, qint64 first, qint64 n, TAnketa* out) const;

private:
    struct Order;
    ServerRegister& m_server;
    std::unique_ptr<Order> m_main;
    std::unique_ptr<Order> m_archive;
    quint64 m_generation = 0;

    Order& order(RegisterFile file) const;
};

SharedCard sharedCardOf(const ServerCard& card);

} // namespace zelm
