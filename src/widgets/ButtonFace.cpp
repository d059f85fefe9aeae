#include "widgets/ButtonFace.h"

#include <algorithm>
#include <cmath>

namespace zelm {

namespace {

int mixChannel(int a, int n, int from, int to) {
    return static_cast<int>(std::trunc(double(a) * (from - to) / n + to));
}

// The whole part of the distance from the centre to a corner, each half truncated first.
int radius(int w, int h) {
    const double hw = w / 2, hh = h / 2;
    return static_cast<int>(std::sqrt(hw * hw + hh * hh));
}

int truncDiv(double num, int den) {
    return static_cast<int>(std::trunc(num / den));
}

} // namespace

QColor mixColour(int a, int n, const QColor& from, const QColor& to) {
    // A face smaller than 2 x 2 pixels has no dome to shade: keep the colour it is mixed into
    // instead of dividing by zero.
    if (n == 0)
        return QColor(to.red(), to.green(), to.blue());
    return QColor(mixChannel(a, n, from.red(), to.red()),
                  mixChannel(a, n, from.green(), to.green()),
                  mixChannel(a, n, from.blue(), to.blue()));
}

QColor faceBaseColour(const QColor& faceColour) {
    return mixColour(2, 5, Qt::black, faceColour);
}

std::vector<FaceEllipse> faceEllipses(QSize size, const QColor& faceColour, bool pressed) {
    std::vector<FaceEllipse> out;
    const int w = size.width(), h = size.height();
    if (w <= 0 || h <= 0)
        return out;
    const QColor base = faceBaseColour(faceColour);
    const QColor white(255, 255, 255);
    const int dw = w / 10, dh = h / 10;
    const int sw = w / 5, sh = h / 5;

    // The raised dome: rings shrinking toward the upper-left fifth, brightening as they go.
    const int r = radius(w, h);
    if (r > 0) {
        const int n = static_cast<int>(1.2 * r);
        for (int g = 0; g <= r; ++g) {
            FaceEllipse e;
            e.colour = mixColour(g, n, white, base);
            e.left = truncDiv(double(g) * sw, r);
            e.top = truncDiv(double(g) * sh, r);
            e.right = static_cast<int>(std::trunc(w - double(g) * (w - sw) / r));
            e.bottom = static_cast<int>(std::trunc(h - double(g) * (h - sh) / r));
            out.push_back(e);
            if (pressed && e.left > 3 * dw && e.top > 3 * dh)
                break;
        }
    }
    if (!pressed)
        return out;

    // The pressed face adds a second dome inside a margin, shrinking toward the lower right,
    // so the button looks hollow.
    const int w2 = w - 2 * dw, h2 = h - 2 * dh;
    const int sw2 = w2 / 5, sh2 = h2 / 5;
    const int r2 = radius(w2, h2);
    if (r2 > 0) {
        const int m = static_cast<int>(1.2 * r2);
        for (int o = 0; o <= r2; ++o) {
            FaceEllipse e;
            e.colour = mixColour(o, m, white, base);
            e.left = truncDiv(double(o) * (w2 - sw2), r2) + dw;
            e.top = truncDiv(double(o) * (h2 - sh2), r2) + dh;
            e.right = dw + w2 - truncDiv(double(o) * sw2, r2);
            e.bottom = h2 + dh - truncDiv(double(o) * sh2, r2);
            out.push_back(e);
        }
    }
    return out;
}

// Fills the pixels whose centres lie inside the ellipse inscribed in the box, row by row. The
// right and bottom edges stay outside, as with the platform's own ellipses; doing it by hand keeps
// the faces the same on every paint engine.
static void fillEllipse(QImage& img, const FaceEllipse& e) {
    const double a = (e.right - e.left) / 2.0, b = (e.bottom - e.top) / 2.0;
    if (a <= 0 || b <= 0)
        return;
    const double cx = e.left + a, cy = e.top + b;
    const QRgb rgb = e.colour.rgb();
    const int firstRow = std::max(e.top, 0), lastRow = std::min(e.bottom, img.height()) - 1;
    for (int y = firstRow; y <= lastRow; ++y) {
        const double v = (y + 0.5 - cy) / b;
        if (v * v > 1.0)
            continue;
        const double half = a * std::sqrt(1.0 - v * v);
        const int from = std::max(static_cast<int>(std::ceil(cx - half - 0.5)), 0);
        const int to = std::min(static_cast<int>(std::floor(cx + half - 0.5)), img.width() - 1);
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = from; x <= to; ++x)
            line[x] = rgb;
    }
}

QImage renderFace(QSize size, const QColor& faceColour, bool pressed) {
    QImage img(size.expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    img.fill(faceBaseColour(faceColour));
    for (const FaceEllipse& e : faceEllipses(size, faceColour, pressed))
        fillEllipse(img, e);
    return img;
}

CaptionPlacement placeCaption(QSize size, QSize glyph, const QList<int>& lineWidths, int lineHeight,
                              TdxfButtonLayout layout, bool pressed) {
    const int w = size.width(), h = size.height();
    const int gw = glyph.width(), gh = glyph.height();
    const int textHeight = int(lineWidths.size()) * lineHeight;
    const int widest =
        lineWidths.isEmpty() ? 0 : *std::max_element(lineWidths.begin(), lineWidths.end());
    const int gap = (gw > 0 && widest > 0) ? 4 : 0;
    auto centre = [](int x) { return x / 2; };

    CaptionPlacement pl;
    switch (layout) {
    case TdxfButtonLayout::dxfGlyphLeft:
        pl.glyph = {centre(w - gw - gap - widest), centre(h - gh)};
        pl.text = {pl.glyph.x() + gw + gap, centre(h - textHeight)};
        break;
    case TdxfButtonLayout::dxfGlyphRight:
        pl.text = {centre(w - gw - gap - widest), centre(h - textHeight)};
        pl.glyph = {pl.text.x() + widest + gap, centre(h - gh)};
        break;
    case TdxfButtonLayout::dxfGlyphTop:
        pl.glyph = {centre(w - gw), centre(h - gh - textHeight - gap)};
        pl.text = {centre(w - widest), pl.glyph.y() + gh + gap};
        break;
    case TdxfButtonLayout::dxfGlyphBottom:
        pl.text = {centre(w - widest), centre(h - gh - textHeight - gap)};
        pl.glyph = {centre(w - gw), pl.text.y() + textHeight + gap};
        break;
    }
    if (pressed) {
        pl.glyph += QPoint(1, 1);
        pl.text += QPoint(1, 1);
    }
    for (int i = 0; i < lineWidths.size(); ++i) {
        int dx = 0;
        if (layout == TdxfButtonLayout::dxfGlyphRight)
            dx = widest - lineWidths[i];
        else if (layout == TdxfButtonLayout::dxfGlyphTop ||
                 layout == TdxfButtonLayout::dxfGlyphBottom)
            dx = centre(widest - lineWidths[i]);
        pl.lines.append(QPoint(pl.text.x() + dx, pl.text.y() + i * lineHeight));
    }
    return pl;
}

} // namespace zelm
