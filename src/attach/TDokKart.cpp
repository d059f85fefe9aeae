#include "attach/TDokKart.h"

#include "attach/LinkPath.h"
#include "attach/LinkRecords.h"
#include "platform/Platform.h"
#include "store/FileError.h"
#include "store/FolderSharedData.h"
#include "store/Installation.h"
#include "widgets/Cp1251Guard.h"
#include "widgets/TdxfColorButton.h"

#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QShowEvent>
#include <QTableWidget>

namespace zelm {
namespace {

const QString kNotUntilFixed = QStringLiteral("Запоминать не буду, пока не исправите");
const QString kNoSuchFile = QStringLiteral("Нет такого Файла!");
const QString kAlreadyAttached = QStringLiteral("Файл с таким именем уже прикреплен!");
const QString kGone = QStringLiteral("Файл удалён или перемещён");
const QString kGoneCaption = QStringLiteral("Нет такого Файла !");
const QString kPathDoesNotFit =
    QStringLiteral("Слишком длинный путь к файлу или в нём есть знаки, которые картотека не может "
                   "сохранить. Переместите файл в папку с коротким путём из русских или латинских "
                   "букв");
const QString kNoCard = QStringLiteral("Нет номера карточки!");
const QString kNotOpened = QStringLiteral("Нет программы, которая открывает такой документ, или "
                                          "его нельзя открыть:");
const QString kNotOpenedCaption = QStringLiteral("Документ не открыт");

enum Column { Title = 0, Path = 1, Content = 2 };

QList<std::pair<QWidget*, QString>> typedFields(const DokKartUi& ui) {
    return {{ui.ImaDok, QStringLiteral("Поле «Название файла»")},
            {ui.SodFil, QStringLiteral("Поле «Содержание файла»")}};
}

} // namespace

TDokKart::TDokKart(const Installation& inst, Platform& platform, CardFile& list,
                   AttachmentIndex& index, QWidget* parent)
    : TDokKart(inst, platform, std::make_unique<FolderAttachments>(list, index), parent, nullptr) {}

TDokKart::TDokKart(const Installation& inst, Platform& platform, AttachmentRecords& list,
                   QWidget* parent)
    : TDokKart(inst, platform, std::unique_ptr<AttachmentRecords>(), parent, &list) {}

TDokKart::TDokKart(const Installation& inst, Platform& platform,
                   std::unique_ptr<AttachmentRecords> own, QWidget* parent, AttachmentRecords* list)
    : QDialog(parent), m_inst(inst), m_platform(platform), m_ownList(std::move(own)),
      m_list(list ? *list : *m_ownList) {
    setObjectName(QStringLiteral("DokKart"));
    setWindowTitle(QStringLiteral("Файлы, прикреплённые к карточке"));
    setModal(true);
    buildDokKartLayout(this, m_ui);
    resize(800, 560);

    connect(m_ui.SpPrDok, &QTableWidget::cellPressed, this,
            [this](int row, int) { SpPrDokMouseDown(row); });
    connect(m_ui.Plus, &QAbstractButton::clicked, this, &TDokKart::PlusClick);
    connect(m_ui.Saves, &QAbstractButton::clicked, this, &TDokKart::SavesClick);
    connect(m_ui.Minus, &QAbstractButton::clicked, this, &TDokKart::MinusClick);
    connect(m_ui.Redak, &QAbstractButton::clicked, this, &TDokKart::RedakClick);
    connect(m_ui.dxfColorButton1, &QAbstractButton::clicked, this, &TDokKart::dxfColorButton1Click);
    for (const auto& [field, what] : typedFields(m_ui))
        refuseUnencodableOnLeave(field, what, [this](const QString& refusal) {
            m_platform.dialogs().error(this, refusal);
        });
}

TDokKart::~TDokKart() = default;

int TDokKart::PuskDokKartClick(const AttachedCard& card) {
    setCard(card);
    exec();
    return attachmentCount();
}

void TDokKart::setCard(const AttachedCard& card) {
    m_ui.NazWhDok->setText(card.nameOrg);
    m_ui.Fabula->setPlainText(card.fabula());
    m_ui.Klu4DK->setText(QString::number(card.number));
}

std::int32_t TDokKart::cardNumber() const {
    bool ok = false;
    const int n = m_ui.Klu4DK->text().trimmed().toInt(&ok);
    return ok ? n : 0;
}

int TDokKart::attachmentCount() {
    return m_list.countAttachments(cardNumber());
}

void TDokKart::done(int result) {
    QDialog::done(result);
    int count = 0;
    try {
        count = attachmentCount();
    } catch (const FileError& e) {
        m_platform.dialogs().error(this, e.displayText());
    }
    emit attachmentsCounted(count);
}

void TDokKart::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormActivate();
}

// ---- the list ----

QString TDokKart::cell(int row, int column) const {
    const QTableWidgetItem* item = m_ui.SpPrDok->item(row, column);
    return item ? item->text() : QString();
}

void TDokKart::setRow(int row, const QString& title, const QString& path, const QString& content) {
    const QString texts[] = {title, path, content};
    for (int c = 0; c < 3; ++c)
        m_ui.SpPrDok->setItem(row, c, new QTableWidgetItem(texts[c]));
    markRow(row);
}

// A link whose file is missing is shown in red, so broken links are seen at once.
void TDokKart::markRow(int row) {
    const QString path = cell(row, Path);
    const bool broken = !path.trimmed().isEmpty() && !linkedFileExists(m_inst, path);
    for (int c = 0; c < 3; ++c)
        if (QTableWidgetItem* item = m_ui.SpPrDok->item(row, c))
            item->setForeground(broken ? QBrush(Qt::red) : QBrush());
}

int TDokKart::rowWithPath(const QString& path) const {
    for (int r = 0; r < m_ui.SpPrDok->rowCount(); ++r)
        if (sameLinkPath(cell(r, Path), path))
            return r;
    return -1;
}

void TDokKart::resetList() {
    m_ui.SpPrDok->clearContents();
    m_ui.SpPrDok->setRowCount(1);
    setRow(0, QString(), QString(), QString());
}

void TDokKart::fillList() {
    resetList();
    const std::vector<StoredLink> links = LinkRecords(m_list).linksOf(cardNumber());
    m_ui.SpPrDok->setRowCount(std::max<int>(1, static_cast<int>(links.size())));
    for (size_t i = 0; i < links.size(); ++i)
        setRow(static_cast<int>(i), links[i].ImaDok, links[i].PutFil, links[i].SodFil);
}

void TDokKart::FormActivate() {
    m_ui.ImaDok->clear();
    m_ui.PutFil->clear();
    m_ui.SodFil->clear();
    try {
        fillList();
    } catch (const FileError& e) {
        m_platform.dialogs().error(this, e.displayText());
    }
}

// A write has failed: say why, and show what the file holds now. The edits keep their text so
// the user can try again.
void TDokKart::failedWrite(const FileError& e) {
    m_platform.dialogs().error(this, e.displayText());
    try {
        fillList();
    } catch (const FileError& again) {
        m_platform.dialogs().error(this, again.displayText());
    }
}

void TDokKart::notice(const QString& text, const QString& caption) {
    m_platform.dialogs().notice(this, text, caption);
}

QString TDokKart::chooseFile() {
    const QString chosen =
        m_platform.dialogs().openFile(this, QStringLiteral("Укажите прикрепляемый документ"),
                                      QDir::homePath(), QStringLiteral("Все файлы (*)"));
    // The data files of other windows may be named relative to the installation folder.
    QDir::setCurrent(m_inst.root());
    return chosen;
}

// ---- the commands ----

void TDokKart::SpPrDokMouseDown(int row) {
    if (row < 0 || row >= m_ui.SpPrDok->rowCount())
        return;
    m_ui.SpPrDok->selectRow(row);
    m_ui.ImaDok->setText(cell(row, Title));
    m_ui.PutFil->setText(cell(row, Path).trimmed());
    m_ui.SodFil->setText(cell(row, Content));
    // The empty row of a card without links is no link, so there is nothing to miss.
    const QString path = m_ui.PutFil->text();
    if (!path.isEmpty() && !linkedFileExists(m_inst, path))
        notice(kGone, kGoneCaption);
}

void TDokKart::PlusClick() {
    m_ui.ImaDok->setText(QStringLiteral("Новый ") + m_ui.NazWhDok->text());
    m_ui.SodFil->setText(QStringLiteral("Новый ") + m_ui.Fabula->toPlainText());
    const QString chosen = chooseFile();
    if (!chosen.isEmpty())
        m_ui.PutFil->setText(chosen);
}

void TDokKart::SavesClick() {
    const QString path = m_ui.PutFil->text().trimmed();
    if (path.isEmpty() || !linkedFileExists(m_inst, path))
        return notice(kNotUntilFixed, kNoSuchFile);
    if (!fitsStoredPath(path))
        return notice(kPathDoesNotFit, kNotUntilFixed);
    if (rowWithPath(path) >= 0)
        return notice(kNotUntilFixed, kAlreadyAttached);
    const std::int32_t card = cardNumber();
    if (card == 0) // a record of card 0 would be a free record, lost at the next addition
        return notice(kNotUntilFixed, kNoCard);
    if (const QString refusal = firstUnencodableField(typedFields(m_ui)); !refusal.isEmpty())
        return notice(refusal, kNotUntilFixed);

    try {
        LinkRecords(m_list).add(card, m_ui.ImaDok->text(), path, m_ui.SodFil->text());
    } catch (const FileError& e) {
        return failedWrite(e);
    }
    QTableWidget* list = m_ui.SpPrDok;
    int row = list->rowCount();
    if (row == 1 && cell(0, Path).trimmed().isEmpty())
        row = 0;
    else
        list->setRowCount(row + 1);
    setRow(row, m_ui.ImaDok->text(), path, m_ui.SodFil->text());
    list->selectRow(row);
}

void TDokKart::MinusClick() {
    const QString path = m_ui.PutFil->text();
    int removed = 0;
    try {
        removed = LinkRecords(m_list).remove(cardNumber(), path);
    } catch (const FileError& e) {
        return failedWrite(e);
    }
    QTableWidget* list = m_ui.SpPrDok;
    for (int i = 0; i < removed; ++i) {
        const int row = rowWithPath(path);
        if (row < 0)
            break;
        list->removeRow(row);
    }
    // A card without links shows one empty row.
    if (list->rowCount() == 0) {
        list->setRowCount(1);
        setRow(0, QString(), QString(), QString());
    }
}

void TDokKart::RedakClick() {
    const QString oldPath = m_ui.PutFil->text();
    qint64 record = -1;
    try {
        record = LinkRecords(m_list).firstLinkWithPath(cardNumber(), oldPath);
    } catch (const FileError& e) {
        return m_platform.dialogs().error(this, e.displayText());
    }
    const QString chosen = chooseFile();
    if (chosen.isEmpty())
        return;
    if (!fitsStoredPath(chosen))
        return notice(kPathDoesNotFit, kNotUntilFixed);
    m_ui.PutFil->setText(chosen);
    if (record >= 0) {
        try {
            LinkRecords(m_list).changePath(cardNumber(), record, chosen);
        } catch (const FileError& e) {
            return failedWrite(e);
        }
    }
    // The row of the link changed; when the path was typed in, the row selected.
    int row = rowWithPath(oldPath);
    if (row < 0 || oldPath.trimmed().isEmpty())
        row = m_ui.SpPrDok->currentRow();
    if (row < 0)
        return;
    if (!m_ui.SpPrDok->item(row, Path))
        setRow(row, QString(), QString(), QString());
    m_ui.SpPrDok->item(row, Path)->setText(chosen);
    markRow(row);
}

void TDokKart::dxfColorButton1Click() {
    const QString path = m_ui.PutFil->text();
    const QString local = localFileOf(m_inst, path);
    if (local.isEmpty() || !QFileInfo(local).isFile())
        return notice(kGone, kGoneCaption);
    // The desktop is handed a file URL: no shell ever sees the path.
    if (!m_platform.shell().openDocument(local))
        notice(kNotOpened + QLatin1Char('\n') + local, kNotOpenedCaption);
}

} // namespace zelm
