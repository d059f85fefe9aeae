// Inserting a blank card after the card shown; the Main card file is rewritten whole.
#include "cardwindow/CardListModel.h"
#include "cardwindow/EditingCommands.h"
#include "cardwindow/TForm1.h"
#include "platform/Platform.h"
#include "store/RecordFileRewrite.h"
#include "store/DayCount.h"
#include "store/FileError.h"
#include "store/UniqueNumber.h"
#include "widgets/TdxfColorButton.h"

#include <QDateEdit>
#include <QLineEdit>

namespace zelm {

namespace {

// The card after which the new one goes: the Main card shown, else the selected row.
qint64 insertionAnchor(TForm1& w) {
    if (w.shown == TForm1::Shown::MainCard && w.shownIndex >= 0)
        return w.shownIndex;
    return w.selectedMainRow();
}

TAnketa blankCardToInsert(TForm1& w, std::int32_t runningNumber) {
    TAnketa card = TAnketa::zeroed();
    const double now = nowDayCount();
    const double today = todayDayCount();
    card.GurN = runningNumber;
    card.Klu4Form1 = NewUniqueNumber();
    card.DataMer = card.DateKUSP = card.DataOsn = today;
    card.AdminFIO.set(w.ctx().UserFIO);
    card.DaWrSozd = now;
    card.DWKorr = now;
    return card;
}

} // namespace

void nWstavitClick(TForm1& w) {
    AppContext& ctx = w.ctx();
    Form1Ui& ui = w.ui();
    CardFile& main = ctx.files.main;
    const qint64 count = main.count();
    const qint64 anchor = insertionAnchor(w);
    if (count <= 0 || anchor < 0 || anchor >= count - 1) {
        ctx.platform.dialogs().notice(
            &w, QStringLiteral("Воспользуйтесь кнопками Дабавить и Запомнить"),
            QStringLiteral("Вы находитесь в конце таблицы"));
        return;
    }
    if (!ctx.platform.dialogs().ask(&w, QStringLiteral("Вставить карточку ?"),
                                    QStringLiteral("После карточки ") +
                                        QString::number(anchor + 1)))
        return;

    ui.nOtmena->show();
    w.setServiceMenuEnabled(true);
    w.setCardButtonsVisible(true);

    const TAnketa card = blankCardToInsert(w, parseIntOrThrow(ui.GurN->text()));
    const qint64 at = anchor + 1;
    insertCardIntoMainFile(main, ctx.files.working, ctx.inst.workingCardFile(), at, card);

    // Only now that the new register is on disk do the window and the lists follow it.
    ui.mainList->insertCard(static_cast<int>(at), card);
    ui.vRab->setText(QString::number(ctx.files.working.count()));
    w.CardMode = QStringLiteral("Korr");
    w.CardTotal = static_cast<int>(main.count());
    w.CardIndex = w.CardTotal - 1;
    w.BlankCard();
    ui.Klu4Form1->setText(QString::number(card.Klu4Form1));
    w.CurrentCard = card;
    w.shown = TForm1::Shown::MainCard;
    w.shownIndex = at;
    main.seek(at);
    w.selectMainRow(static_cast<int>(at));
    w.Kakay();
}

} // namespace zelm
