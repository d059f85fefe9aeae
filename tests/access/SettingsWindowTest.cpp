// The settings window: filled once from NoKor.vez, saved whole, its folder, colour and print
// buttons.
#include "access/TNastroika.h"
#include "cardwindow/TForm1.h"
#include "common/Form1Controls.h"
#include "common/TestInstall.h"
#include "store/Cp1251.h"
#include "store/TextFiles.h"

#include <QAction>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

using namespace zelm;
using namespace zelm::testing;

namespace {

const QStringList kStored = {"clGreen",
                             "2010 SP2",
                             "693000",
                             QStringLiteral("Холмск"),
                             QStringLiteral("Сахалинская"),
                             QStringLiteral("Холмский"),
                             QStringLiteral("ул. Советская д. 1, кв. 2"),
                             QStringLiteral("Ёлкина Анна Фёдоровна"),
                             QStringLiteral("Начальник отдела"),
                             "c:\\ZELM\\Backup",
                             "c:\\ZELM\\Копии"};

class SettingsWindow : public ::testing::Test {
protected:
    void SetUp() override {
        t.makeFolders();
        writeTextLines(t.path("NoKor.vez"), kStored);
        t.start();
        s = t.app().nastroika();
        t.platform.clearRecords();
    }
    QLineEdit* edit(const char* name) { return s->findChild<QLineEdit*>(name); }
    QWidget* cardWindow() { return t.app().form1()->centralWidget(); }
    TestInstall t;
    TNastroika* s = nullptr;
};

} // namespace

TEST_F(SettingsWindow, EditsHoldTheFileAsStoredAndAreNotReadAgain) {
    const char* names[] = {"VerOff",  "PochtInd", "Gorod",    "OblKr",     "Raion",
                           "UlDomKv", "Firma",    "Dolgnost", "ReadPapka", "SavePapka"};
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(edit(names[i])->text(), kStored[i + 1]) << names[i];
    writeTextLines(t.path("NoKor.vez"), {"clRed", "2016"});
    edit("Gorod")->setText(QStringLiteral("Корсаков"));
    s->show();
    s->hide();
    EXPECT_EQ(edit("VerOff")->text(), "2010 SP2");
    EXPECT_EQ(edit("Gorod")->text(), QStringLiteral("Корсаков"));
}

TEST_F(SettingsWindow, SavingWritesTheTwelveLinesAsTheyStand) {
    // A file of the old program has no twelfth line: the history's default stands in.
    EXPECT_EQ(edit("HranitIstoriyu")->text(), "1825");
    edit("HranitIstoriyu")->setText("90");
    edit("Gorod")->setText(QStringLiteral(" Невельск "));
    edit("VerOff")->setText("2007");
    s->show();
    s->ZapNastrClick();
    EXPECT_EQ(s->result(), QDialog::Accepted);
    EXPECT_FALSE(s->isVisible());
    QStringList expected = kStored;
    expected[0] = "clBtnFace"; // the card window was never given a colour
    expected[1] = "2007";
    expected[3] = QStringLiteral(" Невельск ");
    expected << "90";
    const QByteArray first = t.readFile("NoKor.vez");
    EXPECT_EQ(first, joinTextLines(expected));
    EXPECT_TRUE(first.contains(toCp1251(QStringLiteral("Ёлкина"))));
    s->ZapNastrClick();
    EXPECT_EQ(t.readFile("NoKor.vez"), first);
    EXPECT_TRUE(t.platform.messages.isEmpty());
    // The running program keeps what it read at start.
    EXPECT_EQ(t.app().settings().Gorod, QStringLiteral("Холмск"));
    EXPECT_EQ(t.app().settings().VerOff, "2010");
}

TEST_F(SettingsWindow, AFailedSaveIsReportedAndKeepsTheWindowOpen) {
    QFile::remove(t.path("NoKor.vez"));
    QDir().mkdir(t.path("NoKor.vez")); // cannot be replaced by a file
    s->show();
    s->ZapNastrClick();
    ASSERT_EQ(t.platform.messages.size(), 1);
    EXPECT_EQ(t.platform.messages[0].kind, ShownMessage::Error);
    EXPECT_TRUE(s->isVisible());
    s->hide();
}

TEST_F(SettingsWindow, BackgroundColourHoldsForThisRunOnly) {
    t.platform.colourResults.enqueue(QColor(0x40, 0x80, 0xFF));
    s->CvetFonaClick();
    EXPECT_EQ(cardWindow()->palette().color(QPalette::Window), QColor(0x40, 0x80, 0xFF));
    EXPECT_EQ(t.readFile("CwetFona.vez"), QByteArray());
    s->ZapNastrClick();
    EXPECT_EQ(splitTextLines(t.readFile("NoKor.vez")).value(0), "$00FF8040");

    t.platform.colourResults.enqueue(QColor(0, 128, 0));
    s->CvetFonaClick();
    s->ZapNastrClick();
    EXPECT_EQ(splitTextLines(t.readFile("NoKor.vez")).value(0), "clGreen");

    t.platform.colourResults.enqueue(std::nullopt); // cancelled
    s->CvetFonaClick();
    EXPECT_EQ(cardWindow()->palette().color(QPalette::Window), QColor(0, 128, 0));

    t.stop();
    t.start();
    EXPECT_NE(cardWindow()->palette().color(QPalette::Window), QColor(0, 128, 0));
}

TEST_F(SettingsWindow, FolderButtonsSetTheFolderAtOnce) {
    OfficeSettings& settings = t.app().settings();
    const QString before = settings.SavePapka;
    t.platform.folderResults.enqueue(QString()); // cancelled
    s->SaveDirBUClick();
    EXPECT_EQ(settings.SavePapka, before);
    EXPECT_EQ(edit("SavePapka")->text(), QStringLiteral("c:\\ZELM\\Копии"));

    t.platform.folderResults.enqueue(QStringLiteral("  /mnt/Копии 2026  "));
    s->SaveDirBUClick();
    EXPECT_EQ(settings.SavePapka, QStringLiteral("/mnt/Копии 2026"));
    EXPECT_EQ(edit("SavePapka")->text(), QStringLiteral("/mnt/Копии 2026"));

    QDir::setCurrent(QDir::tempPath()); // as a dialog may leave it
    t.platform.folderResults.enqueue("/srv/restore");
    s->ReadDirBUClick();
    EXPECT_EQ(settings.ReadPapka, "/srv/restore");
    EXPECT_EQ(edit("ReadPapka")->text(), "/srv/restore");
    EXPECT_EQ(QDir::currentPath(), QDir(t.root()).canonicalPath());
    EXPECT_EQ(splitTextLines(t.readFile("NoKor.vez")), kStored); // nothing saved yet
}

TEST_F(SettingsWindow, PrintingTheWindow) {
    s->PrintEkranClick();
    EXPECT_EQ(t.platform.printedWindows, QList<QWidget*>{s});
    EXPECT_EQ(s->palette().color(QPalette::Window), QColor(0, 255, 255));

    t.platform.clearRecords();
    t.platform.hasPrinter = false;
    s->PrintEkranClick();
    EXPECT_TRUE(t.platform.printedWindows.isEmpty());
    ASSERT_EQ(t.platform.messages.size(), 1);
    EXPECT_EQ(t.platform.messages[0].kind, ShownMessage::Notice);
}

TEST_F(SettingsWindow, ServiceMenuShowsItModally) {
    bool shownModal = false;
    QTimer::singleShot(0, s, [&] {
        shownModal = s->isVisible() && s->isModal();
        s->reject();
    });
    controls(t.app().form1()).N8->trigger();
    EXPECT_TRUE(shownModal);
    for (const char* name : {"VerOff", "PochtInd", "Gorod", "OblKr", "Raion", "UlDomKv", "Firma",
                             "Dolgnost", "ReadPapka", "SavePapka", "CvetFona", "PrintEkran",
                             "ReadDirBU", "SaveDirBU", "pRezKop", "ZapNastr"})
        EXPECT_NE(s->findChild<QWidget*>(name), nullptr) << name;
}
