// Storing the card of the window: a new card is appended, a stored one written over.
#include "cardwindow/CardListModel.h"
#include "cardwindow/EditingCommands.h"
#include "cardwindow/TForm1.h"
#include "platform/Platform.h"
#include "store/DayCount.h"
#include "store/FileError.h"
#include "store/RecordFileRewrite.h"
#include "store/UniqueNumber.h"
#include "store/UnitGlo.h"
#include "widgets/TdxfColorButton.h"

#include <QLineEdit>

namespace zelm {

namespace {

const QString kArchivedCardRefusal = QStringLiteral(
    "Эта карточка из Архива. Чтобы вернуть её в Главную картотеку, нажмите «Запомнить» на "
    "вкладке «Архив» и «Вставить информацию, запомненную в Архиве»");

} // namespace

void nSaveClick(TForm1& w) {
    Form1Ui& ui = w.ui();
    AppContext& ctx = w.ctx();
    CardFile& f = ctx.files.main;
    const bool isNew = w.CardMode == QLatin1String("New");

    if (!isNew && w.shown == TForm1::Shown::ArchivedCard) {
        ctx.platform.dialogs().notice(&w, kArchivedCardRefusal,
                                      QStringLiteral("Операция не выполнена"));
        return;
    }

    ui.nOtmena->show();
    w.setServiceMenuEnabled(true);
    w.setCardButtonsVisible(true);

    TAnketa card = w.CurrentCard;
    w.fillCardFromWindow(card); // a running number that is no integer stops here

    qint64 p = 0;
    if (isNew) {
        card.DaWrSozd = nowDayCount();
        // A card shown from the register while a new one was open still carries its own
        // number; two cards must never share one.
        if (ui.mainList->containsUniqueNumber(card.Klu4Form1)) {
            card.Klu4Form1 = NewUniqueNumber();
            ui.Klu4Form1->setText(QString::number(card.Klu4Form1));
        }
        p = appendFlushed(f, &card);
        w.CardMode = QStringLiteral("Korr");
        ui.mainList->appendCard(card);
    } else {
        const qint64 count = f.count();
        if (count <= 0)
            return;
        if (w.shown == TForm1::Shown::MainCard && w.shownIndex >= 0 && w.shownIndex < count)
            p = w.shownIndex;
        else
            p = std::min<qint64>(f.position(), count - 1);
        f.seek(p);
        f.write(&card);
        f.flush();
        ui.mainList->setCard(static_cast<int>(p), card);
    }
    w.CurrentCard = card;
    f.reopen();
    f.seek(p);
    w.shown = TForm1::Shown::MainCard;
    w.shownIndex = p;
    w.selectMainRow(static_cast<int>(p));
    ui.AdminFIO->setText(card.AdminFIO.text());
    ui.DWKorr->setText(DateTimeText(card.DWKorr));
    ui.DaWrSozd->setText(DateTimeText(card.DaWrSozd));
    w.Kakay();
    ui.nNew->setFocus();
}

} // namespace zelm
