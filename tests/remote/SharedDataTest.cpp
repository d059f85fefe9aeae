// Two workstations on one server database, each a whole run of the program with its own
// installation folder: the access table, the reference lists and the attached files are the
// server's, and what one workstation stores the other sees.
#include "access/TForm5.h"
#include "access/TZapusk.h"
#include "attach/AttachedCard.h"
#include "attach/LinkRecords.h"
#include "attach/TDokKart.h"
#include "cardwindow/TForm1.h"
#include "cardwindow/TRedaktir.h"
#include "common/CardFactory.h"
#include "common/Form1Controls.h"
#include "common/TestInstall.h"
#include "remote/RegisterFeed.h"
#include "server/ChangeFeed.h"
#include "server/ServerFixture.h"
#include "store/AccessTable.h"
#include "store/Cp1251.h"
#include "store/ReferenceLists.h"
#include "store/TextFiles.h"
#include "widgets/TdxfColorButton.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <functional>

using namespace zelm;
using namespace zelm::testing;

namespace {

// What a user typed that a careless program would take for SQL or for an escape.
const QString kAdmin = QStringLiteral("Администратор");
const QString kHostile = QStringLiteral("О'Нил \"Кузнец\" \\n '); DROP TABLE cards; --");

bool waitFor(const std::function<bool()>& done) {
    QDeadlineTimer deadline(5000);
    while (!done() && !deadline.hasExpired())
        QTest::qWait(10);
    return done();
}

class SharedOnServer : public ServerTest {
protected:
    struct Station {
        TestInstall t;
        ZelmApp* app = nullptr;
    };

    // A workstation's run of the program on the test's database.
    std::unique_ptr<Station> station() {
        auto s = std::make_unique<Station>();
        s->app = &s->t.start(workstation({}, {}));
        return s;
    }
    static void logIn(Station& s, const QString& name, const QString& password) {
        TZapusk* login = s.app->zapusk();
        ASSERT_TRUE(login->KtoIdet->isVisibleTo(login)) << "the server asks who enters";
        login->KtoIdet->setCurrentIndex(login->KtoIdet->findText(name));
        ASSERT_EQ(login->KtoIdet->currentText(), name);
        login->NomZamka->setText(password);
        QTest::mouseClick(s.app->zapusk()->Dalee, Qt::LeftButton);
        ASSERT_TRUE(s.app->zapusk()->DostupOK);
    }
    // The other workstations' news, as the program follows them.
    // The program listens to the server's news itself, as at a real start.
    static bool listening(Station& s) {
        return s.app->registerFeed() && s.app->registerFeed()->listening();
    }
    QList<AccessRow> storedAccessRows() {
        auto r = workstation({}, {});
        return r->accessRows(kAdmin, QStringLiteral("580214")).value_or(QList<AccessRow>{});
    }
    // The editor opened with the administrator's password typed when it asks.
    static void openEditor(Station& s, const QString& password) {
        s.t.platform.enteredTexts.enqueue(password);
        s.app->form5()->show();
    }
};

QString cellOf(QTableWidget* g, int r, int c) {
    return g->item(r, c) ? g->item(r, c)->text() : QString();
}

QStringList entriesOf(ZelmApp& app, const char* comboBox) {
    QStringList out;
    auto* combo = app.form1()->findChild<QComboBox*>(QLatin1String(comboBox));
    for (int i = 0; i < combo->count(); ++i)
        out << combo->itemText(i);
    return out;
}

} // namespace

TEST_F(SharedOnServer, AccessTableIsEditedByOneAdministratorAtATime) {
    // An empty server: the default table, kept there and not in the data folder.
    auto a = station();
    ASSERT_EQ(storedAccessRows().size(), 4);
    EXPECT_EQ(storedAccessRows()[0].FIO, kAdmin);
    EXPECT_FALSE(QFileInfo::exists(a->t.path("Dostup.dat")));
    EXPECT_EQ(a->app->zapusk()->KtoIdet->count(), 4);
    logIn(*a, kAdmin, QStringLiteral("580214"));

    // The first administrator edits the table, with the own password asked for, and gives a
    // second one the letter Z and, as the name is new, a password.
    TForm5* editorA = a->app->form5();
    openEditor(*a, QStringLiteral("580214"));
    ASSERT_TRUE(editorA->ZapDostup->isEnabled());
    EXPECT_EQ(cellOf(editorA->TabDost, 0, 3), QString()) << "no password leaves the server";
    editorA->TabDost->item(1, 2)->setText(QStringLiteral("Петров П'\\\"; --"));
    editorA->TabDost->item(1, 3)->setText(QStringLiteral("111111"));
    editorA->TabDost->item(1, 4)->setText(QStringLiteral("Z"));
    QTest::mouseClick(editorA->ZapDostup, Qt::LeftButton);
    EXPECT_EQ(a->t.platform.lastMessage()->text, QStringLiteral("Перезапустите программу!!!"));
    EXPECT_EQ(cellOf(editorA->TabDost, 1, 3), QString()) << "a new password stays on screen";
    ASSERT_EQ(storedAccessRows().size(), 4);
    EXPECT_EQ(storedAccessRows()[1].FIO, QStringLiteral("Петров П'\\\"; --"));

    // The second logs in with the new name and password, is refused with the holder's name
    // and sees the table without being able to change it.
    auto b = station();
    logIn(*b, QStringLiteral("Петров П'\\\"; --"), QStringLiteral("111111"));
    EXPECT_EQ(b->app->user().UserFIO, QStringLiteral("Петров П'\\\"; --"));
    EXPECT_EQ(b->app->user().UserDostup, QStringLiteral("Z"));
    TForm5* editorB = b->app->form5();
    openEditor(*b, QStringLiteral("111111"));
    ASSERT_NE(b->t.platform.lastMessage(), nullptr);
    EXPECT_TRUE(b->t.platform.lastMessage()->text.contains(kAdmin))
        << b->t.platform.lastMessage()->text.toStdString();
    EXPECT_FALSE(editorB->ZapDostup->isEnabled());
    EXPECT_EQ(editorB->TabDost->editTriggers(), QAbstractItemView::NoEditTriggers);
    EXPECT_EQ(cellOf(editorB->TabDost, 1, 2), QStringLiteral("Петров П'\\\"; --"));

    // Once the first has closed the editor, the second may edit.
    editorA->close();
    editorB->close();
    b->t.platform.clearRecords();
    openEditor(*b, QStringLiteral("111111"));
    EXPECT_TRUE(b->t.platform.messages.isEmpty());
    ASSERT_TRUE(editorB->ZapDostup->isEnabled());
    editorB->TabDost->item(3, 0)->setText(QString());
    QTest::mouseClick(editorB->ZapDostup, Qt::LeftButton);
    EXPECT_EQ(storedAccessRows().size(), 3);
    // And now the first is refused, naming the second, and shows the table as it is now: the
    // row removed does not linger in the grid, to come back with a later save.
    a->t.platform.clearRecords();
    openEditor(*a, QStringLiteral("580214"));
    ASSERT_NE(a->t.platform.lastMessage(), nullptr);
    EXPECT_TRUE(a->t.platform.lastMessage()->text.contains(QStringLiteral("Петров")));
    EXPECT_FALSE(editorA->ZapDostup->isEnabled());
    EXPECT_EQ(cellOf(editorA->TabDost, 3, 2), QString());
    EXPECT_EQ(cellOf(editorA->TabDost, 2, 2), QStringLiteral("Пользователь 2"));
    editorA->close();
    editorB->close();

    // A wrong password, or an officer's own, opens nothing, and the table stays locked to no one.
    a->t.platform.clearRecords();
    openEditor(*a, QStringLiteral("000000"));
    ASSERT_NE(a->t.platform.lastMessage(), nullptr);
    EXPECT_TRUE(a->t.platform.lastMessage()->text.contains(QStringLiteral("не подошёл")));
    EXPECT_FALSE(editorA->ZapDostup->isEnabled());
    EXPECT_EQ(cellOf(editorA->TabDost, 0, 2), QString());
    editorA->close();
    auto c = station();
    // Another name's password lets no one in.
    c->app->zapusk()->KtoIdet->setCurrentIndex(2);
    c->app->zapusk()->NomZamka->setText(QStringLiteral("111111"));
    QTest::mouseClick(c->app->zapusk()->Dalee, Qt::LeftButton);
    EXPECT_FALSE(c->app->zapusk()->DostupOK);
    EXPECT_EQ(c->app->zapusk()->Komentar->text(), QStringLiteral("Что-то я Вас не припоминаю 1"));
    logIn(*c, QStringLiteral("Пользователь 2"), QStringLiteral("642095"));
    EXPECT_EQ(c->app->user().UserDostup, QStringLiteral("W"));
    openEditor(*c, QStringLiteral("642095"));
    EXPECT_FALSE(c->app->form5()->ZapDostup->isEnabled());
    EXPECT_EQ(cellOf(c->app->form5()->TabDost, 0, 2), QString());
    c->app->form5()->close();
    openEditor(*b, QStringLiteral("111111"));
    EXPECT_TRUE(editorB->ZapDostup->isEnabled()) << "a refused editor left the lock taken";
}

TEST_F(SharedOnServer, ReferenceListEditedOnOneWorkstationIsSeenOnTheOther) {
    // A server without lists gives each its starting entries and keeps them.
    auto a = station();
    const ReferenceListDef& kinds = referenceLists()[1];
    ASSERT_EQ(QLatin1String(kinds.file), QLatin1String("VidORM.txt"));
    EXPECT_EQ(workstation({}, {})->referenceList(QStringLiteral("VidORM.txt")),
              joinTextLines(defaultEntries(kinds)));
    EXPECT_FALSE(QFileInfo::exists(a->t.path("Baza/VidORM.txt")));

    auto b = station();
    ASSERT_TRUE(listening(*b));
    controls(b->app->form1()).Povod->setEditText(QStringLiteral("набранное"));

    TRedaktir* editor = a->app->redaktir();
    QTimer::singleShot(0, editor, [editor] {
        editor->Spisok->setPlainText(QStringLiteral("Жалоба\n") + kHostile + QStringLiteral("\n"));
        editor->close();
    });
    a->app->form1()->findChild<QPushButton*>(QStringLiteral("PovorSpr"))->click();

    const QStringList expected = {QStringLiteral("Жалоба"), kHostile};
    EXPECT_EQ(entriesOf(*a->app, "Povod"), expected);
    EXPECT_EQ(workstation({}, {})->referenceList(QStringLiteral("Povod.txt")),
              joinTextLines(expected));
    EXPECT_TRUE(waitFor([&] { return entriesOf(*b->app, "Povod") == expected; }))
        << entriesOf(*b->app, "Povod").join('|').toStdString();
    // The field on the other workstation keeps what its user typed.
    EXPECT_EQ(controls(b->app->form1()).Povod->currentText(), QStringLiteral("набранное"));
    EXPECT_TRUE(a->t.platform.messages.isEmpty());
    EXPECT_TRUE(b->t.platform.messages.isEmpty());
}

TEST_F(SharedOnServer, AttachedFilesAreTheServersAndCountedOnBothWorkstations) {
    constexpr std::int32_t kCard = 636250000;
    auto other = workstation({}, {});
    other->addAttachment(LinkRecords::record(kCard, QStringLiteral("Справка"),
                                             QStringLiteral("C:\\Документы\\справка.doc"), {}));
    other->addAttachment(LinkRecords::record(kCard + 1, QStringLiteral("Чужая"),
                                             QStringLiteral("C:\\чужая.doc"), {}));

    // The card shown at start counts the server's links.
    Station a;
    TAnketa card = makeCard(1);
    card.Klu4Form1 = kCard;
    a.t.makeFolders();
    other->append(card); // the register is the server's
    a.app = &a.t.start(workstation({}, {}));
    ASSERT_TRUE(listening(a));
    TForm1* w = a.app->form1();
    EXPECT_EQ(controls(w).SkolPrik->text(), QStringLiteral("1"));

    // Links added and removed in the window go to the server, Cyrillic and quotes as typed.
    TDokKart* files = a.app->dokKart();
    files->setCard(AttachedCard::fromCard(card));
    files->show();
    EXPECT_EQ(files->ui().SpPrDok->item(0, 0)->text(), QStringLiteral("Справка"));
    const QString report = a.t.path("Docs/Рапорт «Восток» №1.doc");
    const QString hostile = a.t.path("Docs/О'Нил; DROP TABLE attachments.doc");
    a.t.writeFile("Docs/Рапорт «Восток» №1.doc", "x");
    a.t.writeFile("Docs/О'Нил; DROP TABLE attachments.doc", "x");
    for (const QString& path : {report, hostile}) {
        a.t.platform.openFileResults.enqueue(path);
        files->ui().Plus->click();
        files->ui().Saves->click();
    }
    EXPECT_EQ(other->countAttachments(kCard), 3);
    files->ui().PutFil->setText(report);
    files->ui().Minus->click();
    files->close();
    EXPECT_EQ(controls(w).SkolPrik->text(), QStringLiteral("2"));

    QStringList stored;
    for (const ServerRegister::Attachment& at : other->attachmentsOf(kCard))
        stored << at.record.PutFil.text();
    EXPECT_EQ(stored, (QStringList{QStringLiteral("C:\\Документы\\справка.doc"), hostile}));
    EXPECT_EQ(other->countAttachments(kCard + 1), 1);
    EXPECT_EQ(a.t.readFile("Baza/SpisFil.dat"), QByteArray());

    // Another workstation's link shows in the count of the card shown.
    other->addAttachment(
        LinkRecords::record(kCard, QStringLiteral("Ещё"), QStringLiteral("C:\\ещё.doc"), {}));
    EXPECT_TRUE(waitFor([&] { return controls(w).SkolPrik->text() == QStringLiteral("3"); }))
        << controls(w).SkolPrik->text().toStdString();
    EXPECT_TRUE(a.t.platform.messages.isEmpty());
}
