#pragma once
// The commands of the card window on the Working card file, and opening a card from the Main
// or the Working list. Rows are the lists' model rows: row r shows card r of its file.
namespace zelm {

class TForm1;
class TPoisk;

void nGlRabClick(TForm1& w);   // add the card shown
void RabZeroClick(TForm1& w);  // empty the Working card file
void TabSheet2Show(TForm1& w); // fill the Working list from the file
void RabTabMouseDown(TForm1& w, int row);
void SpisokMouseDown(TForm1& w, int row);
void DelRabClick(TForm1& w); // remove the selected card from the Working card file

// Shared with the search window.
void emptyWorkingCardFile(TForm1& w); // also refills the list when it is in view
void showWorkingCount(TForm1& w);     // vRab

// Connects the Working tab's commands, the list presses and the search button.
void wireWorkingCommands(TForm1& w, TPoisk& search);

} // namespace zelm
