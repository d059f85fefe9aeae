#pragma once
// The card window's controls as a test finds them: by objectName, as a user's script would.
#include "cardwindow/Form1Ui.h"
#include "cardwindow/TForm1.h"

namespace zelm::testing {

// Every control of `w`, found by its objectName; the list models are those of the three views.
Form1Ui& controls(TForm1& w);
inline Form1Ui& controls(TForm1* w) {
    return controls(*w);
}

} // namespace zelm::testing
