#include "cardwindow/TForm1.h"

#include "cardwindow/CardListModel.h"
#include "cardwindow/CardTextCheck.h"
#include "cardwindow/CardWindowCommands.h"
#include "cardwindow/Form1Internal.h"
#include "cardwindow/Form1Layout.h"
#include "cardwindow/ReferenceListEntries.h"
#include "platform/Platform.h"
#include "store/DayCount.h"
#include "store/FileError.h"
#include "store/Records.h"
#include "store/UnitGlo.h"
#include "widgets/TdxfColorButton.h"
#include "widgets/UniformRowsView.h"

#include <QAbstractButton>
#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QTextCursor>
#include <new>

namespace zelm {

TForm1::TForm1(CardSession& session, Platform& platform, OfficeSettings& settings,
               SharedData& shared, QWidget* parent)
    : QMainWindow(parent), m_session(session), m_platform(platform), m_settings(settings),
      m_shared(shared), m_ui(std::make_unique<Form1Ui>()) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Зельм"));
    resize(1024, 759);
    buildForm1Layout(this, *m_ui);
    watchCardTextFields(*this);

    // The Result memo holds what its stored bytes hold, a line break taking two: a key or a
    // paste that would overflow it is refused, and the text and the cursor stay as they were.
    // A card being shown is shown whole, whatever its stored text counts once its breaks are
    // CR LF; the user may then shorten it but not lengthen it.
    connect(m_ui->Rezultat, &QPlainTextEdit::textChanged, this, [this] {
        const QString text = m_ui->Rezultat->toPlainText();
        const int bytes = memoStoredBytes(text);
        if (!m_showingCard && bytes > kMemoStoredBytes &&
            bytes > memoStoredBytes(m_acceptedResult)) {
            QSignalBlocker block(m_ui->Rezultat);
            m_ui->Rezultat->setPlainText(m_acceptedResult);
            QTextCursor cursor = m_ui->Rezultat->textCursor();
            cursor.setPosition(
                std::min(m_acceptedResultCursor, static_cast<int>(m_acceptedResult.size())));
            m_ui->Rezultat->setTextCursor(cursor);
        } else {
            m_acceptedResult = text;
            m_acceptedResultCursor = m_ui->Rezultat->textCursor().position();
        }
        updateRemainingCounters();
    });
    connect(m_ui->Rezultat, &QPlainTextEdit::cursorPositionChanged, this, [this] {
        if (m_ui->Rezultat->toPlainText() == m_acceptedResult)
            m_acceptedResultCursor = m_ui->Rezultat->textCursor().position();
    });
    connect(m_ui->Prime4, &QPlainTextEdit::textChanged, this,
            [this] { updateRemainingCounters(); });

    // A press on a row opens its card; the heading and the space below the rows have no index.
    for (CardList which : {CardList::Main, CardList::Working, CardList::Archive})
        connect(view(which), &QAbstractItemView::pressed, this,
                [this, which](const QModelIndex& at) {
                    emit listPressed(which, at.isValid() ? at.row() : -1);
                });
    connect(m_ui->SpTabl, &QTabWidget::currentChanged, this, [this](int index) {
        const QWidget* page = m_ui->SpTabl->widget(index);
        if (page == m_ui->TabSheet2)
            emit listShown(CardList::Working);
        else if (page == m_ui->TabSheet3)
            emit listShown(CardList::Archive);
    });

    followSession();
    runStartUp();
    wireOwnCommands(*this);
}

TForm1::~TForm1() = default;

void TForm1::followSession() {
    connect(&m_session, &CardSession::cardShown, this, &TForm1::ShowRecord);
    connect(&m_session, &CardSession::cardShown, m_ui->IzmDrugim, &QWidget::hide);
    connect(&m_session, &CardSession::shownCardChangedElsewhere, m_ui->IzmDrugim, &QWidget::show);
    connect(&m_session, &CardSession::registerReloaded, m_ui->mainList,
            [list = m_ui->mainList] { list->refresh(); });
    connect(&m_session, &CardSession::countersChanged, this, &TForm1::Kakay);
    connect(&m_session, &CardSession::cardStored, this, &TForm1::showStoredBoxes);
    connect(&m_session, &CardSession::sideFileChanged, this, [this](SideFile which, qint64 n) {
        (which == SideFile::Working ? m_ui->vRab : m_ui->vArh)->setText(QString::number(n));
    });
    m_ui->workingList->followSideFile(m_session, SideFile::Working);
    m_ui->archiveList->followSideFile(m_session, SideFile::Archive);
    m_ui->mainList->followMainFile(m_session);
    // A command that needs the register's index before it is built waits for it here, the
    // progress bar showing how far it got; the window keeps painting, clicks wait.
    m_session.setIndexWait([this](int percent) {
        setProgress(percent);
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    });
}

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
    } catch (const std::bad_alloc&) {
        showError(QStringLiteral("Недостаточно памяти. Команда не выполнена."));
    } catch (const std::exception& e) {
        showError(QString::fromLocal8Bit(e.what()));
    }
    return false;
}

void TForm1::showError(const QString& text) {
    m_platform.dialogs().error(this, text);
}

void TForm1::onClick(const char* objectName, std::function<void()> command) {
    auto run = [this, command = std::move(command)] { runCommand(command); };
    const QString name = QLatin1String(objectName);
    if (auto* button = findChild<QAbstractButton*>(name)) {
        connect(button, &QAbstractButton::clicked, this, run);
        return;
    }
    QAction* action = findChild<QAction*>(name);
    Q_ASSERT_X(action, "TForm1::onClick", objectName);
    if (action)
        connect(action, &QAction::triggered, this, run);
}

void TForm1::setServiceMenuEnabled(bool enabled) {
    const bool on = enabled && !m_session.user().serviceMenuBarred;
    m_ui->N7->setEnabled(on);
    m_ui->N7->menuAction()->setEnabled(on);
}

void TForm1::setCardButtonsVisible(bool visible) {
    for (QWidget* b : {static_cast<QWidget*>(m_ui->nNew), static_cast<QWidget*>(m_ui->nCopiy),
                       static_cast<QWidget*>(m_ui->nPoisk), static_cast<QWidget*>(m_ui->nDelete)})
        b->setVisible(visible);
}

void TForm1::userLoggedIn() {
    if (m_session.mode() == CardSession::Mode::New)
        m_ui->AdminFIO->setText(m_session.user().UserFIO);
}

UniformRowsView* TForm1::view(CardList which) const {
    switch (which) {
    case CardList::Working:
        return m_ui->RabTab;
    case CardList::Archive:
        return m_ui->ArhTab;
    case CardList::Main:
        break;
    }
    return m_ui->Spisok;
}

CardListModel& TForm1::list(CardList which) {
    switch (which) {
    case CardList::Working:
        return *m_ui->workingList;
    case CardList::Archive:
        return *m_ui->archiveList;
    case CardList::Main:
        break;
    }
    return *m_ui->mainList;
}

void TForm1::selectRow(CardList which, int row) {
    UniformRowsView* v = view(which);
    const auto* model = static_cast<const CardListModel*>(v->model());
    if (row < 0 || row >= model->cardCount())
        return;
    v->selectRow(row);
    v->scrollTo(model->index(row, 0));
}

int TForm1::selectedRow(CardList which) const {
    const QItemSelectionModel* selection = view(which)->selectionModel();
    const auto rows = selection->selectedRows();
    if (!rows.isEmpty())
        return rows.first().row();
    const QModelIndex current = selection->currentIndex();
    return current.isValid() ? current.row() : -1;
}

static QWidget* pageOf(const Form1Ui& ui, TForm1::CardList which) {
    switch (which) {
    case TForm1::CardList::Working:
        return ui.TabSheet2;
    case TForm1::CardList::Archive:
        return ui.TabSheet3;
    case TForm1::CardList::Main:
        break;
    }
    return ui.TabSheet1;
}

bool TForm1::isListInView(CardList which) const {
    return m_ui->SpTabl->currentWidget() == pageOf(*m_ui, which);
}

void TForm1::bringListToFront(CardList which) {
    QSignalBlocker quiet(m_ui->SpTabl);
    m_ui->SpTabl->setCurrentWidget(pageOf(*m_ui, which));
}

QColor TForm1::listBackground(CardList which) const {
    return pageOf(*m_ui, which)->palette().color(QPalette::Window);
}

QStringList TForm1::referenceEntries(const QString& comboBox) const {
    return zelm::referenceEntries(findChild<QComboBox*>(comboBox));
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
    m_ui->Sei4as->setText(TimeHHMM(nowDayCount()));
}

} // namespace zelm
