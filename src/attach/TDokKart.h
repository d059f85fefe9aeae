#pragma once
// The attached-files window: the links of one card to documents on disk. It lists them, links
// new ones, changes a link's path, removes links and opens a linked document. Every change is
// written to the attached-file list at once; there is nothing to cancel.
#include "attach/AttachedCard.h"
#include "attach/DokKartUi.h"

#include <QDialog>
#include <cstdint>
#include <memory>

namespace zelm {

class AttachmentIndex;
class AttachmentRecords;
class CardFile;
class FileError;
class Installation;
class Platform;

class TDokKart : public QDialog {
    Q_OBJECT
public:
    TDokKart(const Installation& inst, Platform& platform, AttachmentRecords& list,
             QWidget* parent = nullptr);
    // Over the data folder's attached-file list, open in `list`, counted by `index`.
    TDokKart(const Installation& inst, Platform& platform, CardFile& list, AttachmentIndex& index,
             QWidget* parent = nullptr);
    ~TDokKart() override;

    DokKartUi& ui() { return m_ui; }

    // The card window's command: shows the links of `card` modally and returns the card's
    // number of attached files after the window closed, the new value of SkolPrik.
    int PuskDokKartClick(const AttachedCard& card);
    // Fills the group "Карточка" without showing the window.
    void setCard(const AttachedCard& card);
    // The number of records of the attached-file list that belong to the card shown.
    int attachmentCount();

    // The handlers, callable as the controls call them.
    void FormActivate();
    void SpPrDokMouseDown(int row);
    void PlusClick();
    void SavesClick();
    void MinusClick();
    void RedakClick();
    void dxfColorButton1Click();

    void done(int result) override;

signals:
    // The window has closed; `count` is the card's number of attached files now.
    void attachmentsCounted(int count);

protected:
    void showEvent(QShowEvent* event) override;

private:
    TDokKart(const Installation& inst, Platform& platform, std::unique_ptr<AttachmentRecords> own,
             QWidget* parent, AttachmentRecords* list);
    std::int32_t cardNumber() const;
    QString chooseFile();
    void fillList();
    void setRow(int row, const QString& title, const QString& path, const QString& content);
    int rowWithPath(const QString& path) const;
    QString cell(int row, int column) const;
    void markRow(int row);
    void resetList();
    void failedWrite(const FileError& e);
    void notice(const QString& text, const QString& caption);

    const Installation& m_inst;
    Platform& m_platform;
    std::unique_ptr<AttachmentRecords> m_ownList; // of the data-folder constructor
    AttachmentRecords& m_list;
    DokKartUi m_ui;
};

} // namespace zelm
