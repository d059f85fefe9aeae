#pragma once
// The controls of the card window, each created with its objectName. Only the card window's
// own files see them; other subsystems go through TForm1's narrow interface, and tests find the
// controls by objectName (Form1ControlNames.h names them all).
#include "cardwindow/Form1ControlNames.h"

namespace zelm {

struct Form1Ui {
#define ZELM_FORM1_FIELD(type, name) type* name = nullptr;
    ZELM_FORM1_CONTROLS(ZELM_FORM1_FIELD)
#undef ZELM_FORM1_FIELD
    // The models of Spisok, RabTab and ArhTab.
    CardListModel* mainList = nullptr;
    CardListModel* workingList = nullptr;
    CardListModel* archiveList = nullptr;
};

} // namespace zelm
