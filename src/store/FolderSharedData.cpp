#include "store/FolderSharedData.h"

#include "store/AttachmentIndex.h"
#include "store/CardFile.h"
#include "store/Installation.h"
#include "store/RecordScan.h"
#include "store/ReferenceLists.h"
#include "store/TextFiles.h"

#include <QFileInfo>

namespace zelm {

CardFile& FolderAttachments::list() {
    if (!m_list.isOpen()) {
        if (QFileInfo::exists(m_path) || QFileInfo(m_path).isSymLink())
            m_list.open(m_path, sizeof(TSpisFil));
        else
            m_list.create(m_path, sizeof(TSpisFil));
    }
    return m_list;
}

std::vector<PlacedAttachment> FolderAttachments::attachmentsOf(std::int32_t card) {
    std::vector<PlacedAttachment> out;
    if (card == 0)
        return out;
    scanForward<TSpisFil>(list(), 0, [&](qint64 pos, const TSpisFil& r) {
        if (r.Klu4DK == card)
            out.push_back({pos, r});
        return true;
    });
    return out;
}

int FolderAttachments::countAttachments(std::int32_t card) {
    return m_index.CountAttachments(list(), card);
}

qint64 FolderAttachments::addAttachment(const TSpisFil& record) {
    // Read from the end: the free record nearest it is usually found in the first block.
    const CardFile& file = list();
    qint64 at = scanBackward<TSpisFil>(file, file.count() - 1,
                                       [](qint64, const TSpisFil& r) { return r.Klu4DK != 0; });
    if (at < 0)
        at = file.count();
    writeAttachment(at, record);
    return at;
}

void FolderAttachments::writeAttachment(qint64 pos, const TSpisFil& record) {
    // Even a write that failed half-way may have changed the file.
    m_index.invalidate();
    list().seek(pos);
    m_list.write(&record);
    m_list.flush();
}

FolderSharedData::FolderSharedData(const Installation& inst)
    : m_inst(inst), m_attachments(m_attachmentList, m_attachmentIndex, inst.attachmentList()) {}

void FolderSharedData::closeFiles() {
    closeAllDataFiles({&m_access, &m_attachmentList});
}

QList<AccessRow> FolderSharedData::openAccessTable(double today) {
    openOrCreateAccessTable(m_access, m_inst.accessTable(), today);
    m_access.seek(0);
    return readAccessRows(m_access);
}

QList<AccessRow> FolderSharedData::accessRows() {
    m_access.seek(0);
    return readAccessRows(m_access);
}

void FolderSharedData::writeAccessRows(const QList<AccessRow>& rows) {
    zelm::writeAccessRows(m_access, rows);
}

QStringList FolderSharedData::referenceList(const ReferenceListDef& def) {
    return readTextLines(referenceListPath(m_inst, def));
}

QStringList FolderSharedData::writeReferenceList(const ReferenceListDef& def, const QStringList&,
                                                 const QStringList& entries) {
    writeTextLines(referenceListPath(m_inst, def), entries);
    return entries;
}

} // namespace zelm
