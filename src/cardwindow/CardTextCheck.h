#pragma once
// The card's text fields and memos refuse text the card file cannot hold (Cp1251Refusal.h): on
// leaving the field, and before the card is written.
#include <QList>
#include <QString>
#include <utility>

class QWidget;

namespace zelm {

class TForm1;
struct Form1Ui;

// Every field whose text the card stores, with the name the user knows it by.
QList<std::pair<QWidget*, QString>> cardTextFields(const Form1Ui& ui);
// Tells the user through the platform's dialogs when they leave such a field.
void watchCardTextFields(TForm1& w);
// Throws ConversionError naming the first field that cannot be stored, and its characters.
void requireStorableCardText(const Form1Ui& ui);

} // namespace zelm
