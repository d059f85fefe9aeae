#include "cardwindow/TForm1.h"

#include "cardwindow/CardListModel.h"
#include "cardwindow/Form1Layout.h"
#include "cardwindow/ZelmApp.h"
#include "platform/Platform.h"
#include "store/FileError.h"
#include "store/UnitGlo.h"
#include "widgets/TdxfColorButton.h"

#include <QCloseEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTextCursor>

namespace zelm {

TForm1::TForm1(AppContext& ctx, ZelmApp& app, QWidget* parent)
    : QMainWindow(parent), m_ctx(ctx), m_app(app) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Зельм"));
    resize(1024, 759);
    buildForm1Layout(this, m_ui);

    // The Result memo holds at most 250 characters as typed.
    connect(m_ui.Rezultat, &QPlainTextEdit::textChanged, this, [this] {
        QString text = m_ui.Rezultat->toPlainText();
        if (text.size() > 250) {
            QSignalBlocker block(m_ui.Rezultat);
            m_ui.Rezultat->setPlainText(text.left(250));
            m_ui.Rezultat->moveCursor(QTextCursor::End);
        }
        updateRemainingCounters();
    });
    connect(m_ui.Prime4, &QPlainTextEdit::textChanged, this, [this] { updateRemainingCounters(); });

    runStartUp();
}

TForm1::~TForm1() = default;

bool TForm1::runCommand(const std::function<void()>& command) {
    try {
        command();
        return true;
    } catch (const FileError& e) {
        showError(e.displayText());
    } catch (const ConversionError& e) {
        showError(e.message());
    } catch (const OfficeError& e) {
        showError(e.message());
    }
    return false;
}

void TForm1::showError(const QString& text) {
    m_ctx.platform.dialogs().error(this, text);
}

void TForm1::setServiceMenuEnabled(bool enabled) {
    m_ui.N7->setEnabled(enabled && !m_ctx.serviceMenuBarred);
    m_ui.N7->menuAction()->setEnabled(enabled && !m_ctx.serviceMenuBarred);
}

void TForm1::setCardButtonsVisible(bool visible) {
    for (QWidget* b : {static_cast<QWidget*>(m_ui.nNew), static_cast<QWidget*>(m_ui.nCopiy),
                       static_cast<QWidget*>(m_ui.nPoisk), static_cast<QWidget*>(m_ui.nDelete)})
        b->setVisible(visible);
}

void TForm1::closeEvent(QCloseEvent* event) {
    // The title bar cannot close the card window; "Выход" and a restore can.
    if (m_closing)
        event->accept();
    else
        event->ignore();
}

void TForm1::closeForGood() {
    m_closing = true;
    close();
    m_closing = false;
    emit closedForGood();
}

void TForm1::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    m_ui.Sei4as->setText(TimeHHMM(nowDayCount()));
}

} // namespace zelm
