// Reading the history the server's trigger keeps, and moving it with the register.
#include "server/CardSql.h"
#include "server/HistoryTransfer.h"
#include "server/ServerRegister.h"
#include "store/HistoryFile.h"

#include <cstring>

namespace zelm {
namespace {

constexpr const char* kVersionColumns =
    "action, done_by, done_on, extract(epoch FROM done_at)::float8, record";

// kVersionColumns from column `at` on.
CardVersion versionFromRow(const PgResult& r, int row, int at = 0) {
    CardVersion v;
    const int action = r.int16(row, at);
    v.action = isHistoryAction(action) ? static_cast<HistoryAction>(action) : HistoryAction::Save;
    v.who = r.text(row, at + 1);
    v.when = QDateTime::fromMSecsSinceEpoch(qRound64(r.real(row, at + 3) * 1000), Qt::UTC);
    if (r.length(row, at + 4) == int(sizeof(TAnketa)))
        std::memcpy(&v.card, r.data(row, at + 4), sizeof(TAnketa));
    return v;
}

} // namespace

std::vector<CardVersion> ServerRegister::history(qint32 uniq) {
    static const QByteArray sql = QByteArray("SELECT ") + kVersionColumns +
                                  " FROM card_history WHERE uniq = $1 ORDER BY id DESC";
    const PgResult r = m_c.exec(sql.constData(), {PgParam::integer(uniq)});
    std::vector<CardVersion> out;
    out.reserve(static_cast<size_t>(r.rows()));
    for (int i = 0; i < r.rows(); ++i) {
        CardVersion v = versionFromRow(r, i);
        if (const QString machine = r.text(i, 2); !machine.isEmpty())
            v.who += QStringLiteral(" (%1)").arg(machine);
        out.push_back(std::move(v));
    }
    return out;
}

qint64 writeHistoryFromServer(PgConnection& c, const QString& path) {
    CardFile out;
    out.create(path, sizeof(THistory));
    constexpr int kBatch = 1000;
    static const QByteArray sql = QByteArray("SELECT id, ") + kVersionColumns +
                                  " FROM card_history WHERE id > $1 ORDER BY id LIMIT $2";
    qint64 after = 0;
    qint64 written = 0;
    std::vector<THistory> block;
    for (;;) {
        const PgResult r =
            c.exec(sql.constData(), {PgParam::integer(after), PgParam::integer(kBatch)});
        block.clear();
        for (int i = 0; i < r.rows(); ++i)
            block.push_back(historyRecord(versionFromRow(r, i, 1)));
        if (!block.empty())
            out.appendMany(block.data(), static_cast<qint64>(block.size()));
        written += r.rows();
        if (r.rows() < kBatch)
            break;
        after = r.int64(r.rows() - 1, 0);
    }
    out.flush();
    out.close();
    return written;
}

} // namespace zelm
