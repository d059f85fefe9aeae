// What the user sees of the card window's layout: buttons that stay where they were, and list
// columns wide enough for what they hold.
#include "ArchiveTestSupport.h"
#include "common/ColumnWidths.h"
#include "common/Form1Controls.h"

#include "cardwindow/CardListModel.h"
#include "widgets/TdxfColorButton.h"

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QHeaderView>
#include <QLayout>
#include <QLineEdit>
#include <QStyle>
#include <QTabWidget>
#include <QTest>
#include <gtest/gtest.h>

using namespace zelm;
using namespace zelm::testing;

namespace {

void settle(QWidget& w) {
    QApplication::processEvents();
    if (w.layout())
        w.layout()->activate();
    QApplication::processEvents();
}

} // namespace

TEST(CardWindowLayout, HidingTheCardButtonsLeavesTheOthersInPlace) {
    TestInstall t;
    TForm1& w = startRegister(t, makeCards(3));
    Form1Controls& ui = controls(w);
    w.resize(1024, 740);
    w.show();
    settle(w);
    const QRect save = ui.nSave->geometry();
    const QRect otmena = ui.nOtmena->geometry();
    const QRect nameWidth = ui.NameOrg->geometry();
    ASSERT_TRUE(ui.nSave->isVisible());

    QTest::mouseClick(ui.nNew, Qt::LeftButton); // a new card hides four buttons
    settle(w);
    ASSERT_TRUE(ui.nNew->isHidden());
    ASSERT_TRUE(ui.nCopiy->isHidden());
    ASSERT_TRUE(ui.nPoisk->isHidden());
    ASSERT_TRUE(ui.nDelete->isHidden());
    EXPECT_EQ(ui.nSave->geometry(), save);
    EXPECT_EQ(ui.nOtmena->geometry(), otmena);
    EXPECT_EQ(ui.NameOrg->geometry(), nameWidth);

    QTest::mouseClick(ui.nOtmena, Qt::LeftButton); // and the cancel brings them back
    settle(w);
    EXPECT_TRUE(ui.nNew->isVisible());
    EXPECT_EQ(ui.nSave->geometry(), save);
}

TEST(CardWindowLayout, ListColumnsAreAtLeastAsWideAsTheirWidestText) {
    TestInstall t;
    auto cards = makeCards(3);
    auto archived = makeCards(3, 20);
    // Unique numbers of nine and ten digits, as a register of some years holds.
    archived[0].Klu4Form1 = 449490123;
    archived[1].Klu4Form1 = 2147480000;
    TForm1& w = startRegister(t, cards, archived);
    Form1Controls& ui = controls(w);
    w.resize(1024, 740);
    w.show();
    ui.SpTabl->setCurrentWidget(ui.TabSheet3);
    settle(w);
    ASSERT_EQ(ui.archiveList->cardCount(), 3);
    for (UniformRowsView* list : {ui.ArhTab, ui.RabTab, ui.Spisok}) {
        const int columns = list->model()->columnCount();
        for (int c = 0; c < columns; ++c) {
            const int width = list->columnWidth(c);
            EXPECT_GE(width, list->horizontalHeader()->sectionSizeHint(c))
                << list->objectName().toStdString() << " title of column " << c;
            // Dates and unique numbers must be read whole; names may be cut, as designed.
            if (c == 0 || c == 5 || c == 10) {
                EXPECT_GE(width, widestText(list, c))
                    << list->objectName().toStdString() << " column " << c;
            }
        }
    }
}

TEST(CardWindowLayout, TheTemplatesMenuHeadsAColumnOfFileNames) {
    TestInstall t;
    TForm1& w = startRegister(t, makeCards(1));
    Form1Controls& ui = controls(w);
    EXPECT_FALSE(ui.N5->isEnabled()); // a heading, not a command
    EXPECT_EQ(ui.N5->text(), QStringLiteral("Название документа\tИмя файла"));
    // The file names follow a tab, so the menu sets them in a column of their own.
    const std::pair<QAction*, QString> items[] = {{ui.N10, QStringLiteral("BlankFirma.doc")},
                                                  {ui.N11, QStringLiteral("Blank.doc")},
                                                  {ui.PolnPicrtf1, QStringLiteral("PolnPic.rtf")},
                                                  {ui.KnigaPic1, QStringLiteral("KnigaPic")}};
    for (const auto& [item, file] : items) {
        EXPECT_TRUE(item->isEnabled());
        EXPECT_EQ(item->text().section(QLatin1Char('\t'), 1), file);
        EXPECT_FALSE(item->text().contains(QStringLiteral("  "))) << item->text().toStdString();
    }
}

// A keyboard user walks the card from its first field to its last, reaching the card commands
// only after the fields, and sees on every round button where the focus is.
TEST(CardWindowLayout, TabWalksTheFieldsAsTheyAreReadThenTheCommands) {
    TestInstall t;
    TForm1& w = startRegister(t, makeCards(3));
    Form1Controls& ui = controls(w);
    w.resize(1024, 740);
    w.show();
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    ui.DataMer->setFocus(Qt::TabFocusReason);

    const QStringList expected = {
        "DataMer",   "GurN",     "INNOrg",   "NameOrg",   "FormSobs",    "FormSobsSpr",
        "AdresOrg",  "Povod",    "PovorSpr", "VidORM",    "VidORMSpr",   "Osnovan",
        "NazDokSpr", "SkolPrik", "DataOsn",  "NomDokOsn", "PuskDokKart", "DateKUSP",
        "NomKUSP",   "FabKUSP",  "BitBtn1",  "Podrazd",   "PodrazdSpr",  "DolgSotr",
        "DolgnSpr",  "ZvanSotr", "ZvanSpr",  "FIOSotr",   "FIOSpr",      "DolgnUtv",
        "UtvDolgn",  "ZvanUtv",  "UtvZvan",  "FIOUtv",    "UtvFIO",      "Rezultat",
        "RezOst",    "Otvet",    "Prime4",   "PrimOst",   "WordEst",     "Klu4Form1",
        "AdminFIO",  "DaWrSozd", "DWKorr",   "Otmetka",   "OtmDel",      "nNew",
        "nCopiy",    "nSave",    "nOtmena",  "nPoisk",    "nDelete",     "nWstavit",
        "Konvert"};
    // The named control the focus is in: a combo box's or date's inner editor counts as it.
    auto focused = [&w]() -> QString {
        for (QWidget* f = QApplication::focusWidget(); f && f != &w; f = f->parentWidget())
            if (!f->objectName().isEmpty() && !f->objectName().startsWith(QLatin1String("qt_")))
                return f->objectName();
        return {};
    };
    // A date takes a Tab for each of its day, month and year before the next control.
    QStringList walked;
    for (int presses = 0; presses < 200 && walked.size() < expected.size(); ++presses) {
        if (walked.isEmpty() || walked.last() != focused())
            walked << focused();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    EXPECT_EQ(walked.join(QLatin1Char(' ')).toStdString(),
              expected.join(QLatin1Char(' '))
                  .toStdString()); // "Из Архива" is disabled until something was archived

    // Every round button the walk reaches shows the focus, and only while it has it.
    for (TdxfColorButton* b : {ui.nNew, ui.nSave, ui.nDelete, ui.PuskDokKart}) {
        const QImage without = b->grab().toImage();
        b->setFocus(Qt::TabFocusReason);
        EXPECT_NE(b->grab().toImage(), without) << b->objectName().toStdString();
        ui.INNOrg->setFocus(Qt::TabFocusReason);
        EXPECT_EQ(b->grab().toImage(), without) << b->objectName().toStdString();
    }
}
