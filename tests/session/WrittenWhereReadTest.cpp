// A card is written only where it was read: someone else's change is not written over unasked,
// a card that left the register is not written at all, and no other card's bytes ever change,
// whatever another program does to the data folder's files meanwhile.
#include "session/SessionFixture.h"
#include "store/FileError.h"

#include <QFileInfo>
#include <unistd.h>

using namespace zelm;
using namespace zelm::testing;

namespace {

TAnketa named(TAnketa card, const QString& name) {
    card.NameOrg.set(name);
    return card;
}

TEST_P(BothHomes, ACardChangedElsewhereIsWrittenOverOnlyWhenTheUserSaysSo) {
    start(makeCards(5));
    // On a server the question names the officer the server let in, with the role.
    if (home == Home::Server) {
        ASSERT_EQ(other->login(QStringLiteral("Пользователь 1"), QStringLiteral("317968")),
                  QStringLiteral("W"));
    }
    s->showMainCard(2);
    s->setEdits(named(s->CurrentCard(), QStringLiteral("ООО «Наша правка»")));
    changeElsewhere(2, named(makeCard(2), QStringLiteral("ООО «Их правка»")));

    ASSERT_EQ(s->save(), CardSession::SaveOutcome::Conflict);
    EXPECT_EQ(stored(RegisterFile::Main)[2].NameOrg.text(), QStringLiteral("ООО «Их правка»"));
    // The data folder cannot know who: it names another program and the file's change time.
    const QString who = home == Home::Folder ? QStringLiteral("другая программа")
                                             : QStringLiteral("Пользователь 1 (pgadmin) (ws)");
    EXPECT_TRUE(changedElsewhereQuestion(s->theirs())
                    .startsWith(QStringLiteral("Карточку изменил(а) %1 в ").arg(who)))
        << changedElsewhereQuestion(s->theirs()).toStdString();
    EXPECT_EQ(s->editedCard().NameOrg.text(), QStringLiteral("ООО «Наша правка»"));

    ASSERT_EQ(s->saveOver(), CardSession::SaveOutcome::Overwritten);
    std::vector<TAnketa> now = stored(RegisterFile::Main);
    ASSERT_EQ(now.size(), 5u);
    EXPECT_EQ(now[2].NameOrg.text(), QStringLiteral("ООО «Наша правка»"));
    now.erase(now.begin() + 2);
    std::vector<TAnketa> others = makeCards(5);
    others.erase(others.begin() + 2);
    EXPECT_EQ(cardBytes(now), cardBytes(others));
}

TEST_P(BothHomes, ASaveWhoseCardLeftTheRegisterKeepsTheEditAndTouchesNoCard) {
    start(makeCards(5));
    s->showMainCard(4);
    s->setEdits(named(s->CurrentCard(), QStringLiteral("ООО «Правка»")));
    removeElsewhere(4);
    const QByteArray before = cardBytes(stored(RegisterFile::Main));

    EXPECT_EQ(s->save(), CardSession::SaveOutcome::Gone);
    EXPECT_EQ(cardBytes(stored(RegisterFile::Main)), before);
    EXPECT_EQ(s->editedCard().NameOrg.text(), QStringLiteral("ООО «Правка»"));
    EXPECT_TRUE(s->cardGoneMessage().contains(QStringLiteral("Правка не записана")));
    EXPECT_THROW(s->toggleMark(), std::runtime_error);
    EXPECT_EQ(cardBytes(stored(RegisterFile::Main)), before);
}

TEST_F(Session, AFileCutByAnotherProgramHasTheCardFoundWhereItWentOrNotWrittenAtAll) {
    start(makeCards(6));
    s->showMainCard(4);
    s->setEdits(named(s->CurrentCard(), QStringLiteral("ООО «Правка»")));
    // Another program takes out the first card: the card shown moved up one place.
    std::vector<TAnketa> cut = makeCards(6);
    cut.erase(cut.begin());
    t.writeCards("Baza/Anketi.dat", cut);

    ASSERT_EQ(s->save(), CardSession::SaveOutcome::Overwritten);
    EXPECT_EQ(s->shownIndex(), 3);
    std::vector<TAnketa> expected = cut;
    expected[3] = stored(RegisterFile::Main)[3];
    EXPECT_EQ(expected[3].NameOrg.text(), QStringLiteral("ООО «Правка»"));
    EXPECT_EQ(cardBytes(stored(RegisterFile::Main)), cardBytes(expected));

    // Cut to half: the card shown is gone, and the card now last is not written over.
    s->setEdits(named(s->CurrentCard(), QStringLiteral("ООО «Вторая правка»")));
    cut.resize(3);
    t.writeCards("Baza/Anketi.dat", cut);
    EXPECT_EQ(s->save(), CardSession::SaveOutcome::Gone);
    EXPECT_EQ(cardBytes(stored(RegisterFile::Main)), cardBytes(cut));
}

TEST_F(Session, AFileRenamedOverTheRegisterIsFollowedAndTheOldOneNeverWritten) {
    start(makeCards(3));
    s->showMainCard(1);
    // Another program renames a new register over the open one; it holds the card shown too.
    const std::vector<TAnketa> renamed = {makeCard(10), makeCard(1), makeCard(11), makeCard(12)};
    t.writeCards("Temp/new.dat", renamed);
    ASSERT_EQ(::rename(qPrintable(t.path("Temp/new.dat")), qPrintable(t.path("Baza/Anketi.dat"))),
              0);

    EXPECT_EQ(s->stepNext(), 2);
    EXPECT_EQ(s->CurrentCard().Klu4Form1, makeCard(11).Klu4Form1);
    s->showMainCard(1);
    s->setEdits(named(s->CurrentCard(), QStringLiteral("ООО «Правка»")));
    ASSERT_EQ(s->save(), CardSession::SaveOutcome::Overwritten);
    std::vector<TAnketa> expected = renamed;
    expected[1] = stored(RegisterFile::Main)[1];
    EXPECT_EQ(expected[1].NameOrg.text(), QStringLiteral("ООО «Правка»"));
    EXPECT_EQ(cardBytes(stored(RegisterFile::Main)), cardBytes(expected));

    // A new file without the card shown: nothing is written anywhere, twice over.
    const std::vector<TAnketa> other = {makeCard(20), makeCard(21)};
    t.writeCards("Temp/new.dat", other);
    ASSERT_EQ(::rename(qPrintable(t.path("Temp/new.dat")), qPrintable(t.path("Baza/Anketi.dat"))),
              0);
    EXPECT_EQ(s->save(), CardSession::SaveOutcome::Gone);
    EXPECT_EQ(s->save(), CardSession::SaveOutcome::Gone);
    EXPECT_EQ(cardBytes(stored(RegisterFile::Main)), cardBytes(other));
}

TEST_F(Session, CardFilesThatAreLinksAreRefusedAndWhatTheyReachIsUntouched) {
    QTemporaryDir outside;
    const QString precious = outside.filePath(QStringLiteral("precious.dat"));
    const QByteArray bytes = cardBytes(makeCards(2, 70));
    {
        QFile f(precious);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    auto preciousNow = [&] {
        QFile f(precious);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };
    inst = std::make_unique<Installation>(t.root());
    auto openOn = [&] {
        CardSession session(*inst, user, std::make_unique<FolderRegister>(*inst));
        try {
            session.openFiles();
        } catch (const FileError& e) {
            return e;
        }
        return FileError(QString(), QString());
    };

    // The Working card file, emptied at every start, as a link.
    ASSERT_EQ(::symlink(qPrintable(precious), qPrintable(t.path("Temp/RabAnket.dat"))), 0);
    FileError refused = openOn();
    EXPECT_EQ(refused.message(), QStringLiteral("Это ссылка, а не обычный файл"));
    EXPECT_EQ(refused.fileName(), t.path("Temp/RabAnket.dat"));
    EXPECT_EQ(preciousNow(), bytes);
    ASSERT_TRUE(QFile::remove(t.path("Temp/RabAnket.dat")));
    QFile::remove(t.path("Baza/Anketi.dat")); // the empty register that start made

    // The register as a link.
    ASSERT_EQ(::symlink(qPrintable(precious), qPrintable(t.path("Baza/Anketi.dat"))), 0);
    refused = openOn();
    EXPECT_EQ(refused.fileName(), t.path("Baza/Anketi.dat"));
    EXPECT_EQ(preciousNow(), bytes);
    ASSERT_TRUE(QFile::remove(t.path("Baza/Anketi.dat")));

    // The register swapped for a link while the program runs: a new card is not appended to
    // what the link reaches.
    start(makeCards(3));
    ASSERT_EQ(::symlink(qPrintable(precious), qPrintable(t.path("Temp/link"))), 0);
    ASSERT_EQ(::rename(qPrintable(t.path("Temp/link")), qPrintable(t.path("Baza/Anketi.dat"))), 0);
    EXPECT_THROW(
        {
            bool empty = false;
            s->beginNewCard(empty);
            s->setEdits(makeCard(30));
            s->save();
        },
        FileError);
    EXPECT_EQ(preciousNow(), bytes);
}

} // namespace
