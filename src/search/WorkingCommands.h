#pragma once
// The commands of the card window on the Working card file, and opening a card from the Main
// or the Working list. Rows are the lists' rows: row r shows card r of its file.
namespace zelm {

class CardListsView;
class CardSession;

void nGlRabClick(CardSession& s);                     // add the card shown
void RabZeroClick(CardSession& s, CardListsView& v);  // empty the Working card file
void TabSheet2Show(CardSession& s, CardListsView& v); // the Working list's first row selected
void RabTabMouseDown(CardSession& s, CardListsView& v, int row);
void SpisokMouseDown(CardSession& s, int row);
void DelRabClick(CardSession& s, CardListsView& v); // remove the selected card

} // namespace zelm
