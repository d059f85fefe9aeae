// Storing the card of the window: a new card is appended, a stored one written over.
#include "cardwindow/CardListModel.h"
#include "cardwindow/EditingCommands.h"
#include "cardwindow/Form1Internal.h"
#include "platform/Platform.h"
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

    TAnketa card = s.CurrentCard();
    fillCardFromWindow(w, card); // a running number that is no integer stops here

    CardListModel& list = w.list(TForm1::CardList::Main);
    const auto outcome =
        s.save(card, [&list](std::int32_t number) { return list.containsUniqueNumber(number); });
    const TAnketa& saved = s.CurrentCard();
    const int row = static_cast<int>(s.shownIndex());
    if (outcome == CardSession::SaveOutcome::Appended)
        list.appendCard(saved);
    else if (outcome == CardSession::SaveOutcome::Overwritten)
        list.setCard(row, saved);
    else
        return;
    ui.Klu4Form1->setText(QString::number(saved.Klu4Form1));
    w.selectMainRow(row);
    ui.AdminFIO->setText(saved.AdminFIO.text());
    ui.DWKorr->setText(DateTimeText(saved.DWKorr));
    ui.DaWrSozd->setText(DateTimeText(saved.DaWrSozd));
    w.Kakay();
    ui.nNew->setFocus();
}

} // namespace zelm
