#include "cardwindow/CardListModel.h"
#include "cardwindow/TForm1.h"
#include "common/CardFactory.h"
#include "common/Form1Controls.h"
#include "common/TestInstall.h"
#include "store/Records.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

using namespace zelm;
using namespace zelm::testing;

namespace {

struct RegisterRun {
    explicit RegisterRun(int n, bool withLists = true) {
        t.makeFolders();
        cards = makeCards(n);
        if (n > 0)
            t.writeCards("Baza/Anketi.dat", cards);
        (void)withLists;
        app = &t.start();
        w = app->form1();
    }
    void click(QAbstractButton* b) { QTest::mouseClick(b, Qt::LeftButton); }
    QString shownOrg() const { return controls(w).NameOrg->currentText(); }
    TestInstall t;
    std::vector<TAnketa> cards;
    ZelmApp* app;
    TForm1* w;
};

} // namespace

TEST(Navigation, PreviousFromTheEndShowsTheLastThenSteps) {
    RegisterRun r(3);
    auto& ui = controls(r.w);
    r.click(ui.SpeedButNext); // at the end of the file: nothing
    EXPECT_EQ(r.shownOrg(), r.cards[2].NameOrg.text());
    r.click(ui.SpeedButPred); // position at the end: the last card
    EXPECT_EQ(r.shownOrg(), r.cards[2].NameOrg.text());
    EXPECT_EQ(ui.NNaidena->text(), QStringLiteral("3"));
    r.click(ui.SpeedButPred);
    r.click(ui.SpeedButPred);
    EXPECT_EQ(r.shownOrg(), r.cards[0].NameOrg.text());
    EXPECT_EQ(r.w->selectedMainRow(), 0);
    EXPECT_EQ(ui.NNaidena->text(), QStringLiteral("1"));
    r.click(ui.SpeedButPred); // stays on the first
    EXPECT_EQ(r.shownOrg(), r.cards[0].NameOrg.text());
    r.click(ui.SpeedButNext);
    EXPECT_EQ(r.shownOrg(), r.cards[1].NameOrg.text());
    EXPECT_EQ(r.w->selectedMainRow(), 1);
    r.click(ui.SpeedButEnd);
    EXPECT_EQ(r.shownOrg(), r.cards[2].NameOrg.text());
    r.click(ui.SpeedButNext); // last card current: nothing
    EXPECT_EQ(ui.NNaidena->text(), QStringLiteral("3"));
    r.click(ui.SpeedButBeg);
    EXPECT_EQ(r.shownOrg(), r.cards[0].NameOrg.text());
    EXPECT_EQ(r.w->session().shownIndex(), 0);
}

TEST(Navigation, OneCardFirstShowsItLastDoesNothing) {
    RegisterRun r(1);
    auto& ui = controls(r.w);
    r.click(ui.SpeedButBeg);
    EXPECT_EQ(r.app->session().mainPosition(), 0);
    r.click(ui.SpeedButEnd);
    EXPECT_EQ(r.app->session().mainPosition(), 0);
    EXPECT_EQ(r.shownOrg(), r.cards[0].NameOrg.text());
}

TEST(CardDisplay, DocumentCaptionsAttachmentsAndCounters) {
    TestInstall t;
    t.makeFolders();
    auto cards = makeCards(2);
    cards[0].Klu4Form1 = 407193;
    t.writeCards("Baza/Anketi.dat", cards);
    t.writeFile("Otveti/407193.doc", "x");
    std::vector<TSpisFil> files(4, TSpisFil::zeroed());
    files[0].Klu4DK = files[1].Klu4DK = files[3].Klu4DK = 407193;
    files[2].Klu4DK = 5;
    t.writeFile("Baza/SpisFil.dat",
                QByteArray(reinterpret_cast<const char*>(files.data()), 4 * sizeof(TSpisFil)));
    ZelmApp& app = t.start();
    auto& ui = controls(app.form1());
    EXPECT_EQ(ui.Otvet->text(), QStringLiteral("Нет"));
    QTest::mouseClick(ui.SpeedButBeg, Qt::LeftButton);
    EXPECT_EQ(ui.Otvet->text(), QStringLiteral("Есть"));
    EXPECT_EQ(ui.WordEst->text(), QStringLiteral("Нет"));
    EXPECT_EQ(ui.SkolPrik->text(), QStringLiteral("3"));
    QTest::mouseClick(ui.SpeedButNext, Qt::LeftButton);
    EXPECT_EQ(ui.Otvet->text(), QStringLiteral("Нет"));
    EXPECT_EQ(ui.SkolPrik->text(), QStringLiteral("0"));

    ui.Rezultat->setPlainText(QString());
    ui.Rezultat->insertPlainText(QStringLiteral("ж"));
    EXPECT_EQ(ui.RezOst->text(), QStringLiteral("247"));
    ui.Prime4->setPlainText(QString(300, QLatin1Char('x')));
    EXPECT_EQ(ui.PrimOst->text(), QStringLiteral("-52"));
    // A text that would overflow the Result's stored size is refused whole.
    ui.Rezultat->setPlainText(QString(300, QLatin1Char('y')));
    EXPECT_EQ(ui.Rezultat->toPlainText(), QStringLiteral("ж"));
    // Stored cards show their timestamps with the time; a blank card today's date alone.
    EXPECT_EQ(ui.DaWrSozd->text().size(), 14);
}
