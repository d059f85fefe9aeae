#include "widgets/TdxfColorButton.h"

#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace zelm {

TdxfColorButton::TdxfColorButton(QWidget* parent) : QAbstractButton(parent) {
    // The face image covers every pixel the mask lets through.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_Hover);
    resize(100, 40);
    renderFaces();
    updateRegion();
}

void TdxfColorButton::setCaption(const QStringList& lines) {
    m_caption = lines;
    setText(lines.join(QLatin1Char('\n')));
    update();
}

void TdxfColorButton::setColor(const QColor& c) {
    m_color = c;
    renderFaces();
    update();
}

void TdxfColorButton::setDown(bool d) {
    if (m_groupIndex == 0)
        return;
    m_down = d;
    setPressedLook(d);
    if (!d || !parentWidget())
        return;
    for (auto* sibling :
         parentWidget()->findChildren<TdxfColorButton*>(QString(), Qt::FindDirectChildrenOnly))
        sibling->groupMemberWentDown(m_groupIndex, this);
}

void TdxfColorButton::groupMemberWentDown(int group, TdxfColorButton* sender) {
    if (sender == this || group != m_groupIndex || !m_pressedLook)
        return;
    m_down = false;
    m_mousePressed = false;
    setPressedLook(false);
    update();
}

void TdxfColorButton::setGlyph(const QPixmap& p) {
    m_glyph = p;
    m_glyphToDraw = p;
    if (!p.isNull() && !p.hasAlphaChannel()) {
        const QImage img = p.toImage();
        m_glyphToDraw.setMask(
            p.createMaskFromColor(img.pixelColor(0, img.height() - 1), Qt::MaskInColor));
    }
    update();
}

void TdxfColorButton::setButtonLayout(TdxfButtonLayout l) {
    m_layout = l;
    update();
}

void TdxfColorButton::renderFaces() const {
    m_raisedFace = renderFace(size(), m_color, false);
    m_pressedFace = renderFace(size(), m_color, true);
    m_facesColour = m_color;
}

// A hidden widget gets no resize events until it is shown, so the faces are checked against
// the current size whenever they are needed.
void TdxfColorButton::ensureFaces() const {
    if (m_raisedFace.size() != size() || m_facesColour != m_color)
        renderFaces();
}

const QImage& TdxfColorButton::raisedFace() const {
    ensureFaces();
    return m_raisedFace;
}

const QImage& TdxfColorButton::pressedFace() const {
    ensureFaces();
    return m_pressedFace;
}

QRegion TdxfColorButton::windowRegion() const {
    const bool hiddenOnPurpose =
        testAttribute(Qt::WA_WState_Hidden) && testAttribute(Qt::WA_WState_ExplicitShowHide);
    if (hiddenOnPurpose)
        return {};
    return QRegion(-1, -1, width() + 2, height() + 2, QRegion::Ellipse);
}

void TdxfColorButton::updateRegion() {
    const QRegion region = windowRegion();
    if (region.isEmpty())
        clearMask();
    else
        setMask(region);
}

void TdxfColorButton::setVisible(bool visible) {
    QAbstractButton::setVisible(visible);
    updateRegion();
}

void TdxfColorButton::resizeEvent(QResizeEvent* e) {
    QAbstractButton::resizeEvent(e);
    renderFaces();
    updateRegion();
}

void TdxfColorButton::changeEvent(QEvent* e) {
    QAbstractButton::changeEvent(e);
    if (e->type() == QEvent::FontChange) {
        renderFaces();
        update();
    } else if (e->type() == QEvent::EnabledChange || e->type() == QEvent::PaletteChange) {
        update();
    }
}

bool TdxfColorButton::hitButton(const QPoint& pos) const {
    return windowRegion().contains(pos);
}

CaptionPlacement TdxfColorButton::captionPlacement() const {
    const QFontMetrics fm(font());
    QList<int> widths;
    for (const QString& line : m_caption)
        widths.append(fm.horizontalAdvance(line));
    const QSize glyphSize = m_glyph.isNull() ? QSize(0, 0) : m_glyph.size();
    return placeCaption(size(), glyphSize, widths, fm.height(), m_layout, m_pressedLook);
}

void TdxfColorButton::drawCaption(QPainter& p) {
    const CaptionPlacement pl = captionPlacement();
    if (!m_glyphToDraw.isNull())
        p.drawPixmap(pl.glyph, m_glyphToDraw);
    p.setFont(font());
    const int ascent = QFontMetrics(font()).ascent();
    auto drawLines = [&](QPoint offset, const QColor& colour) {
        p.setPen(colour);
        for (int i = 0; i < m_caption.size(); ++i)
            p.drawText(pl.lines[i] + offset + QPoint(0, ascent), m_caption[i]);
    };
    if (isEnabled()) {
        drawLines({0, 0}, palette().color(QPalette::Active, QPalette::ButtonText));
    } else {
        // Embossed: the highlight peeks out below and to the right of the shadow.
        drawLines({1, 1}, palette().color(QPalette::Active, QPalette::Light));
        drawLines({0, 0}, palette().color(QPalette::Active, QPalette::Dark));
    }
}

QRectF TdxfColorButton::focusFrame() const {
    return QRectF(rect()).adjusted(2.5, 2.5, -2.5, -2.5);
}

// A dotted ring inside the edge, black dots between white ones, so that it shows on a face of
// any colour: the button's own colour is the user's choice.
void TdxfColorButton::drawFocusFrame(QPainter& p) {
    const QRectF ring = focusFrame();
    p.setBrush(Qt::NoBrush);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QPen(Qt::white, 1));
    p.drawEllipse(ring);
    QPen dots(Qt::black, 1, Qt::CustomDashLine);
    dots.setDashPattern({2, 2});
    p.setPen(dots);
    p.drawEllipse(ring);
}

void TdxfColorButton::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.drawImage(0, 0, m_pressedLook ? pressedFace() : raisedFace());
    drawCaption(p);
    if (hasFocus())
        drawFocusFrame(p);
}

void TdxfColorButton::setPressedLook(bool on) {
    if (m_pressedLook == on)
        return;
    m_pressedLook = on;
    update();
}

void TdxfColorButton::pressWithMouse() {
    if (!isEnabled() || m_down)
        return;
    m_mousePressed = true;
    m_mouseInside = true;
    setPressedLook(true);
}

void TdxfColorButton::mousePressEvent(QMouseEvent* e) {
    emit mouseDown(e->button(), e->modifiers(), e->position().toPoint());
    if (e->button() == Qt::LeftButton)
        pressWithMouse();
    QAbstractButton::mousePressEvent(e);
}

void TdxfColorButton::mouseDoubleClickEvent(QMouseEvent* e) {
    emit doubleClicked();
    mousePressEvent(e);
}

void TdxfColorButton::mouseMoveEvent(QMouseEvent* e) {
    emit mouseMove(e->modifiers(), e->position().toPoint());
    // While the button is held the mouse is captured, so crossing the ellipse's edge is
    // noticed here rather than by enter and leave events.
    if (m_mousePressed) {
        const bool inside = hitButton(e->position().toPoint());
        if (inside && !m_mouseInside)
            mouseEntered();
        else if (!inside && m_mouseInside)
            mouseLeft();
    }
    QAbstractButton::mouseMoveEvent(e);
}

void TdxfColorButton::mouseReleaseEvent(QMouseEvent* e) {
    emit mouseUp(e->button(), e->modifiers(), e->position().toPoint());
    if (e->button() == Qt::LeftButton) {
        const bool releasedOver = QAbstractButton::isDown() && hitButton(e->position().toPoint());
        m_mousePressed = false;
        if (m_groupIndex == 0) {
            m_down = false;
        } else if (releasedOver) {
            // A grouped button released over itself goes down and stays down; pressing it
            // again lets it up only when the group allows no button down at all.
            if (!m_down)
                setDown(true);
            else if (m_allowAllUp)
                setDown(false);
        }
        setPressedLook(m_down);
    }
    QAbstractButton::mouseReleaseEvent(e);
}

void TdxfColorButton::mouseEntered() {
    m_mouseInside = true;
    setPressedLook(m_down || m_mousePressed);
}

void TdxfColorButton::mouseLeft() {
    m_mouseInside = false;
    setPressedLook(m_groupIndex != 0 && m_down);
}

void TdxfColorButton::enterEvent(QEnterEvent* e) {
    QAbstractButton::enterEvent(e);
    mouseEntered();
}

void TdxfColorButton::leaveEvent(QEvent* e) {
    QAbstractButton::leaveEvent(e);
    mouseLeft();
}

void TdxfColorButton::keyPressEvent(QKeyEvent* e) {
    QAbstractButton::keyPressEvent(e);
    setPressedLook(m_down || QAbstractButton::isDown());
}

void TdxfColorButton::keyReleaseEvent(QKeyEvent* e) {
    QAbstractButton::keyReleaseEvent(e);
    setPressedLook(m_down || QAbstractButton::isDown());
}

} // namespace zelm
