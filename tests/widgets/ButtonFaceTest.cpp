// The shading arithmetic and the caption layout of the round button, without a window.
#include "widgets/ButtonFace.h"

#include <gtest/gtest.h>

#include <cmath>

namespace zelm {
namespace {

const QColor kWhite(255, 255, 255);

FaceEllipse ellipse(int l, int t, int r, int b, int grey) {
    return FaceEllipse{l, t, r, b, QColor(grey, grey, grey)};
}

// An independent rasteriser: a pixel belongs to an ellipse when its centre lies inside it.
QImage referenceFace(QSize size, const QColor& colour, bool pressed) {
    QImage img(size, QImage::Format_RGB32);
    img.fill(faceBaseColour(colour));
    for (const FaceEllipse& e : faceEllipses(size, colour, pressed)) {
        const double cx = (e.left + e.right) / 2.0, cy = (e.top + e.bottom) / 2.0;
        const double a = (e.right - e.left) / 2.0, b = (e.bottom - e.top) / 2.0;
        if (a <= 0 || b <= 0)
            continue;
        for (int y = e.top; y < e.bottom; ++y)
            for (int x = e.left; x < e.right; ++x) {
                const double u = (x + 0.5 - cx) / a, v = (y + 0.5 - cy) / b;
                if (u * u + v * v <= 1.0)
                    img.setPixelColor(x, y, e.colour);
            }
    }
    return img;
}

// Rounding may move the odd pixel on an ellipse's edge; nothing more.
void expectCloseToReference(const QImage& got, const QImage& want) {
    ASSERT_EQ(got.size(), want.size());
    int differing = 0;
    for (int y = 0; y < got.height(); ++y)
        for (int x = 0; x < got.width(); ++x)
            if (got.pixelColor(x, y) != want.pixelColor(x, y))
                ++differing;
    EXPECT_LE(differing * 500, got.width() * got.height()) << differing << " pixels differ";
}

TEST(ButtonFace, MixingTruncatesEachChannelOnItsOwn) {
    EXPECT_EQ(faceBaseColour(kWhite), QColor(153, 153, 153));
    EXPECT_EQ(faceBaseColour(QColor(255, 100, 7)), QColor(153, 60, 4));
    EXPECT_EQ(faceBaseColour(Qt::black), QColor(0, 0, 0));
    // 53 * 102 / 63 + 153 = 238.8
    EXPECT_EQ(mixColour(53, 63, kWhite, QColor(153, 153, 153)), QColor(238, 238, 238));
    EXPECT_EQ(mixColour(1, 3, QColor(10, 0, 255), QColor(0, 10, 0)), QColor(3, 6, 85));
}

TEST(ButtonFace, RaisedDomeOf100By40) {
    const auto rings = faceEllipses({100, 40}, kWhite, false);
    // r = 53, so rings 0 .. 53; n = 63.
    ASSERT_EQ(rings.size(), 54u);
    EXPECT_EQ(rings[0], ellipse(0, 0, 100, 40, 153));
    EXPECT_EQ(rings[1], ellipse(0, 0, 98, 39, 154));
    EXPECT_EQ(rings[52], ellipse(19, 7, 21, 8, 237));
    EXPECT_EQ(rings[53], ellipse(20, 8, 20, 8, 238));

    const QImage face = renderFace({100, 40}, kWhite, false);
    EXPECT_EQ(face.pixelColor(0, 0), QColor(153, 153, 153)); // outside the ellipse
    EXPECT_EQ(face.pixelColor(99, 39), QColor(153, 153, 153));
    // The highlight sits at the upper-left fifth and is nearly white.
    EXPECT_GE(face.pixelColor(20, 8).red(), 230);
    EXPECT_LT(face.pixelColor(80, 32).red(), 175);
    expectCloseToReference(face, referenceFace({100, 40}, kWhite, false));
}

TEST(ButtonFace, PressedFaceAddsAHollowSecondDome) {
    const auto rings = faceEllipses({100, 40}, kWhite, true);
    // The first dome never reaches three tenths in, so it is drawn whole: 54 rings, then the
    // second dome inside margins of 10 and 4: W2 = 80, H2 = 32, r2 = 43, m = 51.
    ASSERT_EQ(rings.size(), 54u + 44u);
    EXPECT_EQ(rings[53], ellipse(20, 8, 20, 8, 238));
    EXPECT_EQ(rings[54], ellipse(10, 4, 90, 36, 153));
    EXPECT_EQ(rings[55], ellipse(11, 4, 90, 36, 155));
    EXPECT_EQ(rings.back(), ellipse(74, 30, 74, 30, 239));

    const QImage raised = renderFace({100, 40}, kWhite, false);
    const QImage pressed = renderFace({100, 40}, kWhite, true);
    // Light at the lower right where the raised face is dark.
    EXPECT_GE(pressed.pixelColor(73, 29).red(), 225);
    EXPECT_LT(raised.pixelColor(73, 29).red(), 175);
    expectCloseToReference(pressed, referenceFace({100, 40}, kWhite, true));
    const QColor green(0, 200, 0);
    expectCloseToReference(renderFace({37, 61}, green, true), referenceFace({37, 61}, green, true));
}

TEST(ButtonFace, TinyFacesDoNotDivideByZero) {
    for (QSize s : {QSize(1, 1), QSize(1, 40), QSize(3, 1), QSize(2, 2)}) {
        const QImage face = renderFace(s, kWhite, true);
        EXPECT_EQ(face.size(), s);
    }
    EXPECT_TRUE(faceEllipses({1, 1}, kWhite, false).empty());
}

TEST(ButtonFace, CaptionPositionsForEachLayout) {
    const QSize button(100, 40), glyph(10, 10);
    const QList<int> widths{30, 20};
    auto place = [&](TdxfButtonLayout l, bool pressed = false) {
        return placeCaption(button, glyph, widths, 10, l, pressed);
    };
    using L = TdxfButtonLayout;

    auto left = place(L::dxfGlyphLeft);
    EXPECT_EQ(left.glyph, QPoint(28, 15));
    EXPECT_EQ(left.lines, (QList<QPoint>{{42, 10}, {42, 20}}));

    auto right = place(L::dxfGlyphRight);
    EXPECT_EQ(right.glyph, QPoint(62, 15));
    EXPECT_EQ(right.lines, (QList<QPoint>{{28, 10}, {38, 20}}));

    auto top = place(L::dxfGlyphTop);
    EXPECT_EQ(top.glyph, QPoint(45, 3));
    EXPECT_EQ(top.lines, (QList<QPoint>{{35, 17}, {40, 27}}));

    auto bottom = place(L::dxfGlyphBottom);
    EXPECT_EQ(bottom.glyph, QPoint(45, 27));
    EXPECT_EQ(bottom.lines, (QList<QPoint>{{35, 3}, {40, 13}}));

    auto pressed = place(L::dxfGlyphTop, true);
    EXPECT_EQ(pressed.glyph, QPoint(46, 4));
    EXPECT_EQ(pressed.lines, (QList<QPoint>{{36, 18}, {41, 28}}));

    // No picture, no gap.
    auto bare = placeCaption(button, {0, 0}, widths, 10, L::dxfGlyphLeft, false);
    EXPECT_EQ(bare.lines.front(), QPoint(35, 10));
    auto noText = placeCaption(button, glyph, {}, 10, L::dxfGlyphTop, false);
    EXPECT_EQ(noText.glyph, QPoint(45, 15));
}

} // namespace
} // namespace zelm
