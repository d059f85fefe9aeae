// The list model as views use it: Qt's own model checks, and the signals a view follows.
#include "cardwindow/CardListModel.h"
#include "common/CardFactory.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <gtest/gtest.h>

using namespace zelm;
using namespace zelm::testing;

TEST(CardListModel, PassesQtsModelChecksThroughEveryChange) {
    CardListModel model(true);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    model.setCards(makeCards(5));
    model.appendCard(makeCard(5));
    model.insertCard(2, makeCard(6));
    model.setCard(0, makeCard(7));
    model.removeCard(3);
    EXPECT_EQ(model.cardCount(), 6);
    EXPECT_EQ(model.rowOfUniqueNumber(makeCard(6).Klu4Form1), 2);
    EXPECT_EQ(model.rowOfUniqueNumber(-5), -1);
    model.clear();
    EXPECT_EQ(model.rowCount(), 0);
}

TEST(CardListModel, ACardChangedInPlaceTellsTheViewsWhichRow) {
    CardListModel model(false);
    model.setCards(makeCards(3));
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    TAnketa card = makeCard(1);
    card.NameOrg.set(QStringLiteral("ООО «Переименованная»"));
    model.setCard(1, card);
    ASSERT_EQ(changed.size(), 1);
    const auto from = changed[0][0].value<QModelIndex>();
    const auto to = changed[0][1].value<QModelIndex>();
    EXPECT_EQ(from.row(), 1);
    EXPECT_EQ(to.row(), 1);
    EXPECT_EQ(from.column(), 0);
    EXPECT_EQ(to.column(), model.columnCount() - 1);
    EXPECT_EQ(model.index(1, 1).data().toString(), QStringLiteral("ООО «Переименованная»"));
}
