// Making a new card, copying the card shown, and cancelling either.
#include "cardwindow/EditingCommands.h"

#include "cardwindow/TForm1.h"
#include "cardwindow/Wiring.h"
#include "cardwindow/ZelmApp.h"
#include "store/UniqueNumber.h"
#include "store/UnitGlo.h"
#include "widgets/TdxfColorButton.h"

#include <QDateEdit>
#include <QLineEdit>

namespace zelm {

namespace {
// The last stored card, read into the card window's memory; the file's position ends past it.
bool readLastCard(TForm1& w) {
    CardFile& f = w.ctx().files.main;
    const qint64 count = f.count();
    if (count <= 0)
        return false;
    f.seek(count - 1);
    f.read(&w.CurrentCard);
    return true;
}
} // namespace

void nNewClick(TForm1& w) {
    Form1Ui& ui = w.ui();
    w.setCardButtonsVisible(false);
    w.CardMode = QStringLiteral("New");
    w.BlankCard();
    w.shown = TForm1::Shown::Blank;
    w.shownIndex = -1;
    ui.DaWrSozd->setText(UniqueNumberText(ui.Klu4Form1->text().toInt()));
    if (readLastCard(w)) {
        ui.GurN->setText(QString::number(w.CurrentCard.GurN + 1));
    } else {
        ui.nOtmena->hide();
        ui.GurN->setText(QStringLiteral("1"));
    }
    ui.DataMer->setFocus();
}

void nCopiyClick(TForm1& w) {
    Form1Ui& ui = w.ui();
    ui.nNew->hide();
    w.setServiceMenuEnabled(false);
    ui.nCopiy->hide();
    ui.nPoisk->hide();
    ui.nDelete->hide();
    w.CardMode = QStringLiteral("New");
    // The copy keeps every field the window shows; only its identity is new.
    w.shown = TForm1::Shown::Blank;
    w.shownIndex = -1;
    if (readLastCard(w))
        ui.GurN->setText(QString::number(w.CurrentCard.GurN + 1));
    ui.AdminFIO->setText(w.ctx().UserFIO);
    const std::int32_t number = NewUniqueNumber();
    ui.Klu4Form1->setText(QString::number(number));
    ui.DaWrSozd->setText(UniqueNumberText(number));
    ui.DataMer->setFocus();
}

void nOtmenaClick(TForm1& w) {
    w.setCardButtonsVisible(true);
    w.CardMode = QStringLiteral("Korr");
    CardFile& f = w.ctx().files.main;
    const qint64 count = f.count();
    if (count <= 0)
        return;
    if (w.CardIndex >= 0 && w.CardIndex < count)
        f.seek(w.CardIndex);
    w.Scatter();
    w.Kakay();
}

void wireEditingCommands(ZelmApp& app) {
    TForm1* w = app.form1();
    auto bind = [w](TdxfColorButton* button, void (*command)(TForm1&)) {
        QObject::connect(button, &QAbstractButton::clicked, w,
                         [w, command] { w->runCommand([w, command] { command(*w); }); });
    };
    Form1Ui& ui = w->ui();
    bind(ui.nNew, nNewClick);
    bind(ui.nCopiy, nCopiyClick);
    bind(ui.nSave, nSaveClick);
    bind(ui.nOtmena, nOtmenaClick);
    bind(ui.nWstavit, nWstavitClick);
}

} // namespace zelm
