#pragma once
// The controls of the envelope window, each created with its objectName.
class QCheckBox;
class QGroupBox;
class QLineEdit;
class QWidget;

namespace zelm {

class TdxfColorButton;

struct KonvertiUi {
    QGroupBox *OtKogo, *Komu, *Pe4at;
    // The sender, filled from the settings each time the window is opened.
    QLineEdit *Firma, *Dolgnost, *Gorod, *OblKr, *Raion, *UlDomKv, *PochtInd;
    // The recipient, typed by the user and kept for the whole run.
    QLineEdit *FIOKomu, *DolgnKomu, *NazvOrgan, *GorodKomu, *OblKomu, *RaionKomu, *UlKvKomu,
        *IndexKomu;
    QCheckBox* PredPro;
    TdxfColorButton *Polovina, *Tret;
};

// Builds the sender, recipient and print groups of the envelope window.
void buildKonvertiLayout(QWidget* window, KonvertiUi& ui);

} // namespace zelm
