// The window background: gradient bands, tiled pictures and animation, and where it refuses.
#include "widgets/TdxfBackGround.h"

#include <QPainter>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace zelm {
namespace {

const QColor kAqua(0, 255, 255), kNavy(0, 0, 128);

// Rounds half away from zero, independently of mulDiv.
int roundedRatio(int a, int b, int c) {
    return int(std::lround(double(a) * b / c));
}

QColor expectedBand(int i, const QColor& from, const QColor& to) {
    return QColor(from.red() + roundedRatio(to.red() - from.red(), i, 255),
                  from.green() + roundedRatio(to.green() - from.green(), i, 255),
                  from.blue() + roundedRatio(to.blue() - from.blue(), i, 255));
}

// The colour every row (or column) of an extent should have.
std::vector<QColor> expectedStrip(int extent, const QColor& from, const QColor& to) {
    std::vector<QColor> strip(extent);
    for (int i = 0; i < 256; ++i)
        for (int y = roundedRatio(extent, i, 256); y < roundedRatio(extent, i + 1, 256); ++y)
            strip[y] = expectedBand(i, from, to);
    return strip;
}

// A window with a handler of its own that marks one pixel, to see it still runs on top.
class MarkingWindow : public QWidget {
protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.fillRect(5, 5, 1, 1, Qt::red);
        ++paints;
    }

public:
    int paints = 0;
    int resizes = 0;
    void resizeEvent(QResizeEvent*) override { ++resizes; }
};

TEST(BackGround, MulDivRoundsHalvesAwayFromZero) {
    EXPECT_EQ(mulDiv(300, 1, 256), 1);
    EXPECT_EQ(mulDiv(300, 32, 256), 38); // 37.5
    EXPECT_EQ(mulDiv(5, 1, 2), 3);
    EXPECT_EQ(mulDiv(-5, 1, 2), -3);
    EXPECT_EQ(mulDiv(-127, 100, 255), -50); // -49.8
    EXPECT_EQ(mulDiv(7, 3, -2), -11);       // -10.5
    EXPECT_EQ(mulDiv(1, 1, 0), -1);
    EXPECT_EQ(mulDiv(2000000000, 2, 1), -1);
    EXPECT_EQ(mulDiv(2000000000, 255, 1000), 510000000);
}

TEST(BackGround, VerticalGradientHas256RoundedBands) {
    const int height = 300; // not a multiple of 256, so bands are one or two rows high
    QImage img(7, height, QImage::Format_RGB32);
    img.fill(Qt::magenta);
    {
        QPainter p(&img);
        TdxfBackGround::paintGradient(p, img.rect(), kAqua, kNavy, TdxfFillStyle::fsVert);
    }
    EXPECT_EQ(img.pixelColor(0, 0), kAqua);
    EXPECT_EQ(img.pixelColor(6, height - 1), kNavy);
    // 300 * 32 / 256 = 37.5 rounds up: band 31 takes row 37, band 32 starts at row 38.
    EXPECT_EQ(img.pixelColor(3, 37), QColor(0, 224, 240));
    EXPECT_EQ(img.pixelColor(3, 38), QColor(0, 223, 239));
    const auto strip = expectedStrip(height, kAqua, kNavy);
    for (int y = 0; y < height; ++y) {
        ASSERT_EQ(img.pixelColor(0, y), strip[y]) << "row " << y;
        ASSERT_EQ(img.pixelColor(6, y), strip[y]) << "row " << y;
    }
}

TEST(BackGround, HorizontalGradientAndAnOffsetRectangle) {
    QImage img(120, 10, QImage::Format_RGB32);
    img.fill(Qt::magenta);
    {
        QPainter p(&img);
        TdxfBackGround::paintGradient(p, QRect(20, 2, 100, 5), QColor(0, 0, 255), Qt::black,
                                      TdxfFillStyle::fsHorz);
    }
    EXPECT_EQ(img.pixelColor(19, 3), QColor(Qt::magenta));
    EXPECT_EQ(img.pixelColor(20, 1), QColor(Qt::magenta));
    EXPECT_EQ(img.pixelColor(20, 7), QColor(Qt::magenta));
    const auto strip = expectedStrip(100, QColor(0, 0, 255), Qt::black);
    for (int x = 0; x < 100; ++x)
        ASSERT_EQ(img.pixelColor(20 + x, 4), strip[x]) << "column " << x;
    // Narrower than 256 bands: some bands get no column, the last among them, so the end colour
    // itself never shows.
    EXPECT_EQ(img.pixelColor(119, 2), QColor(0, 0, 1));
}

TEST(BackGround, PaintsUnderTheWindowAndFollowsResizeUntilDestroyed) {
    MarkingWindow window;
    window.resize(60, 300);
    auto* bg = new TdxfBackGround(&window);
    EXPECT_EQ(bg->bkColor()->beginColor(), QColor(0, 0, 255));
    EXPECT_EQ(bg->bkColor()->endColor(), QColor(0, 0, 0));
    EXPECT_EQ(bg->bkColor()->fillStyle(), TdxfFillStyle::fsVert);
    bg->bkColor()->setBeginColor(kAqua);
    bg->bkColor()->setEndColor(kNavy);

    QImage img = window.grab().toImage();
    EXPECT_EQ(img.pixelColor(10, 0), kAqua);
    EXPECT_EQ(img.pixelColor(10, 299), kNavy);
    EXPECT_EQ(img.pixelColor(5, 5), QColor(Qt::red)); // the window's own painting on top
    EXPECT_EQ(img.pixelColor(6, 5), expectedStrip(300, kAqua, kNavy)[5]);

    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    const int resizesBefore = window.resizes;
    window.resize(60, 517);
    EXPECT_EQ(window.resizes, resizesBefore + 1); // the window still handles its resize
    img = window.grab().toImage();
    const auto strip = expectedStrip(517, kAqua, kNavy);
    for (int y : {0, 1, 2, 100, 258, 259, 400, 515, 516})
        EXPECT_EQ(img.pixelColor(30, y), strip[y]) << "row " << y;

    bg->bkColor()->setFillStyle(TdxfFillStyle::fsHorz);
    img = window.grab().toImage();
    const auto columns = expectedStrip(60, kAqua, kNavy);
    for (int x : {0, 1, 30, 58, 59})
        EXPECT_EQ(img.pixelColor(x, 300), columns[x]) << "column " << x;
    EXPECT_NE(img.pixelColor(0, 300), img.pixelColor(59, 300));

    delete bg;
    img = window.grab().toImage();
    EXPECT_EQ(img.pixelColor(30, 0), window.palette().color(QPalette::Window));
    EXPECT_EQ(img.pixelColor(5, 5), QColor(Qt::red));
}

TEST(BackGround, TilesThePictureAndAnimatesTheImages) {
    QWidget window;
    window.resize(50, 20);
    TdxfBackGround bg(&window);
    QImage tile(4, 3, QImage::Format_RGB32);
    tile.fill(Qt::red);
    tile.setPixelColor(3, 2, QColor(Qt::green));
    bg.setBkPicture(QPixmap::fromImage(tile));
    QImage img = window.grab().toImage();
    EXPECT_EQ(img.pixelColor(0, 0), QColor(Qt::red));
    EXPECT_EQ(img.pixelColor(3, 2), QColor(Qt::green));
    EXPECT_EQ(img.pixelColor(7, 5), QColor(Qt::green));
    EXPECT_EQ(img.pixelColor(47, 17), QColor(Qt::green));
    EXPECT_EQ(img.pixelColor(46, 17), QColor(Qt::red));

    TdxfBkAnimate* anim = bg.bkAnimate();
    EXPECT_EQ(anim->speed(), 700);
    EXPECT_EQ(anim->interval(), 301);
    anim->setSpeed(0);
    EXPECT_EQ(anim->interval(), 1000);
    anim->setSpeed(5000);
    EXPECT_EQ(anim->speed(), 1000);
    EXPECT_EQ(anim->interval(), 1);
    anim->setSpeed(1);
    anim->tick(); // nothing to animate yet
    EXPECT_EQ(anim->imageIndex(), 0);

    auto list = std::make_unique<TdxfImageList>();
    QPixmap blue(5, 5), yellow(5, 5);
    blue.fill(Qt::blue);
    yellow.fill(Qt::yellow);
    list->add(blue);
    list->add(yellow);
    anim->setImageList(list.get());
    EXPECT_EQ(list->backgroundColor(), window.palette().color(QPalette::Window));
    EXPECT_EQ(list->blendColor(), window.palette().color(QPalette::Window));
    EXPECT_EQ(window.grab().toImage().pixelColor(12, 12), QColor(Qt::blue)); // over the picture
    anim->tick();
    EXPECT_EQ(window.grab().toImage().pixelColor(12, 12), QColor(Qt::yellow));
    anim->tick();
    EXPECT_EQ(anim->imageIndex(), 0);

    list.reset();
    EXPECT_EQ(anim->imageList(), nullptr);
    EXPECT_EQ(window.grab().toImage().pixelColor(0, 0), QColor(Qt::red)); // the picture again
}

TEST(BackGround, RefusedAnywhereButOncePerWindow) {
    QWidget window;
    auto* child = new QWidget(&window);
    QObject plain;
    auto refusal = [](QObject* owner) {
        try {
            TdxfBackGround bg(owner);
        } catch (const TdxfBackGroundError& e) {
            return e.text();
        }
        return QString();
    };
    EXPECT_EQ(refusal(child),
              QStringLiteral("TdxfBackGround can be placed only on a TForm descendant"));
    EXPECT_EQ(refusal(&plain),
              QStringLiteral("TdxfBackGround can be placed only on a TForm descendant"));
    EXPECT_EQ(refusal(nullptr),
              QStringLiteral("TdxfBackGround can be placed only on a TForm descendant"));

    auto* first = new TdxfBackGround(&window);
    EXPECT_EQ(refusal(&window), QStringLiteral("Form should have only a single TdxfBackGround"));
    try {
        TdxfBackGround second(&window);
        FAIL() << "second background accepted";
    } catch (const std::exception& e) {
        EXPECT_STREQ(e.what(), "Form should have only a single TdxfBackGround");
    }
    EXPECT_EQ(window.findChildren<TdxfBackGround*>().size(), 1);
    delete first;
    EXPECT_EQ(refusal(&window), QString());
}

} // namespace
} // namespace zelm
