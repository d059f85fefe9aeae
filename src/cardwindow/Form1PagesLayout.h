#pragma once
#include "cardwindow/Form1Ui.h"

class QHBoxLayout;
class QMainWindow;

namespace zelm {
// Builds the right part of the card window into `columns`, and the main menu.
void buildForm1Pages(QMainWindow* window, Form1Ui& ui, QHBoxLayout* columns);
} // namespace zelm
