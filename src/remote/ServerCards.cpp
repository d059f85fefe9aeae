#include "remote/ServerCards.h"

#include "remote/ServerRows.h"
#include "server/ServerRegister.h"

#include <QHash>
#include <algorithm>

namespace zelm {
namespace {

CardFileKind kindOf(RegisterFile file) {
    return file == RegisterFile::Main ? CardFileKind::Main : CardFileKind::Archive;
}

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
};

SharedCard sharedCardOf(const ServerCard& c) {
    SharedCard out;
    out.id = c.id;
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

QString ServerCards::serverName() const {
    return m_server.serverName();
}

const RecordSource& ServerCards::cards(RegisterFile file) const {
    return order(file);
}

qint64 ServerCards::count(RegisterFile file) const {
    return order(file).count();
}

void ServerCards::reload() {
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

std::unique_ptr<RowSource> ServerCards::rows(RegisterFile file) {
    return std::make_unique<ServerRows>(*this, file);
}

void ServerCards::readRecords(RegisterFile file, qint64 first, qint64 n, TAnketa* out) const {
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

std::optional<SharedCard> ServerCards::read(RegisterFile file, qint64 index) {
    const qint64 id = idAt(file, index);
    if (id == 0)
        return std::nullopt;
    return readId(id);
}

std::optional<SharedCard> ServerCards::readId(qint64 id) {
    const std::optional<ServerCard> c = m_server.readCard(id);
    if (!c)
        return std::nullopt;
    return sharedCardOf(*c);
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

std::vector<TAnketa> ServerCards::candidates(RegisterFile file, const CardFilter& filter) {
    std::vector<TAnketa> out;
    for (const ServerCard& c : m_server.findCards(kindOf(file), filter))
        out.push_back(c.record);
    return out;
}

SharedCards::SaveResult ServerCards::save(qint64 id, const TAnketa& card, int expectedVersion) {
    const zelm::SaveResult r = m_server.save(id, card, expectedVersion);
    SaveResult out;
    out.card = sharedCardOf(r.card);
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
        out.status = SaveResult::Status::Deleted;
        break;
    case S::Archived:
        out.status = SaveResult::Status::Archived;
        break;
    }
    return out;
}

SharedCard ServerCards::append(const TAnketa& card) {
    const SharedCard stored = sharedCardOf(m_server.append(card));
    reload();
    return stored;
}

SharedCard ServerCards::insertAfter(qint64 anchorId, const TAnketa& card) {
    const SharedCard stored = sharedCardOf(m_server.insertAfter(anchorId, card));
    reload();
    return stored;
}

bool ServerCards::remove(qint64 id) {
    const bool done = m_server.remove(id);
    reload();
    return done;
}

bool ServerCards::archive(qint64 id) {
    const bool done = m_server.archive(id);
    reload();
    return done;
}

bool ServerCards::removeArchived(qint64 id) {
    const bool done = m_server.removeArchived(id);
    reload();
    return done;
}

} // namespace zelm
