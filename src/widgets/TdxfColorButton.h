#pragma once
// A round push button: an ellipse shaded in its face colour, a caption of several lines and
// an optional picture. Only the ellipse is part of the control; clicks beside it fall through
// to whatever lies underneath.
#include "widgets/ButtonFace.h"

#include <QAbstractButton>
#include <QColor>
#include <QImage>
#include <QPixmap>
#include <QRegion>
#include <QStringList>

namespace zelm {

class TdxfColorButton : public QAbstractButton {
    Q_OBJECT
public:
    explicit TdxfColorButton(QWidget* parent = nullptr);

    bool allowAllUp() const { return m_allowAllUp; }
    void setAllowAllUp(bool v) { m_allowAllUp = v; }
    QStringList caption() const { return m_caption; }
    void setCaption(const QStringList& lines);
    QColor color() const { return m_color; }
    void setColor(const QColor& c);
    // The sticky "down" state of grouped buttons; ungrouped buttons never stay down.
    bool down() const { return m_down; }
    void setDown(bool d);
    QPixmap glyph() const { return m_glyph; }
    // A picture without an alpha channel is drawn with its bottom-left pixel's colour as
    // transparent, as bitmaps of this kind have always been drawn.
    void setGlyph(const QPixmap& p);
    int groupIndex() const { return m_groupIndex; }
    void setGroupIndex(int g) { m_groupIndex = g; }
    TdxfButtonLayout buttonLayout() const { return m_layout; }
    void setButtonLayout(TdxfButtonLayout l);

    // The look the button shows now and the two faces it switches between.
    bool pressedLook() const { return m_pressedLook; }
    const QImage& raisedFace() const;
    const QImage& pressedFace() const;
    // The part of the control that takes the mouse: the ellipse, empty while hidden.
    QRegion windowRegion() const;
    CaptionPlacement captionPlacement() const;
    // Where the ring that shows the keyboard focus is drawn, inside the ellipse's edge.
    QRectF focusFrame() const;

    void setVisible(bool visible) override;
    QSize sizeHint() const override { return {100, 40}; }
    QSize minimumSizeHint() const override { return {1, 1}; }

signals:
    void doubleClicked();
    void mouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint pos);
    void mouseMove(Qt::KeyboardModifiers modifiers, QPoint pos);
    void mouseUp(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint pos);

protected:
    void paintEvent(QPaintEvent*) override;
    void resizeEvent(QResizeEvent*) override;
    void changeEvent(QEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseDoubleClickEvent(QMouseEvent*) override;
    void mouseMoveEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;
    void enterEvent(QEnterEvent*) override;
    void leaveEvent(QEvent*) override;
    void keyPressEvent(QKeyEvent*) override;
    void keyReleaseEvent(QKeyEvent*) override;
    bool hitButton(const QPoint& pos) const override;

private:
    void renderFaces() const;
    void ensureFaces() const;
    void updateRegion();
    void setPressedLook(bool on);
    void pressWithMouse();
    void mouseEntered();
    void mouseLeft();
    void groupMemberWentDown(int group, TdxfColorButton* sender);
    void drawCaption(QPainter& p);
    void drawFocusFrame(QPainter& p);

    bool m_allowAllUp = false;
    QStringList m_caption;
    QColor m_color = Qt::white;
    bool m_down = false;
    QPixmap m_glyph;
    QPixmap m_glyphToDraw;
    int m_groupIndex = 0;
    TdxfButtonLayout m_layout = TdxfButtonLayout::dxfGlyphLeft;

    mutable QImage m_raisedFace, m_pressedFace;
    mutable QColor m_facesColour;
    bool m_pressedLook = false;
    bool m_mousePressed = false;
    bool m_mouseInside = false;
};

} // namespace zelm
