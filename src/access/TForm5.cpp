#include "access/TForm5.h"

#include "platform/Platform.h"
#include "store/AccessTable.h"
#include "store/DayCount.h"
#include "store/FileError.h"
#include "store/SharedData.h"
#include "store/UnitGlo.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QHideEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QTableWidget>
#include <QVBoxLayout>

namespace zelm {

namespace {
constexpr int kGridRows = 10;

// A date cell as the system's short date format reads it: dd.mm.yyyy, or dd.mm.yy.
std::optional<double> parseDateCell(const QString& text) {
    const QString t = text.trimmed();
    for (const char* format : {"dd.MM.yyyy", "d.M.yyyy", "dd.MM.yy", "d.M.yy"}) {
        QDate d = QDate::fromString(t, QLatin1String(format));
        if (d.isValid()) {
            if (QLatin1String(format).endsWith(QLatin1String(".yy")) && d.year() < 1950)
                d = d.addYears(100);
            return toDayCount(d);
        }
    }
    return std::nullopt;
}
} // namespace

TForm5::TForm5(Platform& platform, SharedData& shared, QWidget* parent)
    : QDialog(parent), m_platform(platform), m_shared(shared) {
    setObjectName(QStringLiteral("Form5"));
    setWindowTitle(QStringLiteral("Буква Z должна быть хотя бы у одного"));
    setWindowModality(Qt::ApplicationModal);
    TabDost = new QTableWidget(kGridRows, 5, this);
    TabDost->setObjectName(QStringLiteral("TabDost"));
    TabDost->setToolTip(QStringLiteral("Первый код и доступ не менять!!!"));
    TabDost->setHorizontalHeaderLabels({QStringLiteral("Код"), QStringLiteral("Дата"),
                                        QStringLiteral("ФИО"), QStringLiteral("Пароль"),
                                        QStringLiteral("Доступ")});
    if (m_shared.checksPasswords())
        TabDost->horizontalHeaderItem(3)->setToolTip(
            QStringLiteral("Пароли хранит сервер и не показывает: пустая клетка оставляет "
                           "пароль прежним, вписанный пароль заменяет его"));
    TabDost->verticalHeader()->hide();
    TabDost->setTabKeyNavigation(true);
    m_editTriggers = TabDost->editTriggers();
    // Rows as compact as the font allows, so the ten rows are seen at once.
    TabDost->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    TabDost->verticalHeader()->setDefaultSectionSize(TabDost->fontMetrics().height() + 6);
    fitColumns();
    ZapDostup = new QPushButton(QStringLiteral("Запомнить"), this);
    ZapDostup->setObjectName(QStringLiteral("ZapDostup"));
    ZapDostup->setToolTip(QStringLiteral("Таблицу"));
    BitBtn2 = new QPushButton(this);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    BitBtn2->setIcon(style()->standardIcon(QStyle::SP_DialogCloseButton));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(ZapDostup);
    buttons->addStretch(1);
    buttons->addWidget(BitBtn2);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(TabDost);
    layout->addLayout(buttons);
    const int frame = 2 * TabDost->frameWidth();
    TabDost->setMinimumHeight(TabDost->horizontalHeader()->sizeHint().height() +
                              kGridRows * TabDost->verticalHeader()->defaultSectionSize() + frame);
    resize(420, 300);
    connect(ZapDostup, &QPushButton::clicked, this, &TForm5::ZapDostupClick);
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::close);
}

void TForm5::fitColumns() {
    // The design widths, widened to the widest text a column holds in this desktop's font,
    // so that a date or a password is never cut.
    const int widths[] = {28, 75, 155, 51, 50};
    const QFontMetrics fm(TabDost->font());
    const int padding = 14;
    int total = 2 * TabDost->frameWidth();
    for (int c = 0; c < 5; ++c) {
        int width = std::max(widths[c], TabDost->horizontalHeader()->sectionSizeHint(c));
        if (c == 1)
            width = std::max(width, fm.horizontalAdvance(QStringLiteral("00.00.0000")) + padding);
        for (int r = 0; r < TabDost->rowCount(); ++r)
            width = std::max(width, fm.horizontalAdvance(cell(r, c)) + padding);
        TabDost->setColumnWidth(c, width);
        total += width;
    }
    TabDost->setMinimumWidth(total + TabDost->verticalScrollBar()->sizeHint().width());
}

void TForm5::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    // Where the server keeps the table, it opens it only for the administrator's own
    // password, asked each time; without it the grid stays empty.
    if (m_shared.checksPasswords()) {
        const std::optional<QString> password = m_platform.dialogs().enterPassword(
            this, QStringLiteral("Таблица доступа"),
            QStringLiteral("Пароль администратора (тот, с которым Вы вошли):"));
        if (!password) {
            TabDost->clearContents();
            setEditable(false);
            return;
        }
        m_shared.setAdministratorPassword(password->trimmed().left(6));
    }
    // The editor is taken before the table is read, so the grid shows the table as it stands
    // for the whole edit.
    setEditable(beginEditing());
    FormShow();
    // A refused password shows nothing, and leaves the editor to the others.
    if (!m_loaded) {
        TabDost->clearContents();
        setEditable(false);
        if (m_editing) {
            m_editing = false;
            endEdit();
        }
    }
}

void TForm5::endEdit() {
    try {
        m_shared.endAccessEdit();
    } catch (const FileError&) {
        // The connection is gone, and the editor with it.
    }
}

void TForm5::hideEvent(QHideEvent* event) {
    QDialog::hideEvent(event);
    if (event->spontaneous())
        return;
    m_shared.setAdministratorPassword(QString());
    if (!m_editing)
        return;
    m_editing = false;
    endEdit();
}

bool TForm5::beginEditing() {
    if (m_editing)
        return true;
    try {
        if (const std::optional<QString> busy = m_shared.beginAccessEdit()) {
            m_platform.dialogs().notice(this, *busy, QStringLiteral("Таблица доступа"));
            return false;
        }
    } catch (const FileError& e) {
        m_platform.dialogs().error(this, e.displayText());
        return false;
    }
    m_editing = true;
    return true;
}

void TForm5::setEditable(bool editable) {
    TabDost->setEditTriggers(editable ? m_editTriggers : QAbstractItemView::NoEditTriggers);
    ZapDostup->setEnabled(editable);
}

QString TForm5::cell(int row, int column) const {
    const QTableWidgetItem* item = TabDost->item(row, column);
    return item ? item->text() : QString();
}

void TForm5::FormShow() {
    QList<AccessRow> rows;
    m_loaded = false;
    try {
        rows = m_shared.accessRows();
    } catch (const FileError& e) {
        m_platform.dialogs().error(this, e.displayText());
        return;
    }
    m_loaded = true;
    // Rows below the table stay as the user left them, unless the table was changed elsewhere
    // meanwhile: a row another administrator removed must not come back with the next save.
    const QByteArray table = accessTableBytes(rows);
    if (!m_shownTable.isNull() && table != m_shownTable)
        TabDost->clearContents();
    m_shownTable = table;
    // A table longer than the grid makes the grid longer, so a save never drops a row.
    if (TabDost->rowCount() < rows.size())
        TabDost->setRowCount(static_cast<int>(rows.size()));
    for (int r = 0; r < rows.size(); ++r) {
        const AccessRow& row = rows[r];
        const QString texts[] = {row.Kod, PlainDateText(row.Data), row.FIO, row.Parol, row.Dostup};
        for (int c = 0; c < 5; ++c)
            TabDost->setItem(r, c, new QTableWidgetItem(texts[c]));
    }
    fitColumns();
}

void TForm5::ZapDostupClick() {
    if (!m_editing)
        return;
    QList<AccessRow> rows;
    for (int r = 0; r < TabDost->rowCount(); ++r) {
        if (cell(r, 0).trimmed().isEmpty())
            continue;
        auto date = parseDateCell(cell(r, 1));
        if (!date) {
            m_platform.dialogs().error(
                this,
                QStringLiteral("'%1' is not a valid date (строка %2)").arg(cell(r, 1)).arg(r + 1));
            return;
        }
        rows.append({cell(r, 0).left(2), *date, cell(r, 2).left(20), cell(r, 3).left(6),
                     cell(r, 4).left(1)});
    }
    try {
        m_shared.writeAccessRows(rows);
        m_shownTable = accessTableBytes(rows);
        // New passwords are not left on the screen; the server has them, as hashes.
        if (m_shared.checksPasswords()) {
            for (int r = 0; r < TabDost->rowCount(); ++r)
                if (QTableWidgetItem* item = TabDost->item(r, 3))
                    item->setText(QString());
            for (AccessRow& row : rows)
                row.Parol.clear();
            m_shownTable = accessTableBytes(rows);
        }
    } catch (const FileError& e) {
        m_platform.dialogs().error(this, e.displayText());
        return;
    }
    m_platform.dialogs().notice(this, QStringLiteral("Перезапустите программу!!!"),
                                QStringLiteral("Изменения вступят после этого"));
}

} // namespace zelm
