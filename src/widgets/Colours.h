#pragma once
#include "store/ColourText.h"

#include <QColor>
#include <QPalette>

class QWidget;

namespace zelm {
// The colour a stored colour text stands for on this desktop; theme colours map to the
// closest role of the palette.
QColor toQColor(ColourValue colour, const QPalette& palette);
ColourValue fromQColor(const QColor& colour);
// Paints the background of `widget` (its whole client area) in `colour`.
void setBackground(QWidget* widget, const QColor& colour);
} // namespace zelm
