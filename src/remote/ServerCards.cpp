#include "remote/ServerCards.h"

#include "remote/ServerRows.h"
#include "remote/ServerSnapshot.h"
#include "server/ServerCallThread.h"
#include "server/ServerRegister.h"
#include "store/CardFile.h"
#include "store/RecordScan.h"

#include <QHash>
#include <algorithm>
#include <stdexcept>

namespace zelm {
namespace {

CardFileKind kindOf(RegisterFile file) {
    return file == RegisterFile::Main ? CardFileKind::Main : CardFileKind::Archive;
}

// How far from the end of its file a card may come or go and be followed row by row.
constexpr qint64 kNearTheEnd = 64;

} // namespace

struct ServerCards::Order : RecordSource {
    Order(const ServerCards& owner, RegisterFile file) : owner(owner), file(file) {}
    qint64 count() const override { return static_cast<qint64>(rows.size()); }
    void readRange(qint64 first, qint64 n, void* out) const override {
        owner.readRecords(file, first, n, static_cast<TAnketa*>(out));
    }
    const ServerCards& owner;
    RegisterFile file;
    std::vector<CardRow> rows;
    QHash<qint64, qint64> placeOfId;

    // Each moves at most kNearTheEnd rows, or does nothing and returns false.
    bool removeAt(qint64 at) {
        if (at < 0 || count() - at > kNearTheEnd + 1)
            return false;
        placeOfId.remove(rows[static_cast<size_t>(at)].id);
        rows.erase(rows.begin() + at);
        renumberFrom(at);
        return true;
    }
    bool insertAt(qint64 at, CardRow row) {
        if (at < 0 || at > count() || count() - at > kNearTheEnd)
            return false;
        rows.insert(rows.begin() + at, row);
        renumberFrom(at);
        return true;
    }
    void renumberFrom(qint64 at) {
        for (qint64 i = at; i < count(); ++i)
            placeOfId.insert(rows[static_cast<size_t>(i)].id, i);
    }
};

StoredCard storedCardOf(const ServerCard& c) {
    StoredCard out;
    out.key = c.id;
    out.version = c.version;
    out.changedBy = c.stamp.user;
    if (!c.stamp.machine.isEmpty())
        out.changedBy += QStringLiteral(" (%1)").arg(c.stamp.machine);
    out.changedAt = c.stamp.when;
    out.card = c.record;
    return out;
}

ServerCards::ServerCards(ServerRegister& server)
    : m_server(server), m_main(std::make_unique<Order>(*this, RegisterFile::Main)),
      m_archive(std::make_unique<Order>(*this, RegisterFile::Archive)) {}

ServerCards::~ServerCards() = default;

ServerCards::Order& ServerCards::order(RegisterFile file) const {
    return file == RegisterFile::Main ? *m_main : *m_archive;
}

QString ServerCards::name() const {
    return m_server.serverName();
}

QString ServerCards::cardGoneText() const {
    return QStringLiteral("Карточку удалили или перенесли в Архив на другом рабочем месте.");
}

std::shared_ptr<const RecordSource> ServerCards::snapshot(RegisterFile file) const {
    return std::make_shared<ServerSnapshot>(m_server.connection().config(), file);
}

const RecordSource& ServerCards::cards(RegisterFile file) const {
    return order(file);
}

qint64 ServerCards::count(RegisterFile file) const {
    return order(file).count();
}

void ServerCards::reload() {
    const servercalls::Cancellable reading;
    for (RegisterFile file : {RegisterFile::Main, RegisterFile::Archive}) {
        Order& o = order(file);
        o.rows = m_server.listCards(kindOf(file));
        o.placeOfId.clear();
        o.placeOfId.reserve(static_cast<qsizetype>(o.rows.size()));
        for (size_t i = 0; i < o.rows.size(); ++i)
            o.placeOfId.insert(o.rows[i].id, static_cast<qint64>(i));
    }
    ++m_generation;
}

std::optional<std::vector<OrderStep>> ServerCards::follow(const std::vector<qint64>& keys) {
    const servercalls::Cancellable reading;
    std::vector<OrderStep> steps;
    ++m_generation; // the rows the lists hold may be stale whatever follows
    for (const qint64 key : keys) {
        const auto now = m_server.placeOfCard(key, kNearTheEnd + 1);
        const RegisterFile file =
            now && now->file == CardFileKind::Archive ? RegisterFile::Archive : RegisterFile::Main;
        for (const RegisterFile was : {RegisterFile::Main, RegisterFile::Archive}) {
            const qint64 at = indexOfId(was, key);
            if (at < 0 || (now && was == file))
                continue;
            if (!order(was).removeAt(at))
                return std::nullopt;
            steps.push_back({OrderStep::Kind::Removed, was, at});
        }
        if (!now)
            continue;
        Order& o = order(file);
        const qint64 at = indexOfId(file, key);
        if (at >= 0) {
            // Saved where it stood; near the end the server's count tells whether that is so.
            if (now->after <= kNearTheEnd && o.count() - 1 - at != now->after)
                return std::nullopt;
            o.rows[static_cast<size_t>(at)].uniq = now->uniq;
            steps.push_back({OrderStep::Kind::Written, file, at});
            continue;
        }
        const qint64 to = o.count() - now->after;
        if (now->after > kNearTheEnd || !o.insertAt(to, {key, now->uniq}))
            return std::nullopt;
        steps.push_back({OrderStep::Kind::Inserted, file, to});
    }
    return steps;
}

void ServerCards::followOwn(qint64 key) {
    if (!follow({key}))
        reload();
}

std::unique_ptr<RowSource> ServerCards::rows(RegisterFile file) {
    return std::make_unique<ServerRows>(*this, file);
}

void ServerCards::readRecords(RegisterFile file, qint64 first, qint64 n, TAnketa* out) const {
    const servercalls::Cancellable reading;
    const Order& o = order(file);
    first = std::max<qint64>(first, 0);
    const qint64 end = std::min<qint64>(first + n, o.count());
    std::vector<qint64> ids;
    ids.reserve(static_cast<size_t>(std::max<qint64>(end - first, 0)));
    for (qint64 i = first; i < end; ++i)
        ids.push_back(o.rows[static_cast<size_t>(i)].id);
    const std::vector<ServerCard> read = m_server.readCards(ids);
    // readCards leaves out the cards gone meanwhile; the others keep their order.
    size_t next = 0;
    for (qint64 i = 0; i < n; ++i) {
        const qint64 id = first + i < end ? ids[static_cast<size_t>(i)] : 0;
        if (next < read.size() && read[next].id == id)
            out[i] = read[next++].record;
        else
            out[i] = TAnketa::zeroed();
    }
}

std::optional<StoredCard> ServerCards::read(RegisterFile file, qint64 index) {
    const servercalls::Cancellable reading;
    const qint64 id = idAt(file, index);
    if (id == 0)
        return std::nullopt;
    std::optional<StoredCard> card = readId(id);
    if (card)
        card->place = index;
    return card;
}

std::optional<StoredCard> ServerCards::reread(const StoredCard& asRead) {
    std::optional<StoredCard> card = readId(asRead.key);
    if (card)
        card->place = indexOfId(RegisterFile::Main, card->key);
    return card;
}

std::optional<StoredCard> ServerCards::readId(qint64 id) {
    const std::optional<ServerCard> c = m_server.readCard(id);
    if (!c)
        return std::nullopt;
    return storedCardOf(*c);
}

qint64 ServerCards::idAt(RegisterFile file, qint64 index) const {
    const Order& o = order(file);
    if (index < 0 || index >= o.count())
        return 0;
    return o.rows[static_cast<size_t>(index)].id;
}

qint64 ServerCards::indexOfId(RegisterFile file, qint64 id) const {
    return order(file).placeOfId.value(id, -1);
}

qint64 ServerCards::indexOfNumber(std::int32_t number) const {
    const std::vector<CardRow>& rows = m_main->rows;
    const auto it = std::find_if(rows.begin(), rows.end(),
                                 [number](const CardRow& r) { return r.uniq == number; });
    return it == rows.end() ? -1 : static_cast<qint64>(it - rows.begin());
}

qint64 ServerCards::appendMatches(RegisterFile file,
                                  const std::function<bool(const TAnketa&)>& matches,
                                  const CardFilter* prefilter, CardFile& target) {
    const servercalls::Cancellable searching;
    if (!prefilter)
        return appendMatching<TAnketa>(cards(file), matches, target);
    // Written as they come, a block at a time: memory stays flat however many are found.
    constexpr size_t kBlock = 512;
    std::vector<TAnketa> found;
    found.reserve(kBlock);
    qint64 total = 0;
    const auto flush = [&] {
        if (found.empty())
            return;
        target.appendMany(found.data(), static_cast<qint64>(found.size()));
        total += static_cast<qint64>(found.size());
        found.clear();
    };
    m_server.findRecords(kindOf(file), *prefilter, [&](const TAnketa& card) {
        if (matches(card))
            found.push_back(card);
        if (found.size() == kBlock)
            flush();
    });
    flush();
    return total;
}

Register::SaveResult ServerCards::save(const StoredCard& asRead, const TAnketa& card) {
    const qint64 id = asRead.key;
    const zelm::SaveResult r = m_server.save(id, card, asRead.version);
    SaveResult out;
    out.card = storedCardOf(r.card);
    out.card.place = indexOfId(RegisterFile::Main, out.card.key);
    using S = zelm::SaveResult::Status;
    switch (r.status) {
    case S::Saved:
        out.status = SaveResult::Status::Saved;
        // A save that changed the unique number changes what the order answers for it.
        if (const qint64 at = indexOfId(RegisterFile::Main, id); at >= 0)
            m_main->rows[static_cast<size_t>(at)].uniq = card.Klu4Form1;
        break;
    case S::Conflict:
        out.status = SaveResult::Status::Conflict;
        break;
    case S::Deleted:
    case S::Archived:
        out.status = SaveResult::Status::Gone;
        break;
    }
    return out;
}

StoredCard ServerCards::append(const TAnketa& card) {
    return appendOnce(card, QUuid::createUuid());
}

StoredCard ServerCards::appendOnce(const TAnketa& card, const QUuid& key) {
    StoredCard stored = storedCardOf(m_server.append(card, key));
    followOwn(stored.key);
    stored.place = indexOfId(RegisterFile::Main, stored.key);
    return stored;
}

std::vector<CardVersion> ServerCards::history(std::int32_t number) {
    const servercalls::Cancellable reading;
    return m_server.history(number);
}

StoredCard ServerCards::recall(const TAnketa& card) {
    StoredCard stored = storedCardOf(m_server.append(card, {}, true));
    followOwn(stored.key);
    stored.place = indexOfId(RegisterFile::Main, stored.key);
    return stored;
}

StoredCard ServerCards::insertAfter(qint64 anchor, const TAnketa& card, const ScratchFile&) {
    const qint64 anchorId = idAt(RegisterFile::Main, anchor);
    if (anchorId == 0)
        throw std::runtime_error(QStringLiteral("Карточки %1 уже нет в картотеке на сервере %2.")
                                     .arg(anchor + 1)
                                     .arg(name())
                                     .toStdString());
    StoredCard stored = storedCardOf(m_server.insertAfter(anchorId, card, QUuid::createUuid()));
    followOwn(stored.key);
    stored.place = indexOfId(RegisterFile::Main, stored.key);
    return stored;
}

qint64 ServerCards::remove(const StoredCard& asRead, DeletionKind kind, const ScratchFile&) {
    const qint64 at = indexOfId(RegisterFile::Main, asRead.key);
    const bool done =
        kind == DeletionKind::ForGood ? m_server.remove(asRead.key) : m_server.archive(asRead.key);
    followOwn(asRead.key);
    return done ? at : -1;
}

qint64 ServerCards::placeOf(const StoredCard& card) const {
    return indexOfId(RegisterFile::Main, card.key);
}

bool ServerCards::removeArchived(std::int32_t number, qint64 hint) {
    const Order& archive = *m_archive;
    qint64 at = -1;
    if (hint >= 0 && hint < archive.count() &&
        archive.rows[static_cast<size_t>(hint)].uniq == number)
        at = hint;
    for (size_t i = 0; at < 0 && i < archive.rows.size(); ++i)
        if (archive.rows[i].uniq == number)
            at = static_cast<qint64>(i);
    // The card is named by its key: a place gone stale never takes out another card.
    const qint64 key = at >= 0 ? archive.rows[static_cast<size_t>(at)].id : 0;
    const bool done = key != 0 && m_server.removeArchived(key);
    if (key != 0)
        followOwn(key);
    else
        reload();
    return done;
}

} // namespace zelm
