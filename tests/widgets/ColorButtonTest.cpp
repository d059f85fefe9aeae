// The round button as a widget: what it paints, where it takes the mouse, when it clicks.
#include "widgets/TdxfColorButton.h"

#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>
#include <QWidget>
#include <QWindow>
#include <gtest/gtest.h>

#include <set>
#include <utility>

namespace zelm {
namespace {

using Pixel = std::pair<int, int>;

QFont crispFont() {
    QFont f(QStringLiteral("DejaVu Sans"), 10);
    f.setStyleStrategy(QFont::NoAntialias);
    return f;
}

// Text black, embossing highlight pure red, shadow pure blue: every pixel tells who drew it.
QPalette markedPalette() {
    QPalette pal;
    pal.setColor(QPalette::ButtonText, Qt::black);
    pal.setColor(QPalette::Light, QColor(255, 0, 0));
    pal.setColor(QPalette::Dark, QColor(0, 0, 255));
    return pal;
}

std::set<Pixel> pixelsOf(const QImage& img, const QColor& c) {
    std::set<Pixel> out;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (img.pixelColor(x, y) == c)
                out.insert({x, y});
    return out;
}

void sendMouse(QWidget* w, QEvent::Type type, QPoint pos, Qt::MouseButtons held) {
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent e(type, QPointF(pos), QPointF(w->mapToGlobal(pos)), button, held, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

TEST(ColorButton, PaintsTheRaisedFaceAndSwitchesToThePressedOne) {
    TdxfColorButton b;
    EXPECT_EQ(b.size(), QSize(100, 40));
    EXPECT_EQ(b.color(), QColor(Qt::white));
    EXPECT_EQ(b.raisedFace(), renderFace({100, 40}, Qt::white, false));

    b.setColor(QColor(200, 100, 50));
    b.resize(90, 30);
    EXPECT_EQ(b.raisedFace(), renderFace({90, 30}, QColor(200, 100, 50), false));
    EXPECT_EQ(b.pressedFace(), renderFace({90, 30}, QColor(200, 100, 50), true));

    const QImage raised = b.grab().toImage();
    EXPECT_EQ(raised.pixelColor(0, 0), QColor(120, 60, 30)); // the base colour in the corner
    sendMouse(&b, QEvent::MouseButtonPress, {45, 15}, Qt::LeftButton);
    EXPECT_TRUE(b.pressedLook());
    const QImage pressed = b.grab().toImage();
    EXPECT_EQ(pressed.pixelColor(66, 23), b.pressedFace().pixelColor(66, 23));
    EXPECT_NE(pressed.pixelColor(66, 23), raised.pixelColor(66, 23));
}

TEST(ColorButton, ThreeLineCaptionIsCentredUnderThePicture) {
    TdxfColorButton b;
    b.resize(140, 90);
    b.setFont(crispFont());
    b.setPalette(markedPalette());
    b.setColor(Qt::white);
    // Blue picture whose left column is magenta: the bottom-left colour is see-through.
    QImage glyph(16, 16, QImage::Format_RGB32);
    glyph.fill(QColor(0, 0, 255));
    for (int y = 0; y < 16; ++y)
        glyph.setPixelColor(0, y, QColor(255, 0, 255));
    b.setGlyph(QPixmap::fromImage(glyph));
    b.setButtonLayout(TdxfButtonLayout::dxfGlyphTop);
    b.setCaption({QStringLiteral("Ш"), QStringLiteral("ШШШШШШ"), QStringLiteral("ШШШ")});

    const CaptionPlacement pl = b.captionPlacement();
    const QFontMetrics fm(b.font());
    const int h = fm.height();
    EXPECT_EQ(pl.glyph.x(), (140 - 16) / 2);
    EXPECT_EQ(pl.glyph.y(), (90 - 16 - 3 * h - 4) / 2);
    EXPECT_EQ(pl.text.y(), pl.glyph.y() + 16 + 4);

    const QImage img = b.grab().toImage();
    EXPECT_EQ(img.pixelColor(pl.glyph + QPoint(8, 8)), QColor(0, 0, 255));
    EXPECT_TRUE(pixelsOf(img, QColor(255, 0, 255)).empty());
    // The lines are centred on one another and, up to the letters' side bearings, on the
    // picture.
    std::vector<double> inkCentres;
    for (int line = 0; line < 3; ++line) {
        int minX = 1000, maxX = -1;
        for (int y = pl.text.y() + line * h; y < pl.text.y() + (line + 1) * h; ++y)
            for (int x = 0; x < img.width(); ++x)
                if (img.pixelColor(x, y) == QColor(Qt::black)) {
                    minX = std::min(minX, x);
                    maxX = std::max(maxX, x);
                }
        ASSERT_GE(maxX, 0) << "line " << line << " has no ink";
        inkCentres.push_back((minX + maxX) / 2.0);
        EXPECT_NEAR(inkCentres.back(), pl.glyph.x() + 8, 3.0) << "line " << line;
        EXPECT_GT(pl.text.y() + line * h, pl.glyph.y() + 16);
    }
    EXPECT_NEAR(inkCentres[0], inkCentres[1], 1.0);
    EXPECT_NEAR(inkCentres[2], inkCentres[1], 1.0);
}

TEST(ColorButton, DisabledCaptionIsDrawnTwiceEmbossed) {
    TdxfColorButton b;
    b.setFont(crispFont());
    b.setPalette(markedPalette());
    b.setCaption({QStringLiteral("Отмена"), QStringLiteral("всего")});
    const std::set<Pixel> ink = pixelsOf(b.grab().toImage(), Qt::black);
    ASSERT_FALSE(ink.empty());

    b.setEnabled(false);
    const QImage img = b.grab().toImage();
    EXPECT_TRUE(pixelsOf(img, Qt::black).empty());
    // The shadow lies exactly where the enabled text was, the highlight one pixel right and
    // down from it wherever the shadow does not cover it.
    EXPECT_EQ(pixelsOf(img, QColor(0, 0, 255)), ink);
    std::set<Pixel> highlight;
    for (auto [x, y] : ink)
        if (!ink.count({x + 1, y + 1}))
            highlight.insert({x + 1, y + 1});
    EXPECT_EQ(pixelsOf(img, QColor(255, 0, 0)), highlight);
}

TEST(ColorButton, ClicksOnlyInsideTheEllipseAndOnlyWhileEnabled) {
    QWidget window;
    window.resize(200, 100);
    auto* under = new QWidget(&window);
    under->setGeometry(0, 0, 200, 100);
    auto* b = new TdxfColorButton(&window);
    b->move(20, 20);
    b->setCaption({QStringLiteral("Далее")});
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QSignalSpy clicks(b, &QAbstractButton::clicked);

    // A corner of the rectangle is outside the ellipse: the click goes to what lies beneath.
    EXPECT_FALSE(b->windowRegion().contains(QPoint(2, 2)));
    EXPECT_EQ(window.childAt(QPoint(22, 22)), under);
    QTest::mouseClick(window.windowHandle(), Qt::LeftButton, {}, QPoint(22, 22));
    EXPECT_EQ(clicks.count(), 0);
    EXPECT_EQ(window.childAt(QPoint(70, 40)), b);
    QTest::mouseClick(window.windowHandle(), Qt::LeftButton, {}, QPoint(70, 40));
    EXPECT_EQ(clicks.count(), 1);

    // Even delivered straight to it, a release beside the ellipse is no click.
    QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(1, 1));
    EXPECT_EQ(clicks.count(), 1);

    b->setEnabled(false);
    QTest::mouseClick(window.windowHandle(), Qt::LeftButton, {}, QPoint(70, 40));
    b->click();
    EXPECT_EQ(clicks.count(), 1);
    b->setEnabled(true);
    b->click();
    EXPECT_EQ(clicks.count(), 2);
}

TEST(ColorButton, RegionIsTheEllipseAndEmptyWhileHidden) {
    QWidget window;
    auto* b = new TdxfColorButton(&window);
    EXPECT_TRUE(b->windowRegion().contains(QPoint(50, 20)));
    EXPECT_TRUE(b->windowRegion().contains(QPoint(0, 20)));
    EXPECT_TRUE(b->windowRegion().contains(QPoint(99, 20)));
    EXPECT_FALSE(b->windowRegion().contains(QPoint(0, 0)));
    b->resize(60, 60);
    EXPECT_TRUE(b->windowRegion().contains(QPoint(30, 59)));
    EXPECT_FALSE(b->windowRegion().contains(QPoint(59, 59)));
    b->hide();
    EXPECT_TRUE(b->windowRegion().isEmpty());
    b->show();
    EXPECT_TRUE(b->windowRegion().contains(QPoint(30, 30)));
}

TEST(ColorButton, PressedLookFollowsTheHeldMouseInAndOut) {
    TdxfColorButton b;
    QSignalSpy clicks(&b, &QAbstractButton::clicked);
    sendMouse(&b, QEvent::MouseButtonPress, {50, 20}, Qt::LeftButton);
    EXPECT_TRUE(b.pressedLook());
    sendMouse(&b, QEvent::MouseMove, {150, 20}, Qt::LeftButton);
    EXPECT_FALSE(b.pressedLook());
    sendMouse(&b, QEvent::MouseMove, {2, 2}, Qt::LeftButton); // in the rectangle, off the ellipse
    EXPECT_FALSE(b.pressedLook());
    sendMouse(&b, QEvent::MouseMove, {50, 20}, Qt::LeftButton);
    EXPECT_TRUE(b.pressedLook());
    sendMouse(&b, QEvent::MouseButtonRelease, {50, 20}, Qt::NoButton);
    EXPECT_FALSE(b.pressedLook());
    EXPECT_FALSE(b.down());
    EXPECT_EQ(clicks.count(), 1);

    // Pressed, dragged off and released outside: no click, raised again.
    sendMouse(&b, QEvent::MouseButtonPress, {50, 20}, Qt::LeftButton);
    sendMouse(&b, QEvent::MouseMove, {150, 20}, Qt::LeftButton);
    sendMouse(&b, QEvent::MouseButtonRelease, {150, 20}, Qt::NoButton);
    EXPECT_FALSE(b.pressedLook());
    EXPECT_EQ(clicks.count(), 1);

    // An ungrouped button cannot be put down.
    b.setDown(true);
    EXPECT_FALSE(b.down());
    EXPECT_FALSE(b.pressedLook());
}

TEST(ColorButton, GroupedButtonsReleaseEachOther) {
    QWidget parent;
    auto* a = new TdxfColorButton(&parent);
    auto* b = new TdxfColorButton(&parent);
    auto* other = new TdxfColorButton(&parent);
    a->setGroupIndex(1);
    b->setGroupIndex(1);
    other->setGroupIndex(2);
    other->setDown(true);
    a->setDown(true);
    EXPECT_TRUE(a->down());
    EXPECT_TRUE(a->pressedLook());

    // Clicking b puts it down and lets a up; the other group stays as it was.
    sendMouse(b, QEvent::MouseButtonPress, {50, 20}, Qt::LeftButton);
    sendMouse(b, QEvent::MouseButtonRelease, {50, 20}, Qt::NoButton);
    EXPECT_TRUE(b->down());
    EXPECT_TRUE(b->pressedLook());
    EXPECT_FALSE(a->down());
    EXPECT_FALSE(a->pressedLook());
    EXPECT_TRUE(other->pressedLook());

    // A down button stays down when pressed again unless the group may be all up.
    sendMouse(b, QEvent::MouseButtonPress, {50, 20}, Qt::LeftButton);
    sendMouse(b, QEvent::MouseButtonRelease, {50, 20}, Qt::NoButton);
    EXPECT_TRUE(b->down());
    b->setAllowAllUp(true);
    sendMouse(b, QEvent::MouseButtonPress, {50, 20}, Qt::LeftButton);
    sendMouse(b, QEvent::MouseButtonRelease, {50, 20}, Qt::NoButton);
    EXPECT_FALSE(b->down());
    EXPECT_FALSE(b->pressedLook());
}

// The focus ring must show whatever colour the user gave the button: it is drawn in black and
// white dots, so that half of them at least stand far lighter or darker than the face beneath.
TEST(ColorButton, ShowsTheKeyboardFocusAsARingOnAFaceOfAnyColour) {
    QWidget top;
    auto* other = new TdxfColorButton(&top);
    auto* b = new TdxfColorButton(&top);
    b->setGeometry(10, 50, 74, 34);
    top.resize(120, 100);
    top.show();
    top.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&top));
    for (const QColor& face : {QColor(Qt::white), QColor(Qt::black), QColor(255, 255, 192),
                               QColor(0, 0, 128), QColor(128, 128, 128), QColor(192, 255, 192)}) {
        SCOPED_TRACE(face.name().toStdString());
        b->setColor(face);
        other->setFocus(Qt::TabFocusReason);
        const QImage without = b->grab().toImage();
        b->setFocus(Qt::TabFocusReason);
        ASSERT_TRUE(b->hasFocus());
        const QImage with = b->grab().toImage();
        const QRect ring = b->focusFrame().toAlignedRect();
        int contrasting = 0;
        for (int y = 0; y < with.height(); ++y)
            for (int x = 0; x < with.width(); ++x) {
                const QColor now = with.pixelColor(x, y);
                if (now == without.pixelColor(x, y))
                    continue;
                EXPECT_TRUE(ring.contains(x, y)) << x << "," << y;
                if (std::abs(qGray(now.rgb()) - qGray(without.pixel(x, y))) > 90)
                    ++contrasting;
            }
        EXPECT_GT(contrasting, 60); // a ring around, not a few dots
    }
}

} // namespace
} // namespace zelm
