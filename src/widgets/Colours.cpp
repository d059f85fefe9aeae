#include "widgets/Colours.h"

#include <QWidget>

namespace zelm {

QColor toQColor(ColourValue colour, const QPalette& palette) {
    if (colour.isNone() || colour.isDefault())
        return palette.color(QPalette::Window);
    if (colour.isSystem()) {
        switch (colour.systemIndex()) {
        case 0x05:
            return palette.color(QPalette::Base);
        case 0x07:
        case 0x08:
        case 0x12:
            return palette.color(QPalette::Text);
        case 0x0D:
        case 0x1D:
            return palette.color(QPalette::Highlight);
        case 0x0E:
            return palette.color(QPalette::HighlightedText);
        case 0x10:
        case 0x15:
            return palette.color(QPalette::Dark);
        case 0x11:
            return palette.color(QPalette::PlaceholderText);
        case 0x14:
        case 0x16:
            return palette.color(QPalette::Light);
        case 0x17:
            return palette.color(QPalette::ToolTipText);
        case 0x18:
            return palette.color(QPalette::ToolTipBase);
        default:
            return palette.color(QPalette::Window);
        }
    }
    return QColor(colour.red(), colour.green(), colour.blue());
}

ColourValue fromQColor(const QColor& c) {
    return ColourValue::fromRgb(c.red(), c.green(), c.blue());
}

void setBackground(QWidget* widget, const QColor& colour) {
    QPalette p = widget->palette();
    p.setColor(QPalette::Window, colour);
    widget->setPalette(p);
    widget->setAutoFillBackground(true);
}

} // namespace zelm
