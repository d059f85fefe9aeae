// Making a new card, copying the card shown, and cancelling either.
#include "cardwindow/EditingCommands.h"

#include "cardwindow/CardWindowCommands.h"
#include "cardwindow/Form1Internal.h"
#include "store/UniqueNumber.h"
#include "store/UnitGlo.h"
#include "widgets/TdxfColorButton.h"

#include <QDateEdit>
#include <QLineEdit>

namespace zelm {

void nNewClick(TForm1& w) {
    Form1Ui& ui = form1Ui(w);
    w.setCardButtonsVisible(false);
    w.BlankCard();
    ui.DaWrSozd->setText(UniqueNumberText(ui.Klu4Form1->text().toInt()));
    bool registerEmpty = false;
    const std::int32_t runningNumber = w.session().beginNewCard(registerEmpty);
    if (registerEmpty)
        ui.nOtmena->hide();
    ui.GurN->setText(QString::number(runningNumber));
    ui.DataMer->setFocus();
}

void nCopiyClick(TForm1& w) {
    Form1Ui& ui = form1Ui(w);
    w.setCardButtonsVisible(false);
    w.setServiceMenuEnabled(false);
    // The copy keeps every field the window shows; only its identity is new.
    if (const auto runningNumber = w.session().beginCopy())
        ui.GurN->setText(QString::number(*runningNumber));
    ui.AdminFIO->setText(w.session().user().UserFIO);
    const std::int32_t number = NewUniqueNumber();
    ui.Klu4Form1->setText(QString::number(number));
    ui.DaWrSozd->setText(UniqueNumberText(number));
    ui.DataMer->setFocus();
}

void nOtmenaClick(TForm1& w) {
    w.setCardButtonsVisible(true);
    w.session().cancelNewCard();
}

void wireEditingCommands(TForm1& w) {
    TForm1* p = &w;
    w.onClick("nNew", [p] { nNewClick(*p); });
    w.onClick("nCopiy", [p] { nCopiyClick(*p); });
    w.onClick("nSave", [p] { nSaveClick(*p); });
    w.onClick("nOtmena", [p] { nOtmenaClick(*p); });
    w.onClick("nWstavit", [p] { nWstavitClick(*p); });
}

} // namespace zelm
