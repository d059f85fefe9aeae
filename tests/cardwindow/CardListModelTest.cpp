// The Main list over the session's register: each change the session makes tells the view
// exactly which row changed, and the rows show the file as it is after it.
#include "cardwindow/CardListModel.h"
#include "session/SessionFixture.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>

using namespace zelm;
using namespace zelm::testing;

namespace {

std::vector<std::int32_t> listedNumbers(const CardListModel& list) {
    std::vector<std::int32_t> out;
    for (int r = 0; r < list.rowCount(); ++r)
        out.push_back(list.uniqueNumber(r));
    return out;
}

std::vector<std::int32_t> storedNumbers(const SessionFolder& t) {
    std::vector<std::int32_t> out;
    for (const TAnketa& c : t.readCards("Baza/Anketi.dat"))
        out.push_back(c.Klu4Form1);
    return out;
}

} // namespace

TEST_F(Session, TheMainListFollowsTheRegisterRowByRow) {
    start(makeCards(4));
    CardListModel list(false);
    list.showRegister(s->cardRegister(), RegisterFile::Main);
    list.followMainFile(*s);
    QAbstractItemModelTester tester(&list, QAbstractItemModelTester::FailureReportingMode::Fatal);
    QSignalSpy inserted(&list, &QAbstractItemModel::rowsInserted);
    QSignalSpy removed(&list, &QAbstractItemModel::rowsRemoved);
    QSignalSpy changed(&list, &QAbstractItemModel::dataChanged);
    QSignalSpy reset(&list, &QAbstractItemModel::modelReset);
    auto lastRange = [](const QSignalSpy& spy) {
        return std::pair{spy.last()[1].toInt(), spy.last()[2].toInt()};
    };

    bool empty = false;
    s->beginNewCard(empty);
    TAnketa card = makeCard(50);
    card.Klu4Form1 = s->editedCard().Klu4Form1;
    s->setEdits(card);
    ASSERT_EQ(s->save(), CardSession::SaveOutcome::Appended);
    ASSERT_EQ(inserted.size(), 1);
    EXPECT_EQ(lastRange(inserted), std::pair(4, 4));

    s->insertBlankCardAfter(1, 99);
    ASSERT_EQ(inserted.size(), 2);
    EXPECT_EQ(lastRange(inserted), std::pair(2, 2));

    s->showMainCard(3);
    TAnketa edited = s->CurrentCard();
    edited.NameOrg.set(QStringLiteral("ООО «Переименованное»"));
    s->setEdits(edited);
    ASSERT_EQ(s->save(), CardSession::SaveOutcome::Overwritten);
    ASSERT_EQ(changed.size(), 1);
    EXPECT_EQ(changed.last()[0].value<QModelIndex>().row(), 3);
    EXPECT_EQ(list.cellText(3, CardListModel::NameOrgColumn),
              QStringLiteral("ООО «Переименованное»"));

    s->showMainCard(0);
    s->deleteShownCard(DeletionKind::ForGood);
    ASSERT_EQ(removed.size(), 1);
    EXPECT_EQ(lastRange(removed), std::pair(0, 0));

    EXPECT_EQ(reset.size(), 0);
    EXPECT_EQ(listedNumbers(list), storedNumbers(t));
    // The register's index followed the same changes without reading it again.
    for (int r = 0; r < list.rowCount(); ++r)
        EXPECT_EQ(s->indexOfNumber(list.uniqueNumber(r)), r);
}
