// The two memos hold what their stored 250 bytes hold: a line break is CR LF, two bytes.
#include "cardwindow/TForm1.h"
#include "common/CardFactory.h"
#include "common/Form1Controls.h"
#include "common/TestInstall.h"
#include "widgets/TdxfColorButton.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <QTextCursor>
#include <QToolButton>
#include <gtest/gtest.h>

using namespace zelm;
using namespace zelm::testing;

namespace {

struct Memo : ::testing::Test {
    void SetUp() override {
        t.makeFolders();
        t.writeCards("Baza/Anketi.dat", makeCards(2));
        w = t.start().form1();
        w->show();
    }
    Form1Controls& ui() { return controls(w); }
    TAnketa saved() {
        QTest::mouseClick(ui().nSave, Qt::LeftButton);
        return t.readCards("Baza/Anketi.dat").back();
    }
    TestInstall t;
    TForm1* w = nullptr;
};

// Types `text` key by key, as a Russian keyboard would; a line feed is the Enter key.
void type(QWidget* w, const QString& text) {
    for (QChar c : text) {
        if (c == QLatin1Char('\n'))
            QTest::keyClick(w, Qt::Key_Return);
        else
            QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

// Ten lines of 23 letters and nine breaks: 230 + 18 = 248 bytes.
QString tenLines() {
    QStringList lines;
    for (int i = 0; i < 10; ++i)
        lines << QString(23, QChar(0x0410 + i));
    return lines.join(QLatin1Char('\n'));
}

TEST_F(Memo, AFullResultOfManyLinesIsStoredWhole) {
    ui().Rezultat->setFocus();
    ui().Rezultat->clear();
    type(ui().Rezultat, tenLines());
    EXPECT_EQ(ui().RezOst->text(), QStringLiteral("0"));
    type(ui().Rezultat, QStringLiteral("яя"));
    type(ui().Rezultat, QStringLiteral("ж")); // one byte too many: refused
    EXPECT_EQ(ui().Rezultat->toPlainText(), tenLines() + QStringLiteral("яя"));
    const TAnketa card = saved();
    EXPECT_EQ(card.Rezultat.text(), memoToStored(tenLines() + QStringLiteral("яя")));
    EXPECT_EQ(card.Rezultat.size(), 250);
}

TEST_F(Memo, TypingIntoAFullResultChangesNothingAndKeepsTheCursor) {
    const QString full = QString(250, QChar(0x0436));
    ui().Rezultat->setPlainText(full);
    QTextCursor cursor = ui().Rezultat->textCursor();
    cursor.setPosition(100);
    ui().Rezultat->setTextCursor(cursor);
    QTest::keyClick(ui().Rezultat, Qt::Key_Return); // a break takes two bytes
    type(ui().Rezultat, QStringLiteral("x"));
    EXPECT_EQ(ui().Rezultat->toPlainText(), full);
    EXPECT_EQ(ui().Rezultat->textCursor().position(), 100);
}

TEST_F(Memo, TheNoteIsCutWithoutSplittingALineBreak) {
    // 249 letters, a break, more: the cut at 250 bytes falls between CR and LF.
    ui().Prime4->setPlainText(QString(249, QChar(0x0431)) + QStringLiteral("\nконец"));
    EXPECT_EQ(ui().PrimOst->text(), QString::number(248 - 249 - 2 - 5));
    EXPECT_TRUE(ui().PrimOst->styleSheet().contains(QStringLiteral("red")));
    const TAnketa card = saved();
    EXPECT_EQ(card.Prime4.text(), QString(249, QChar(0x0431)));
    EXPECT_FALSE(card.Prime4.text().endsWith(QLatin1Char('\r')));
}

TEST_F(Memo, CountersCountALineBreakAsTwo) {
    ui().Rezultat->setPlainText(QStringLiteral("а\nб"));
    EXPECT_EQ(ui().RezOst->text(), QStringLiteral("244"));
}

// A stored Result of 250 bytes that counts more once its breaks are CR LF: lone LF breaks,
// as older writers left them, or a CR cut from its LF at the end.
struct LongStoredResult : ::testing::Test {
    void SetUp() override {
        QStringList lines;
        for (int i = 0; i < 10; ++i)
            lines << QString(24, QChar(0x0430 + i));
        loneBreaks = lines;
        std::vector<TAnketa> cards = makeCards(3);
        cards[0].Rezultat.set(QStringLiteral("Первая карточка"));
        cards[1].Rezultat.set(lines.join(QLatin1Char('\n')) + QStringLiteral("ж")); // 250 bytes
        cards[2].Rezultat.set(QString(249, QChar(0x044F)) + QLatin1Char('\r'));     // 250 bytes
        t.makeFolders();
        t.writeCards("Baza/Anketi.dat", cards);
        w = t.start().form1();
        w->show();
    }
    Form1Controls& ui() { return controls(w); }
    TAnketa savedAt(int i) {
        QTest::mouseClick(ui().nSave, Qt::LeftButton);
        return t.readCards("Baza/Anketi.dat").at(static_cast<size_t>(i));
    }
    QStringList loneBreaks;
    TestInstall t;
    TForm1* w = nullptr;
};

TEST_F(LongStoredResult, IsShownWholeAndSavedAsItsOwnText) {
    QTest::mouseClick(ui().SpeedButBeg, Qt::LeftButton);
    EXPECT_EQ(ui().Rezultat->toPlainText(), QStringLiteral("Первая карточка"));
    QTest::mouseClick(ui().SpeedButNext, Qt::LeftButton);
    // The card's own text, whole, and the counter counting it.
    EXPECT_EQ(ui().Rezultat->toPlainText(),
              loneBreaks.join(QLatin1Char('\n')) + QStringLiteral("ж"));
    EXPECT_EQ(ui().RezOst->text(), QString::number(248 - (240 + 18 + 1)));
    // Stored unchanged: breaks as CR LF, cut at 250 bytes.
    const TAnketa card = savedAt(1);
    EXPECT_EQ(card.Rezultat.text(), loneBreaks.mid(0, 9).join(QStringLiteral("\r\n")) +
                                        QStringLiteral("\r\n") + loneBreaks[9].left(16));
    EXPECT_EQ(card.Rezultat.size(), 250);

    // The user may shorten such a text, and may not lengthen it.
    QTextCursor end = ui().Rezultat->textCursor();
    end.movePosition(QTextCursor::End);
    ui().Rezultat->setTextCursor(end);
    ui().Rezultat->setFocus();
    QTest::keyClick(ui().Rezultat, Qt::Key_Backspace);
    EXPECT_EQ(ui().Rezultat->toPlainText(), loneBreaks.join(QLatin1Char('\n')));
    type(ui().Rezultat, QStringLiteral("ю"));
    EXPECT_EQ(ui().Rezultat->toPlainText(), loneBreaks.join(QLatin1Char('\n')));
}

TEST_F(LongStoredResult, EndingInACrCutFromItsLfKeepsItsOwnText) {
    QTest::mouseClick(ui().SpeedButBeg, Qt::LeftButton);
    QTest::mouseClick(ui().SpeedButEnd, Qt::LeftButton);
    EXPECT_EQ(ui().Rezultat->toPlainText(), QString(249, QChar(0x044F)) + QLatin1Char('\n'));
    const TAnketa card = savedAt(2);
    EXPECT_EQ(card.Rezultat.text(), QString(249, QChar(0x044F))); // never a CR without its LF
}

} // namespace
