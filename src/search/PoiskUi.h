#pragma once
// The controls of the search window, each created with its objectName.
class QComboBox;
class QDateEdit;
class QGroupBox;
class QLineEdit;
class QWidget;

namespace zelm {

class TdxfColorButton;

struct PoiskUi {
    QGroupBox* Uslovia; // the outer group of all conditions
    QGroupBox* Knopki;  // the button row
    // Date ranges
    QDateEdit *NaDat, *KoDat, *SDataKUSP, *PoDataKUSP, *SwhodData, *PoWhodData;
    // Text conditions
    QLineEdit *NomKUSP, *Gorod, *IForma, *KlSlovo, *SlNazv, *WhNash, *IshNash, *IRez, *IPrim;
    QComboBox *KomuPor, *Otdel, *Zayavitel, *DolgnUtv, *FIOUtv;
    // Counters
    QLineEdit *KRab, *NPosNai;
    // Commands
    TdxfColorButton *sBegin, *sNext, *sPred, *sEnd, *WsehSrazu, *nWihod, *RabZero, *Obnovit;
};

// Builds every group, label, condition control and button of the search window.
void buildPoiskLayout(QWidget* window, PoiskUi& ui);

} // namespace zelm
