// The card window's Tab order: the card's fields as a reader reads them, top to bottom and left
// to right, each reference list's button right after the field it edits, then the card
// commands, then the right column with the lists. Left to the order the controls were made, the
// commands would come between the ИНН and the organisation's name.
#include "cardwindow/Form1Layout.h"

#include "widgets/TdxfColorButton.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QWidget>
#include <initializer_list>

namespace zelm {

void setForm1TabOrder(Form1Ui& ui) {
    const std::initializer_list<QWidget*> chain = {
        ui.DataMer,       ui.GurN,        ui.INNOrg,                    // the top row
        ui.NameOrg,       ui.FormSobs,    ui.FormSobsSpr, ui.AdresOrg,  // the organisation
        ui.Povod,         ui.PovorSpr,    ui.VidORM,      ui.VidORMSpr, // reason and kind
        ui.Osnovan,       ui.NazDokSpr,   ui.SkolPrik,    ui.DataOsn,   // the document
        ui.NomDokOsn,     ui.PuskDokKart,                               //
        ui.DateKUSP,      ui.NomKUSP,     ui.FabKUSP,     ui.BitBtn1,   // КУСП
        ui.Podrazd,       ui.PodrazdSpr,                                // the unit
        ui.DolgSotr,      ui.DolgnSpr,    ui.ZvanSotr,    ui.ZvanSpr,   // who conducted it
        ui.FIOSotr,       ui.FIOSpr,                                    //
        ui.DolgnUtv,      ui.UtvDolgn,    ui.ZvanUtv,     ui.UtvZvan,   // who approved it
        ui.FIOUtv,        ui.UtvFIO,                                    //
        ui.Rezultat,      ui.RezOst,      ui.Otvet,                     // result and note
        ui.Prime4,        ui.PrimOst,     ui.WordEst,                   //
        ui.Klu4Form1,     ui.AdminFIO,    ui.DaWrSozd,    ui.DWKorr,    // bookkeeping
        ui.Otmetka,       ui.OtmDel,                                    //
        ui.nNew,          ui.nCopiy,      ui.nSave,       ui.nOtmena,   // the card commands
        ui.nPoisk,        ui.nDelete,     ui.nWstavit,    ui.Vstavka,   //
        ui.Konvert,                                                     //
        ui.WsegoKarto4ek, ui.vRab,        ui.vArh,        ui.Segodny,   // the right column
        ui.Sei4as,        ui.SpTabl,
    };
    QWidget* previous = nullptr;
    for (QWidget* w : chain) {
        if (previous)
            QWidget::setTabOrder(previous, w);
        previous = w;
    }
}

} // namespace zelm
