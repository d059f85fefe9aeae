// What the session tells its listeners, and the Working and Archive card files it keeps.
#include "session/SessionFixture.h"
#include "store/DayCount.h"
#include "store/UnitGlo.h"

#include <QSignalSpy>

using namespace zelm;
using namespace zelm::testing;

namespace {

struct Spies {
    explicit Spies(CardSession& s)
        : shown(&s, &CardSession::cardShown), stored(&s, &CardSession::cardStored),
          counters(&s, &CardSession::countersChanged), inserted(&s, &CardSession::mainCardInserted),
          written(&s, &CardSession::mainCardWritten), removed(&s, &CardSession::mainCardRemoved),
          side(&s, &CardSession::sideFileChanged) {}
    void clear() {
        for (QSignalSpy* spy : {&shown, &stored, &counters, &inserted, &written, &removed, &side})
            spy->clear();
    }
    // The last change of a side file: which file and its count.
    std::pair<SideFile, qint64> lastSide() const {
        const QList<QVariant> args = side.last();
        return {args[0].value<SideFile>(), args[1].toLongLong()};
    }
    QSignalSpy shown, stored, counters, inserted, written, removed, side;
};

TEST_P(BothHomes, ShowingACardTellsTheWindowOnceAndAVoidStepTellsNothing) {
    start(makeCards(3));
    Spies spy(*s);
    s->stepFirst();
    EXPECT_EQ(spy.shown.count(), 1);
    EXPECT_EQ(spy.counters.count(), 1);
    spy.clear();
    EXPECT_EQ(s->stepPrevious(), 0); // stays on the first card, read again
    s->stepLast();
    EXPECT_EQ(s->stepNext(), std::nullopt);
    EXPECT_EQ(spy.shown.count(), 2);
    s->showArchivedCard(makeCard(40));
    EXPECT_EQ(spy.shown.count(), 3);
    EXPECT_EQ(spy.stored.count(), 0);
    EXPECT_EQ(spy.inserted.count() + spy.written.count() + spy.removed.count(), 0);
}

TEST_P(BothHomes, StoringAndMarkingSayWhichRowOfTheRegisterChanged) {
    start(makeCards(3));
    Spies spy(*s);
    s->showMainCard(1);
    spy.clear();
    TAnketa edited = s->CurrentCard();
    edited.NameOrg.set(QStringLiteral("ООО «Новая»"));
    s->setEdits(edited);
    ASSERT_EQ(s->save(), CardSession::SaveOutcome::Overwritten);
    ASSERT_EQ(spy.written.count(), 1);
    EXPECT_EQ(spy.written.last()[0].toLongLong(), 1);
    EXPECT_EQ(spy.stored.count(), 1);
    EXPECT_EQ(spy.inserted.count(), 0);

    spy.clear();
    ASSERT_TRUE(s->toggleMark());
    EXPECT_EQ(spy.written.count(), 1);
    EXPECT_EQ(spy.stored.count(), 1);
    EXPECT_EQ(s->CurrentCard().NameOrg.text(), QStringLiteral("ООО «Новая»"));

    spy.clear();
    bool empty = true;
    s->beginNewCard(empty);
    TAnketa fresh = s->editedCard();
    fresh.Klu4Form1 = 123456;
    s->setEdits(fresh);
    ASSERT_EQ(s->save(), CardSession::SaveOutcome::Appended);
    ASSERT_EQ(spy.inserted.count(), 1);
    EXPECT_EQ(spy.inserted.last()[0].toLongLong(), 3);
    EXPECT_EQ(spy.counters.count(), 1);
    EXPECT_EQ(s->indexOfNumber(123456), 3);
}

TEST_F(Session, TheIndexOfNumbersFollowsInsertionAndDeletion) {
    start(makeCards(4));
    EXPECT_EQ(s->indexOfNumber(makeCard(3).Klu4Form1), 3);
    EXPECT_FALSE(s->numberTaken(99));
    Spies spy(*s);
    const qint64 at = s->insertBlankCardAfter(0, 5);
    EXPECT_EQ(spy.inserted.last()[0].toLongLong(), at);
    EXPECT_EQ(s->indexOfNumber(makeCard(3).Klu4Form1), 4);
    EXPECT_EQ(s->indexOfNumber(s->CurrentCard().Klu4Form1), at);
    // The Working card file served as scratch and holds the new register.
    EXPECT_EQ(spy.lastSide(), std::make_pair(SideFile::Working, qint64{5}));

    spy.clear();
    s->showMainCard(2);
    s->deleteShownCard(DeletionKind::IntoArchive);
    ASSERT_EQ(spy.removed.count(), 1);
    EXPECT_EQ(spy.removed.last()[0].toLongLong(), 2);
    EXPECT_FALSE(s->numberTaken(makeCard(1).Klu4Form1));
    EXPECT_EQ(s->indexOfNumber(makeCard(3).Klu4Form1), 3);
    bool archiveTold = false;
    for (const QList<QVariant>& args : spy.side)
        archiveTold |= args[0].value<SideFile>() == SideFile::Archive && args[1].toLongLong() == 1;
    EXPECT_TRUE(archiveTold);
    EXPECT_EQ(s->shownIndex(), 3); // the last card is shown
}

TEST_F(Session, AnInsertionRightAfterOpeningWaitsForTheIndexAndKeepsItTrue) {
    // Large enough that the index is most likely still being built when the insertion comes.
    start(makeCards(20000));
    int waits = 0;
    s->setIndexWait([&waits](int) { ++waits; });
    const qint64 at = s->insertBlankCardAfter(9, 11);
    ASSERT_EQ(at, 10);
    EXPECT_TRUE(s->numberIndexReady());
    EXPECT_EQ(s->indexOfNumber(s->CurrentCard().Klu4Form1), 10);
    EXPECT_EQ(s->indexOfNumber(makeCard(9).Klu4Form1), 9);
    EXPECT_EQ(s->indexOfNumber(makeCard(10).Klu4Form1), 11);
    EXPECT_EQ(s->indexOfNumber(makeCard(19999).Klu4Form1), 20000);
    // A wait, when there was one, is always closed by telling the window it is over.
    EXPECT_NE(waits, 1);
}

TEST_P(BothHomes, WorkingAndArchiveFilesTakeCardsInAndOutAlike) {
    const std::vector<TAnketa> archived = makeCards(3, 20);
    start(makeCards(3), archived);
    Spies spy(*s);
    s->showMainCard(0);
    ASSERT_TRUE(s->appendShownToWorking());
    s->appendToWorking(makeCard(2));
    EXPECT_EQ(spy.lastSide(), std::make_pair(SideFile::Working, qint64{2}));
    EXPECT_EQ(s->findCard(SideFile::Working, makeCard(2).Klu4Form1), 1);
    EXPECT_EQ(s->findCard(SideFile::Archive, archived[2].Klu4Form1, 0), 2);
    EXPECT_EQ(s->findCard(SideFile::Archive, archived[1].Klu4Form1, 1), 1);
    EXPECT_EQ(s->findCard(SideFile::Archive, 99), -1);

    s->removeCard(SideFile::Working, 0);
    EXPECT_EQ(spy.lastSide(), std::make_pair(SideFile::Working, qint64{1}));
    const auto working = t.readCards("Temp/RabAnket.dat");
    ASSERT_EQ(working.size(), 1u);
    EXPECT_EQ(working[0].Klu4Form1, makeCard(2).Klu4Form1);
    s->appendToWorking(makeCard(1)); // the file takes cards after a removal too
    EXPECT_EQ(t.readCards("Temp/RabAnket.dat").size(), 2u);

    s->removeCard(SideFile::Archive, 1);
    EXPECT_EQ(spy.lastSide(), std::make_pair(SideFile::Archive, qint64{2}));
    const auto archive = stored(RegisterFile::Archive);
    ASSERT_EQ(archive.size(), 2u);
    EXPECT_EQ(archive[1].Klu4Form1, archived[2].Klu4Form1);
    EXPECT_EQ(QDir(t.path("Baza")).entryList(QDir::Files).filter(QStringLiteral(".new")),
              QStringList());

    const qint64 found = s->appendMatchesToWorking(
        [](const TAnketa& card) { return card.Klu4Form1 != makeCard(1).Klu4Form1; });
    EXPECT_EQ(found, 2);
    EXPECT_EQ(spy.lastSide(), std::make_pair(SideFile::Working, qint64{4}));
    s->emptyWorking();
    EXPECT_EQ(spy.lastSide(), std::make_pair(SideFile::Working, qint64{0}));
    EXPECT_TRUE(t.readFile("Temp/RabAnket.dat").isEmpty());
}

TEST_P(BothHomes, TheFullCardIsTheStoredCardOrTheNewCardWhole) {
    start(makeCards(3));
    s->showMainCard(1);
    TAnketa edited = s->CurrentCard();
    edited.NameOrg.set(QStringLiteral("Не сохранено"));
    s->setEdits(edited);
    // Edits not saved stay out of the print.
    EXPECT_EQ(s->cardToPrint().NameOrg.text(), makeCard(1).NameOrg.text());

    const QDateTime now(QDate(2026, 3, 14), QTime(10, 20));
    setClockForTesting([now] { return now; });
    bool empty = true;
    const std::int32_t running = s->beginNewCard(empty);
    TAnketa fresh = s->editedCard();
    fresh.GurN = running;
    fresh.Klu4Form1 = 843210000;
    fresh.NameOrg.set(QStringLiteral("ООО «Свежая»"));
    s->setEdits(fresh);
    const TAnketa printed = s->cardToPrint();
    setClockForTesting({});
    EXPECT_EQ(printed.NameOrg.text(), QStringLiteral("ООО «Свежая»"));
    EXPECT_EQ(printed.Klu4Form1, 843210000);
    EXPECT_EQ(printed.GurN, makeCard(2).GurN + 1);
    EXPECT_EQ(DateTimeText(printed.DaWrSozd), UniqueNumberText(843210000));
    EXPECT_EQ(DateTimeText(printed.DWKorr), DateTimeText(toDayCount(now)));
    EXPECT_EQ(printed.AdminFIO.text(), QStringLiteral("Сидорова А.А."));
    EXPECT_NE(DateTimeText(printed.DaWrSozd), DateTimeText(makeCard(2).DaWrSozd));
}

} // namespace
