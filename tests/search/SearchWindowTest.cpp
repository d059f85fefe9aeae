// The search window driven offscreen: the steps, the restarts, find all and the way back to
// the card window, with what each leaves in the Working card file and on the card window.
#include "SearchRun.h"
#include "common/Form1Controls.h"

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <algorithm>
#include <cstring>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace zelm;
using namespace zelm::testing;

using Numbers = std::vector<std::int32_t>;

namespace {

Numbers numbers(std::initializer_list<int> indexes) {
    Numbers out;
    for (int i : indexes)
        out.push_back(numberOf(i));
    return out;
}

// Twenty cards; the officer "Ёлкин Ф.Ф." carried out cards 3, 8, 13 and 18.
struct Twenty : SearchRun {
    Twenty() : SearchRun(makeCards(20)) {
        openSearch();
        p->ui().KomuPor->setEditText(QStringLiteral("ЛКИН")); // the middle of the name
    }
};

} // namespace

TEST(SearchWindow, ForwardStepsFindInFileOrderAndRepeatTheEndMessage) {
    Twenty run;
    PoiskUi& s = run.p->ui();
    Form1Controls& ui = controls(run.w);
    s.sBegin->click();
    EXPECT_EQ(run.w->session().shownIndex(), 0);
    for (int expected : {3, 8, 13, 18}) {
        s.sNext->click();
        EXPECT_EQ(run.w->session().shownIndex(), expected);
        EXPECT_EQ(ui.FIOSotr->currentText(), QStringLiteral("Ёлкин Ф.Ф."));
        EXPECT_EQ(ui.Klu4Form1->text(), QString::number(numberOf(expected)));
        EXPECT_EQ(s.NPosNai->text(), QString::number(expected + 1));
        EXPECT_EQ(ui.NNaidena->text(), QString::number(expected + 1));
    }
    EXPECT_EQ(run.notices(), 0);
    EXPECT_EQ(run.workingNumbers(), numbers({3, 8, 13, 18}));
    EXPECT_EQ(run.listedNumbers(), numbers({3, 8, 13, 18}));
    EXPECT_EQ(ui.SpTabl->currentWidget(), ui.TabSheet2);
    EXPECT_EQ(s.KRab->text(), QStringLiteral("4"));
    EXPECT_EQ(ui.vRab->text(), QStringLiteral("4"));

    for (int again = 1; again <= 3; ++again) {
        s.sNext->click();
        ASSERT_EQ(run.notices(), again);
        EXPECT_EQ(run.t.platform.lastMessage()->text, QStringLiteral("4 шт. в Рабочей картотеке"));
        EXPECT_EQ(run.t.platform.lastMessage()->caption, QStringLiteral("Поиск окончен"));
    }
    EXPECT_EQ(run.workingNumbers().size(), 4u);
    EXPECT_EQ(run.w->session().shownIndex(), 18);
}

TEST(SearchWindow, BackwardStepsShowTheCardFoundAsTheCardShown) {
    Twenty run;
    PoiskUi& s = run.p->ui();
    Form1Controls& ui = controls(run.w);
    s.sEnd->click();
    EXPECT_EQ(run.w->session().shownIndex(), 19);
    EXPECT_EQ(run.t.readFile("Temp/RabAnket.dat").size(), 0);
    for (int expected : {18, 13, 8, 3}) {
        s.sPred->click();
        // A save, a mark or a deletion now acts on this card, and the counter says so.
        EXPECT_EQ(run.w->session().shown(), CardSession::Shown::MainCard);
        EXPECT_EQ(run.w->session().shownIndex(), expected);
        EXPECT_EQ(run.t.app().session().mainPosition(), expected);
        EXPECT_EQ(ui.NNaidena->text(), QString::number(expected + 1));
        EXPECT_EQ(ui.Klu4Form1->text(), QString::number(numberOf(expected)));
        EXPECT_EQ(s.NPosNai->text(), QString::number(expected + 1));
    }
    EXPECT_EQ(run.notices(), 0);
    s.sPred->click(); // cards 2, 1 and 0 remain, none passes
    EXPECT_EQ(run.notices(), 1);
    EXPECT_EQ(run.t.platform.lastMessage()->text, QStringLiteral("4 шт. в Рабочей картотеке"));
    EXPECT_EQ(run.workingNumbers(), numbers({18, 13, 8, 3}));
    EXPECT_EQ(run.w->session().shownIndex(), 3);
}

TEST(SearchWindow, ACardFoundBothWaysStandsTwice) {
    Twenty run;
    PoiskUi& s = run.p->ui();
    s.sNext->click();
    s.sPred->click();
    s.sNext->click();
    s.sPred->click();
    s.sNext->click();
    EXPECT_EQ(run.workingNumbers(), numbers({3, 18, 8, 13, 13}));
    EXPECT_EQ(run.listedNumbers(), numbers({3, 18, 8, 13, 13}));
    EXPECT_EQ(run.notices(), 0);
}

TEST(SearchWindow, TheLastCardFoundEndsTheSearchAtOnce) {
    SearchRun run(makeCards(9)); // card 8 is the last; cards 3 and 8 are Ёлкин's
    run.openSearch();
    run.p->ui().KomuPor->setEditText(QStringLiteral("ёлкин"));
    run.p->ui().sNext->click();
    EXPECT_EQ(run.notices(), 0);
    run.p->ui().sNext->click();
    EXPECT_EQ(run.w->session().shownIndex(), 8);
    EXPECT_EQ(run.notices(), 1);
    EXPECT_EQ(run.t.platform.lastMessage()->text, QStringLiteral("2 шт. в Рабочей картотеке"));
}

TEST(SearchWindow, OpeningResetsTheConditionsAndKeepsTheWorkingCardFile) {
    SearchRun run(makeCards(20));
    Form1Controls& ui = controls(run.w);
    PoiskUi& s = run.p->ui();
    ui.FIOSotr->addItems({QStringLiteral("Ёлкин Ф.Ф."), QStringLiteral("Ким Е.В.")});
    ui.FIOUtv->addItems({QStringLiteral("Смирнова А.Н.")});
    run.press(ui.Spisok, 1);
    ui.nGlRab->click();
    ui.nGlRab->click();
    run.openSearch();
    EXPECT_TRUE(run.p->isVisible());
    EXPECT_EQ(s.KRab->text(), QStringLiteral("2"));
    EXPECT_EQ(ui.vRab->text(), QStringLiteral("2"));
    EXPECT_EQ(s.NPosNai->text(), QStringLiteral("0"));
    EXPECT_EQ(s.NaDat->date(), QDate(1901, 1, 1));
    EXPECT_EQ(s.KoDat->date(), QDate(2027, 12, 7));
    EXPECT_EQ(s.SDataKUSP->date(), QDate(1901, 1, 1));
    EXPECT_EQ(s.PoDataKUSP->date(), QDate(2027, 12, 7));
    EXPECT_EQ(s.SwhodData->date(), QDate(1901, 1, 1));
    EXPECT_EQ(s.PoWhodData->date(), QDate(2026, 12, 7));
    EXPECT_EQ(s.KomuPor->count(), 2);
    EXPECT_EQ(s.FIOUtv->itemText(0), QStringLiteral("Смирнова А.Н."));

    // Every condition typed, then the reset from the button.
    s.KomuPor->setEditText(QStringLiteral("x"));
    s.DolgnUtv->setEditText(QStringLiteral("x"));
    s.FIOUtv->setEditText(QStringLiteral("x"));
    s.IRez->setText(QStringLiteral("x"));
    s.NaDat->setDate(QDate(2030, 1, 1));
    s.Obnovit->click();
    EXPECT_TRUE(s.KomuPor->currentText().isEmpty());
    EXPECT_TRUE(s.DolgnUtv->currentText().isEmpty());
    EXPECT_TRUE(s.FIOUtv->currentText().isEmpty());
    EXPECT_TRUE(s.IRez->text().isEmpty());
    EXPECT_EQ(s.NaDat->date(), QDate(1901, 1, 1));

    // With all conditions empty every card is found; they follow the two already there.
    s.KomuPor->setEditText(QStringLiteral("   ")); // blanks only: no condition
    s.sNext->click();
    s.sNext->click();
    EXPECT_EQ(run.workingNumbers(), numbers({1, 1, 0, 1}));
    EXPECT_EQ(s.KRab->text(), QStringLiteral("4"));
}

TEST(SearchWindow, FindAllReplacesTheWorkingCardFileAndLeavesTheCardShown) {
    Twenty run;
    PoiskUi& s = run.p->ui();
    Form1Controls& ui = controls(run.w);
    ui.nGlRab->click();
    s.WsehSrazu->click();
    EXPECT_EQ(run.workingNumbers(), numbers({3, 8, 13, 18}));
    EXPECT_EQ(run.listedNumbers(), numbers({3, 8, 13, 18}));
    EXPECT_EQ(s.KRab->text(), QStringLiteral("4"));
    EXPECT_EQ(ui.vRab->text(), QStringLiteral("4"));
    EXPECT_EQ(ui.SpTabl->currentWidget(), ui.TabSheet2);
    EXPECT_EQ(run.w->session().shownIndex(), 19);
    EXPECT_TRUE(run.t.platform.messages.isEmpty());

    // The approver's name is a condition too.
    s.FIOUtv->setEditText(QStringLiteral("ЁЛКИН")); // approved cards 1, 6, 11, 16
    s.WsehSrazu->click();
    EXPECT_TRUE(run.workingNumbers().empty());
    EXPECT_EQ(s.KRab->text(), QStringLiteral("0"));
    EXPECT_EQ(ui.workingList->cardCount(), 0);
    s.KomuPor->setEditText(QString());
    s.WsehSrazu->click();
    EXPECT_EQ(run.workingNumbers(), numbers({1, 6, 11, 16}));
    s.RabZero->click();
    EXPECT_TRUE(run.workingNumbers().empty());
    EXPECT_TRUE(s.KRab->text().isEmpty());
    EXPECT_EQ(ui.vRab->text(), QStringLiteral("0"));
}

TEST(SearchWindow, DateRangesIncludeBothEnds) {
    SearchRun run(makeCards(20));
    run.openSearch();
    PoiskUi& s = run.p->ui();
    const QDate day5 = dateFromDayCount(makeCard(5).DataMer);
    s.NaDat->setDate(day5);
    s.KoDat->setDate(day5);
    s.WsehSrazu->click();
    EXPECT_EQ(run.workingNumbers(), numbers({5}));
    // KUSP dates are three days earlier; the document date one day earlier.
    s.Obnovit->click();
    s.SDataKUSP->setDate(day5.addDays(-3));
    s.PoDataKUSP->setDate(dateFromDayCount(makeCard(6).DateKUSP));
    s.SwhodData->setDate(day5.addDays(-1));
    s.WsehSrazu->click();
    EXPECT_EQ(run.workingNumbers(), numbers({5, 6}));
}

TEST(SearchWindow, SearchOverADamagedRegisterFindsWholeCardsOnly) {
    std::vector<TAnketa> cards = makeCards(6);
    SearchRun run(cards, QByteArray(reinterpret_cast<const char*>(&cards[5]), 900));
    run.openSearch();
    run.p->ui().WsehSrazu->click();
    EXPECT_EQ(run.workingNumbers(), numbers({0, 1, 2, 3, 4, 5}));
    run.p->ui().sEnd->click();
    run.p->ui().Zayavitel->setEditText(QStringLiteral("ёлка"));
    run.p->ui().sPred->click();
    EXPECT_EQ(run.workingNumbers(), numbers({5}));
    EXPECT_TRUE(run.t.platform.messages.isEmpty());
}

TEST(SearchWindow, GoingToTheCardFound) {
    SearchRun run(makeCards(20));
    run.openSearch();
    PoiskUi& s = run.p->ui();
    Form1Controls& ui = controls(run.w);
    s.NPosNai->setText(QStringLiteral("7а"));
    s.nWihod->click();
    ASSERT_EQ(run.t.platform.messages.size(), 1);
    EXPECT_EQ(run.t.platform.lastMessage()->kind, ShownMessage::Error);
    EXPECT_EQ(run.t.platform.lastMessage()->text, QStringLiteral("«7а» — не целое число"));
    EXPECT_TRUE(run.p->isVisible());
    EXPECT_EQ(run.w->session().shownIndex(), 19);

    s.NPosNai->setText(QStringLiteral("7"));
    s.nWihod->click();
    EXPECT_FALSE(run.p->isVisible());
    EXPECT_EQ(run.w->session().shownIndex(), 6);
    EXPECT_EQ(run.w->selectedMainRow(), 6);
    EXPECT_EQ(ui.NNaidena->text(), QStringLiteral("7"));

    run.openSearch();
    s.NPosNai->setText(QStringLiteral("500"));
    s.nWihod->click();
    EXPECT_EQ(run.w->session().shownIndex(), 19);
    EXPECT_EQ(run.w->selectedMainRow(), 19);
    EXPECT_EQ(ui.NNaidena->text(), QStringLiteral("20"));
    EXPECT_EQ(run.t.platform.messages.size(), 1);
}

TEST(SearchWindow, ASaveOrAMarkAfterABackwardStepActsOnTheCardFound) {
    Twenty run;
    Form1Controls& ui = controls(run.w);
    run.p->ui().sPred->click();
    run.p->ui().sPred->click(); // card 13
    ui.NameOrg->setEditText(QStringLiteral("ООО «Исправлено»"));
    ui.nSave->click();
    ui.OtmDel->click();
    const std::vector<TAnketa> stored = run.t.readCards("Baza/Anketi.dat");
    ASSERT_EQ(stored.size(), 20u);
    EXPECT_EQ(stored[13].NameOrg.text(), QStringLiteral("ООО «Исправлено»"));
    EXPECT_EQ(stored[13].Otmetka.text(), QStringLiteral("уд"));
    EXPECT_EQ(stored[13].Klu4Form1, numberOf(13));
    EXPECT_EQ(std::memcmp(&stored[14], &makeCards(20)[14], sizeof(TAnketa)), 0);
    EXPECT_EQ(std::memcmp(&stored[12], &makeCards(20)[12], sizeof(TAnketa)), 0);
}

TEST(SearchWindow, EachWordOfTheButtonRowStandsOverItsOwnButtons) {
    Twenty run;
    PoiskUi& s = run.p->ui();
    QApplication::processEvents();
    const std::pair<QString, QList<QWidget*>> places[] = {
        {QStringLiteral("Начало"), {s.sBegin, s.sNext}},
        {QStringLiteral("Конец"), {s.sPred, s.sEnd}},
        {QStringLiteral("Всех"), {s.WsehSrazu}},
        {QStringLiteral("Нашли"), {s.KRab}},
        {QStringLiteral("№"), {s.NPosNai}},
        {QStringLiteral("Перейти"), {s.nWihod}},
        {QStringLiteral("Zero"), {s.RabZero}},
    };
    const QList<QLabel*> labels = s.Knopki->findChildren<QLabel*>();
    for (const auto& [word, below] : places) {
        const auto label = std::find_if(labels.begin(), labels.end(),
                                        [&](QLabel* l) { return l->text() == word; });
        ASSERT_NE(label, labels.end()) << word.toStdString();
        const QRect over = (*label)->geometry();
        const int left = below.front()->geometry().left();
        const int right = below.back()->geometry().right();
        EXPECT_GE(over.center().x(), left) << word.toStdString();
        EXPECT_LE(over.center().x(), right) << word.toStdString();
        EXPECT_LE(over.bottom(), below.front()->geometry().top()) << word.toStdString();
    }
}

TEST(SearchWindow, TextTheCardsCannotHoldIsRefusedBeforeTheWorkingFileIsEmptied) {
    SearchRun run(makeCards(20));
    run.openSearch();
    PoiskUi& s = run.p->ui();
    s.WsehSrazu->click();
    const QByteArray working = run.t.readFile("Temp/RabAnket.dat");
    ASSERT_FALSE(working.isEmpty());
    s.KlSlovo->setText(QStringLiteral("Опрос 中文"));
    s.WsehSrazu->click();
    s.sNext->click();
    ASSERT_EQ(run.t.platform.messages.size(), 2);
    for (const ShownMessage& m : run.t.platform.messages) {
        EXPECT_EQ(m.kind, ShownMessage::Error);
        EXPECT_TRUE(m.text.startsWith(QStringLiteral("Поле поиска «Вид ОРМ»")))
            << m.text.toStdString();
        EXPECT_TRUE(m.text.contains(QStringLiteral("中"))) << m.text.toStdString();
    }
    EXPECT_EQ(run.t.readFile("Temp/RabAnket.dat"), working);
}

TEST(SearchWindow, APipeInPlaceOfTheWorkingCardFileIsNamedInTheMessage) {
    SearchRun run(makeCards(3));
    // In place before the start, and put there while the program runs: never a wait on it.
    run.t.stop();
    const QString working = run.t.path("Temp/RabAnket.dat");
    ASSERT_TRUE(QFile::remove(working));
    ASSERT_EQ(::mkfifo(QFile::encodeName(working).constData(), 0600), 0);
    run.t.platform.messages.clear();
    run.t.start();
    run.w = run.t.app().form1();
    run.p = run.t.app().poisk();
    run.openSearch();
    run.p->ui().WsehSrazu->click();
    ASSERT_FALSE(run.t.platform.messages.isEmpty());
    for (const ShownMessage& m : run.t.platform.messages) {
        EXPECT_TRUE(m.text.contains(QStringLiteral("RabAnket.dat"))) << m.text.toStdString();
        EXPECT_FALSE(m.text.contains(QStringLiteral(" 29"))) << m.text.toStdString();
    }
}
