#pragma once
// For the card window's own command files only: the controls behind TForm1's narrow interface.
#include "cardwindow/Form1Ui.h"
#include "cardwindow/TForm1.h"

namespace zelm {

struct Form1Access {
    static Form1Ui& ui(TForm1& w) { return *w.m_ui; }
};

inline Form1Ui& form1Ui(TForm1& w) {
    return Form1Access::ui(w);
}

} // namespace zelm
