// The card window on a register kept by a server, with another workstation working on it at
// the same time: what the other stores shows up here, and a save never overwrites it unasked.
#include "cardwindow/CardListModel.h"
#include "common/CardFactory.h"
#include "common/FaultProxy.h"
#include "common/Form1Controls.h"
#include "common/PgTestServer.h"
#include "common/TestInstall.h"
#include "server/ServerRegister.h"
#include "session/CardSession.h"
#include "stats/TStatistika.h"
#include "widgets/TdxfColorButton.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace zelm;
using namespace zelm::testing;

namespace {

// Waits up to a second, as a user would, for what the other workstation did to show.
template <class Pred> bool withinASecond(Pred pred) {
    for (int waited = 0; waited <= 1000; waited += 20) {
        if (pred())
            return true;
        QTest::qWait(20);
    }
    return pred();
}

TEST(ServerWindow, TheOthersChangesShowAndASaveAsksBeforeWritingOverThem) {
    PgTestServer pg;
    if (!pg.running())
        GTEST_SKIP() << "no PostgreSQL server for this test: " << pg.unavailable().toStdString();
    const QString conninfo = pg.createDatabase(QStringLiteral("zelm"));
    ServerRegister other(ServerConfig::parse(conninfo));
    other.setIdentity(QStringLiteral("Петров П.П."), QStringLiteral("ws2"));
    other.open();
    // The question names whom the server let in and the role, not what a client calls itself.
    ASSERT_EQ(other.login(QStringLiteral("Пользователь 1"), QStringLiteral("317968")),
              QStringLiteral("W"));
    std::vector<qint64> ids;
    for (int i = 0; i < 3; ++i)
        ids.push_back(other.append(makeCard(i)).id);

    TestInstall t;
    t.makeFolders();
    auto mine = std::make_unique<ServerRegister>(ServerConfig::parse(conninfo));
    mine->setIdentity(QStringLiteral("Иванов И.И."), QStringLiteral("ws1"));
    mine->open();
    TForm1* w = t.start(std::move(mine)).form1();
    w->show();
    Form1Controls& ui = controls(w);
    ASSERT_EQ(ui.mainList->rowCount(), 3);
    EXPECT_EQ(ui.mainList->cellText(0, 1), makeCard(0).NameOrg.text());
    EXPECT_EQ(ui.NameOrg->currentText(), makeCard(2).NameOrg.text()) << "the last card is shown";
    EXPECT_FALSE(ui.IzmDrugim->isVisibleTo(w));

    // The other workstation appends a card and changes the card shown here.
    other.append(makeCard(3));
    ServerCard theirs = *other.readCard(ids[2]);
    theirs.record.Rezultat.set(QStringLiteral("правка Петрова"));
    ASSERT_EQ(other.save(ids[2], theirs.record, theirs.version).status, SaveResult::Status::Saved);
    EXPECT_TRUE(withinASecond([&] { return ui.mainList->rowCount() == 4; }));
    EXPECT_TRUE(withinASecond([&] { return ui.IzmDrugim->isVisibleTo(w); }));
    EXPECT_EQ(ui.mainList->cellText(3, 1), makeCard(3).NameOrg.text());

    // «Нет»: nothing is written, their version is shown.
    ui.Prime4->setPlainText(QStringLiteral("правка Иванова"));
    t.platform.answers.enqueue(false);
    QTest::mouseClick(ui.nSave, Qt::LeftButton);
    ASSERT_NE(t.platform.lastMessage(), nullptr);
    EXPECT_TRUE(t.platform.lastMessage()->text.startsWith(
        QStringLiteral("Карточку изменил(а) Пользователь 1 (pgadmin) (ws2) в ")))
        << t.platform.lastMessage()->text.toStdString();
    EXPECT_EQ(ui.Rezultat->toPlainText(), QStringLiteral("правка Петрова"));
    EXPECT_NE(other.readCard(ids[2])->record.Prime4.text(), QStringLiteral("правка Иванова"));
    EXPECT_FALSE(ui.IzmDrugim->isVisibleTo(w));

    // «Да» after they saved once more: the edits go over their version, which stays otherwise.
    ui.Prime4->setPlainText(QStringLiteral("правка Иванова"));
    theirs = *other.readCard(ids[2]);
    theirs.record.DolgSotr.set(QStringLiteral("оперуполномоченный"));
    ASSERT_EQ(other.save(ids[2], theirs.record, theirs.version).status, SaveResult::Status::Saved);
    t.platform.answers.enqueue(true);
    t.platform.clearRecords();
    QTest::mouseClick(ui.nSave, Qt::LeftButton);
    ASSERT_EQ(t.platform.messages.size(), 1);
    const TAnketa stored = other.readCard(ids[2])->record;
    EXPECT_EQ(stored.Prime4.text(), QStringLiteral("правка Иванова"));
    EXPECT_EQ(stored.Rezultat.text(), QStringLiteral("правка Петрова"));
    EXPECT_EQ(stored.AdminFIO.text(), t.app().user().UserFIO) << "stored by this workstation";
    EXPECT_EQ(ui.mainList->rowCount(), 4);
    // The statistics count the server's register, on a connection of their own.
    TStatistika* stats = t.app().statistika();
    stats->recount();
    stats->waitForCount();
    EXPECT_EQ(stats->table().cardsRead, 4);
    // The data folder's register files were never touched.
    EXPECT_TRUE(t.readCards("Baza/Anketi.dat").empty());
}

TEST(ServerWindow, ASaveOnASilentLinkNeverFreezesTheWindowAndKeepsTheEdit) {
    PgTestServer pg;
    if (!pg.running())
        GTEST_SKIP() << "no PostgreSQL server for this test: " << pg.unavailable().toStdString();
    const QString conninfo = pg.createDatabase(QStringLiteral("zelm"));
    {
        ServerRegister other(ServerConfig::parse(conninfo));
        other.open();
        for (int i = 0; i < 3; ++i)
            other.append(makeCard(i));
    }
    FaultProxy proxy(pg.socketFolder());
    ASSERT_TRUE(proxy.listening());
    ServerConfig config = ServerConfig::parse(proxy.connectionString(QStringLiteral("zelm")));
    config.limits.statementMs = 2000;
    config.limits.idleInTransactionMs = 1500;
    config.limits.replyMarginMs = 1000;
    auto mine = std::make_unique<ServerRegister>(config);
    mine->open();
    TestInstall t;
    t.makeFolders();
    TForm1* w = t.start(std::move(mine)).form1();
    w->show();
    Form1Controls& ui = controls(w);
    ui.Prime4->setPlainText(QStringLiteral("правка на обрыве"));

    // The window's clock: how long it went without turning its events, and what it showed.
    QElapsedTimer sinceTick;
    qint64 longestGap = 0;
    bool waitWindowShown = false;
    QTimer ticker;
    ticker.setInterval(10);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        longestGap = std::max(longestGap, sinceTick.restart());
        for (QWidget* top : QApplication::topLevelWidgets())
            if (top->objectName() == QStringLiteral("OzhidanieServera") && top->isVisible())
                waitWindowShown = true;
    });
    proxy.setSilent(true);
    t.platform.clearRecords();
    QElapsedTimer clock;
    clock.start();
    sinceTick.start();
    ticker.start();
    QTest::mouseClick(ui.nSave, Qt::LeftButton);
    ticker.stop();
    EXPECT_LT(clock.elapsed(), config.limits.replyMs() + 1500);
    EXPECT_LT(longestGap, 200) << "the window froze while the server was silent";
    EXPECT_TRUE(waitWindowShown) << "a long wait showed nothing";
    ASSERT_NE(t.platform.lastMessage(), nullptr);
    const QString message = t.platform.lastMessage()->text;
    EXPECT_TRUE(message.contains(QStringLiteral("не ответил"))) << message.toStdString();
    EXPECT_TRUE(message.contains(config.displayName)) << message.toStdString();
    EXPECT_EQ(ui.Prime4->toPlainText(), QStringLiteral("правка на обрыве"));

    // The feed's link went silent with it: the window says the others' changes are not shown,
    // and stops saying so once the link is back.
    EXPECT_TRUE(QTest::qWaitFor([&] { return ui.NetLenty->isVisibleTo(w); }, 15000));
    proxy.setSilent(false);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !ui.NetLenty->isVisibleTo(w); }, 10000));
    QTest::mouseClick(ui.nSave, Qt::LeftButton);
    ServerRegister check(ServerConfig::parse(conninfo));
    check.open();
    const std::vector<CardRow> order = check.listCards(CardFileKind::Main);
    ASSERT_EQ(order.size(), 3u);
    EXPECT_EQ(check.readCard(order[2].id)->record.Prime4.text(),
              QStringLiteral("правка на обрыве"));
}

} // namespace
