#include "access/TForm5.h"
#include "access/TZapusk.h"
#include "cardwindow/TForm1.h"
#include "common/ColumnWidths.h"
#include "common/Form1Controls.h"
#include "common/TestInstall.h"
#include "store/AccessTable.h"
#include "store/CardFile.h"
#include "store/DayCount.h"
#include "store/Records.h"
#include "widgets/TdxfColorButton.h"

#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QStyle>
#include <QTableWidget>
#include <QTest>
#include <gtest/gtest.h>

using namespace zelm;
using namespace zelm::testing;

namespace {

QByteArray accessBytes(const QList<AccessRow>& rows) {
    QByteArray out;
    for (const AccessRow& row : rows) {
        const TDostup r = toAccessRecord(row);
        out.append(reinterpret_cast<const char*>(&r), sizeof r);
    }
    return out;
}

struct Login : ::testing::Test {
    void startWith(const QList<AccessRow>& rows) {
        t.writeFile("Dostup.dat", accessBytes(rows));
        start();
    }
    void start() {
        app = &t.start();
        login = app->zapusk();
    }
    void enter(const QString& password) {
        login->NomZamka->setText(password);
        QTest::mouseClick(login->Dalee, Qt::LeftButton);
    }
    bool cardWindowShown() const { return app->form1()->isVisible(); }
    bool serviceMenu() const { return controls(app->form1()).N7->isEnabled(); }

    TestInstall t;
    ZelmApp* app = nullptr;
    TZapusk* login = nullptr;
};

const QList<AccessRow> kRows = {
    {"01", 46000, "Администратор", "580214", "Z"}, {"02", 46000, "Пользователь 1", "317968", "W"},
    {"03", 46000, "Дубль", "317968", "Z"},         {"04", 46000, "Без пароля", "", "W"},
    {"05", 46000, "Строчная", "111111", "z"},      {"06", 46000, "Чужой", "222222", "A"},
};

} // namespace

TEST_F(Login, FreshInstallationEntersWithThePasswordShown) {
    start();
    EXPECT_EQ(t.readFile("Dostup.dat").size(), 192);
    EXPECT_EQ(login->windowTitle(), QStringLiteral("Зельм 13"));
    EXPECT_EQ(login->Komentar->text(), QString(27, ' ') + QStringLiteral("Стой! Кто идёт?"));
    QTest::mouseClick(login->Dalee, Qt::LeftButton);
    EXPECT_TRUE(cardWindowShown());
    EXPECT_EQ(app->user().UserFIO, QStringLiteral("Администратор"));
    EXPECT_EQ(app->user().UserDostup, QStringLiteral("Z"));
    EXPECT_TRUE(serviceMenu());
    // Leaving the card window ends the program: the login window closes too.
    login->show();
    app->form1()->closeForGood();
    EXPECT_FALSE(login->isVisible());
}

TEST_F(Login, PasswordIsTrimmedCutToSixAndCaseSensitive) {
    startWith(kRows);
    enter(QStringLiteral("  5802149999 "));
    EXPECT_TRUE(login->DostupOK);
    EXPECT_EQ(app->user().UserFIO, QStringLiteral("Администратор"));
    enter(QStringLiteral("317968")); // two rows: the earlier wins
    EXPECT_EQ(app->user().UserFIO, QStringLiteral("Пользователь 1"));
    enter(QStringLiteral("   "));
    EXPECT_EQ(app->user().UserFIO, QStringLiteral("Без пароля"));
}

TEST_F(Login, OrdinaryUserEntersWithoutTheServiceMenuForTheWholeRun) {
    startWith(kRows);
    enter(QStringLiteral("317968"));
    EXPECT_TRUE(cardWindowShown());
    EXPECT_FALSE(serviceMenu());
    enter(QStringLiteral("580214"));
    EXPECT_FALSE(serviceMenu());
    app->form1()->setServiceMenuEnabled(true); // as a save would
    EXPECT_FALSE(serviceMenu());
}

TEST_F(Login, OtherLettersAndUnknownPasswordsAreRefusedAndTriesEnd) {
    startWith(kRows);
    enter(QStringLiteral("111111"));
    EXPECT_FALSE(login->DostupOK);
    EXPECT_EQ(login->Komentar->text(), QStringLiteral("Вам доступ закрыт 1"));
    enter(QStringLiteral("222222"));
    EXPECT_EQ(login->Komentar->text(), QStringLiteral("Вам доступ закрыт 2"));
    enter(QStringLiteral("000000"));
    EXPECT_EQ(login->Komentar->text(), QStringLiteral("Вам доступ закрыт 3"));
    EXPECT_FALSE(cardWindowShown());
    enter(QStringLiteral("999999"));
    EXPECT_EQ(login->Komentar->text(), QStringLiteral("Ознакомтесь с инструкцией"));
    EXPECT_TRUE(login->Dalee->isHidden());
}

TEST_F(Login, UnknownPasswordWithAChiefFirstRow) {
    startWith(kRows);
    enter(QStringLiteral("000000"));
    EXPECT_EQ(login->Komentar->text(), QStringLiteral("Что-то я Вас не припоминаю 1"));
    EXPECT_TRUE(serviceMenu());
}

TEST_F(Login, EmptyOrDamagedTableNeverCrashes) {
    t.writeFile("Dostup.dat", QByteArray());
    start();
    enter(QStringLiteral("580214"));
    EXPECT_EQ(login->Komentar->text(), QStringLiteral("Вам доступ закрыт 1"));
    EXPECT_FALSE(serviceMenu());
}

TEST_F(Login, DamagedLengthBytesAndTailAreReadSafely) {
    QByteArray bytes = accessBytes({kRows[0]});
    bytes[16] = char(200); // name length past its capacity
    bytes[37] = char(99);  // password length past its capacity
    bytes.append("garbage");
    t.writeFile("Dostup.dat", bytes);
    start();
    EXPECT_EQ(login->DostupCount, 1);
    // The length byte claims the padding too: the name still ends at its first NUL.
    EXPECT_EQ(app->user().UserFIO, QStringLiteral("Администратор"));
    enter(QStringLiteral("580214"));
    EXPECT_TRUE(login->DostupOK);
}

TEST_F(Login, HelpButtonOpensTheGuideInWord) {
    start();
    QTest::mouseClick(login->OpisProgr, Qt::LeftButton);
    EXPECT_EQ(t.platform.officeCalls,
              (QStringList{"Word.Application", "Documents.Open " + t.path("Help/ReadMe.doc"),
                           "Visible true"}));
}

namespace {
QString cellOf(QTableWidget* g, int r, int c) {
    return g->item(r, c) ? g->item(r, c)->text() : QString();
}
void setCell(QTableWidget* g, int r, int c, const QString& s) {
    g->setItem(r, c, new QTableWidgetItem(s));
}
} // namespace

TEST_F(Login, EditorSavesExactlyTheRowsWithACode) {
    startWith(kRows);
    TForm5* editor = app->form5();
    editor->show();
    QTableWidget* grid = editor->TabDost;
    EXPECT_EQ(cellOf(grid, 0, 2), QStringLiteral("Администратор"));
    EXPECT_EQ(cellOf(grid, 0, 1), QStringLiteral("09.12.2025"));
    setCell(grid, 1, 4, QStringLiteral("ZW"));
    setCell(grid, 2, 0, QStringLiteral("  "));
    for (int r = 3; r < 6; ++r)
        setCell(grid, r, 0, QString());
    QTest::mouseClick(editor->ZapDostup, Qt::LeftButton);
    EXPECT_EQ(t.platform.lastMessage()->text, QStringLiteral("Перезапустите программу!!!"));
    CardFile f;
    f.open(t.path("Dostup.dat"), sizeof(TDostup));
    auto rows = readAccessRows(f);
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows[1].Dostup, QStringLiteral("Z"));
    EXPECT_EQ(rows[1].Data, 46000.0);
    // The old passwords hold until the next start.
    enter(QStringLiteral("642095"));
    EXPECT_FALSE(login->DostupOK);
}

TEST_F(Login, EditorWithABadDateWritesNothing) {
    startWith(kRows);
    const QByteArray before = t.readFile("Dostup.dat");
    TForm5* editor = app->form5();
    editor->show();
    setCell(editor->TabDost, 2, 1, QStringLiteral("31.02.2026"));
    QTest::mouseClick(editor->ZapDostup, Qt::LeftButton);
    EXPECT_EQ(t.platform.lastMessage()->kind, ShownMessage::Error);
    EXPECT_TRUE(t.platform.lastMessage()->text.contains(QStringLiteral("31.02.2026")));
    EXPECT_EQ(t.readFile("Dostup.dat"), before);
}

TEST_F(Login, EditorShowsAndKeepsMoreThanTenRows) {
    QList<AccessRow> many;
    for (int i = 0; i < 13; ++i)
        many.append({QString::number(10 + i), 46000, QStringLiteral("Сотрудник %1").arg(i),
                     QString::number(100000 + i), "W"});
    startWith(many);
    TForm5* editor = app->form5();
    editor->show();
    EXPECT_EQ(editor->TabDost->rowCount(), 13);
    QTest::mouseClick(editor->ZapDostup, Qt::LeftButton);
    EXPECT_EQ(t.readFile("Dostup.dat").size(), 13 * 48);
}

TEST_F(Login, PasswordBoxHasTheFocusAndEnterWithTheShownPasswordEnters) {
    start();
    login->show();
    login->activateWindow();
    QApplication::processEvents();
    EXPECT_EQ(login->focusWidget(), login->NomZamka);
    EXPECT_EQ(login->Komentar->focusPolicy(), Qt::NoFocus);
    // Typing replaces the shown password rather than adding to it.
    EXPECT_EQ(login->NomZamka->selectedText(), QStringLiteral("580214"));
    QTest::keyClick(login->NomZamka, Qt::Key_Return);
    EXPECT_TRUE(cardWindowShown());
    EXPECT_EQ(app->user().UserFIO, QStringLiteral("Администратор"));
}

TEST_F(Login, CancelStaysWhereItWasAfterTheLastTry) {
    startWith(kRows);
    login->show();
    QApplication::processEvents();
    login->layout()->activate();
    const QRect cancel = login->dxfColorButton1->geometry();
    for (int i = 0; i < 4; ++i)
        enter(QStringLiteral("999999"));
    ASSERT_TRUE(login->Dalee->isHidden());
    QApplication::processEvents();
    login->layout()->activate();
    EXPECT_EQ(login->dxfColorButton1->geometry(), cancel);
    // Enter does nothing more once «Дальше» has gone.
    login->NomZamka->setText(QStringLiteral("580214"));
    QTest::keyClick(login->NomZamka, Qt::Key_Return);
    EXPECT_FALSE(cardWindowShown());
}

TEST_F(Login, EditorColumnsShowWholeDatesAndPasswordsAndAllTenRows) {
    QList<AccessRow> rows = kRows;
    rows[1].FIO = QStringLiteral("Константинопольская Е"); // twenty letters, the field's size
    rows[2].Parol = QStringLiteral("WWWWWW");
    startWith(rows);
    TForm5* editor = app->form5();
    editor->show();
    QApplication::processEvents();
    QTableWidget* grid = editor->TabDost;
    for (int c = 0; c < grid->columnCount(); ++c) {
        EXPECT_GE(grid->columnWidth(c), widestText(grid, c)) << "column " << c;
        EXPECT_GE(grid->columnWidth(c), grid->horizontalHeader()->sectionSizeHint(c))
            << "title of column " << c;
    }
    // Every row of the grid in sight without scrolling.
    const int lastRow = grid->rowCount() - 1;
    const QRect last = grid->visualRect(grid->model()->index(lastRow, 0));
    EXPECT_LE(last.bottom(), grid->viewport()->height()) << "rows cut at the bottom";
}
