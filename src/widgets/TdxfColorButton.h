#pragma once
// A round push button: an ellipse shaded in its face colour, a caption of several lines and
// an optional picture.
#include <QAbstractButton>
#include <QColor>
#include <QPixmap>
#include <QStringList>

namespace zelm {

enum class TdxfButtonLayout { dxfGlyphLeft, dxfGlyphRight, dxfGlyphTop, dxfGlyphBottom };

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
    bool down() const { return m_down; }
    void setDown(bool d);
    QPixmap glyph() const { return m_glyph; }
    void setGlyph(const QPixmap& p);
    int groupIndex() const { return m_groupIndex; }
    void setGroupIndex(int g) { m_groupIndex = g; }
    TdxfButtonLayout buttonLayout() const { return m_layout; }
    void setButtonLayout(TdxfButtonLayout l);

    QSize sizeHint() const override { return {100, 40}; }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    bool m_allowAllUp = false;
    QStringList m_caption;
    QColor m_color = Qt::white;
    bool m_down = false;
    QPixmap m_glyph;
    int m_groupIndex = 0;
    TdxfButtonLayout m_layout = TdxfButtonLayout::dxfGlyphLeft;
};

} // namespace zelm
