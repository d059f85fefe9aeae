// Deleting a card rewrites the whole register (see CardSession::deleteShownCard); the window
// then shows the last card, or a blank one when none is left.
#include "cardwindow/CardDeletion.h"

#include "cardwindow/CardListModel.h"
#include "cardwindow/CardWindowCommands.h"
#include "cardwindow/Form1Internal.h"
#include "cardwindow/TWibor.h"
#include "platform/Platform.h"
#include "widgets/TdxfColorButton.h"

#include <QLineEdit>

namespace zelm {
namespace {

const QString kNotDone = QStringLiteral("Операция не выполнена");

// The session shows the last card and the lists and counters follow it; a register left
// empty starts on a blank card.
void showAfterDeletion(TForm1& w) {
    CardSession& s = w.session();
    if (s.CardTotal() > 0) {
        // The selection follows the card shown, so the next command acts on what is seen.
        w.selectMainRow(s.CardTotal() - 1);
        return;
    }
    w.setCardButtonsVisible(false);
    form1Ui(w).nOtmena->hide();
    w.BlankCard();
    form1Ui(w).GurN->setText(QStringLiteral("1"));
}

} // namespace

void deleteShownCard(TForm1& w, DeletionKind kind) {
    CardSession& s = w.session();
    if (!s.canDeleteShownCard())
        return;
    // The Working card file served as scratch and is empty now, whatever the outcome.
    try {
        s.deleteShownCard(kind);
    } catch (...) {
        w.list(TForm1::CardList::Working).fileReplaced();
        throw;
    }
    w.list(TForm1::CardList::Working).fileReplaced();
    showAfterDeletion(w);
}

void nDeleteClick(TForm1& w, TWibor& choice) {
    Dialogs& dialogs = w.platform().dialogs();
    CardSession& s = w.session();
    if (!s.user().isChiefAdministrator()) {
        dialogs.notice(&w, QStringLiteral("Это может сделать только главный администратор"),
                       kNotDone);
        return;
    }
    if (s.shown() == CardSession::Shown::ArchivedCard) {
        dialogs.notice(&w, QStringLiteral("Сначала откройте карточку Главной картотеки"), kNotDone);
        return;
    }
    if (!s.canDeleteShownCard())
        return;
    w.selectMainRow(static_cast<int>(s.shownIndex()));
    const int answer =
        AskChoice(choice, QStringLiteral("Удалить окончательно"), QStringLiteral("Удалить в Архив"),
                  QStringLiteral("Ничего не делать"), QStringLiteral("Действие с Карточкой"));
    if (answer == 1)
        deleteShownCard(w, DeletionKind::ForGood);
    else if (answer == 2)
        deleteShownCard(w, DeletionKind::IntoArchive);
}

void OtmDelClick(TForm1& w) {
    CardSession& s = w.session();
    if (s.mainCount() == 0)
        return;
    if (s.shown() == CardSession::Shown::ArchivedCard) {
        w.platform().dialogs().notice(
            &w, QStringLiteral("Сначала откройте карточку Главной картотеки"), kNotDone);
        return;
    }
    if (s.toggleMark())
        form1Ui(w).Otmetka->setText(s.CurrentCard().Otmetka.text());
}

void wireDeletionCommand(TForm1& w, TWibor& choice) {
    TForm1* p = &w;
    w.onClick("nDelete", [p, &choice] { nDeleteClick(*p, choice); });
}

} // namespace zelm
