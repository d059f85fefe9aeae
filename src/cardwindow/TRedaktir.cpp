#include "cardwindow/TRedaktir.h"

#include "store/Cp1251Refusal.h"

#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTextDocument>
#include <QVBoxLayout>

namespace zelm {

TRedaktir::TRedaktir(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Redaktir"));
    setWindowTitle(QStringLiteral("Редактирование"));
    setModal(true);
    setSizeGripEnabled(true);
    resize(460, 420);

    auto* column = new QVBoxLayout(this);
    auto* heading = new QLabel(QStringLiteral("Редактирование справочника"), this);
    heading->setObjectName(QStringLiteral("Label1"));
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);
    heading->setAlignment(Qt::AlignCenter);
    column->addWidget(heading);

    auto* group = new QGroupBox(QStringLiteral("Исправить Добавить Удалить"), this);
    group->setObjectName(QStringLiteral("GroupBox1"));
    auto* inner = new QVBoxLayout(group);
    Spisok = new QPlainTextEdit(group);
    Spisok->setObjectName(QStringLiteral("Spisok"));
    // Long entries stay on one line, so the user sees the list as the file holds it.
    Spisok->setLineWrapMode(QPlainTextEdit::NoWrap);
    Spisok->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Spisok->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    inner->addWidget(Spisok);
    column->addWidget(group, 1);
}

void TRedaktir::setRefusalNotice(std::function<void(const QString&)> notice) {
    m_notice = std::move(notice);
}

void TRedaktir::done(int result) {
    const QString refusal = cp1251Refusal(
        QStringLiteral("Справочник «%1»").arg(windowTitle().trimmed()), Spisok->toPlainText());
    if (!refusal.isEmpty() && m_notice) {
        m_notice(refusal);
        return;
    }
    QDialog::done(result);
}

QString TRedaktir::edit(const QString& title, const QString& text) {
    setWindowTitle(title);
    Spisok->setPlainText(text);
    Spisok->moveCursor(QTextCursor::Start);
    Spisok->setFocus();
    exec();
    // The raw text keeps no-break spaces, which the plain-text export turns into blanks.
    QString raw = Spisok->document()->toRawText();
    raw.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    raw.replace(QChar::LineSeparator, QLatin1Char('\n'));
    return raw;
}

} // namespace zelm
