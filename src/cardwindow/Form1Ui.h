#pragma once
// The controls of the card window, each created with its objectName.
class QAction;
class QComboBox;
class QDateEdit;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QTableView;
class QTabWidget;
class QToolButton;
class QWidget;

namespace zelm {

class TdxfColorButton;
class CardListModel;

struct Form1Ui {
    // Groups
    QGroupBox *DatINN, *UprKart, *Organ, *FormSobstGB, *PovodGB, *VidOMGB, *Dokument, *KUSPGB,
        *PodrazdGB, *ProvodilGB, *UtverdilGB, *Rez, *Pri, *SlInfa, *SegSei, *KakayPlay;
    // Card fields
    QDateEdit *DataMer, *DataOsn, *DateKUSP, *Segodny;
    QLineEdit *GurN, *INNOrg, *NomDokOsn, *NomKUSP, *SkolPrik, *RezOst, *PrimOst, *Klu4Form1,
        *AdminFIO, *DaWrSozd, *DWKorr, *Otmetka, *Sei4as, *WsegoKarto4ek, *vRab, *vArh, *NNaidena,
        *NameZap;
    QComboBox *NameOrg, *FormSobs, *AdresOrg, *Povod, *VidORM, *Osnovan, *FabKUSP, *Podrazd,
        *DolgSotr, *ZvanSotr, *FIOSotr, *DolgnUtv, *ZvanUtv, *FIOUtv;
    QPlainTextEdit *Rezultat, *Prime4;
    // Command buttons
    TdxfColorButton *nNew, *nCopiy, *nSave, *nOtmena, *nPoisk, *nDelete, *nWstavit, *Vstavka,
        *PuskDokKart;
    QPushButton *Otvet, *WordEst, *OtmDel, *Konvert;
    // Reference-list buttons
    QPushButton *FormSobsSpr, *PovorSpr, *VidORMSpr, *NazDokSpr, *BitBtn1, *PodrazdSpr, *DolgnSpr,
        *ZvanSpr, *FIOSpr, *UtvDolgn, *UtvZvan, *UtvFIO;
    QProgressBar* Gauge1;
    // Lists
    QTabWidget* SpTabl;
    QWidget *TabSheet1, *TabSheet2, *TabSheet3;
    QToolButton *SpeedButBeg, *SpeedButPred, *SpeedButNext, *SpeedButEnd;
    QPushButton *nGlRab, *RabZero, *DelRab, *PRNSpisok, *RabExc, *ZapPosled, *ArhExc, *DelArh;
    QTableView *Spisok, *RabTab, *ArhTab;
    CardListModel *mainList, *workingList, *archiveList;
    // Menu
    QMenu *N1, *N4, *N7, *N14;
    QAction *N13, *N5, *N10, *N11, *PolnPicrtf1, *KnigaPic1, *N8, *N9, *BackUp1, *N15, *N16, *N2,
        *N3;
};

} // namespace zelm
