#pragma once
// The shared data kept in the data folder's files: Dostup.dat, the list files in Baza and
// Baza/SpisFil.dat, held open from their first use to exit.
#include "store/AttachmentIndex.h"
#include "store/CardFile.h"
#include "store/SharedData.h"

namespace zelm {

class Installation;

// The attached-file list on disk, opened (or made) at `path` at its first use unless `list` is
// open already. Every write is flushed before it returns; the counts are read again after it,
// since a record changed in place may keep the file's size and time stamp.
class FolderAttachments : public AttachmentRecords {
public:
    FolderAttachments(CardFile& list, AttachmentIndex& index, QString path = {})
        : m_path(std::move(path)), m_list(list), m_index(index) {}

    std::vector<PlacedAttachment> attachmentsOf(std::int32_t card) override;
    int countAttachments(std::int32_t card) override; // 0 while the list is not open
    // Takes the free record nearest the end of the file.
    qint64 addAttachment(const TSpisFil& record) override;
    void writeAttachment(qint64 pos, const TSpisFil& record) override;

private:
    CardFile& list();

    QString m_path;
    CardFile& m_list;
    AttachmentIndex& m_index;
};

class FolderSharedData : public SharedData {
public:
    explicit FolderSharedData(const Installation& inst);

    QList<AccessRow> openAccessTable(double today) override;
    QList<AccessRow> accessRows() override;
    std::optional<QString> beginAccessEdit() override { return std::nullopt; }
    void endAccessEdit() override {}
    void writeAccessRows(const QList<AccessRow>& rows) override;

    QStringList referenceList(const ReferenceListDef& def) override;
    QStringList writeReferenceList(const ReferenceListDef& def, const QStringList& asRead,
                                   const QStringList& entries) override;

    AttachmentRecords& attachments() override { return m_attachments; }
    void closeFiles() override;

private:
    const Installation& m_inst;
    CardFile m_access;
    CardFile m_attachmentList;
    AttachmentIndex m_attachmentIndex;
    FolderAttachments m_attachments;
};

} // namespace zelm
