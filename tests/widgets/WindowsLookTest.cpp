// The program's windows wear the round buttons and the login window its gradient.
#include "access/TZapusk.h"
#include "cardwindow/TForm1.h"
#include "common/TestInstall.h"
#include "widgets/TdxfBackGround.h"
#include "widgets/TdxfColorButton.h"

#include <gtest/gtest.h>

namespace zelm {
namespace {

using zelm::testing::TestInstall;

TEST(WindowsLook, LoginWindowIsAquaToNavyWithRoundButtons) {
    TestInstall t;
    ZelmApp& app = t.start();
    TZapusk* login = app.zapusk();
    for (const char* name : {"Dalee", "OpisProgr", "dxfColorButton1"})
        EXPECT_NE(login->findChild<TdxfColorButton*>(QLatin1String(name)), nullptr) << name;

    auto* bg = login->findChild<TdxfBackGround*>();
    ASSERT_NE(bg, nullptr);
    EXPECT_EQ(bg->bkColor()->beginColor(), QColor(0, 255, 255));
    EXPECT_EQ(bg->bkColor()->endColor(), QColor(0, 0, 128));
    EXPECT_EQ(bg->bkColor()->fillStyle(), TdxfFillStyle::fsVert);

    // The left edge is seldom covered by a control; its ends show the gradient's ends.
    login->resize(420, 300);
    const QImage img = login->grab().toImage();
    EXPECT_EQ(img.pixelColor(0, 0), QColor(0, 255, 255));
    EXPECT_EQ(img.pixelColor(0, 299), QColor(0, 0, 128));
    EXPECT_THROW(TdxfBackGround{login}, TdxfBackGroundError);
}

TEST(WindowsLook, CardWindowCommandButtonsAreRound) {
    TestInstall t;
    TForm1* w = t.start().form1();
    for (const char* name :
         {"nNew", "nCopiy", "nSave", "nOtmena", "nPoisk", "nDelete", "nWstavit", "PuskDokKart"}) {
        auto* b = w->findChild<TdxfColorButton*>(QLatin1String(name));
        ASSERT_NE(b, nullptr) << name;
        EXPECT_FALSE(b->caption().isEmpty()) << name;
    }
}

} // namespace
} // namespace zelm
