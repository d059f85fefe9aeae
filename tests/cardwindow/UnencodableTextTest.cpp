// Text the card file cannot hold is refused where it is typed, never stored with '?' in place of
// what the window shows; what the code page has, as typed through a modern layout, is stored.
#include "cardwindow/TForm1.h"
#include "common/CardFactory.h"
#include "common/Form1Controls.h"
#include "common/TestInstall.h"
#include "store/Cp1251Refusal.h"
#include "widgets/TdxfColorButton.h"

#include <QComboBox>
#include <QFocusEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <gtest/gtest.h>

using namespace zelm;
using namespace zelm::testing;

namespace {

// Emoji, Chinese, a zero-width space, е with a combining diaeresis, a Latin digraph.
const QString kForeign = QStringLiteral("Ромашка 😀 中文 \u200Bе\u0308 ǅ");

void leave(QWidget* field) {
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QCoreApplication::sendEvent(field, &out);
}

} // namespace

TEST(UnencodableText, TheRefusalNamesEveryCharacterOnceAndPassesWhatTheCodePageHas) {
    EXPECT_EQ(charactersOutsideCp1251(kForeign + QStringLiteral("😀")),
              (QStringList{"😀", "中", "文", "U+200B", "U+0308", "ǅ"}));
    EXPECT_TRUE(
        cp1251Refusal(QStringLiteral("Поле «X»"), QStringLiteral("«№ 5» — “так” … \u00A0‚ё‘"))
            .isEmpty());
    EXPECT_TRUE(cp1251Refusal(QStringLiteral("Поле «Вид ОРМ»"), kForeign)
                    .startsWith(QStringLiteral("Поле «Вид ОРМ»: ")));
}

TEST(UnencodableText, ACardFieldOrMemoRefusesItOnLeavingAndOnSavingAndNothingIsStored) {
    TestInstall t;
    t.makeFolders();
    t.writeCards("Baza/Anketi.dat", makeCards(2));
    ZelmApp& app = t.start();
    TForm1& w = *app.form1();
    Form1Controls& ui = controls(w);
    const QByteArray before = t.readFile("Baza/Anketi.dat");

    ui.VidORM->setEditText(kForeign);
    leave(ui.VidORM);
    leave(ui.VidORM->lineEdit()); // the same text is told once
    ASSERT_EQ(t.platform.messages.size(), 1);
    const QString told = t.platform.messages.first().text;
    EXPECT_TRUE(told.startsWith(QStringLiteral("Поле «Вид ОРМ»"))) << told.toStdString();
    for (const char* c : {"😀", "中", "文", "U+200B", "U+0308", "ǅ"})
        EXPECT_TRUE(told.contains(QString::fromUtf8(c))) << c;

    ui.nSave->click();
    ASSERT_EQ(t.platform.messages.size(), 2);
    EXPECT_EQ(t.platform.messages.last().kind, ShownMessage::Error);
    EXPECT_EQ(t.platform.messages.last().text, told);
    EXPECT_EQ(t.readFile("Baza/Anketi.dat"), before);
    EXPECT_EQ(ui.VidORM->currentText(), kForeign); // left for the user to put right

    ui.VidORM->setEditText(QStringLiteral("Опрос"));
    ui.Prime4->setPlainText(QStringLiteral("строка\nещё 中"));
    ui.nSave->click();
    EXPECT_TRUE(t.platform.messages.last().text.startsWith(QStringLiteral("Поле «Примечание»")));
    EXPECT_EQ(t.readFile("Baza/Anketi.dat"), before);

    // Typographic quotes, dashes, «№» and the no-break space have their bytes in the code page.
    const QString typographic = QStringLiteral("«№ 5» — “Ёж”\u00A0…");
    ui.Prime4->setPlainText(QString());
    ui.NameOrg->setEditText(typographic);
    const qsizetype told2 = t.platform.messages.size();
    leave(ui.NameOrg);
    ui.nSave->click();
    EXPECT_EQ(t.platform.messages.size(), told2);
    const auto disk = t.readCards("Baza/Anketi.dat");
    ASSERT_EQ(disk.size(), 2u);
    EXPECT_EQ(disk[1].NameOrg.text(), typographic);
    EXPECT_EQ(disk[1].VidORM.text(), QStringLiteral("Опрос"));
}
