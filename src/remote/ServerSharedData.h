#pragma once
// The shared data of a register on a server: the access table, the reference lists and the
// attached-file list read and written through the workstation's ServerRegister. The server's
// errors reach the windows as FileError carrying the server's message.
#include "store/SharedData.h"

namespace zelm {

class ServerRegister;

class ServerAttachments : public AttachmentRecords {
public:
    explicit ServerAttachments(ServerRegister& server) : m_server(server) {}

    std::vector<PlacedAttachment> attachmentsOf(std::int32_t card) override;
    int countAttachments(std::int32_t card) override;
    qint64 addAttachment(const TSpisFil& record) override;
    void writeAttachment(qint64 pos, const TSpisFil& record) override;

private:
    ServerRegister& m_server;
};

class ServerSharedData : public SharedData {
public:
    explicit ServerSharedData(ServerRegister& server) : m_server(server), m_attachments(server) {}

    // The names alone: the server keeps the passwords and letters to itself.
    QList<AccessRow> openAccessTable(double today) override;
    QList<AccessRow> accessRows() override;
    std::optional<QString> beginAccessEdit() override;
    void endAccessEdit() override;
    void writeAccessRows(const QList<AccessRow>& rows) override;
    bool checksPasswords() const override { return true; }
    std::optional<QString> login(const QString& name, const QString& password) override;
    void setAdministratorPassword(const QString& password) override { m_adminPassword = password; }

    // A list the server lacks gets its starting entries, stored on the server.
    QStringList referenceList(const ReferenceListDef& def) override;
    QStringList writeReferenceList(const ReferenceListDef& def, const QStringList& asRead,
                                   const QStringList& entries) override;

    AttachmentRecords& attachments() override { return m_attachments; }

private:
    ServerRegister& m_server;
    ServerAttachments m_attachments;
    QString m_loginName; // whom the server let in: the administrator, for the editor
    // The table as last shown here: it is written only over that (the editor's lock keeps
    // anyone else from writing between the look and the write).
    std::optional<QList<AccessRow>> m_accessShown;
    QString m_adminPassword; // while the editor is open
};

} // namespace zelm
