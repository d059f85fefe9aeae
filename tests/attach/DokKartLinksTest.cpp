// Linking, removing and re-pathing files of a card, with the attached-file list's bytes after
// every step.
#include "DokKartRun.h"

#include "widgets/TdxfColorButton.h"

#include <QFileInfo>
#include <QLineEdit>
#include <QTableWidget>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>

using namespace zelm;
using namespace zelm::testing;

namespace {

const TSpisFil kFree = TSpisFil::zeroed();
const QString kNotUntilFixed = QStringLiteral("Запоминать не буду, пока не исправите");

} // namespace

TEST(DokKartLinks, FirstLinkFillsTheEmptyRowAndLaterOnesAppend) {
    DokKartRun run({link(kOther, QStringLiteral("Чужой"), QStringLiteral("/x/other.doc"))});
    run.open();
    EXPECT_EQ(run.column(1), QStringList{QString()});

    const QString a = run.doc(QStringLiteral("приказ.doc"));
    run.link(a);
    EXPECT_EQ(run.notices(), 0);
    EXPECT_EQ(run.column(0), QStringList{QStringLiteral("Новый ООО «Восток»")});
    EXPECT_EQ(run.column(1), QStringList{a});
    EXPECT_EQ(run.ui().SpPrDok->currentRow(), 0);
    const TSpisFil first =
        link(kCard, QStringLiteral("Новый ООО «Восток»"), a,
             QStringLiteral("Новый Основание: Постановление  Дата 15.03.2026  № 12/дсп"));
    const TSpisFil other = link(kOther, QStringLiteral("Чужой"), QStringLiteral("/x/other.doc"));
    EXPECT_EQ(run.bytes(), bytesOf({other, first}));

    // The user may change the texts before adding.
    const QString b = run.doc(QStringLiteral("b.pdf"));
    run.choose(b);
    run.ui().Plus->click();
    run.ui().ImaDok->setText(QStringLiteral("Рапорт"));
    run.ui().SodFil->setText(QStringLiteral("о результатах"));
    run.ui().Saves->click();
    EXPECT_EQ(run.column(1), (QStringList{a, b}));
    EXPECT_EQ(run.ui().SpPrDok->currentRow(), 1);
    EXPECT_EQ(run.bytes(),
              bytesOf({other, first,
                       link(kCard, QStringLiteral("Рапорт"), b, QStringLiteral("о результатах"))}));

    // The list read again shows the same links in file order.
    run.reopen();
    EXPECT_EQ(run.column(1), (QStringList{a, b}));
    EXPECT_EQ(run.column(0),
              (QStringList{QStringLiteral("Новый ООО «Восток»"), QStringLiteral("Рапорт")}));
}

TEST(DokKartLinks, FreeRecordsAreReusedNearestTheEndFirst) {
    DokKartRun run({link(kOther, QStringLiteral("1"), QStringLiteral("/x/1")), kFree,
                    link(kOther, QStringLiteral("2"), QStringLiteral("/x/2")), kFree,
                    link(kOther, QStringLiteral("3"), QStringLiteral("/x/3"))});
    run.open();
    const QString a = run.doc(QStringLiteral("a.doc"));
    const QString b = run.doc(QStringLiteral("b.doc"));
    const QString c = run.doc(QStringLiteral("c.doc"));
    run.link(a);
    run.link(b);
    run.link(c);
    std::vector<TSpisFil> got = run.records();
    ASSERT_EQ(got.size(), 6u);
    EXPECT_EQ(got[3].PutFil.text(), a);
    EXPECT_EQ(got[1].PutFil.text(), b);
    EXPECT_EQ(got[5].PutFil.text(), c);
    EXPECT_EQ(run.column(1), (QStringList{a, b, c})); // the list keeps the order of adding
    run.reopen();
    EXPECT_EQ(run.column(1), (QStringList{b, a, c})); // the file's order

    // A removed link's record is the next one taken, by any card.
    run.ui().PutFil->setText(a);
    run.ui().Minus->click();
    EXPECT_EQ(run.records()[3].Klu4DK, 0);
    EXPECT_EQ(run.bytes().mid(3 * 448, 448), bytesOf({kFree}));
    run.open(cardNamed(kOther, QStringLiteral("АО «Дальэнерго»")));
    run.link(a);
    EXPECT_EQ(run.records()[3].Klu4DK, kOther);
    EXPECT_EQ(run.records().size(), 6u);
}

TEST(DokKartLinks, AddingIsRefusedForMissingEmptyAndAlreadyLinkedPaths) {
    DokKartRun run;
    run.open();
    const QString bak = run.doc(QStringLiteral("a.doc.bak"));
    const QString a = run.doc(QStringLiteral("a.doc"));

    run.ui().Saves->click(); // nothing chosen
    ASSERT_EQ(run.notices(), 1);
    EXPECT_EQ(run.last()->text, kNotUntilFixed);
    EXPECT_EQ(run.last()->caption, QStringLiteral("Нет такого Файла!"));

    run.ui().PutFil->setText(run.inst.path(QStringLiteral("Docs/нет.doc")));
    run.ui().Saves->click();
    EXPECT_EQ(run.notices(), 2);
    EXPECT_EQ(run.last()->caption, QStringLiteral("Нет такого Файла!"));
    EXPECT_TRUE(run.bytes().isEmpty());

    // A file whose name is part of a linked file's name is a different file.
    run.link(bak);
    run.link(a);
    EXPECT_EQ(run.notices(), 2);
    EXPECT_EQ(run.column(1), (QStringList{bak, a}));

    // The same path, blanks around it or not, is refused.
    const QByteArray stored = run.bytes();
    run.ui().PutFil->setText(QStringLiteral("  ") + a + QStringLiteral(" "));
    run.ui().Saves->click();
    ASSERT_EQ(run.notices(), 3);
    EXPECT_EQ(run.last()->text, kNotUntilFixed);
    EXPECT_EQ(run.last()->caption, QStringLiteral("Файл с таким именем уже прикреплен!"));
    EXPECT_EQ(run.bytes(), stored);
    EXPECT_EQ(run.column(1).size(), 2);

    // The same file on another card is a link of its own.
    run.open(cardNamed(kOther));
    run.link(a);
    EXPECT_EQ(run.notices(), 3);
    EXPECT_EQ(run.bytes().size(), 3 * 448);
    EXPECT_EQ(run.records()[2].Klu4DK, kOther);
    EXPECT_EQ(run.records()[2].PutFil.text(), a);
}

TEST(DokKartLinks, PathsThatDoNotFitTheFieldAreRefusedNotCut) {
    DokKartRun run;
    run.open();
    const QString folder = run.inst.path(QStringLiteral("Docs/"));
    const QString longName = QString(140 - folder.size(), QChar(u'д')) + QStringLiteral(".doc");
    const QString tooLong = run.doc(longName);
    const QString foreign = run.doc(QStringLiteral("文件.doc")); // no such letters in the code page
    const QString fits = run.doc(QString(128 - folder.size(), QChar(u'ж')));
    ASSERT_GT(tooLong.size(), 128);
    ASSERT_EQ(fits.size(), 128);

    for (const QString& path : {tooLong, foreign}) {
        run.link(path);
        EXPECT_EQ(run.last()->caption, kNotUntilFixed);
        EXPECT_TRUE(run.last()->text.startsWith(QStringLiteral("Слишком длинный путь к файлу")));
        EXPECT_TRUE(run.bytes().isEmpty());
    }
    EXPECT_EQ(run.notices(), 2);
    run.link(fits);
    EXPECT_EQ(run.notices(), 2);
    EXPECT_EQ(run.records().at(0).PutFil.text(), fits);

    // A new path that does not fit leaves the link as it was.
    const QByteArray stored = run.bytes();
    run.pressRow(0);
    run.choose(foreign);
    run.ui().Redak->click();
    EXPECT_EQ(run.notices(), 3);
    EXPECT_EQ(run.bytes(), stored);
    EXPECT_EQ(run.ui().PutFil->text(), fits);
    EXPECT_EQ(run.column(1), QStringList{fits});
}

TEST(DokKartLinks, LongTitleAndContentAreStoredCutAndShownWholeUntilReopened) {
    DokKartRun run;
    run.open();
    const QString a = run.doc(QStringLiteral("a.doc"));
    const QString title = QString(60, QChar(u'Т'));
    const QString content = QString(250, QChar(u'С'));
    run.choose(a);
    run.ui().Plus->click();
    run.ui().ImaDok->setText(title);
    run.ui().SodFil->setText(content);
    run.ui().Saves->click();
    EXPECT_EQ(run.column(0), QStringList{title});
    EXPECT_EQ(run.column(2), QStringList{content});
    EXPECT_EQ(run.bytes(), bytesOf({link(kCard, title.left(50), a, content.left(200))}));
    EXPECT_EQ(run.records()[0].ImaDok.len, 50);
    EXPECT_EQ(run.records()[0].SodFil.len, 200);
    run.reopen();
    EXPECT_EQ(run.column(0), QStringList{title.left(50)});
    EXPECT_EQ(run.column(2), QStringList{content.left(200)});
}

TEST(DokKartLinks, RemovingAPathStoredTwiceRemovesBothRecordsAndRows) {
    const QString twice = QStringLiteral("/old/twice.doc");
    DokKartRun run({link(kCard, QStringLiteral("1"), twice),
                    link(kOther, QStringLiteral("чужая"), twice),
                    link(kCard, QStringLiteral("2"), QStringLiteral("/old/keep.doc")),
                    link(kCard, QStringLiteral("3"), twice + QStringLiteral("  "))});
    run.open();
    EXPECT_EQ(run.column(0),
              (QStringList{QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")}));
    run.pressRow(2);
    EXPECT_EQ(run.ui().PutFil->text(), twice); // blanks removed
    run.ui().Minus->click();
    EXPECT_EQ(run.column(0), QStringList{QStringLiteral("2")});
    EXPECT_EQ(run.bytes(),
              bytesOf({kFree, link(kOther, QStringLiteral("чужая"), twice),
                       link(kCard, QStringLiteral("2"), QStringLiteral("/old/keep.doc")), kFree}));
    EXPECT_EQ(run.ui().PutFil->text(), twice); // the edits keep their text

    // Removing the last link leaves the one empty row of a card without links.
    run.ui().PutFil->setText(QStringLiteral("/old/keep.doc"));
    run.ui().Minus->click();
    EXPECT_EQ(run.column(1), QStringList{QString()});
    EXPECT_EQ(run.records()[2].Klu4DK, 0);
    EXPECT_EQ(run.records()[1].Klu4DK, kOther);

    // A path that is no link of the card changes nothing.
    const QByteArray stored = run.bytes();
    run.ui().PutFil->setText(twice);
    run.ui().Minus->click();
    EXPECT_EQ(run.bytes(), stored);
    EXPECT_EQ(run.notices(), 1); // the broken link pressed above
}

TEST(DokKartLinks, ChangingAPathRewritesOnlyThatLinksPath) {
    DokKartRun run({link(kCard, QStringLiteral("Приказ"), QStringLiteral("/gone/a.doc"),
                         QStringLiteral("о проверке")),
                    link(kCard, QStringLiteral("Справка"), QStringLiteral("/gone/b.doc"))});
    run.open();
    const QString moved = run.doc(QStringLiteral("a.doc"));
    run.pressRow(0);
    run.choose(moved);
    run.ui().Redak->click();
    EXPECT_EQ(run.ui().PutFil->text(), moved);
    EXPECT_EQ(run.column(1), (QStringList{moved, QStringLiteral("/gone/b.doc")}));
    EXPECT_FALSE(run.rowRed(0));
    EXPECT_EQ(run.bytes(),
              bytesOf({link(kCard, QStringLiteral("Приказ"), moved, QStringLiteral("о проверке")),
                       link(kCard, QStringLiteral("Справка"), QStringLiteral("/gone/b.doc"))}));

    // Cancelling the dialog changes nothing.
    const QByteArray stored = run.bytes();
    run.pressRow(1);
    run.ui().Redak->click();
    EXPECT_EQ(run.bytes(), stored);
    EXPECT_EQ(run.ui().PutFil->text(), QStringLiteral("/gone/b.doc"));

    // A path that is no link of the card: only the window changes.
    run.ui().PutFil->setText(QStringLiteral("/elsewhere/c.doc"));
    const QString other = run.doc(QStringLiteral("c.doc"));
    run.choose(other);
    run.ui().Redak->click();
    EXPECT_EQ(run.bytes(), stored);
    EXPECT_EQ(run.ui().PutFil->text(), other);
    EXPECT_EQ(run.column(1), (QStringList{moved, other})); // the row selected
    run.reopen();
    EXPECT_EQ(run.column(1), (QStringList{moved, QStringLiteral("/gone/b.doc")}));
}

TEST(DokKartLinks, AWriteErrorIsShownAndTheListShowsWhatIsStored) {
    DokKartRun run;
    run.open();
    const QString a = run.doc(QStringLiteral("a.doc"));
    // A disk that takes no more: the list cannot grow, every write fails.
    rlimit old{};
    ::getrlimit(RLIMIT_FSIZE, &old);
    auto* handler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit none = old;
    none.rlim_cur = static_cast<rlim_t>(QFileInfo(run.listPath()).size());
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &none), 0);
    run.choose(a);
    run.ui().Plus->click();
    run.ui().Saves->click();
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, handler);
    ASSERT_EQ(run.platform.messages.size(), 1);
    EXPECT_EQ(run.last()->kind, ShownMessage::Error);
    EXPECT_TRUE(run.last()->text.contains(QStringLiteral("Файл слишком велик")));
    EXPECT_TRUE(run.last()->text.contains(run.listPath()));
    EXPECT_EQ(run.column(1), QStringList{QString()});
    EXPECT_EQ(run.ui().PutFil->text(), a); // the user can try again
}

TEST(DokKartLinks, ADescriptionTheListCannotHoldIsRefusedAndNothingIsAdded) {
    DokKartRun run;
    run.open();
    const QByteArray before = run.bytes();
    const QString a = run.doc(QStringLiteral("a.doc"));
    run.choose(a);
    run.ui().Plus->click();
    run.ui().SodFil->setText(QStringLiteral("протокол 📎"));
    run.ui().Saves->click();
    ASSERT_NE(run.last(), nullptr);
    EXPECT_TRUE(run.last()->text.startsWith(QStringLiteral("Поле «Содержание файла»")))
        << run.last()->text.toStdString();
    EXPECT_TRUE(run.last()->text.contains(QStringLiteral("📎")));
    EXPECT_EQ(run.bytes(), before);
    EXPECT_EQ(run.ui().SodFil->text(), QStringLiteral("протокол 📎"));
}
