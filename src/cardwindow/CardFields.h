#pragma once
// Which control shows which field of a card.
#include "cardwindow/Form1Ui.h"
#include "store/Records.h"

#include <QComboBox>
#include <QLineEdit>

namespace zelm {

// Calls f(control, field) for every line-edit text field and every combo-box text field.
template <class F> void forEachTextField(Form1Ui& ui, TAnketa& c, F&& f) {
    f(ui.INNOrg, c.INNOrg);
    f(ui.NomKUSP, c.NomKUSP);
    f(ui.NomDokOsn, c.NomDokOsn);
    f(ui.Otmetka, c.Otmetka);
    f(ui.FabKUSP, c.FabKUSP);
    f(ui.NameOrg, c.NameOrg);
    f(ui.FormSobs, c.FormSobs);
    f(ui.AdresOrg, c.AdresOrg);
    f(ui.Povod, c.Povod);
    f(ui.VidORM, c.VidORM);
    f(ui.Osnovan, c.Osnovan);
    f(ui.Podrazd, c.Podrazd);
    f(ui.DolgSotr, c.DolgSotr);
    f(ui.ZvanSotr, c.ZvanSotr);
    f(ui.FIOSotr, c.FIOSotr);
    f(ui.DolgnUtv, c.DolgnUtv);
    f(ui.ZvanUtv, c.ZvanUtv);
    f(ui.FIOUtv, c.FIOUtv);
}

inline QString controlText(QLineEdit* e) {
    return e->text();
}
inline QString controlText(QComboBox* c) {
    return c->currentText();
}
inline void setControlText(QLineEdit* e, const QString& t) {
    e->setText(t);
}
inline void setControlText(QComboBox* c, const QString& t) {
    c->setEditText(t);
}

} // namespace zelm
