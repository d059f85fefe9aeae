#include "server/RegisterTransfer.h"

#include "server/CardSql.h"
#include "server/HistoryTransfer.h"
#include "server/OfficerSchema.h"
#include "server/Schema.h"
#include "server/ServerError.h"
#include "server/ServerRegister.h"
#include "server/TransferCopy.h"
#include "store/CardFile.h"
#include "store/FileError.h"
#include "store/Installation.h"
#include "store/ReferenceLists.h"
#include "store/ScratchFiles.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSet>
#include <vector>

namespace zelm {
namespace {

constexpr qint64 kBlock = 1024; // records read or reported at a time

qint64 recordCount(const QString& path, int size) {
    const QFileInfo info(path);
    return info.isFile() ? info.size() / size : 0;
}

// The whole file, or nothing when there is none.
std::optional<QByteArray> fileBytes(const QString& path) {
    QFile f(path);
    if (!QFileInfo(path).isFile())
        return std::nullopt;
    if (!f.open(QIODevice::ReadOnly))
        throw FileError(QStringLiteral("File access denied"), path);
    return f.readAll();
}

class Progress {
public:
    Progress(const TransferProgress& report, qint64 total) : m_report(report), m_total(total) {
        tick(0);
    }
    void tick(qint64 n) {
        m_done += n;
        if (m_report)
            m_report(m_done, m_total);
    }

private:
    const TransferProgress& m_report;
    qint64 m_total;
    qint64 m_done = 0;
};

} // namespace

TransferCounts moveRegisterToServer(ServerRegister& server, const Installation& inst,
                                    const TransferProgress& report) {
    PgConnection& c = server.connection();
    TransferCounts counts;
    counts.cards = recordCount(inst.mainCardFile(), sizeof(TAnketa));
    counts.archived = recordCount(inst.archiveCardFile(), sizeof(TAnketa));
    counts.attachments = recordCount(inst.attachmentList(), sizeof(TSpisFil));
    MoveProgress progress(report, counts.cards + counts.archived + counts.attachments);

    PgTransaction t(c);
    c.liftStatementLimit(); // the COPYs and the index take as long as the register is large
    lockForTransaction(c, kTransferLock);
    lockForTransaction(c, kNumberLock);
    const PgResult held = c.exec("SELECT (SELECT count(*) FROM cards), "
                                 "(SELECT count(*) FROM attachments)");
    if (held.int64(0, 0) > 0 || held.int64(0, 1) > 0)
        throw ServerError(ServerError::Kind::Refused,
                          QStringLiteral("На сервере %1 уже есть картотека (карточек: %2). "
                                         "Перенос не выполнен: картотеку переносят только в "
                                         "пустую базу данных.")
                              .arg(server.serverName())
                              .arg(held.int64(0, 0)));
    const bool rebuildIndex = dropSearchKeysIndex(c);
    const bool checksAside = setAsideRowChecks(c);
    copyCards(c,
              {{inst.mainCardFile(), CardFileKind::Main, counts.cards},
               {inst.archiveCardFile(), CardFileKind::Archive, counts.archived}},
              newCardIds(c, counts.cards + counts.archived), progress);
    if (checksAside)
        restoreRowChecks(c);
    if (rebuildIndex)
        buildSearchKeysIndex(c);
    copyAttachments(c, {inst.attachmentList(), CardFileKind::Main, counts.attachments}, progress);
    for (const ReferenceListDef& def : referenceLists()) {
        const std::optional<QByteArray> bytes = fileBytes(referenceListPath(inst, def));
        if (!bytes)
            continue;
        c.exec("INSERT INTO reference_lists (file, content) VALUES ($1, $2) ON CONFLICT (file) "
               "DO UPDATE SET content = EXCLUDED.content, version = reference_lists.version + 1",
               {PgParam::text(QLatin1String(def.file)), PgParam::bytes(*bytes)});
        ++counts.lists;
    }
    if (const std::optional<QByteArray> access = fileBytes(inst.accessTable())) {
        try {
            storeLogins(c, accessRowsFromBytes(*access));
        } catch (const ServerError& e) {
            if (e.sqlState() != QLatin1String("42501"))
                throw;
            throw ServerError(ServerError::Kind::Refused,
                              QStringLiteral("Картотеку с таблицей доступа переносит на сервер "
                                             "%1 только владелец базы данных: у роли «%2» нет "
                                             "прав на таблицу доступа. Запустите перенос под "
                                             "ролью владельца.")
                                  .arg(server.serverName(), c.config().user),
                              e.sqlState());
        }
        counts.accessTable = true;
    }
    counts.versions = moveHistoryToServer(c, inst);
    c.exec("SELECT pg_notify('zelm', 'register')");
    t.commit();
    // The planner learns the new tables' sizes and the register's list is read from its index
    // alone. Only the tables' owner may do this; for anyone else autovacuum does it later.
    try {
        c.liftStatementLimit(); // as long as the register is large
        c.exec("VACUUM (ANALYZE) cards, card_search, attachments");
        c.restoreStatementLimit();
    } catch (const ServerError&) {
    }
    return counts;
}

namespace {

// Scratch files written so far; removed unless every one of them was put in place.
class ScratchSet {
public:
    ~ScratchSet() {
        for (const auto& [scratch, target] : m_files)
            QFile::remove(scratch);
    }
    QString add(const QString& target) {
        const QString scratch = newScratchPath(target);
        m_files.push_back({scratch, target});
        return scratch;
    }
    void writeBytes(const QString& target, const QByteArray& bytes) {
        const QString scratch = add(target);
        QFile f(scratch);
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size() || !f.flush())
            throw FileError(QStringLiteral("Disk full"), scratch);
    }
    void commit() {
        for (const auto& [scratch, target] : m_files)
            replaceFile(scratch, target);
        m_files.clear();
    }

private:
    std::vector<std::pair<QString, QString>> m_files;
};

// A new password for each row, six digits, no two alike: the old program lets the first row
// with a password win.
void giveNewPasswords(QList<AccessRow>& rows) {
    QSet<QString> given;
    for (AccessRow& row : rows) {
        do
            row.Parol = QStringLiteral("%1").arg(QRandomGenerator::system()->bounded(1000000), 6,
                                                 10, QLatin1Char('0'));
        while (given.contains(row.Parol));
        given.insert(row.Parol);
    }
}

} // namespace

TransferCounts exportRegisterFromServer(ServerRegister& server, const Installation& inst,
                                        const TransferProgress& report,
                                        const AccessExport* access) {
    PgConnection& c = server.connection();
    TransferCounts counts;
    if (access) {
        std::optional<QList<AccessRow>> rows =
            server.accessRows(access->adminName, access->adminPassword);
        if (!rows)
            throw ServerError(ServerError::Kind::Refused, accessPasswordRefusal(access->adminName));
        giveNewPasswords(*rows);
        counts.accessRows = *rows;
    }
    ScratchSet files;
    {
        // One moment of the register, whatever the other workstations do meanwhile.
        PgTransaction t(c, "BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY");
        const PgResult sizes = c.exec("SELECT (SELECT count(*) FROM cards WHERE file = 0), "
                                      "(SELECT count(*) FROM cards WHERE file = 1), "
                                      "(SELECT count(*) FROM attachments)");
        Progress progress(report, sizes.int64(0, 0) + sizes.int64(0, 1) + sizes.int64(0, 2));
        const auto writeCards = [&](CardFileKind kind, const QString& target, qint64& count) {
            CardFile out;
            out.create(files.add(target), sizeof(TAnketa));
            std::vector<TAnketa> block;
            block.reserve(kBlock);
            const auto flushBlock = [&] {
                out.appendMany(block.data(), static_cast<qint64>(block.size()));
                progress.tick(static_cast<qint64>(block.size()));
                count += static_cast<qint64>(block.size());
                block.clear();
            };
            server.scanCards(kind, [&](const ServerCard& card) {
                block.push_back(card.record);
                if (block.size() == kBlock)
                    flushBlock();
            });
            flushBlock();
            out.flush();
            out.close();
        };
        writeCards(CardFileKind::Main, inst.mainCardFile(), counts.cards);
        writeCards(CardFileKind::Archive, inst.archiveCardFile(), counts.archived);

        CardFile list;
        list.create(files.add(inst.attachmentList()), sizeof(TSpisFil));
        const qint64 listRows = sizes.int64(0, 2);
        server.scanAttachments([&](const ServerRegister::Attachment& a) {
            // The list holds as many records as it has rows: a row placed beyond them is
            // damage, which would pad the file with blank records up to it.
            if (a.pos < 0 || a.pos >= listRows)
                throw ServerError(
                    ServerError::Kind::Refused,
                    QStringLiteral("Список прикреплённых файлов на сервере %1 повреждён: запись "
                                   "карточки с уникальным номером %2 стоит на месте %3, а в "
                                   "списке всего %4 записей. Картотека не выгружена; сообщите "
                                   "администратору сервера.")
                        .arg(server.serverName())
                        .arg(a.record.Klu4DK)
                        .arg(a.pos)
                        .arg(listRows));
            // A missing index stays a free record.
            const TSpisFil blank = TSpisFil::zeroed();
            while (list.count() < a.pos)
                list.appendMany(&blank, 1);
            list.appendMany(&a.record, 1);
            progress.tick(1);
            ++counts.attachments;
        });
        list.flush();
        list.close();

        for (const ReferenceListDef& def : referenceLists()) {
            const std::optional<QByteArray> bytes = server.referenceList(QLatin1String(def.file));
            if (!bytes)
                continue;
            files.writeBytes(referenceListPath(inst, def), *bytes);
            ++counts.lists;
        }
        if (access) {
            files.writeBytes(inst.accessTable(), accessTableBytes(counts.accessRows));
            counts.accessTable = true;
        }
        counts.versions = writeHistoryFromServer(c, files.add(inst.historyFile()));
        t.commit();
    }
    files.commit();
    return counts;
}

} // namespace zelm
