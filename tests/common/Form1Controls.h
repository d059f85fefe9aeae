#pragma once
// The card window's controls as a test finds them: by objectName, as a user's script would.
#include "cardwindow/Form1ControlNames.h"
#include "cardwindow/TForm1.h"
#include "widgets/UniformRowsView.h"

namespace zelm::testing {

struct Form1Controls {
#define ZELM_FORM1_FIELD(type, name) type* name = nullptr;
    ZELM_FORM1_CONTROLS(ZELM_FORM1_FIELD)
#undef ZELM_FORM1_FIELD
    // The models of Spisok, RabTab and ArhTab.
    CardListModel* mainList = nullptr;
    CardListModel* workingList = nullptr;
    CardListModel* archiveList = nullptr;
};

// Every control of `w`, found by its objectName; the list models are those of the three views.
Form1Controls& controls(TForm1& w);
inline Form1Controls& controls(TForm1* w) {
    return controls(*w);
}

} // namespace zelm::testing
