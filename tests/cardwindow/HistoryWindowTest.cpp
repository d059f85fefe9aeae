// The window «История карточки», driven by its controls' names: the versions of the card shown,
// what each changed, and «Восстановить» through the card window's own question.
#include "ArchiveTestSupport.h"
#include "common/Form1Controls.h"

#include "widgets/TdxfColorButton.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <gtest/gtest.h>

using namespace zelm;
using namespace zelm::testing;

namespace {

template <class W> W* in(QWidget* window, const char* name) {
    W* w = window->findChild<W*>(QLatin1String(name));
    EXPECT_NE(w, nullptr) << name;
    return w;
}

// Opens the history window by its menu item and runs `drive` on it while it is shown.
void withHistoryWindow(TForm1& w, const std::function<void(QDialog&)>& drive) {
    bool shown = false;
    QTimer::singleShot(0, &w, [&] {
        auto* window = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(window, nullptr);
        ASSERT_EQ(window->objectName(), QStringLiteral("TIstoriya"));
        shown = true;
        drive(*window);
        window->reject();
    });
    w.findChild<QAction*>(QStringLiteral("NIstoriya"))->trigger();
    EXPECT_TRUE(shown);
}

void saveOrganisation(TForm1& w, const QString& name) {
    controls(w).NameOrg->setEditText(name);
    controls(w).nSave->click();
}

QStringList rowTexts(QTableWidget* t, int row) {
    QStringList out;
    for (int c = 0; c < t->columnCount(); ++c)
        out << (t->item(row, c) ? t->item(row, c)->text() : QString());
    return out;
}

QStringList highlightedFields(QTableWidget* fields) {
    QStringList out;
    for (int r = 0; r < fields->rowCount(); ++r)
        if (fields->item(r, 0)->data(Qt::UserRole).toBool())
            out << fields->item(r, 0)->text();
    return out;
}

TEST(HistoryWindow, ListsTheVersionsHighlightsTheChangesAndRestoresThroughTheQuestion) {
    TestInstall t;
    std::vector<TAnketa> cards = makeCards(3);
    TForm1& w = startRegister(t, cards);
    auto* menuItem = w.findChild<QAction*>(QStringLiteral("NIstoriya"));
    ASSERT_NE(menuItem, nullptr);
    EXPECT_EQ(menuItem->text(), QStringLiteral("История карточки"));
    EXPECT_EQ(menuItem->shortcut(), QKeySequence(QStringLiteral("Ctrl+H")));
    EXPECT_TRUE(w.findChild<QMenu*>(QStringLiteral("N7"))->actions().contains(menuItem));

    showCard(w, 1);
    saveOrganisation(w, QStringLiteral("ООО «Первая правка»"));
    saveOrganisation(w, QStringLiteral("ООО «Вторая правка»"));
    ASSERT_TRUE(t.platform.messages.isEmpty());

    // Another program writes the card meanwhile: the restore meets its version.
    TAnketa theirs = cards[1];
    theirs.NameOrg.set(QStringLiteral("ООО «Чужая»"));
    withHistoryWindow(w, [&](QDialog& d) {
        auto* list = in<QTableWidget>(&d, "SpisokIst");
        auto* fields = in<QTableWidget>(&d, "PoliaIst");
        EXPECT_EQ(in<QLineEdit>(&d, "NomerIst")->text(), QString::number(cards[1].Klu4Form1));
        ASSERT_EQ(list->rowCount(), 2);
        EXPECT_EQ(rowTexts(list, 0).mid(1),
                  (QStringList{QStringLiteral("Петрова Мария"), QStringLiteral("Запись")}));
        EXPECT_EQ(list->currentRow(), 0);
        // The newest version is the first save's card: it changed the organisation, who and
        // when it was written.
        const QStringList changed = highlightedFields(fields);
        EXPECT_TRUE(changed.contains(QStringLiteral("Организация")))
            << changed.join(',').toStdString();
        EXPECT_FALSE(changed.contains(QStringLiteral("Адрес")));
        EXPECT_FALSE(changed.contains(QStringLiteral("Уник. №")));
        EXPECT_EQ(fields->item(7, 1)->text(), QStringLiteral("ООО «Первая правка»"));

        list->setCurrentCell(1, 0);
        EXPECT_EQ(fields->item(7, 1)->text(), cards[1].NameOrg.text());
        EXPECT_TRUE(highlightedFields(fields).isEmpty()) << "the oldest has nothing before it";

        t.writeCardAt(QStringLiteral("Baza/Anketi.dat"), 1, theirs);
        t.platform.answers.enqueue(true);
        in<QPushButton>(&d, "VosstanovitIst")->click();
        // The list now holds what the restore wrote over too.
        ASSERT_EQ(list->rowCount(), 3);
        EXPECT_EQ(in<QTableWidget>(&d, "PoliaIst")->item(7, 1)->text(),
                  QStringLiteral("ООО «Чужая»"));
    });
    ASSERT_EQ(t.platform.messages.size(), 1);
    EXPECT_EQ(t.platform.messages[0].kind, ShownMessage::Question);
    EXPECT_TRUE(t.platform.messages[0].text.startsWith(
        QStringLiteral("Карточку изменил(а) другая программа в ")));
    const std::vector<TAnketa> disk = t.readCards("Baza/Anketi.dat");
    ASSERT_EQ(disk.size(), 3u);
    EXPECT_EQ(disk[1].NameOrg.text(), cards[1].NameOrg.text());
    EXPECT_EQ(disk[1].Klu4Form1, cards[1].Klu4Form1);
    EXPECT_EQ(controls(w).NameOrg->currentText(), cards[1].NameOrg.text());
}

TEST(HistoryWindow, ADeletedCardIsFoundByItsNumberAndRecalledToTheEnd) {
    TestInstall t;
    const std::vector<TAnketa> cards = makeCards(3);
    TForm1& w = startRegister(t, cards);
    showCard(w, 0);
    answerNextChoice(t.app(), 1);
    controls(w).nDelete->click();
    ASSERT_EQ(t.readCards("Baza/Anketi.dat").size(), 2u);

    withHistoryWindow(w, [&](QDialog& d) {
        auto* number = in<QLineEdit>(&d, "NomerIst");
        auto* list = in<QTableWidget>(&d, "SpisokIst");
        EXPECT_EQ(number->text(), QString::number(cards[2].Klu4Form1)) << "the card shown";
        EXPECT_EQ(list->rowCount(), 0);
        EXPECT_FALSE(in<QPushButton>(&d, "VosstanovitIst")->isEnabled());

        number->setText(QString::number(cards[0].Klu4Form1));
        in<QPushButton>(&d, "NaitiIst")->click();
        ASSERT_EQ(list->rowCount(), 1);
        EXPECT_EQ(list->item(0, 2)->text(), QStringLiteral("Удаление"));
        in<QPushButton>(&d, "VosstanovitIst")->click();
        ASSERT_EQ(list->rowCount(), 2);
        EXPECT_EQ(list->item(0, 2)->text(), QStringLiteral("Возврат в картотеку"));

        number->setText(QStringLiteral("не номер"));
        in<QPushButton>(&d, "NaitiIst")->click();
        EXPECT_EQ(list->rowCount(), 2) << "a text that is no number changes nothing";
    });
    ASSERT_EQ(t.platform.messages.size(), 1);
    EXPECT_EQ(t.platform.messages[0].kind, ShownMessage::Notice);
    const std::vector<TAnketa> disk = t.readCards("Baza/Anketi.dat");
    ASSERT_EQ(disk.size(), 3u);
    EXPECT_EQ(disk[2].Klu4Form1, cards[0].Klu4Form1);
    EXPECT_EQ(disk[2].NameOrg.text(), cards[0].NameOrg.text());
    EXPECT_EQ(w.session().shownIndex(), 2);
    EXPECT_EQ(controls(w).NameOrg->currentText(), cards[0].NameOrg.text());
    EXPECT_EQ(controls(w).WsegoKarto4ek->text(), QStringLiteral("3"));
}

} // namespace
