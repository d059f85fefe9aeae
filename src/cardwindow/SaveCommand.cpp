// Storing the card of the window: a new card is appended, a stored one written over.
#include "cardwindow/EditingCommands.h"
#include "cardwindow/Form1Internal.h"
#include "platform/Platform.h"
#include "widgets/TdxfColorButton.h"

#include <QLineEdit>

namespace zelm {

namespace {

const QString kArchivedCardRefusal = QStringLiteral(
    "Эта карточка из Архива. Чтобы вернуть её в Главную картотеку, нажмите «Запомнить» на "
    "вкладке «Архив» и «Вставить информацию, запомненную в Архиве»");

} // namespace

void nSaveClick(TForm1& w) {
    Form1Ui& ui = form1Ui(w);
    CardSession& s = w.session();
    if (s.mode() == CardSession::Mode::Korr && s.shown() == CardSession::Shown::ArchivedCard) {
        w.platform().dialogs().notice(&w, kArchivedCardRefusal,
                                      QStringLiteral("Операция не выполнена"));
        return;
    }

    ui.nOtmena->show();
    w.setServiceMenuEnabled(true);
    w.setCardButtonsVisible(true);

    w.writeEdits(); // a running number that is no integer stops here
    // The list, the boxes and the counters follow the session's signals.
    if (finishSave(w, s.save()))
        ui.nNew->setFocus();
}

bool finishSave(TForm1& w, CardSession::SaveOutcome outcome) {
    CardSession& s = w.session();
    using Outcome = CardSession::SaveOutcome;
    // Someone else stored this card since it was shown.
    while (outcome == Outcome::Conflict) {
        if (!w.platform().dialogs().ask(&w, changedElsewhereQuestion(s.theirs()),
                                        QStringLiteral("Карточка изменена"))) {
            s.showTheirs(); // the edits are given up for their version
            return false;
        }
        outcome = s.saveOver();
    }
    if (outcome == Outcome::Gone) {
        w.platform().dialogs().notice(&w, s.cardGoneMessage(),
                                      QStringLiteral("Операция не выполнена"));
        return false;
    }
    if (outcome != CardSession::SaveOutcome::Appended &&
        outcome != CardSession::SaveOutcome::Overwritten)
        return false;
    w.selectMainRow(static_cast<int>(s.shownIndex()));
    return true;
}

bool restoreVersion(TForm1& w, const TAnketa& version) {
    // A version recalled into an empty register brings the card buttons back.
    form1Ui(w).nOtmena->show();
    w.setCardButtonsVisible(true);
    if (!finishSave(w, w.session().restoreVersion(version)))
        return false;
    // The window shows what was stored, not the edits it showed before.
    w.ShowRecord();
    return true;
}

} // namespace zelm
