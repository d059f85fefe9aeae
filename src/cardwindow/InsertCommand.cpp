// Inserting a blank card after the card shown; the Main card file is rewritten whole.
#include "cardwindow/CardListModel.h"
#include "cardwindow/EditingCommands.h"
#include "cardwindow/Form1Internal.h"
#include "platform/Platform.h"
#include "store/FileError.h"
#include "store/UnitGlo.h"
#include "widgets/TdxfColorButton.h"

#include <QLineEdit>

namespace zelm {

void nWstavitClick(TForm1& w) {
    Form1Ui& ui = form1Ui(w);
    CardSession& s = w.session();
    Dialogs& dialogs = w.platform().dialogs();
    const qint64 count = s.mainCount();
    // The card after which the new one goes: the Main card shown, else the selected row.
    const qint64 anchor = s.shown() == CardSession::Shown::MainCard && s.shownIndex() >= 0
                              ? s.shownIndex()
                              : w.selectedMainRow();
    if (count <= 0 || anchor < 0 || anchor >= count - 1) {
        dialogs.notice(&w, QStringLiteral("Воспользуйтесь кнопками Дабавить и Запомнить"),
                       QStringLiteral("Вы находитесь в конце таблицы"));
        return;
    }
    if (!dialogs.ask(&w, QStringLiteral("Вставить карточку ?"),
                     QStringLiteral("После карточки ") + QString::number(anchor + 1)))
        return;

    ui.nOtmena->show();
    w.setServiceMenuEnabled(true);
    w.setCardButtonsVisible(true);

    const qint64 at = s.insertBlankCardAfter(anchor, parseIntOrThrow(ui.GurN->text()));

    // Only now that the new register is on disk do the window and the lists follow it (the
    // Main list and the counters through the session's signals).
    w.BlankCard();
    ui.Klu4Form1->setText(QString::number(s.CurrentCard().Klu4Form1));
    w.selectMainRow(static_cast<int>(at));
}

} // namespace zelm
