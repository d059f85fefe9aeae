#include "widgets/TdxfColorButton.h"

#include <QPainter>

namespace zelm {

TdxfColorButton::TdxfColorButton(QWidget* parent) : QAbstractButton(parent) { resize(100, 40); }

void TdxfColorButton::setCaption(const QStringList& lines) {
    m_caption = lines;
    setText(lines.join(QLatin1Char('\n')));
    update();
}
void TdxfColorButton::setColor(const QColor& c) {
    m_color = c;
    update();
}
void TdxfColorButton::setDown(bool d) {
    m_down = d;
    update();
}
void TdxfColorButton::setGlyph(const QPixmap& p) {
    m_glyph = p;
    update();
}
void TdxfColorButton::setButtonLayout(TdxfButtonLayout l) {
    m_layout = l;
    update();
}

void TdxfColorButton::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(isDown() ? m_color.darker(130) : m_color);
    p.drawEllipse(rect().adjusted(0, 0, -1, -1));
    p.drawText(rect(), Qt::AlignCenter, m_caption.join(QLatin1Char('\n')));
}

} // namespace zelm
