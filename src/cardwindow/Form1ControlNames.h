#pragma once
// The name and the kind of every control of the card window. The window builds its controls
// from this list; tests find them by these objectNames.
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
class QTabWidget;
class QToolButton;
class QWidget;

namespace zelm {

class UniformRowsView;

class TdxfColorButton;
class CardListModel;

// X(type, objectName) for every control of the card window.
#define ZELM_FORM1_CONTROLS(X)                                                                     \
    X(QGroupBox, DatINN)                                                                           \
    X(QGroupBox, UprKart)                                                                          \
    X(QGroupBox, Organ)                                                                            \
    X(QGroupBox, FormSobstGB)                                                                      \
    X(QGroupBox, PovodGB)                                                                          \
    X(QGroupBox, VidOMGB)                                                                          \
    X(QGroupBox, Dokument)                                                                         \
    X(QGroupBox, KUSPGB)                                                                           \
    X(QGroupBox, PodrazdGB)                                                                        \
    X(QGroupBox, ProvodilGB)                                                                       \
    X(QGroupBox, UtverdilGB)                                                                       \
    X(QGroupBox, Rez)                                                                              \
    X(QGroupBox, Pri)                                                                              \
    X(QGroupBox, SlInfa)                                                                           \
    X(QGroupBox, SegSei)                                                                           \
    X(QGroupBox, KakayPlay)                                                                        \
    X(QDateEdit, DataMer)                                                                          \
    X(QDateEdit, DataOsn)                                                                          \
    X(QDateEdit, DateKUSP)                                                                         \
    X(QDateEdit, Segodny)                                                                          \
    X(QLineEdit, GurN)                                                                             \
    X(QLineEdit, INNOrg)                                                                           \
    X(QLineEdit, NomDokOsn)                                                                        \
    X(QLineEdit, NomKUSP)                                                                          \
    X(QLineEdit, SkolPrik)                                                                         \
    X(QLineEdit, RezOst)                                                                           \
    X(QLineEdit, PrimOst)                                                                          \
    X(QLineEdit, Klu4Form1)                                                                        \
    X(QLineEdit, AdminFIO)                                                                         \
    X(QLineEdit, DaWrSozd)                                                                         \
    X(QLineEdit, DWKorr)                                                                           \
    X(QLineEdit, Otmetka)                                                                          \
    X(QLineEdit, Sei4as)                                                                           \
    X(QLineEdit, WsegoKarto4ek)                                                                    \
    X(QLineEdit, vRab)                                                                             \
    X(QLineEdit, vArh)                                                                             \
    X(QLineEdit, NNaidena)                                                                         \
    X(QLineEdit, NameZap)                                                                          \
    X(QComboBox, NameOrg)                                                                          \
    X(QComboBox, FormSobs)                                                                         \
    X(QComboBox, AdresOrg)                                                                         \
    X(QComboBox, Povod)                                                                            \
    X(QComboBox, VidORM)                                                                           \
    X(QComboBox, Osnovan)                                                                          \
    X(QComboBox, FabKUSP)                                                                          \
    X(QComboBox, Podrazd)                                                                          \
    X(QComboBox, DolgSotr)                                                                         \
    X(QComboBox, ZvanSotr)                                                                         \
    X(QComboBox, FIOSotr)                                                                          \
    X(QComboBox, DolgnUtv)                                                                         \
    X(QComboBox, ZvanUtv)                                                                          \
    X(QComboBox, FIOUtv)                                                                           \
    X(QPlainTextEdit, Rezultat)                                                                    \
    X(QPlainTextEdit, Prime4)                                                                      \
    X(TdxfColorButton, nNew)                                                                       \
    X(TdxfColorButton, nCopiy)                                                                     \
    X(TdxfColorButton, nSave)                                                                      \
    X(TdxfColorButton, nOtmena)                                                                    \
    X(TdxfColorButton, nPoisk)                                                                     \
    X(TdxfColorButton, nDelete)                                                                    \
    X(TdxfColorButton, nWstavit)                                                                   \
    X(TdxfColorButton, Vstavka)                                                                    \
    X(TdxfColorButton, PuskDokKart)                                                                \
    X(QPushButton, Otvet)                                                                          \
    X(QPushButton, WordEst)                                                                        \
    X(QPushButton, OtmDel)                                                                         \
    X(QPushButton, Konvert)                                                                        \
    X(QPushButton, FormSobsSpr)                                                                    \
    X(QPushButton, PovorSpr)                                                                       \
    X(QPushButton, VidORMSpr)                                                                      \
    X(QPushButton, NazDokSpr)                                                                      \
    X(QPushButton, BitBtn1)                                                                        \
    X(QPushButton, PodrazdSpr)                                                                     \
    X(QPushButton, DolgnSpr)                                                                       \
    X(QPushButton, ZvanSpr)                                                                        \
    X(QPushButton, FIOSpr)                                                                         \
    X(QPushButton, UtvDolgn)                                                                       \
    X(QPushButton, UtvZvan)                                                                        \
    X(QPushButton, UtvFIO)                                                                         \
    X(QProgressBar, Gauge1)                                                                        \
    X(QLabel, IzmDrugim)                                                                           \
    X(QLabel, NetLenty)                                                                            \
    X(QTabWidget, SpTabl)                                                                          \
    X(QWidget, TabSheet1)                                                                          \
    X(QWidget, TabSheet2)                                                                          \
    X(QWidget, TabSheet3)                                                                          \
    X(QToolButton, SpeedButBeg)                                                                    \
    X(QToolButton, SpeedButPred)                                                                   \
    X(QToolButton, SpeedButNext)                                                                   \
    X(QToolButton, SpeedButEnd)                                                                    \
    X(QPushButton, nGlRab)                                                                         \
    X(QPushButton, RabZero)                                                                        \
    X(QPushButton, DelRab)                                                                         \
    X(QPushButton, PRNSpisok)                                                                      \
    X(QPushButton, RabExc)                                                                         \
    X(QPushButton, ZapPosled)                                                                      \
    X(QPushButton, ArhExc)                                                                         \
    X(QPushButton, DelArh)                                                                         \
    X(UniformRowsView, Spisok)                                                                     \
    X(UniformRowsView, RabTab)                                                                     \
    X(UniformRowsView, ArhTab)                                                                     \
    X(QMenu, N1)                                                                                   \
    X(QMenu, N4)                                                                                   \
    X(QMenu, N7)                                                                                   \
    X(QMenu, N14)                                                                                  \
    X(QAction, N13)                                                                                \
    X(QAction, N5)                                                                                 \
    X(QAction, N10)                                                                                \
    X(QAction, N11)                                                                                \
    X(QAction, PolnPicrtf1)                                                                        \
    X(QAction, KnigaPic1)                                                                          \
    X(QAction, N8)                                                                                 \
    X(QAction, N9)                                                                                 \
    X(QAction, BackUp1)                                                                            \
    X(QAction, N15)                                                                                \
    X(QAction, N16)                                                                                \
    X(QAction, nToServer)                                                                          \
    X(QAction, nFromServer)                                                                        \
    X(QAction, N2)                                                                                 \
    X(QAction, N3)

} // namespace zelm
