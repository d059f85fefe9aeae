// The colour items of the Service menu: the card window and its organisation group, painted
// at once and kept in CwetFona.vez for the next start.
#include "cardwindow/TForm1.h"
#include "common/Form1Controls.h"
#include "common/TestInstall.h"

#include <QAction>
#include <QDir>
#include <QGroupBox>
#include <gtest/gtest.h>

using namespace zelm;
using namespace zelm::testing;

namespace {

class ColourItems : public ::testing::Test {
protected:
    void start(const QByteArray& colourFile) {
        t.makeFolders();
        t.writeFile("CwetFona.vez", colourFile);
        w = t.start().form1();
        t.platform.clearRecords();
    }
    void choose(QAction* item, std::optional<QColor> colour) {
        t.platform.colourResults.enqueue(colour);
        item->trigger();
    }
    QColor background(QWidget* widget) { return widget->palette().color(QPalette::Window); }
    TestInstall t;
    TForm1* w = nullptr;
};

} // namespace

TEST_F(ColourItems, CardBackgroundIsAddedAfterTheOtherKey) {
    start("Organ clLime\r\n");
    choose(controls(w).N15, QColor(255, 0, 0));
    EXPECT_EQ(background(w->centralWidget()), QColor(255, 0, 0));
    EXPECT_EQ(t.readFile("CwetFona.vez"), "Organ clLime\r\nForm1 clRed\r\n");
    EXPECT_TRUE(t.platform.messages.isEmpty());
}

TEST_F(ColourItems, EmptyFileGetsOneLine) {
    start("");
    choose(controls(w).N15, QColor(255, 0, 0));
    EXPECT_EQ(t.readFile("CwetFona.vez"), "Form1 clRed\r\n");
}

TEST_F(ColourItems, AStoredKeyKeepsItsLine) {
    start("Organ clLime\r\nForm1 clRed\r\n");
    choose(controls(w).N15, QColor(0, 0, 255));
    EXPECT_EQ(t.readFile("CwetFona.vez"), "Organ clLime\r\nForm1 clBlue\r\n");
    choose(controls(w).N16, QColor(0x40, 0x80, 0xFF)); // no name: "$" and eight digits
    EXPECT_EQ(background(controls(w).Organ), QColor(0x40, 0x80, 0xFF));
    EXPECT_EQ(t.readFile("CwetFona.vez"), "Organ $00FF8040\r\nForm1 clBlue\r\n");
}

TEST_F(ColourItems, CancelledDialogChangesNothing) {
    start("Form1 clYellow\r\n");
    choose(controls(w).N15, std::nullopt);
    choose(controls(w).N16, std::nullopt);
    EXPECT_EQ(background(w->centralWidget()), QColor(255, 255, 0));
    EXPECT_EQ(t.readFile("CwetFona.vez"), "Form1 clYellow\r\n");
}

TEST_F(ColourItems, StoredColoursAreThereAfterARestart) {
    start("");
    choose(controls(w).N15, QColor(0, 128, 128));
    choose(controls(w).N16, QColor(1, 2, 3));
    t.stop();
    w = t.start().form1();
    EXPECT_TRUE(t.platform.messages.isEmpty());
    EXPECT_EQ(background(w->centralWidget()), QColor(0, 128, 128));
    EXPECT_EQ(background(controls(w).Organ), QColor(1, 2, 3));
}

TEST_F(ColourItems, AFileThatCannotBeRewrittenIsReported) {
    start("Organ clLime\r\n");
    QFile::remove(t.path("CwetFona.vez"));
    QDir().mkdir(t.path("CwetFona.vez"));
    choose(controls(w).N15, QColor(255, 0, 0));
    ASSERT_EQ(t.platform.messages.size(), 1);
    EXPECT_EQ(t.platform.messages[0].kind, ShownMessage::Error);
}
