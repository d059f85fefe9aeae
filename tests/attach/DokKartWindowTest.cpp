// The attached-files window as it is shown: its controls, the card it is opened for, broken
// links, opening a document, the file dialog and the count handed back to the card window.
#include "DokKartRun.h"

#include "common/FileBytes.h"
#include "widgets/TdxfColorButton.h"

#include <QDir>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTimer>
#include <gtest/gtest.h>

using namespace zelm;
using namespace zelm::testing;

TEST(DokKartWindow, ControlsCaptionsHintsAndColumns) {
    DokKartRun run;
    run.open();
    TDokKart& w = *run.w;
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Файлы, прикреплённые к карточке"));
    auto hint = [&](const char* name) {
        QWidget* c = w.findChild<QWidget*>(QLatin1String(name));
        return c ? c->toolTip() : QStringLiteral("<missing>");
    };
    EXPECT_EQ(hint("Klu4DK"), QStringLiteral("Уникальный номер анкеты"));
    EXPECT_EQ(hint("Fabula"), QStringLiteral("Не более 200 символов"));
    EXPECT_EQ(hint("Minus"), QStringLiteral("Удалить связь (строчку из списка)"));
    EXPECT_EQ(hint("Redak"), QStringLiteral("Изменить путь"));
    EXPECT_EQ(hint("dxfColorButton1"), QStringLiteral("Открыть документ"));
    EXPECT_EQ(hint("Plus"), QStringLiteral("файл для привязки к Карточке"));
    EXPECT_EQ(hint("Saves"), QStringLiteral("Запомнить связь (строчку в списке)"));
    for (const char* name : {"NazWhDok", "ImaDok", "PutFil", "SodFil", "SpPrDok"})
        EXPECT_NE(w.findChild<QWidget*>(QLatin1String(name)), nullptr) << name;
    EXPECT_EQ(w.findChild<TdxfColorButton*>("Plus")->caption(),
              QStringList{QStringLiteral("Указать")});
    EXPECT_EQ(w.findChild<TdxfColorButton*>("Saves")->caption(),
              QStringList{QStringLiteral("Добавить")});
    EXPECT_TRUE(w.findChild<TdxfColorButton*>("Minus")->caption().isEmpty());

    // Padded group captions: the last word at the right, above the buttons there.
    auto title = [&](const char* name) { return w.findChild<QGroupBox*>(name)->title(); };
    EXPECT_EQ(title("Kartochka"), QStringLiteral("Карточка"));
    EXPECT_EQ(title("GrOsnovanie"), QStringLiteral("Документ - основание для проведения ОРМ"));
    const std::pair<const char*, std::pair<QString, QString>> padded[] = {
        {"GrFaily",
         {QStringLiteral("Группа файлов,  связанных с карточкой"),
          QStringLiteral("Новый Файл привязать")}},
        {"GrHarakter", {QStringLiteral("Характеристики файла"), QStringLiteral("Удалить")}},
        {"GrNazvanie", {QStringLiteral("Название"), QStringLiteral("Ключ")}}};
    for (const auto& [name, parts] : padded) {
        const QString t = title(name);
        EXPECT_TRUE(t.startsWith(parts.first + QStringLiteral("  "))) << name;
        EXPECT_TRUE(t.endsWith(QStringLiteral("  ") + parts.second)) << name;
        EXPECT_EQ(t.simplified(), (parts.first + QLatin1Char(' ') + parts.second).simplified());
    }
    QStringList labels;
    for (QLabel* l : w.findChildren<QLabel*>())
        labels << l->text();
    for (const char* text :
         {" Название файла ", " Имя файла - путь ", " Содержание файла ", " Список группы файлов "})
        EXPECT_TRUE(labels.contains(QString::fromUtf8(text))) << text;

    QTableWidget* list = run.ui().SpPrDok;
    ASSERT_EQ(list->columnCount(), 3);
    const char* titles[] = {"Название файла", "Имя файла - Путь", "Содержание файла"};
    const int widths[] = {295, 297, 167};
    for (int c = 0; c < 3; ++c) {
        EXPECT_EQ(list->horizontalHeaderItem(c)->text(), QString::fromUtf8(titles[c]));
        EXPECT_EQ(list->columnWidth(c), widths[c]);
    }
    EXPECT_EQ(list->selectionBehavior(), QAbstractItemView::SelectRows);
    EXPECT_EQ(list->horizontalHeader()->sectionResizeMode(0), QHeaderView::Interactive);
}

TEST(DokKartWindow, TheCardGroupShowsTheCardAndEachShowingStartsAfresh) {
    DokKartRun run({link(kOther, QStringLiteral("Чужой"), QStringLiteral("/x/o.doc")),
                    link(kCard, QStringLiteral("Свой"), QStringLiteral("/x/s.doc"))});
    run.open();
    EXPECT_EQ(run.ui().NazWhDok->text(), QStringLiteral("ООО «Восток»"));
    EXPECT_EQ(run.ui().Klu4DK->text(), QStringLiteral("636250000"));
    EXPECT_EQ(run.ui().Fabula->toPlainText(),
              QStringLiteral("Основание: Постановление  Дата 15.03.2026  № 12/дсп"));
    EXPECT_EQ(run.column(0), QStringList{QStringLiteral("Свой")});

    run.ui().ImaDok->setText(QStringLiteral("набрано"));
    run.ui().PutFil->setText(QStringLiteral("набрано"));
    run.open(cardNamed(kOther));
    EXPECT_EQ(run.column(0), QStringList{QStringLiteral("Чужой")});
    EXPECT_TRUE(run.ui().ImaDok->text().isEmpty());
    EXPECT_TRUE(run.ui().PutFil->text().isEmpty());

    // A card without links: the title row and one empty row; free records are no links.
    DokKartRun empty({TSpisFil::zeroed()});
    empty.open(cardNamed(0));
    EXPECT_EQ(empty.column(1), QStringList{QString()});
    empty.open(cardNamed(123));
    EXPECT_EQ(empty.column(1), QStringList{QString()});
}

TEST(DokKartWindow, MissingFilesAreRedAndSelectingOneSaysSo) {
    DokKartRun run;
    const QString here = run.doc(QStringLiteral("есть.doc"));
    writeBytes(run.inst.path(QStringLiteral("Otveti/старый.doc")), "old");
    run.list.appendMany(
        bytesOf(
            {link(kCard, QStringLiteral("есть"), here, QStringLiteral("текст")),
             link(kCard, QStringLiteral("старый"), QStringLiteral("C:\\ZELM\\Otveti\\старый.doc")),
             link(kCard, QStringLiteral("нет"), QStringLiteral("d:\\Док\\x.doc")),
             link(kCard, QStringLiteral("нет и тут"), here + QStringLiteral("x"))})
            .constData(),
        4);
    run.open();
    EXPECT_FALSE(run.rowRed(0));
    EXPECT_FALSE(run.rowRed(1)); // in the installation folder, where the old folder now is
    EXPECT_TRUE(run.rowRed(2));  // another machine's drive
    EXPECT_TRUE(run.rowRed(3));

    run.pressRow(0);
    EXPECT_EQ(run.notices(), 0);
    EXPECT_EQ(run.ui().ImaDok->text(), QStringLiteral("есть"));
    EXPECT_EQ(run.ui().PutFil->text(), here);
    EXPECT_EQ(run.ui().SodFil->text(), QStringLiteral("текст"));
    run.pressRow(1);
    EXPECT_EQ(run.notices(), 0);
    run.pressRow(2);
    ASSERT_EQ(run.notices(), 1);
    EXPECT_EQ(run.last()->text, QStringLiteral("Файл удалён или перемещён"));
    EXPECT_EQ(run.last()->caption, QStringLiteral("Нет такого Файла !"));
    EXPECT_EQ(run.ui().SpPrDok->currentRow(), 2); // stays selected
    EXPECT_EQ(run.ui().PutFil->text(), QStringLiteral("d:\\Док\\x.doc"));

    // Linking a file under the old installation folder's name finds it in this one.
    run.ui().PutFil->setText(QStringLiteral("c:\\zelm\\Otveti\\старый.doc"));
    run.ui().Saves->click();
    EXPECT_EQ(run.column(1).size(), 5);
    EXPECT_EQ(run.records().at(4).PutFil.text(), QStringLiteral("c:\\zelm\\Otveti\\старый.doc"));
}

TEST(DokKartWindow, OpeningADocumentHandsTheDesktopTheLocalFile) {
    DokKartRun run;
    run.open();
    const QString a = run.doc(QStringLiteral("отчёт; rm -rf ~.doc"));
    run.ui().PutFil->setText(QStringLiteral(" ") + a);
    run.ui().dxfColorButton1->click();
    EXPECT_EQ(run.platform.shellCalls, QStringList{QStringLiteral("open ") + a});
    EXPECT_EQ(run.notices(), 0);

    writeBytes(run.inst.path(QStringLiteral("Otveti/б.doc")), "x");
    run.ui().PutFil->setText(QStringLiteral("C:\\ZELM\\Otveti\\б.doc"));
    run.ui().dxfColorButton1->click();
    EXPECT_EQ(run.platform.shellCalls.last(),
              QStringLiteral("open ") + run.inst.path(QStringLiteral("Otveti/б.doc")));

    // A missing file and a file no program opens are both reported.
    run.ui().PutFil->setText(a + QStringLiteral(".old"));
    run.ui().dxfColorButton1->click();
    ASSERT_EQ(run.notices(), 1);
    EXPECT_EQ(run.last()->caption, QStringLiteral("Нет такого Файла !"));
    EXPECT_EQ(run.platform.shellCalls.size(), 2);
    run.platform.shellOpenFails = true;
    run.ui().PutFil->setText(a);
    run.ui().dxfColorButton1->click();
    ASSERT_EQ(run.notices(), 2);
    EXPECT_EQ(run.last()->caption, QStringLiteral("Документ не открыт"));
    EXPECT_TRUE(run.last()->text.contains(a));
}

TEST(DokKartWindow, ChoosingAFileSetsUpTheDialogAndFillsTheEdits) {
    DokKartRun run;
    run.open();
    QDir::setCurrent(QDir::tempPath());
    run.ui().PutFil->setText(QStringLiteral("было"));
    run.ui().Plus->click(); // cancelled
    EXPECT_EQ(run.ui().PutFil->text(), QStringLiteral("было"));
    EXPECT_EQ(run.ui().ImaDok->text(), QStringLiteral("Новый ООО «Восток»"));
    EXPECT_EQ(run.ui().SodFil->text(),
              QStringLiteral("Новый Основание: Постановление  Дата 15.03.2026  № 12/дсп"));
    ASSERT_EQ(run.platform.fileDialogs.size(), 1);
    EXPECT_EQ(run.platform.fileDialogs[0].caption,
              QStringLiteral("Укажите прикрепляемый документ"));
    EXPECT_EQ(run.platform.fileDialogs[0].folder, QDir::homePath());
    EXPECT_EQ(run.platform.fileDialogs[0].filter, QStringLiteral("Все файлы (*)"));
    EXPECT_EQ(QDir::currentPath(), run.inst.root());
    EXPECT_TRUE(run.bytes().isEmpty()); // nothing is stored before "Добавить"
}

TEST(DokKartWindow, TheCountIsHandedBackWhenTheWindowCloses) {
    DokKartRun run({link(kCard, QStringLiteral("1"), QStringLiteral("/x/1"))});
    EXPECT_EQ(run.index.CountAttachments(run.list, kCard), 1); // the card window's count
    QSignalSpy counted(run.w.get(), &TDokKart::attachmentsCounted);
    const QString a = run.doc(QStringLiteral("a.doc"));
    QTimer::singleShot(0, run.w.get(), [&] {
        EXPECT_TRUE(run.w->isVisible());
        EXPECT_EQ(run.column(0), QStringList{QStringLiteral("1")});
        run.link(a);
        run.w->close();
    });
    EXPECT_EQ(run.w->PuskDokKartClick(cardNamed(kCard)), 2);
    ASSERT_EQ(counted.size(), 1);
    EXPECT_EQ(counted[0][0].toInt(), 2);

    // A path changed in place keeps the file's size: the count is read again all the same.
    run.open();
    run.ui().PutFil->setText(QStringLiteral("/x/1"));
    run.ui().Minus->click();
    run.w->close();
    ASSERT_EQ(counted.size(), 2);
    EXPECT_EQ(counted[1][0].toInt(), 1);
    EXPECT_EQ(run.index.CountAttachments(run.list, kCard), 1);
}
