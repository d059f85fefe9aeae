#pragma once
#include "cardwindow/Form1Ui.h"

class QMainWindow;

namespace zelm {
// Builds every control, group, list and menu of the card window.
void buildForm1Layout(QMainWindow* window, Form1Ui& ui);
// The Tab order of the card's fields and commands (Form1TabOrder.cpp).
void setForm1TabOrder(Form1Ui& ui);
} // namespace zelm
