// The card session without any window: what the commands do to the register and to the card,
// the same in the data folder and on a server.
#include "register/ArchiveJournal.h"
#include "register/SaveJournal.h"
#include "session/SessionFixture.h"

#include "store/DayCount.h"
#include "store/UniqueNumber.h"

#include <QDir>
#include <cstring>
#include <set>

using namespace zelm;
using namespace zelm::testing;

namespace {

TEST_P(BothHomes, StartsOnTheLastCardOrOnANewCard) {
    start(makeCards(3));
    ASSERT_TRUE(hasCards);
    EXPECT_EQ(s->CardMode(), QStringLiteral("Korr"));
    EXPECT_EQ(s->shown(), CardSession::Shown::MainCard);
    EXPECT_EQ(s->shownIndex(), 2);
    EXPECT_EQ(s->CurrentCard().Klu4Form1, makeCard(2).Klu4Form1);
    EXPECT_EQ(s->CardTotal(), 3);

    SessionFolder empty;
    Installation emptyInst(empty.root());
    CardSession blank(emptyInst, user, std::make_unique<FolderRegister>(emptyInst));
    EXPECT_FALSE(blank.openFiles());
    EXPECT_EQ(blank.CardMode(), QStringLiteral("New"));
    EXPECT_EQ(blank.shown(), CardSession::Shown::Blank);
}

TEST_P(BothHomes, NavigationStopsAtTheEnds) {
    start(makeCards(3));
    EXPECT_EQ(s->stepFirst(), 0);
    EXPECT_EQ(s->stepPrevious(), 0);
    EXPECT_EQ(s->stepNext(), 1);
    EXPECT_EQ(s->stepNext(), 2);
    EXPECT_EQ(s->stepNext(), std::nullopt);
    EXPECT_EQ(s->CurrentCard().Klu4Form1, makeCard(2).Klu4Form1);
    EXPECT_EQ(s->CardNo(), 3);
}

TEST_P(BothHomes, SaveAppendsNewCardsAndOverwritesTheCardShown) {
    start(makeCards(3));
    s->showMainCard(1);
    TAnketa edited = s->CurrentCard();
    edited.INNOrg.set(QStringLiteral("7701"));
    s->setEdits(edited);
    EXPECT_EQ(s->save(), CardSession::SaveOutcome::Overwritten);
    auto disk = stored(RegisterFile::Main);
    ASSERT_EQ(disk.size(), 3u);
    EXPECT_EQ(disk[1].INNOrg.text(), QStringLiteral("7701"));

    bool empty = true;
    EXPECT_EQ(s->beginNewCard(empty), makeCard(2).GurN + 1);
    EXPECT_FALSE(empty);
    TAnketa fresh = TAnketa::zeroed();
    fresh.Klu4Form1 = makeCard(0).Klu4Form1; // a number already stored
    s->setEdits(fresh);
    EXPECT_EQ(s->save(), CardSession::SaveOutcome::Appended);
    disk = stored(RegisterFile::Main);
    ASSERT_EQ(disk.size(), 4u);
    EXPECT_NE(disk[3].Klu4Form1, makeCard(0).Klu4Form1);
    EXPECT_EQ(disk[3].AdminFIO.text(), QStringLiteral("Сидорова А.А."));
    EXPECT_TRUE(s->numberTaken(disk[3].Klu4Form1));
    EXPECT_EQ(s->indexOfNumber(disk[3].Klu4Form1), 3);
    EXPECT_EQ(s->shownIndex(), 3);
    EXPECT_EQ(s->CardMode(), QStringLiteral("Korr"));
}

// The clock's numbers tick about once a second, and a program started again counts from the
// tick afresh: a card made then must not take the number of one made before the restart.
TEST_P(BothHomes, CardsMadeAcrossARestartInOneClockTickGetNumbersOfTheirOwn) {
    const QDateTime tick(QDate(2026, 3, 14), QTime(10, 20));
    setClockForTesting([tick] { return tick; });
    start(makeCards(2));
    bool empty = true;
    s->beginNewCard(empty);
    TAnketa fresh = TAnketa::zeroed();
    fresh.Klu4Form1 = makeCard(1).Klu4Form1; // taken: the register picks one from the clock
    s->setEdits(fresh);
    ASSERT_EQ(s->save(), CardSession::SaveOutcome::Appended);
    resetUniqueNumbersForTesting(); // the program started again
    s->beginNewCard(empty);
    s->setEdits(fresh);
    ASSERT_EQ(s->save(), CardSession::SaveOutcome::Appended);
    resetUniqueNumbersForTesting();
    s->insertBlankCardAfter(0, 7);
    setClockForTesting({});
    std::set<std::int32_t> numbers;
    for (const TAnketa& card : stored(RegisterFile::Main))
        EXPECT_TRUE(numbers.insert(card.Klu4Form1).second) << card.Klu4Form1;
    EXPECT_EQ(numbers.size(), 5u);
}

TEST_P(BothHomes, AnArchivedCardIsNeverWrittenIntoTheRegister) {
    start(makeCards(2));
    const std::vector<TAnketa> before = stored(RegisterFile::Main);
    s->showArchivedCard(makeCard(50));
    EXPECT_EQ(s->save(), CardSession::SaveOutcome::Refused);
    EXPECT_FALSE(s->canDeleteShownCard());
    EXPECT_FALSE(s->toggleMark());
    EXPECT_EQ(cardBytes(stored(RegisterFile::Main)), cardBytes(before));
}

TEST_P(BothHomes, DeletingIntoTheArchiveMovesTheCardAndShowsTheLast) {
    start(makeCards(4));
    s->showMainCard(1);
    s->deleteShownCard(DeletionKind::IntoArchive);
    const auto main = stored(RegisterFile::Main);
    const auto archive = stored(RegisterFile::Archive);
    ASSERT_EQ(main.size(), 3u);
    ASSERT_EQ(archive.size(), 1u);
    EXPECT_EQ(archive[0].Klu4Form1, makeCard(1).Klu4Form1);
    EXPECT_EQ(main[1].Klu4Form1, makeCard(2).Klu4Form1);
    EXPECT_EQ(s->shownIndex(), 2);
    EXPECT_EQ(s->working().count(), 0);
    // No scratch file is left beside the register.
    EXPECT_EQ(QDir(t.path("Baza")).entryList(QDir::Files).filter(QStringLiteral(".new")),
              QStringList());
}

// A program killed between the Archive's append and the rename of the new register over the
// old one: the next start takes the card back out of the Archive, unless the rename was made.
TEST_F(Session, ADeletionIntoTheArchiveCutShortIsUndoneAtTheNextStart) {
    start(makeCards(3), makeCards(1));
    s->showMainCard(2);
    s->deleteShownCard(DeletionKind::IntoArchive);
    EXPECT_FALSE(QFile::exists(archiveJournalPath(*inst)));
    const std::vector<TAnketa> main = stored(RegisterFile::Main);
    const QByteArray archived = t.readFile(QStringLiteral("Baza/ArhAnket.dat"));
    s.reset();

    // The rename was made: the card stays in the Archive.
    CardFile replaced;
    replaced.open(inst->mainCardFile(), sizeof(TAnketa));
    writeArchiveJournal(archiveJournalPath(*inst), CardFile::Stamp{}, sizeof(TAnketa));
    replaced.close();
    start(main);
    EXPECT_EQ(t.readFile(QStringLiteral("Baza/ArhAnket.dat")), archived);
    EXPECT_FALSE(QFile::exists(archiveJournalPath(*inst)));
    s.reset();

    // It was not: the register still holds the card, and the Archive loses it again.
    CardFile mainFile;
    mainFile.open(inst->mainCardFile(), sizeof(TAnketa));
    writeArchiveJournal(archiveJournalPath(*inst), mainFile.stamp(), sizeof(TAnketa));
    mainFile.close();
    s = std::make_unique<CardSession>(*inst, user, std::make_unique<FolderRegister>(*inst, &user));
    s->openFiles();
    EXPECT_EQ(cardBytes(stored(RegisterFile::Archive)), cardBytes(makeCards(1)));
    EXPECT_EQ(cardBytes(stored(RegisterFile::Main)), cardBytes(main));
    EXPECT_FALSE(QFile::exists(archiveJournalPath(*inst)));
}

// A program killed while its save was written: the card's first page new, the rest old. The
// next start writes the saved card whole; a card someone else wrote since is left alone.
TEST_F(Session, ASaveCutShortInItsWriteIsFinishedAtTheNextStart) {
    start(makeCards(3));
    const TAnketa before = makeCard(2);
    TAnketa saved = before;
    saved.NameOrg.set(QStringLiteral("ООО «Новое имя»"));
    saved.Prime4.set(QStringLiteral("новое примечание"));
    TAnketa torn = before;
    std::memcpy(&torn, &saved, 600);
    ASSERT_NE(cardBytes({torn}), cardBytes({saved}));
    s.reset();
    auto killedDuring = [&](const TAnketa& there) {
        changeElsewhere(2, there);
        CardFile mainFile;
        mainFile.open(inst->mainCardFile(), sizeof(TAnketa));
        writeSaveJournal(saveJournalPath(*inst), mainFile.stamp(), 2, before, saved);
        mainFile.close();
        s = std::make_unique<CardSession>(*inst, user,
                                          std::make_unique<FolderRegister>(*inst, &user));
        s->openFiles();
        EXPECT_FALSE(QFile::exists(saveJournalPath(*inst)));
        return stored(RegisterFile::Main);
    };
    EXPECT_EQ(cardBytes(killedDuring(torn)), cardBytes({makeCard(0), makeCard(1), saved}));
    s.reset();
    const TAnketa theirs = makeCard(7);
    EXPECT_EQ(cardBytes(killedDuring(theirs)), cardBytes({makeCard(0), makeCard(1), theirs}));
}

TEST_P(BothHomes, InsertionPutsABlankCardAfterTheAnchor) {
    start(makeCards(3));
    const qint64 at = s->insertBlankCardAfter(0, 77);
    EXPECT_EQ(at, 1);
    const auto main = stored(RegisterFile::Main);
    ASSERT_EQ(main.size(), 4u);
    EXPECT_EQ(main[1].GurN, 77);
    EXPECT_EQ(main[1].AdminFIO.text(), QStringLiteral("Сидорова А.А."));
    EXPECT_EQ(main[2].Klu4Form1, makeCard(1).Klu4Form1);
    EXPECT_EQ(s->CurrentCard().Klu4Form1, main[1].Klu4Form1);
}

TEST_P(BothHomes, MarkTogglesTheStoredCardOnly) {
    start(makeCards(2));
    s->showMainCard(0);
    ASSERT_TRUE(s->toggleMark());
    EXPECT_EQ(stored(RegisterFile::Main)[0].Otmetka.text(), QStringLiteral("уд"));
    ASSERT_TRUE(s->toggleMark());
    EXPECT_EQ(stored(RegisterFile::Main)[0].Otmetka.text(), QString());
}

TEST_P(BothHomes, PastedCardGetsANumberOfItsOwnAndTheWorkingFileTakesCards) {
    start(makeCards(2));
    s->showMainCard(0);
    s->rememberShownCard();
    s->pasteRememberedCard();
    EXPECT_EQ(s->CardMode(), QStringLiteral("New"));
    EXPECT_NE(s->CurrentCard().Klu4Form1, makeCard(0).Klu4Form1);
    EXPECT_EQ(s->CurrentCard().NameOrg.text(), makeCard(0).NameOrg.text());

    s->showMainCard(1);
    EXPECT_TRUE(s->appendShownToWorking());
    const auto working = t.readCards("Temp/RabAnket.dat");
    ASSERT_EQ(working.size(), 1u);
    EXPECT_EQ(working[0].Klu4Form1, makeCard(1).Klu4Form1);
}

} // namespace
