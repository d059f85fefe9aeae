#pragma once
// The controls of the attached-files window, named as the window's code refers to them.
#include <QString>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QTableWidget;
class QWidget;

namespace zelm {

class TdxfColorButton;

struct DokKartUi {
    // The card: filled by the card window, read-only here.
    QGroupBox* Kartochka = nullptr;
    QGroupBox* GrNazvanie = nullptr; // "Название ... Ключ"
    QLineEdit* NazWhDok = nullptr;
    QLineEdit* Klu4DK = nullptr;
    QGroupBox* GrOsnovanie = nullptr;
    QPlainTextEdit* Fabula = nullptr;

    // The links of the card.
    QGroupBox* GrFaily = nullptr; // "Группа файлов, ... Новый Файл привязать"
    QGroupBox* GrHarakter = nullptr; // "Характеристики файла ... Удалить"
    QLineEdit* ImaDok = nullptr;
    QLineEdit* PutFil = nullptr;
    QLineEdit* SodFil = nullptr;
    TdxfColorButton* Minus = nullptr;
    TdxfColorButton* Redak = nullptr;
    TdxfColorButton* dxfColorButton1 = nullptr;
    TdxfColorButton* Plus = nullptr;
    TdxfColorButton* Saves = nullptr;
    QLabel* SpisokLabel = nullptr;
    QTableWidget* SpPrDok = nullptr;
};

// Builds the window's controls into `window`.
void buildDokKartLayout(QWidget* window, DokKartUi& ui);

// Group captions whose last word stands at the group's right edge, above the buttons there:
// the blanks between the two parts follow the group's width from now on.
void padDokKartCaptions(DokKartUi& ui);

// The captions before padding, for whoever needs to recognise them.
namespace dokkart {
inline const QString kFailyLeft = QStringLiteral("Группа файлов,  связанных с карточкой");
inline const QString kFailyRight = QStringLiteral("Новый Файл привязать");
inline const QString kHarakterLeft = QStringLiteral("Характеристики файла");
inline const QString kHarakterRight = QStringLiteral("Удалить");
inline const QString kNazvanieLeft = QStringLiteral("Название");
inline const QString kNazvanieRight = QStringLiteral("Ключ");
} // namespace dokkart

} // namespace zelm
