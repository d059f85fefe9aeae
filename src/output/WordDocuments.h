#pragma once
// A card's two Word documents: the Result document on the owner's letterhead (button Otvet)
// and the Note document (button WordEst), made from templates whose placeholders take the
// card's values. No widgets here: the card window hands in the card and the boxes' texts.
#include "store/Records.h"

#include <QList>
#include <QPair>
#include <QString>
#include <cstdint>
#include <functional>

class QWidget;

namespace zelm {

class Installation;
class Platform;
class OfficeAutomation;
class WordApplication;

// What one of the two buttons serves.
struct CardDocumentKind {
    QString folder;        // the documents' folder, ending in '/'
    QString templatePath;  // the template a new document is made from
    QString questionTitle; // the three-way question's title
};
CardDocumentKind resultDocumentKind(const Installation& inst); // Otvet, Otveti/BlankFirma.doc
CardDocumentKind noteDocumentKind(const Installation& inst);   // WordEst, WhodWord/Blank.doc

// The card's document: the folder, the unique number in decimal and ".doc".
QString cardDocumentPath(const CardDocumentKind& kind, std::int32_t uniqueNumber);
// "Есть" when the card's document exists, else "Нет".
QString cardDocumentCaption(const CardDocumentKind& kind, std::int32_t uniqueNumber);

// The texts of the card window's boxes that the placeholders take as shown. The memos are
// whole, with '\n' line breaks: only storing a card cuts them to the field's size.
struct CardBoxTexts {
    QString DaWrSozd, DWKorr, AdminFIO, GurN, Klu4Form1, Otmetka;
    QString Rezultat, Prime4;
};
CardBoxTexts shownBoxTexts(const TAnketa& card); // as the card window shows a stored card

// The 23 placeholders and their values, in the order they are replaced.
using Placeholders = QList<QPair<QString, QString>>;
Placeholders placeholderValues(const TAnketa& card, const CardBoxTexts& boxes);
inline Placeholders placeholderValues(const TAnketa& card) {
    return placeholderValues(card, shownBoxTexts(card));
}

// Replaces every occurrence of the placeholder in the whole document by the value.
void WordReplace(WordApplication& word, const QString& placeholder, const QString& value);

// A new document from the template with every placeholder replaced, saved as `path` and
// shown. It is filled before it is saved, so the file holds the card's values even when the
// user closes the word processor without saving. OfficeError on failure.
void makeCardDocument(OfficeAutomation& office, const QString& templatePath,
                      const Placeholders& values, const QString& path);

// The three-way question: three button captions and a title in; 1, 2 or 3 out, 0 when the
// question was closed without a choice.
using ChoiceQuestion = std::function<int(const QString& first, const QString& second,
                                         const QString& third, const QString& title)>;

// OtvetClick and WordEstClick. With a document: edit it (the shell opens it), delete it, or do
// nothing, as the user chooses. Without one: make it from the template. Failures are shown
// through the platform's error display. Returns the button's caption afterwards, which says
// whether the document exists.
QString cardDocumentClick(const CardDocumentKind& kind, std::int32_t uniqueNumber,
                          const Placeholders& values, Platform& platform, QWidget* parent,
                          const ChoiceQuestion& ask);

// N10Click and N11Click: the shell opens the template for the user to edit.
void openCardDocumentTemplate(const CardDocumentKind& kind, Platform& platform);

} // namespace zelm
