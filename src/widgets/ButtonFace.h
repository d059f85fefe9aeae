#pragma once
// The drawing arithmetic of the round colour button, kept apart from the widget so that the
// exact geometry and colours can be checked without a window.
#include <QColor>
#include <QImage>
#include <QList>
#include <QPoint>
#include <QSize>
#include <vector>

namespace zelm {

enum class TdxfButtonLayout { dxfGlyphLeft, dxfGlyphRight, dxfGlyphTop, dxfGlyphBottom };

// Per channel: the whole part of a * (from - to) / n + to.
QColor mixColour(int a, int n, const QColor& from, const QColor& to);

// One filled ellipse of a face, with the bounding box in the (left, top, right, bottom) sense
// where right and bottom lie just outside the figure.
struct FaceEllipse {
    int left = 0, top = 0, right = 0, bottom = 0;
    QColor colour;
    bool operator==(const FaceEllipse&) const = default;
};

// The base colour that fills a face before the domes: three fifths of the face colour.
QColor faceBaseColour(const QColor& faceColour);

// The ellipses of the raised or the pressed face, in drawing order.
std::vector<FaceEllipse> faceEllipses(QSize size, const QColor& faceColour, bool pressed);

// The face image itself: the base colour, then every ellipse filled in turn.
QImage renderFace(QSize size, const QColor& faceColour, bool pressed);

// Where the picture and each caption line go.
struct CaptionPlacement {
    QPoint glyph;
    QPoint text;         // top left of the text block
    QList<QPoint> lines; // top left of each line
};

CaptionPlacement placeCaption(QSize size, QSize glyph, const QList<int>& lineWidths, int lineHeight,
                              TdxfButtonLayout layout, bool pressed);

} // namespace zelm
