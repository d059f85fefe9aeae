#pragma once
// What every workstation of one register shares besides the cards: the access table, the
// twelve reference lists and the attached-file list. The data folder keeps them in its files;
// a register on a server keeps them there. The windows see only this interface. Failures raise
// FileError, whose text names the file or the server; what was stored stays as it was.
#include "store/AccessTable.h"
#include "store/Records.h"

#include <QStringList>
#include <cstdint>
#include <optional>
#include <vector>

namespace zelm {

struct ReferenceListDef;

// One record of the attached-file list and its place in the list.
struct PlacedAttachment {
    qint64 pos;
    TSpisFil record;
};

class AttachmentRecords {
public:
    virtual ~AttachmentRecords() = default;
    // The card's records in list order; none for card 0, whose records are free.
    virtual std::vector<PlacedAttachment> attachmentsOf(std::int32_t card) = 0;
    virtual int countAttachments(std::int32_t card) = 0;
    // Stores the record in a free record of the list, else after the last; returns its place.
    virtual qint64 addAttachment(const TSpisFil& record) = 0;
    // Writes over the record at `pos`; a blank record frees it.
    virtual void writeAttachment(qint64 pos, const TSpisFil& record) = 0;
};

class SharedData {
public:
    virtual ~SharedData() = default;

    // The access table for the login; a register without one gets the four default rows,
    // stored.
    virtual QList<AccessRow> openAccessTable(double today) = 0;
    // The table as stored now, for its editor.
    virtual QList<AccessRow> accessRows() = 0;
    // The editor is one administrator's at a time: empty when this workstation may edit the
    // table now, else the message naming who edits it. endAccessEdit gives it back.
    virtual std::optional<QString> beginAccessEdit() = 0;
    virtual void endAccessEdit() = 0;
    // Writes exactly `rows` as the whole table.
    virtual void writeAccessRows(const QList<AccessRow>& rows) = 0;

    // A home that checks passwords itself (a server) never gives them out: its table's rows
    // come without passwords (openAccessTable gives the names alone), the login asks it with a
    // name, and its table is read and written only with the administrator's own password,
    // given each time the editor opens and forgotten by endAccessEdit. A password left empty
    // in a row written keeps the one stored for that name.
    virtual bool checksPasswords() const { return false; }
    // The access letter of `name` for `password`; nullopt for a wrong password.
    virtual std::optional<QString> login(const QString& /*name*/, const QString& /*password*/) {
        return std::nullopt;
    }
    virtual void setAdministratorPassword(const QString& /*password*/) {}

    // A reference list's entries in stored order.
    virtual QStringList referenceList(const ReferenceListDef& def) = 0;
    // Stores the user's `entries`, edited from `asRead`, and returns the list as stored now. A
    // home shared by several workstations stores them over the list as read only: when another
    // stored the list meanwhile, both edits are merged line by line (the other's new lines
    // stay, and a line either removed stays removed).
    virtual QStringList writeReferenceList(const ReferenceListDef& def, const QStringList& asRead,
                                           const QStringList& entries) = 0;

    virtual AttachmentRecords& attachments() = 0;
    // At exit: the files held open are closed, every one even when one fails.
    virtual void closeFiles() {}
};

} // namespace zelm
