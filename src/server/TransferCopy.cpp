#include "server/TransferCopy.h"

#include "server/CardSql.h"
#include "server/CopyRows.h"
#include "server/FoldedText.h"
#include "server/HistoryTransfer.h"
#include "server/PgConnection.h"
#include "store/CardFile.h"
#include "store/HistoryFile.h"
#include "store/Installation.h"

#include <QFileInfo>
#include <QMetaObject>
#include <QThread>
#include <algorithm>
#include <functional>

namespace zelm {

MoveProgress::MoveProgress(const TransferProgress& report, qint64 total)
    : m_report(report), m_total(total), m_home(QThread::currentThread()) {
    reportNow();
}

void MoveProgress::addHalves(qint64 halves) {
    m_halves += halves;
    if (QThread::currentThread() == m_home) {
        reportNow();
        return;
    }
    // One report waiting at a time: it shows what is done when it arrives.
    if (!m_posted.exchange(true))
        QMetaObject::invokeMethod(
            &m_context,
            [this] {
                m_posted = false;
                reportNow();
            },
            Qt::QueuedConnection);
}

void MoveProgress::reportNow() {
    if (m_report)
        m_report(m_halves.load() / 2, m_total);
}

namespace {

constexpr qint64 kBlock = 1024;          // records read at a time
constexpr qsizetype kPiece = 256 * 1024; // bytes of rows sent at a time

// Reads the records of `files` block by block and hands each to `row`; gives COPY its data a
// piece at a time.
template <typename Record> class RecordStream {
public:
    using RowWriter =
        std::function<void(CopyRows&, const Record&, qint64 index, qint64 inFile, CardFileKind)>;
    RecordStream(std::vector<CardSource> files, RowWriter row, std::function<void(qint64)> done)
        : m_files(std::move(files)), m_row(std::move(row)), m_done(std::move(done)),
          m_block(kBlock) {}

    bool next(QByteArray& piece) {
        if (m_finished)
            return false;
        while (m_rows.size() < kPiece && !m_finished)
            readBlock();
        piece = m_rows.take(m_finished);
        return true;
    }

private:
    void readBlock() {
        if (!m_file.isOpen()) {
            if (m_nextFile == m_files.size()) {
                m_finished = true;
                return;
            }
            const CardSource& source = m_files[m_nextFile++];
            if (source.records == 0)
                return;
            m_file.open(source.path, sizeof(Record));
            m_kind = source.file;
            m_fileAt = 0;
            // As many as counted when the move began, the keys taken for them.
            m_left = std::min(source.records, m_file.count());
        }
        const qint64 k = std::min(kBlock, m_left - m_fileAt);
        if (k <= 0) {
            m_file.close();
            return;
        }
        m_file.readRange(m_fileAt, k, m_block.data());
        for (qint64 i = 0; i < k; ++i)
            m_row(m_rows, m_block[static_cast<size_t>(i)], m_index++, m_fileAt + i, m_kind);
        m_fileAt += k;
        m_done(k);
    }

    std::vector<CardSource> m_files;
    RowWriter m_row;
    std::function<void(qint64)> m_done;
    std::vector<Record> m_block;
    CopyRows m_rows;
    CardFile m_file;
    size_t m_nextFile = 0;
    CardFileKind m_kind = CardFileKind::Main;
    qint64 m_fileAt = 0, m_left = 0, m_index = 0;
    bool m_finished = false;
};

template <typename Record>
qint64 copyRecords(PgConnection& c, const char* sql, RecordStream<Record>& stream) {
    return c.copyIn(sql, [&stream](QByteArray& piece) { return stream.next(piece); });
}

} // namespace

std::vector<qint64> newCardIds(PgConnection& c, qint64 count) {
    const PgResult r = c.exec("SELECT nextval('cards_id_seq') FROM generate_series(1, $1)",
                              {PgParam::integer(count)});
    std::vector<qint64> ids;
    ids.reserve(static_cast<size_t>(r.rows()));
    for (int i = 0; i < r.rows(); ++i)
        ids.push_back(r.int64(i, 0));
    std::sort(ids.begin(), ids.end());
    return ids;
}

void copyCards(PgConnection& c, const std::vector<CardSource>& files,
               const std::vector<qint64>& ids, MoveProgress& progress) {
    QHash<qint32, int> seen;
    RecordStream<TAnketa> cards(
        files,
        [&](CopyRows& out, const TAnketa& card, qint64 index, qint64 inFile, CardFileKind file) {
            out.beginRow(8);
            out.int64(ids[static_cast<size_t>(index)]);
            out.int16(static_cast<qint16>(file));
            out.int64((inFile + 1) * kOrderGap);
            out.int32(card.Klu4Form1);
            out.int16(static_cast<qint16>(seen[card.Klu4Form1]++));
            out.int32(card.GurN);
            out.text(card.AdminFIO.text());
            out.bytes(reinterpret_cast<const char*>(&card), sizeof card);
        },
        [&](qint64 k) { progress.addHalves(k); });
    copyRecords(c,
                "COPY cards (id, file, ord, uniq, uniq_dup, gurn, changed_by, record) "
                "FROM STDIN (FORMAT binary)",
                cards);
    RecordStream<TAnketa> search(
        files,
        [&](CopyRows& out, const TAnketa& card, qint64 index, qint64, CardFileKind file) {
            out.beginRow(7);
            out.int64(ids[static_cast<size_t>(index)]);
            out.int16(static_cast<qint16>(file));
            out.float8(asSentAsText(card.DataMer));
            out.float8(asSentAsText(card.DateKUSP));
            out.float8(asSentAsText(card.DataOsn));
            out.binaryValue(foldedTextsArray(card));
            out.binaryValue(keysArray(searchKeys(card)));
        },
        [&](qint64 k) { progress.addHalves(k); });
    copyRecords(c,
                "COPY card_search (card_id, file, data_mer, date_kusp, data_osn, texts, keys) "
                "FROM STDIN (FORMAT binary)",
                search);
    progress.reportNow();
}

void copyAttachments(PgConnection& c, const CardSource& list, MoveProgress& progress) {
    RecordStream<TSpisFil> records(
        {list},
        [](CopyRows& out, const TSpisFil& r, qint64 index, qint64, CardFileKind) {
            out.beginRow(3);
            out.int64(index);
            out.int32(r.Klu4DK);
            out.bytes(reinterpret_cast<const char*>(&r), sizeof r);
        },
        [&](qint64 k) { progress.add(k); });
    copyRecords(c, "COPY attachments (pos, card, record) FROM STDIN (FORMAT binary)", records);
    progress.reportNow();
}

qint64 moveHistoryToServer(PgConnection& c, const Installation& inst) {
    // Opening it cuts off a torn last record.
    HistoryFile file(inst.historyFile());
    file.open(0);
    file.close();
    const QString path = inst.historyFile();
    const QFileInfo info(path);
    if (!info.isFile())
        return 0;
    RecordStream<THistory> versions(
        {{path, CardFileKind::Main, info.size() / qint64(sizeof(THistory))}},
        [](CopyRows& out, const THistory& r, qint64, qint64, CardFileKind) {
            if (!isWholeHistoryRecord(r))
                return;
            const CardVersion v = versionOf(r);
            out.beginRow(7);
            out.int64(0); // no row of cards yet: the key of a card that was on the server
            out.int32(v.card.Klu4Form1);
            out.int16(static_cast<qint16>(v.action));
            out.text(v.who);
            out.text(QString());
            out.timestampFromMs(v.when.toMSecsSinceEpoch());
            out.bytes(reinterpret_cast<const char*>(&v.card), sizeof v.card);
        },
        [](qint64) {});
    return copyRecords(c,
                       "COPY card_history (card_id, uniq, action, done_by, done_on, done_at, "
                       "record) FROM STDIN (FORMAT binary)",
                       versions);
}

} // namespace zelm
