#include "cardwindow/CardListModel.h"
#include "cardwindow/TForm1.h"
#include "common/CardFactory.h"
#include "common/Form1Controls.h"
#include "common/TestInstall.h"
#include "store/Cp1251.h"
#include "store/TextFiles.h"
#include "widgets/TdxfColorButton.h"

#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QRegularExpression>
#include <gtest/gtest.h>

using namespace zelm;
using namespace zelm::testing;

TEST(StartUp, EmptyInstallationOpensABlankNewCard) {
    TestInstall t;
    ZelmApp& app = t.start();
    TForm1* w = app.form1();
    EXPECT_TRUE(app.newInstallation());
    EXPECT_TRUE(t.platform.messages.isEmpty());
    EXPECT_EQ(w->session().CardMode(), QStringLiteral("New"));
    EXPECT_EQ(controls(w).GurN->text(), QStringLiteral("1"));
    for (auto* b : {controls(w).nNew, controls(w).nCopiy, controls(w).nOtmena, controls(w).nPoisk,
                    controls(w).nDelete})
        EXPECT_TRUE(b->isHidden()) << b->objectName().toStdString();
    EXPECT_TRUE(QFile::exists(t.path("NoKor.vez")));
    EXPECT_TRUE(QFile::exists(t.path("CwetFona.vez")));
    EXPECT_TRUE(QFile::exists(t.path("Help/ReadMe.doc")));
    EXPECT_EQ(t.readFile("Baza/Anketi.dat").size(), 0);
    EXPECT_EQ(controls(w).WsegoKarto4ek->text(), QStringLiteral("0"));
    // The lists start with their entries on a new installation.
    EXPECT_EQ(controls(w).VidORM->count(), 15);
    EXPECT_EQ(t.platform.keyboardLayouts, QStringList{QStringLiteral("00000419")});
    for (const char* folder : {"Baza", "Temp", "Backup", "report", "Otveti", "WhodWord", "Help"})
        EXPECT_TRUE(QFileInfo(t.path(folder)).isDir()) << folder;
}

TEST(StartUp, RegisterOfFiveShowsTheLastCard) {
    TestInstall t;
    t.makeFolders();
    auto cards = makeCards(5);
    t.writeCards("Baza/Anketi.dat", cards);
    t.writeCards("Temp/RabAnket.dat", makeCards(3));
    t.writeCards("Baza/ArhAnket.dat", makeCards(2));
    ZelmApp& app = t.start();
    TForm1* w = app.form1();
    EXPECT_FALSE(app.newInstallation());
    EXPECT_TRUE(t.platform.messages.isEmpty());
    EXPECT_EQ(w->session().CardMode(), QStringLiteral("Korr"));
    EXPECT_EQ(controls(w).NameOrg->currentText(), cards[4].NameOrg.text());
    EXPECT_EQ(controls(w).mainList->rowCount(), 5);
    EXPECT_EQ(w->selectedMainRow(), 4);
    EXPECT_EQ(controls(w).WsegoKarto4ek->text(), QStringLiteral("5"));
    EXPECT_EQ(controls(w).NNaidena->text(), QStringLiteral("5"));
    EXPECT_EQ(controls(w).vArh->text(), QStringLiteral("2"));
    EXPECT_EQ(controls(w).vRab->text(), QStringLiteral("0"));
    EXPECT_EQ(t.readFile("Temp/RabAnket.dat").size(), 0);
    EXPECT_EQ(app.session().mainPosition(), 5);
    EXPECT_EQ(w->session().CardIndex(), 4);
    EXPECT_EQ(controls(w).mainList->cellText(0, 1), cards[0].NameOrg.text());
    EXPECT_EQ(controls(w).mainList->headerData(7, Qt::Horizontal, Qt::DisplayRole).toString(),
              QStringLiteral("Подраделение"));
    // An existing installation keeps its lists empty.
    EXPECT_EQ(controls(w).VidORM->count(), 0);
}

TEST(StartUp, ColourAndSettingsFiles) {
    TestInstall t;
    t.makeFolders();
    t.writeFile("CwetFona.vez", "Form1 clYellow\r\nOrgan $00FF0000\r\n");
    writeTextLines(t.path("NoKor.vez"), {"clGreen", "2010 SP2", "1", "2", "3", "4", "5", "6", "7",
                                         "c:\\ZELM\\Backup", "/mnt/copies"});
    ZelmApp& app = t.start();
    TForm1* w = app.form1();
    EXPECT_TRUE(t.platform.messages.isEmpty());
    EXPECT_EQ(app.settings().VerOff, QStringLiteral("2010"));
    EXPECT_EQ(app.settings().ReadPapka, t.path("Backup"));
    EXPECT_EQ(app.settings().SavePapka, QStringLiteral("/mnt/copies"));
    EXPECT_EQ(w->centralWidget()->palette().color(QPalette::Window), QColor(255, 255, 0));
    EXPECT_EQ(controls(w).Organ->palette().color(QPalette::Window), QColor(0, 0, 255));
    EXPECT_EQ(controls(w).TabSheet2->palette().color(QPalette::Window), QColor(128, 255, 128));
}

TEST(StartUp, BadColourIsShownAndTheRestIsSkipped) {
    TestInstall t;
    t.makeFolders();
    t.writeFile("CwetFona.vez", "Form1 clPink\r\n");
    ZelmApp& app = t.start();
    ASSERT_EQ(t.platform.messages.size(), 1);
    EXPECT_TRUE(t.platform.messages[0].text.contains(QStringLiteral("clPink")));
    EXPECT_NE(controls(app.form1()).TabSheet2->palette().color(QPalette::Window),
              QColor(128, 255, 128));
}

TEST(StartUp, MissingListFileStopsTheStartUpWithItsName) {
    TestInstall t;
    t.makeFolders();
    t.writeCards("Baza/Anketi.dat", makeCards(2));
    ZelmApp& app = t.start(); // lists are created when missing
    EXPECT_TRUE(t.platform.messages.isEmpty());
    EXPECT_EQ(controls(app.form1()).mainList->rowCount(), 2);
}

TEST(StartUp, TitleBarCannotCloseTheCardWindow) {
    TestInstall t;
    ZelmApp& app = t.start();
    TForm1* w = app.form1();
    w->show();
    EXPECT_FALSE(w->close());
    EXPECT_TRUE(w->isVisible());
    w->closeForGood();
    EXPECT_FALSE(w->isVisible());
}

TEST(StartUp, HelpMenuOpensTheGuide) {
    TestInstall t;
    ZelmApp& app = t.start();
    controls(app.form1()).N2->trigger();
    EXPECT_EQ(t.platform.officeCalls,
              (QStringList{"Word.Application", "Documents.Open " + t.path("Help/ReadMe.doc"),
                           "Visible true"}));
    QFile guide(t.path("Help/ReadMe.doc"));
    ASSERT_TRUE(guide.open(QIODevice::ReadOnly));
    const QByteArray rtf = guide.readAll();
    EXPECT_TRUE(rtf.startsWith("{\\rtf1"));
    // Its text as a reader sees it: Windows-1251 bytes written as \'xx, other letters as \uN
    // followed by one stand-in character.
    QString text = QString::fromLatin1(rtf);
    static const QRegularExpression escape(QStringLiteral("\\\\'([0-9a-f]{2})|\\\\u(\\d+)."));
    for (auto m = escape.match(text); m.hasMatch(); m = escape.match(text, m.capturedStart() + 1))
        text.replace(m.capturedStart(), m.capturedLength(),
                     m.captured(1).isEmpty()
                         ? QString(QChar(m.captured(2).toInt()))
                         : fromCp1251(QByteArray::fromHex(m.captured(1).toLatin1())));
    EXPECT_TRUE(text.contains(QStringLiteral("«Сервис» → «Пароли»")));
    EXPECT_FALSE(text.contains(QStringLiteral(" ? "))) << "a character lost on the way";
    for (const char* section : {"Статистика мероприятий", "Перенести картотеку на сервер",
                                "Выгрузить картотеку с сервера", "Работать с папкой данных"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(section))) << section;
    t.platform.officeFails = true;
    controls(app.form1()).N2->trigger();
    EXPECT_EQ(t.platform.lastMessage()->kind, ShownMessage::Error);
}
