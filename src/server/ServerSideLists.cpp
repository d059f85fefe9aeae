// The attached-file list and the reference lists on the server.
#include "server/CardSql.h"
#include "server/ServerRegister.h"

#include <cstring>

namespace zelm {
namespace {

bool isFreeRecord(const TSpisFil& r) {
    return r.Klu4DK == 0 && r.ImaDok.size() == 0 && r.SodFil.size() == 0 && r.PutFil.size() == 0;
}

ServerRegister::Attachment attachmentFromRow(const PgResult& r, int row) {
    ServerRegister::Attachment a{r.int64(row, 0), TSpisFil::zeroed()};
    if (r.length(row, 1) == int(sizeof(TSpisFil)))
        std::memcpy(&a.record, r.data(row, 1), sizeof(TSpisFil));
    return a;
}

} // namespace

std::vector<ServerRegister::Attachment> ServerRegister::attachmentsOf(qint32 card) {
    const PgResult r = m_c.exec("SELECT pos, record FROM attachments WHERE card = $1 ORDER BY pos",
                                {PgParam::integer(card)});
    std::vector<Attachment> out;
    for (int i = 0; i < r.rows(); ++i)
        out.push_back(attachmentFromRow(r, i));
    return out;
}

int ServerRegister::countAttachments(qint32 card) {
    const PgResult r =
        m_c.exec("SELECT count(*) FROM attachments WHERE card = $1", {PgParam::integer(card)});
    return static_cast<int>(r.int64(0, 0));
}

qint64 ServerRegister::addAttachment(const TSpisFil& record) {
    PgTransaction t(m_c);
    lockForTransaction(m_c, kNumberLock);
    qint64 pos = -1;
    const PgResult spare =
        m_c.exec("SELECT pos, record FROM attachments WHERE card = 0 ORDER BY pos");
    for (int i = 0; i < spare.rows() && pos < 0; ++i) {
        const Attachment a = attachmentFromRow(spare, i);
        if (isFreeRecord(a.record))
            pos = a.pos;
    }
    if (pos < 0) {
        const PgResult last = m_c.exec("SELECT coalesce(max(pos) + 1, 0) FROM attachments");
        pos = last.int64(0, 0);
    }
    m_c.exec("INSERT INTO attachments (pos, card, record) VALUES ($1, $2, $3) "
             "ON CONFLICT (pos) DO UPDATE SET card = EXCLUDED.card, record = EXCLUDED.record",
             {PgParam::integer(pos), PgParam::integer(record.Klu4DK),
              PgParam::bytes(recordBytes(record))});
    notify(QStringLiteral("attachments %1").arg(record.Klu4DK));
    t.commit();
    return pos;
}

void ServerRegister::writeAttachment(qint64 pos, const TSpisFil& record) {
    PgTransaction t(m_c);
    const PgResult before =
        m_c.exec("SELECT card FROM attachments WHERE pos = $1", {PgParam::integer(pos)});
    m_c.exec("INSERT INTO attachments (pos, card, record) VALUES ($1, $2, $3) "
             "ON CONFLICT (pos) DO UPDATE SET card = EXCLUDED.card, record = EXCLUDED.record",
             {PgParam::integer(pos), PgParam::integer(record.Klu4DK),
              PgParam::bytes(recordBytes(record))});
    if (before.rows() && before.int32(0, 0) != record.Klu4DK)
        notify(QStringLiteral("attachments %1").arg(before.int32(0, 0)));
    notify(QStringLiteral("attachments %1").arg(record.Klu4DK));
    t.commit();
}

void ServerRegister::scanAttachments(const std::function<void(const Attachment&)>& each) {
    qint64 after = -1;
    for (;;) {
        const PgResult r = m_c.exec("SELECT pos, record FROM attachments WHERE pos > $1 "
                                    "ORDER BY pos LIMIT 5000",
                                    {PgParam::integer(after)});
        for (int i = 0; i < r.rows(); ++i)
            each(attachmentFromRow(r, i));
        if (r.rows() < 5000)
            return;
        after = r.int64(r.rows() - 1, 0);
    }
}

std::optional<QByteArray> ServerRegister::referenceList(const QString& fileName) {
    const PgResult r =
        m_c.exec("SELECT content FROM reference_lists WHERE file = $1", {PgParam::text(fileName)});
    if (r.rows() == 0)
        return std::nullopt;
    return r.bytes(0, 0);
}

void ServerRegister::writeReferenceList(const QString& fileName, const QByteArray& content) {
    PgTransaction t(m_c);
    m_c.exec("INSERT INTO reference_lists (file, content) VALUES ($1, $2) "
             "ON CONFLICT (file) DO UPDATE SET content = EXCLUDED.content, "
             "version = reference_lists.version + 1",
             {PgParam::text(fileName), PgParam::bytes(content)});
    notify(QStringLiteral("list %1").arg(fileName));
    t.commit();
}

} // namespace zelm
