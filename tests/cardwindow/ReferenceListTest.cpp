#include "cardwindow/ReferenceListEntries.h"
#include "cardwindow/TForm1.h"
#include "cardwindow/TRedaktir.h"
#include "cardwindow/TWibor.h"
#include "common/Form1Controls.h"
#include "common/TestInstall.h"
#include "store/Cp1251.h"
#include "store/ReferenceLists.h"

#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

using namespace zelm;
using namespace zelm::testing;

namespace {

QByteArray cp1251Lines(const QStringList& lines) {
    QByteArray out;
    for (const QString& line : lines)
        out += toCp1251(line) + "\r\n";
    return out;
}

QStringList entriesOf(TForm1& w, const char* comboBox) {
    return referenceEntries(w.findChild<QComboBox*>(QLatin1String(comboBox)));
}

struct EditorSeen {
    QString title;
    QString text;
};

// Clicks a list button; while the editor is open, records it, lets `edit` change the memo
// and closes the editor with its close box.
EditorSeen editList(ZelmApp& app, const char* button,
                    const std::function<void(QPlainTextEdit*)>& edit = {}) {
    EditorSeen seen;
    TRedaktir* editor = app.redaktir();
    QTimer::singleShot(0, editor, [&] {
        auto* memo = editor->findChild<QPlainTextEdit*>(QStringLiteral("Spisok"));
        seen = {editor->windowTitle(), memo->toPlainText()};
        if (edit)
            edit(memo);
        editor->close();
    });
    app.form1()->findChild<QPushButton*>(QLatin1String(button))->click();
    return seen;
}

TestInstall& startWithLists(TestInstall& t) {
    t.makeFolders();
    t.start();
    return t;
}

} // namespace

TEST(ReferenceListOrder, CaseInsensitiveRussianOrderWithEmptyEntriesFirst) {
    QStringList entries = {QStringLiteral("жук"),    QStringLiteral("Ёлка"), QStringLiteral(""),
                           QStringLiteral("ель"),    QStringLiteral("Акт"),  QStringLiteral("арка"),
                           QStringLiteral("Ель"),    QStringLiteral(""),     QStringLiteral("яма"),
                           QStringLiteral(" пробел")};
    sortReferenceEntries(entries);
    // ё sorts as е (ёлка before ель, as к before ь), not after я as its code would; equal
    // entries keep their order.
    EXPECT_EQ(entries,
              (QStringList{"", "", " пробел", "Акт", "арка", "Ёлка", "ель", "Ель", "жук", "яма"}));
}

TEST(ReferenceListOrder, EditedTextSplitsAtEveryLineEnd) {
    EXPECT_EQ(splitEditedList(QString()), QStringList());
    EXPECT_EQ(splitEditedList(QStringLiteral("а\r\nб\rв\nг\n")), (QStringList{"а", "б", "в", "г"}));
    EXPECT_EQ(splitEditedList(QStringLiteral("\n")), QStringList{QString()});
    EXPECT_EQ(splitEditedList(QStringLiteral("а\n\n б ")), (QStringList{"а", "", " б "}));
}

TEST(ReferenceLists, StartUpSortsAndClosingTheEditorUnchangedRewritesTheFileSorted) {
    TestInstall t;
    t.makeFolders();
    t.writeFile("Baza/VidORM.txt", cp1251Lines({"Опрос", "акт", "Беседа", "", "Опрос"}));
    ZelmApp& app = t.start();
    TForm1& w = *app.form1();
    const QStringList sorted = {"", "акт", "Беседа", "Опрос", "Опрос"};
    EXPECT_EQ(entriesOf(w, "VidORM"), sorted);
    controls(w).VidORM->setEditText(QStringLiteral("Наблюдение"));

    EditorSeen seen = editList(app, "VidORMSpr");
    EXPECT_EQ(seen.title, QStringLiteral("Вид ОРМ"));
    EXPECT_EQ(seen.text, QStringLiteral("\nакт\nБеседа\nОпрос\nОпрос\n"));
    EXPECT_EQ(t.readFile("Baza/VidORM.txt"), cp1251Lines(sorted));
    EXPECT_EQ(entriesOf(w, "VidORM"), sorted);
    EXPECT_EQ(controls(w).VidORM->currentText(), QStringLiteral("Наблюдение"));
    EXPECT_TRUE(t.platform.messages.isEmpty());
}

TEST(ReferenceLists, EditedLinesBecomeTheSortedListAndTheFile) {
    TestInstall t;
    ZelmApp& app = startWithLists(t).app();
    TForm1& w = *app.form1();
    controls(w).ZvanSotr->setEditText(QStringLiteral("майор полиции"));

    editList(app, "ZvanSpr", [](QPlainTextEdit* memo) {
        memo->setPlainText(QStringLiteral("прапорщик\n\nкапитан\nКапитан\nкапитан\n"));
    });
    const QStringList expected = {"", "капитан", "Капитан", "капитан", "прапорщик"};
    EXPECT_EQ(entriesOf(w, "ZvanSotr"), expected);
    EXPECT_EQ(t.readFile("Baza/ZvanSotr.txt"), cp1251Lines(expected));
    // The field keeps its value, though the list no longer holds it.
    EXPECT_EQ(controls(w).ZvanSotr->currentText(), QStringLiteral("майор полиции"));

    editList(app, "ZvanSpr", [](QPlainTextEdit* memo) { memo->clear(); });
    EXPECT_EQ(controls(w).ZvanSotr->count(), 0);
    EXPECT_EQ(t.readFile("Baza/ZvanSotr.txt"), QByteArray());
    EXPECT_EQ(controls(w).ZvanSotr->currentText(), QStringLiteral("майор полиции"));
    // The list is what the next start loads.
    t.stop();
    t.start();
    EXPECT_EQ(controls(t.app().form1()).ZvanSotr->count(), 0);
}

TEST(ReferenceLists, EachButtonEditsItsOwnListUnderItsTitle) {
    TestInstall t;
    t.makeFolders();
    // Every file starts with one entry naming it, so a button opening the wrong list shows.
    for (const ReferenceListDef& def : referenceLists())
        t.writeFile(QStringLiteral("Baza/") + QLatin1String(def.file),
                    cp1251Lines({QStringLiteral("запись ") + QLatin1String(def.file)}));
    ZelmApp& app = t.start();
    TForm1& w = *app.form1();
    const QString blanks(27, QLatin1Char(' '));
    const struct {
        const char* button;
        const char* file;
        QString title;
        QString hint;
    } rows[] = {
        {"PovorSpr", "Povod.txt", "Повод для проведения мероприятия", "Редактирование справочника"},
        {"VidORMSpr", "VidORM.txt", "Вид ОРМ", "Редактирование справочника корреспондентов"},
        {"NazDokSpr", "Osnovan.txt", "Название документа",
         "Редактирование справочника корреспондентов"},
        {"FormSobsSpr", "FormSobs.txt", "Форма собственности",
         "Редактирование справочника корреспондентов"},
        {"PodrazdSpr", "Podrazd.txt", blanks + "Подразделение, проводившее ОРМ",
         "Редактирование справочника корреспондентов"},
        {"DolgnSpr", "DolgSotr.txt", "Должность проводившего ОРМ", "Редактирование справочника"},
        {"ZvanSpr", "ZvanSotr.txt", "Звание проводившего ОРМ", "Редактирование справочника"},
        {"FIOSpr", "FIOSotr.txt", "ФИО проводившего ОРМ", "Редактирование справочника"},
        {"BitBtn1", "KUSPForm.txt", "Формулировка КУСП",
         "Редактирование справочника корреспондентов"},
        {"UtvDolgn", "DolgUtv.txt", "Должность утвердившего ОРМ", "Редактирование справочника"},
        {"UtvZvan", "ZvanUtv.txt", "Звание утвердившего ОРМ", "Редактирование справочника"},
        {"UtvFIO", "FIOUtv.txt", "ФИО утвердившего ОРМ", "Редактирование справочника"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.button);
        auto* button = w.findChild<QPushButton*>(QLatin1String(row.button));
        EXPECT_EQ(button->toolTip(), row.hint);
        const QString file = QStringLiteral("Baza/") + QLatin1String(row.file);
        EditorSeen seen = editList(app, row.button, [](QPlainTextEdit* memo) {
            memo->setPlainText(memo->toPlainText() + QStringLiteral("добавлено"));
        });
        EXPECT_EQ(seen.title, row.title);
        EXPECT_EQ(seen.text, QStringLiteral("запись ") + QLatin1String(row.file) + "\n");
        EXPECT_EQ(t.readFile(file),
                  cp1251Lines({QStringLiteral("добавлено"),
                               QStringLiteral("запись ") + QLatin1String(row.file)}));
    }
    EXPECT_EQ(controls(w).NazDokSpr->text(), QStringLiteral("Название"));
    EXPECT_EQ(controls(w).UtvFIO->text(), QStringLiteral("ФИО"));
    EXPECT_TRUE(t.platform.messages.isEmpty());
}

TEST(ReferenceLists, ALostWriteNamesTheFileAndKeepsTheEditedEntries) {
    TestInstall t;
    ZelmApp& app = startWithLists(t).app();
    TForm1& w = *app.form1();
    // A folder in the file's place cannot be replaced by the new list.
    ASSERT_TRUE(QFile::remove(t.path("Baza/Povod.txt")));
    ASSERT_TRUE(QDir().mkpath(t.path("Baza/Povod.txt/blocker")));

    editList(app, "PovorSpr",
             [](QPlainTextEdit* memo) { memo->setPlainText(QStringLiteral("Рапорт")); });
    ASSERT_EQ(t.platform.messages.size(), 1);
    EXPECT_EQ(t.platform.messages[0].kind, ShownMessage::Error);
    EXPECT_TRUE(t.platform.messages[0].text.contains(QStringLiteral("Povod.txt")));
    EXPECT_EQ(entriesOf(w, "Povod"), QStringList{QStringLiteral("Рапорт")});
    EXPECT_TRUE(QFileInfo(t.path("Baza/Povod.txt/blocker")).isDir());
}

TEST(ReferenceLists, DamagedListFilesLoadAsLinesAndLongEntriesAreKept) {
    TestInstall t;
    t.makeFolders();
    const QString longEntry = QString(300, QChar(u'ж'));
    // A byte that is no character, a NUL, a lone CR and a lone LF, and a last line without end.
    QByteArray bytes("\x98\x00\xff-\xc0\xc1\rlone\ncr-lf\r\n", 19);
    bytes += toCp1251(longEntry);
    t.writeFile("Baza/FIOUtv.txt", bytes);
    ZelmApp& app = t.start();
    TForm1& w = *app.form1();
    EXPECT_TRUE(t.platform.messages.isEmpty());
    const QStringList entries = entriesOf(w, "FIOUtv");
    ASSERT_EQ(entries.size(), 4);
    EXPECT_TRUE(entries.contains(longEntry));
    EXPECT_TRUE(entries.contains(QStringLiteral("lone")));
    EXPECT_TRUE(entries.contains(QStringLiteral("cr-lf")));

    // Picking the long entry fills the field only up to what a card stores.
    controls(w).FIOUtv->setCurrentIndex(controls(w).FIOUtv->findText(longEntry));
    EXPECT_EQ(controls(w).FIOUtv->currentText(), longEntry.left(50));

    editList(app, "UtvFIO");
    const QByteArray written = t.readFile("Baza/FIOUtv.txt");
    EXPECT_TRUE(written.contains(toCp1251(longEntry) + "\r\n"));
    EXPECT_EQ(written.count("\r\n"), 4);
}

TEST(ChoiceDialog, ReportsTheButtonPressedAndZeroWhenClosed) {
    TestInstall t;
    ZelmApp& app = startWithLists(t).app();
    TWibor* d = app.wibor();
    auto answer = [&](std::function<void()> act) {
        QTimer::singleShot(0, d, act);
        return AskChoice(*app.wibor(), QStringLiteral("Редактировать"), QStringLiteral("Удалить"),
                         QStringLiteral("Ничего не делать"),
                         QStringLiteral("Действие с Ответом к Карточке"));
    };
    QString title, third;
    EXPECT_EQ(answer([&] {
                  title = d->windowTitle();
                  third = d->Otmena->text();
                  d->Udalit->click();
              }),
              2);
    EXPECT_EQ(title, QStringLiteral("Действие с Ответом к Карточке"));
    EXPECT_EQ(third, QStringLiteral("Ничего не делать"));
    // Each showing starts from no choice: the close box after an earlier answer gives 0.
    EXPECT_EQ(answer([&] { d->close(); }), 0);
    EXPECT_EQ(answer([&] { d->Redak->click(); }), 1);
    EXPECT_EQ(answer([&] { d->Otmena->click(); }), 3);
    EXPECT_EQ(answer([&] { d->reject(); }), 0);
    EXPECT_EQ(d->objectName(), QStringLiteral("Wibor"));
    EXPECT_EQ(d->Redak->objectName(), QStringLiteral("Redak"));
}

TEST(ReferenceLists, AListEntryTheFileCannotHoldKeepsTheEditorOpenAndTheFileAsItWas) {
    TestInstall t;
    t.makeFolders();
    t.writeFile("Baza/VidORM.txt", cp1251Lines({"Опрос"}));
    ZelmApp& app = t.start();
    TForm1& w = *app.form1();
    TRedaktir* editor = app.redaktir();
    bool stayedOpen = false;
    QByteArray fileMeanwhile;
    editList(app, "VidORMSpr", [&](QPlainTextEdit* memo) {
        memo->setPlainText(QStringLiteral("Наблюдение 😀\nе\u0308лка\nОпрос\n"));
        editor->close();
        stayedOpen = editor->isVisible();
        fileMeanwhile = t.readFile("Baza/VidORM.txt");
        memo->setPlainText(QStringLiteral("Наблюдение\nёлка\nОпрос\n"));
    });
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(fileMeanwhile, cp1251Lines({"Опрос"}));
    ASSERT_EQ(t.platform.messages.size(), 1);
    const QString told = t.platform.messages.first().text;
    EXPECT_TRUE(told.startsWith(QStringLiteral("Справочник «Вид ОРМ»"))) << told.toStdString();
    EXPECT_TRUE(told.contains(QStringLiteral("😀")) && told.contains(QStringLiteral("U+0308")));
    EXPECT_EQ(t.readFile("Baza/VidORM.txt"), cp1251Lines({"ёлка", "Наблюдение", "Опрос"}));
    EXPECT_EQ(entriesOf(w, "VidORM"), (QStringList{"ёлка", "Наблюдение", "Опрос"}));
}
