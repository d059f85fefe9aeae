#pragma once
// The attached-files window against a temporary installation with its own attached-file list,
// driven as the user drives it; the list's bytes are read back after every step.
#include "attach/TDokKart.h"
#include "common/ScriptedPlatform.h"
#include "store/AttachmentIndex.h"
#include "store/CardFile.h"
#include "store/Installation.h"
#include "store/Records.h"

#include <QTemporaryDir>
#include <memory>
#include <vector>

namespace zelm::testing {

constexpr std::int32_t kCard = 636250000;
constexpr std::int32_t kOther = 636250777;

// One stored link as the list holds it; card 0 with empty texts is a free record.
TSpisFil link(std::int32_t card, const QString& title, const QString& path,
              const QString& content = {});
QByteArray bytesOf(const std::vector<TSpisFil>& records);

AttachedCard cardNamed(std::int32_t number, const QString& name = QStringLiteral("ООО «Восток»"));

struct DokKartRun {
    explicit DokKartRun(const std::vector<TSpisFil>& records = {});
    ~DokKartRun();

    // Fills the group "Карточка" and shows the window, as the card window does.
    void open(const AttachedCard& card = cardNamed(kCard));
    void reopen(); // closed and shown again

    // A file that exists, under Docs in the installation folder; its full path.
    QString doc(const QString& name);
    QString listPath() const { return inst.attachmentList(); }
    QByteArray bytes() const;
    std::vector<TSpisFil> records() const;

    // The user's steps.
    void choose(const QString& path); // the next file dialog answers with this
    void link(const QString& path);   // "Указать" with the file, then "Добавить"
    void pressRow(int row);           // the mouse pressed on a row of the list
    DokKartUi& ui() { return w->ui(); }

    QStringList column(int c) const; // the texts of one column, row by row
    bool rowRed(int row) const;
    int notices() const;
    const ShownMessage* last() const { return platform.lastMessage(); }

    QTemporaryDir dir;
    Installation inst;
    ScriptedPlatform platform;
    CardFile list;
    AttachmentIndex index;
    std::unique_ptr<TDokKart> w;
};

} // namespace zelm::testing
