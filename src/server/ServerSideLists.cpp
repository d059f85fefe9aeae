// The attached-file list and the reference lists on the server.
#include "server/CardSql.h"
#include "server/ServerError.h"
#include "server/ServerRegister.h"

#include <cstring>

namespace zelm {
namespace {

bool isFreeRecord(const TSpisFil& r) {
    return r.Klu4DK == 0 && r.ImaDok.size() == 0 && r.SodFil.size() == 0 && r.PutFil.size() == 0;
}

// Rows of `SELECT pos, record, card`.
ServerRegister::Attachment attachmentFromRow(const PgResult& r, int row, const QString& server) {
    ServerRegister::Attachment a{r.int64(row, 0), TSpisFil::zeroed()};
    if (r.length(row, 1) != int(sizeof(TSpisFil)))
        throw ServerError(ServerError::Kind::Refused,
                          QStringLiteral("Запись %1 списка прикреплённых файлов (карточка с "
                                         "уникальным номером %2) на сервере %3 повреждена: её "
                                         "длина %4 байт вместо 448. Сообщите администратору "
                                         "сервера.")
                              .arg(a.pos)
                              .arg(r.int32(row, 2))
                              .arg(server)
                              .arg(r.length(row, 1)));
    std::memcpy(&a.record, r.data(row, 1), sizeof(TSpisFil));
    return a;
}

ServerError listDamaged(const QString& server, qint64 pos, qint32 card, qint64 rows) {
    return ServerError(ServerError::Kind::Refused,
                       QStringLiteral("Список прикреплённых файлов на сервере %1 повреждён: "
                                      "запись карточки с уникальным номером %2 стоит на месте "
                                      "%3, а в списке всего %4 записей. Список не изменён и не "
                                      "выгружен; сообщите администратору сервера.")
                           .arg(server)
                           .arg(card)
                           .arg(pos)
                           .arg(rows));
}

} // namespace

std::vector<ServerRegister::Attachment> ServerRegister::attachmentsOf(qint32 card) {
    const PgResult r =
        m_c.exec("SELECT pos, record, card FROM attachments WHERE card = $1 ORDER BY pos",
                 {PgParam::integer(card)});
    std::vector<Attachment> out;
    for (int i = 0; i < r.rows(); ++i)
        out.push_back(attachmentFromRow(r, i, serverName()));
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
        m_c.exec("SELECT pos, record, card FROM attachments WHERE card = 0 ORDER BY pos");
    for (int i = 0; i < spare.rows() && pos < 0; ++i) {
        const Attachment a = attachmentFromRow(spare, i, serverName());
        if (isFreeRecord(a.record))
            pos = a.pos;
    }
    if (pos < 0) {
        // The list holds one record per row: a row beyond them would leave blank records
        // between, which the list file would have to be padded with.
        const PgResult last = m_c.exec("SELECT count(*), coalesce(max(pos) + 1, 0), "
                                       "(SELECT card FROM attachments ORDER BY pos DESC LIMIT 1) "
                                       "FROM attachments");
        pos = last.int64(0, 1);
        if (pos != last.int64(0, 0))
            throw listDamaged(serverName(), pos - 1, last.int32(0, 2), last.int64(0, 0));
    }
    m_c.exec("INSERT INTO attachments (pos, card, record) VALUES ($1, $2, $3) "
             "ON CONFLICT (pos) DO UPDATE SET card = EXCLUDED.card, record = EXCLUDED.record",
             {PgParam::integer(pos), PgParam::integer(record.Klu4DK),
              PgParam::bytes(recordBytes(record))});
    notify(QStringLiteral("attachments %1").arg(record.Klu4DK));
    commitChange(t, Change::Other);
    return pos;
}

void ServerRegister::writeAttachment(qint64 pos, const TSpisFil& record) {
    PgTransaction t(m_c);
    const PgResult before =
        m_c.exec("SELECT card FROM attachments WHERE pos = $1 FOR UPDATE", {PgParam::integer(pos)});
    // Only a record that was read is written over: the list never grows a gap.
    if (before.rows() == 0)
        throw ServerError(ServerError::Kind::Refused,
                          QStringLiteral("Записи %1 нет в списке прикреплённых файлов на "
                                         "сервере %2; список не изменён.")
                              .arg(pos)
                              .arg(serverName()));
    m_c.exec("UPDATE attachments SET card = $2, record = $3 WHERE pos = $1",
             {PgParam::integer(pos), PgParam::integer(record.Klu4DK),
              PgParam::bytes(recordBytes(record))});
    if (before.rows() && before.int32(0, 0) != record.Klu4DK)
        notify(QStringLiteral("attachments %1").arg(before.int32(0, 0)));
    notify(QStringLiteral("attachments %1").arg(record.Klu4DK));
    commitChange(t, Change::Other);
}

void ServerRegister::scanAttachments(const std::function<void(const Attachment&)>& each) {
    // From the very start: a row at a negative place is met, not passed over.
    PgParam after = PgParam::null();
    for (;;) {
        const PgResult r = m_c.exec("SELECT pos, record, card FROM attachments WHERE "
                                    "($1::bigint IS NULL OR pos > $1) ORDER BY pos LIMIT 5000",
                                    {after});
        for (int i = 0; i < r.rows(); ++i)
            each(attachmentFromRow(r, i, serverName()));
        if (r.rows() < 5000)
            return;
        after = PgParam::integer(r.int64(r.rows() - 1, 0));
    }
}

std::optional<QByteArray> ServerRegister::referenceList(const QString& fileName) {
    const PgResult r =
        m_c.exec("SELECT content FROM reference_lists WHERE file = $1", {PgParam::text(fileName)});
    if (r.rows() == 0)
        return std::nullopt;
    return r.bytes(0, 0);
}

QByteArray ServerRegister::writeReferenceList(
    const QString& fileName,
    const std::function<QByteArray(const std::optional<QByteArray>& stored)>& decide) {
    PgTransaction t(m_c);
    // One writer of the lists at a time, so what `decide` saw is still stored when it writes.
    lockForTransaction(m_c, kListLock);
    const PgResult r =
        m_c.exec("SELECT content FROM reference_lists WHERE file = $1", {PgParam::text(fileName)});
    const QByteArray content =
        decide(r.rows() ? std::optional<QByteArray>(r.bytes(0, 0)) : std::nullopt);
    m_c.exec("INSERT INTO reference_lists (file, content) VALUES ($1, $2) "
             "ON CONFLICT (file) DO UPDATE SET content = EXCLUDED.content, "
             "version = reference_lists.version + 1",
             {PgParam::text(fileName), PgParam::bytes(content)});
    notify(QStringLiteral("list %1").arg(fileName));
    commitChange(t, Change::Other);
    return content;
}

void ServerRegister::writeReferenceList(const QString& fileName, const QByteArray& content) {
    writeReferenceList(fileName, [&](const std::optional<QByteArray>&) { return content; });
}

} // namespace zelm
