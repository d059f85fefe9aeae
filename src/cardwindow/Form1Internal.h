#pragma once
// For the card window's own command files only: the controls behind TForm1's narrow interface.
#include "cardwindow/Form1Ui.h"
#include "cardwindow/TForm1.h"

namespace zelm {

Form1Ui& form1Ui(TForm1& w);

// Fills `card` from the window's fields (the user's name and the changed time included); a
// running or unique number that is no integer raises ConversionError.
void fillCardFromWindow(TForm1& w, TAnketa& card);

} // namespace zelm
