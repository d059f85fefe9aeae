// Reading the history the server's trigger keeps, and moving it with the register.
#include "server/CardSql.h"
#include "server/HistoryTransfer.h"
#include "server/ServerRegister.h"
#include "store/HistoryFile.h"
#include "store/Installation.h"

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

QByteArray insertVersionsStatement(int n) {
    QByteArray sql = "INSERT INTO card_history (card_id, uniq, action, done_by, done_on, "
                     "done_at, record) VALUES ";
    for (int i = 0; i < n; ++i) {
        const auto p = [&](int k) { return "$" + QByteArray::number(i * 5 + k); };
        sql += (i ? ", (0, " : "(0, ") + p(1) + "::integer, " + p(2) + "::smallint, " + p(3) +
               "::text, '', to_timestamp(" + p(4) + "::float8 / 1000), " + p(5) + "::bytea)";
    }
    return sql;
}

constexpr int kVersionsPerStatement = 64;

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

qint64 moveHistoryToServer(PgConnection& c, const Installation& inst) {
    HistoryFile file(inst.historyFile());
    file.open(0);
    std::vector<PgParam> params;
    int pending = 0;
    qint64 moved = 0;
    const auto send = [&] {
        if (pending == 0)
            return;
        c.exec(insertVersionsStatement(pending).constData(), params);
        moved += pending;
        params.clear();
        pending = 0;
    };
    file.scan([&](const CardVersion& v) {
        params.insert(params.end(),
                      {PgParam::integer(v.card.Klu4Form1),
                       PgParam::integer(static_cast<int>(v.action)), PgParam::text(v.who),
                       PgParam::integer(v.when.toMSecsSinceEpoch()),
                       PgParam::bytes(recordBytes(v.card))});
        if (++pending == kVersionsPerStatement)
            send();
    });
    send();
    file.close();
    return moved;
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
