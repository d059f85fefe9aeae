#pragma once
// The register on a PostgreSQL server: the order of the Main card file and the Archive is held
// here as keys and unique numbers (16 bytes a card), the cards themselves are read when a card
// is shown, a list paints its rows or a search passes over them. Places are counted in the
// register's order as this workstation last read it (reload() reads it again); every change
// names the card by the server's own key and the version read, so a place gone stale never
// hits another card.
#include "register/Register.h"

#include <vector>

namespace zelm {

class ServerRegister;
struct ServerCard;

class ServerCards : public Register {
public:
    explicit ServerCards(ServerRegister& server);
    ~ServerCards() override;

    QString name() const override;
    void open() override { reload(); }
    void close() override {}

    const RecordSource& cards(RegisterFile file) const override;
    qint64 count(RegisterFile file) const override;
    void reload() override;
    std::unique_ptr<RowSource> rows(RegisterFile file) override;
    // Follows what happened near the end of either file and saves anywhere; a card that came or
    // went further from the end makes the whole order be read.
    std::optional<std::vector<OrderStep>> follow(const std::vector<qint64>& keys) override;
    // Read on a connection of its own, made on the pass's thread.
    std::shared_ptr<const RecordSource> snapshot(RegisterFile file) const override;

    std::optional<StoredCard> read(RegisterFile file, qint64 index) override;
    std::optional<StoredCard> reread(const StoredCard& asRead) override;
    qint64 placeOf(const StoredCard& card) const override;

    qint64 indexOfNumber(std::int32_t number) const override;
    bool numberIndexReady() const override { return true; }
    void setIndexWait(std::function<void(int)>) override {}

    // With a prefilter the server picks the candidates by its index of each card's words.
    qint64 appendMatches(RegisterFile file, const std::function<bool(const TAnketa&)>& matches,
                         const CardFilter* prefilter, CardFile& target) override;

    SaveResult save(const StoredCard& asRead, const TAnketa& card) override;
    // The server gives the card a unique number no other card has (its own when free).
    StoredCard append(const TAnketa& card) override;
    StoredCard appendOnce(const TAnketa& card, const QUuid& key) override;
    StoredCard insertAfter(qint64 anchor, const TAnketa& card, const ScratchFile&) override;
    qint64 remove(const StoredCard& asRead, DeletionKind kind, const ScratchFile&) override;
    bool removeArchived(std::int32_t number, qint64 hint) override;
    StoredCard recall(const TAnketa& card) override;
    // Kept by the server's trigger: who did it is what the server recorded.
    std::vector<CardVersion> history(std::int32_t number) override;

    QString cardGoneText() const override;

    // The key of the card at `index` in the order as last read, or 0; its place, or -1.
    qint64 idAt(RegisterFile file, qint64 index) const;
    qint64 indexOfId(RegisterFile file, qint64 id) const;
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
    // The order after this workstation's own change to card `key`.
    void followOwn(qint64 key);
    std::optional<StoredCard> readId(qint64 id);
};

StoredCard storedCardOf(const ServerCard& card);

} // namespace zelm
