#pragma once
// The register on a PostgreSQL server: the Main card file and the Archive as ordered cards,
// the attached-file list, the twelve reference lists and the access table. Each change is one
// transaction and is announced to every workstation's ChangeFeed when it commits. Each
// workstation keeps one ServerRegister; it connects at its first command and again at the first
// command after the connection was lost.
#include "server/FoldedText.h"
#include "server/PgConnection.h"
#include "server/Schema.h"
#include "store/AccessTable.h"
#include "store/CardHistory.h"
#include "store/Records.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QUuid>
#include <functional>
#include <optional>
#include <vector>

namespace zelm {

// Who stored a card last, and when.
struct ChangeStamp {
    QString user;
    QString machine;
    QDateTime when;
};

struct ServerCard {
    qint64 id = 0; // the server's key of the card; stays with it into the Archive
    int version = 0;
    CardFileKind file = CardFileKind::Main;
    ChangeStamp stamp;
    TAnketa record = TAnketa::zeroed();
};

struct CardRow {
    qint64 id;
    qint32 uniq;
};

struct SaveResult {
    enum class Status {
        Saved,    // `card` is what is stored now
        Conflict, // another workstation saved it since it was read: `card` is their version
        Deleted,  // it was deleted for good meanwhile
        Archived, // it was moved into the Archive meanwhile: `card` is the archived card
    };
    Status status = Status::Saved;
    ServerCard card;
};

struct AccessEditor {
    QString user;
    QString machine;
    QDateTime since;
};
// «Таблицу доступа сейчас правит <кто> ...»: the refusal for the second administrator.
QString accessTableBusyMessage(const AccessEditor& holder);
// The server did not take the administrator's password for the access table.
QString accessPasswordRefusal(const QString& adminName);

class ServerRegister {
public:
    explicit ServerRegister(ServerConfig config);

    // Connects and brings the schema up to date. Throws ServerError.
    void open();
    PgConnection& connection() { return m_c; }
    const QString& serverName() const { return m_c.serverName(); }
    // The name and machine written beside each change; the name is the login's UserFIO.
    void setIdentity(QString user, QString machine);
    const QString& user() const { return m_user; }

    // Reading.
    std::vector<CardRow> listCards(CardFileKind file); // in the register's order
    qint64 countCards(CardFileKind file);
    std::optional<ServerCard> readCard(qint64 id);
    // Where card `id` stands now: its file, its unique number, and how many cards of its file
    // follow it, counted up to `atMost` (by the order's index: as cheap as that is small).
    // Nothing when the card is gone.
    struct CardPlace {
        CardFileKind file;
        qint32 uniq;
        qint64 after;
    };
    std::optional<CardPlace> placeOfCard(qint64 id, qint64 atMost);
    // The cards of `ids`, in that order; ids no longer stored are left out.
    std::vector<ServerCard> readCards(const std::vector<qint64>& ids);
    // Every card of `file` in order, `batch` at a time: memory stays flat on any register.
    void scanCards(CardFileKind file, const std::function<void(const ServerCard&)>& each,
                   int batch = 2000);
    // The cards of `file` the filter lets through, in order. The filter is a superset test:
    // the caller confirms each card with its own matcher.
    std::vector<ServerCard> findCards(CardFileKind file, const CardFilter& filter);
    // The same cards' records alone, in order, as a find-all fills the Working card file.
    void findRecords(CardFileKind file, const CardFilter& filter,
                     const std::function<void(const TAnketa&)>& each);

    // Writing. Unique and running numbers of new cards are taken inside the transaction, under
    // one lock for all workstations, so two never get the same number.
    // Appends at the end of the Main card file: the card's unique number is kept when no card
    // has it (the next free one otherwise), its running number follows the last card's.
    // A recall is the same, noted in the history by the server's trigger.
    // `key`, made by the workstation for this new card, stores it once however often the
    // command is sent: a card already stored under it is returned as it is.
    // A change whose COMMIT was sent but not answered is asked after on a new connection:
    // done, it returns as if answered; not done or unknown, it throws saying which.
    ServerCard append(TAnketa card, const QUuid& key = {}, bool recalled = false);
    // Places the card right after `anchorId` (0: before the first card); its running number
    // stays as given. Throws ServerError when the anchor is no longer in the Main card file.
    ServerCard insertAfter(qint64 anchorId, TAnketa card, const QUuid& key = {});
    // Writes the card over the stored one if that is still `expectedVersion`.
    SaveResult save(qint64 id, const TAnketa& card, int expectedVersion);
    bool remove(qint64 id);         // from the Main card file; false when already gone
    bool archive(qint64 id);        // to the end of the Archive; false when gone
    bool removeArchived(qint64 id); // from the Archive; false when already gone

    // The versions the server's trigger kept of the cards carrying `uniq`, newest first; who
    // did it is "name (machine)" as the server recorded it.
    std::vector<CardVersion> history(qint32 uniq);

    // The attached-file list: records by their index in the list file.
    struct Attachment {
        qint64 pos;
        TSpisFil record;
    };
    std::vector<Attachment> attachmentsOf(qint32 card);
    int countAttachments(qint32 card);
    // Reuses the first free record, else appends; returns the record's index.
    qint64 addAttachment(const TSpisFil& record);
    void writeAttachment(qint64 pos, const TSpisFil& record); // a free record blanks it
    void scanAttachments(const std::function<void(const Attachment&)>& each);

    // A reference list's file bytes (Windows-1251, CR LF); nullopt when the server has none.
    std::optional<QByteArray> referenceList(const QString& fileName);
    // Writes what `decide` makes of the list as stored now (nothing when the server has none
    // yet); no other workstation writes the list in between. Returns what was written.
    QByteArray writeReferenceList(
        const QString& fileName,
        const std::function<QByteArray(const std::optional<QByteArray>& stored)>& decide);
    // Writes `content` whatever is stored.
    void writeReferenceList(const QString& fileName, const QByteArray& content);

    // The access table, through the server's functions: no workstation reads its passwords.
    // The names for the login window, in the table's order.
    QStringList accessNames();
    // The access letter of `name` for the right password, nullopt for a wrong one (the server
    // answers slower after repeated failures for one name). For Z and W the server vouches for
    // `name` on this connection, and again on a new one after the connection was lost.
    std::optional<QString> login(const QString& name, const QString& password);
    // The table without passwords, for the administrator (letter Z) whose password this is;
    // nullopt when the server refused it.
    std::optional<QList<AccessRow>> accessRows(const QString& adminName,
                                               const QString& adminPassword);
    // Writes the table for the administrator; a row with an empty password keeps the one stored
    // for its name. Throws ServerError with the server's reason when refused, and unless this
    // workstation holds the editor.
    void writeAccessRows(const QString& adminName, const QString& adminPassword,
                         const QList<AccessRow>& rows);
    // Empty when this workstation now holds the editor; else who holds it.
    std::optional<AccessEditor> lockAccessEditor();
    void unlockAccessEditor();
    bool holdsAccessEditor();
    enum class Change { Stored, Deleted, Archived, Other };

private:
    void notify(const QString& payload);
    // The statement `head` (card_search as s) ... WHERE the search rows let a card through.
    QByteArray searchSql(const char* head, CardFileKind file, const CardFilter& filter,
                         std::vector<PgParam>& params);
    // The keys of the cards the filter lets through.
    std::vector<qint64> searchCandidates(CardFileKind file, const CardFilter& filter);
    // Commits a change, learning what became of it when the reply is lost.
    void commitChange(PgTransaction& t, Change what);
    qint32 freeUniqueNumber(qint32 proposed);
    qint64 placeAfter(CardFileKind file, qint64 anchorOrd);
    // The order key after the last card of `file` (renumbering when the keys ran out there),
    // and that card's running number.
    qint64 endOfOrder(CardFileKind file, qint32* lastRunning);
    void renumber(CardFileKind file);
    std::optional<ServerCard> cardMadeAs(const QUuid& key);
    ServerCard insertCard(CardFileKind file, qint64 ord, TAnketa card, const QUuid& key,
                          const char* what);
    bool stampForDeletion(qint64 id, CardFileKind file);

    void vouchAgain();

    PgConnection m_c;
    QString m_loginToken; // of the last login, for a new connection (never the password)
    QString m_user;
    QString m_machine;
};

} // namespace zelm
