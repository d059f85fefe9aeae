// The list models over card files written by the tests: what the rows show, the changes this
// program tells them, and files changed underneath by someone else.
#include "cardlists/CardFileModel.h"
#include "common/CardFactory.h"
#include "store/CardFile.h"
#include "store/UnitGlo.h"

#include <QAbstractItemModelTester>
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <cstdio>
#include <gtest/gtest.h>

using namespace zelm;
using namespace zelm::testing;

namespace {

struct Register {
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("Anketi.dat"));

    void write(const std::vector<TAnketa>& cards, const QString& to) const {
        QFile f(to);
        f.open(QIODevice::WriteOnly | QIODevice::Truncate);
        f.write(reinterpret_cast<const char*>(cards.data()),
                static_cast<qint64>(cards.size() * sizeof(TAnketa)));
    }
    void write(const std::vector<TAnketa>& cards) const { write(cards, path); }
    // Another program puts a new file in place, as a restore does.
    void replace(const std::vector<TAnketa>& cards) const {
        const QString fresh = dir.filePath(QStringLiteral("new.dat"));
        write(cards, fresh);
        std::rename(QFile::encodeName(fresh).constData(), QFile::encodeName(path).constData());
    }
};

std::vector<int> uniqueColumn(const CardFileModel& m) {
    std::vector<int> out;
    for (int r = 0; r < m.rowCount(); ++r)
        out.push_back(m.index(r, 10).data().toString().toInt() - makeCard(0).Klu4Form1);
    return out;
}

using Rows = std::vector<int>;

} // namespace

TEST(CardFileModel, RowsShowTheCardsOfTheFileColumnByColumn) {
    Register reg;
    auto cards = makeCards(3);
    cards[1].NameOrg.set(QStringLiteral("ООО «Ёлка»"));
    // A damaged length byte reads as the field's capacity, and the text ends at its first NUL.
    cards[2].FIOUtv.len = 200;
    std::memcpy(cards[2].FIOUtv.data, "\xc8\xe2\xe0\xed\0garbage", 12);
    reg.write(cards);
    CardFileModel main(false);
    CardFileModel working(true);
    main.setFile(reg.path);
    working.setFile(reg.path);
    ASSERT_EQ(main.rowCount(), 3);
    EXPECT_EQ(main.columnCount(), 10);
    EXPECT_EQ(working.columnCount(), 11);
    const TAnketa& c = cards[1];
    const QStringList expected = {ShortDate(c.DataMer),
                                  QStringLiteral("ООО «Ёлка»"),
                                  c.Povod.text(),
                                  c.VidORM.text(),
                                  c.Osnovan.text(),
                                  ShortDate(c.DateKUSP),
                                  c.NomKUSP.text(),
                                  c.Podrazd.text(),
                                  c.FIOSotr.text(),
                                  c.FIOUtv.text(),
                                  QString::number(c.Klu4Form1)};
    for (int col = 0; col < 11; ++col)
        EXPECT_EQ(working.index(1, col).data().toString(), expected[col]) << "column " << col;
    EXPECT_EQ(working.index(2, 9).data().toString(), QStringLiteral("Иван"));
    EXPECT_EQ(main.headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(),
              QStringLiteral("Организация"));
    EXPECT_EQ(working.headerData(10, Qt::Horizontal, Qt::DisplayRole).toString(),
              QStringLiteral("Уник. №"));
    EXPECT_EQ(working.uniqueNumber(2), cards[2].Klu4Form1);
    EXPECT_EQ(working.uniqueNumber(3), 0);
    EXPECT_TRUE(working.cellText(5, 1).isEmpty());
}

TEST(CardFileModel, EachChangeOfThisProgramTellsTheViewWhichRows) {
    Register reg;
    reg.write(makeCards(4));
    CardFileModel model(true);
    model.setFile(reg.path);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    QSignalSpy reset(&model, &QAbstractItemModel::modelReset);

    CardFile file;
    file.open(reg.path, sizeof(TAnketa));
    const auto more = makeCards(2, 10);
    file.appendMany(more.data(), 2); // through the program's own descriptor
    model.cardsAppended();
    ASSERT_EQ(inserted.size(), 1);
    EXPECT_EQ(inserted[0][1].toInt(), 4);
    EXPECT_EQ(inserted[0][2].toInt(), 5);
    EXPECT_EQ(uniqueColumn(model), (Rows{0, 1, 2, 3, 10, 11}));

    // An insertion rewrites the file as a whole and renames it into place.
    reg.replace({makeCard(0), makeCard(1), makeCard(20), makeCard(2), makeCard(3), makeCard(10),
                 makeCard(11)});
    model.cardInserted(2);
    ASSERT_EQ(inserted.size(), 2);
    EXPECT_EQ(inserted[1][1].toInt(), 2);
    EXPECT_EQ(inserted[1][2].toInt(), 2);
    EXPECT_EQ(uniqueColumn(model), (Rows{0, 1, 20, 2, 3, 10, 11}));

    // The Working list's removal: the cards after it moved up in place, the file cut.
    file.open(reg.path, sizeof(TAnketa));
    std::vector<TAnketa> tail(5);
    file.readRange(2, 5, tail.data());
    file.writeRange(1, 5, tail.data());
    file.seek(6);
    file.truncate();
    model.cardRemoved(1);
    ASSERT_EQ(removed.size(), 1);
    EXPECT_EQ(removed[0][1].toInt(), 1);
    EXPECT_EQ(removed[0][2].toInt(), 1);
    EXPECT_EQ(uniqueColumn(model), (Rows{0, 20, 2, 3, 10, 11}));

    TAnketa renamed = makeCard(3);
    renamed.NameOrg.set(QStringLiteral("АО «Переименованное»"));
    file.writeRange(3, 1, &renamed);
    model.cardChanged(3);
    ASSERT_EQ(changed.size(), 1);
    EXPECT_EQ(changed[0][0].value<QModelIndex>().row(), 3);
    EXPECT_EQ(changed[0][1].value<QModelIndex>().row(), 3);
    EXPECT_EQ(changed[0][1].value<QModelIndex>().column(), 10);
    EXPECT_EQ(model.index(3, 1).data().toString(), QStringLiteral("АО «Переименованное»"));
    EXPECT_EQ(reset.size(), 0);

    // A change told wrongly (the file holds other than one card more) shows the file anew.
    model.cardInserted(0);
    EXPECT_EQ(reset.size(), 1);
    EXPECT_EQ(model.rowCount(), 6);
}

TEST(CardFileModel, AFileChangedUnderneathIsShownAsItIsNow) {
    Register reg;
    reg.write(makeCards(5));
    CardFileModel model(true);
    model.setFile(reg.path);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    EXPECT_EQ(model.index(4, 10).data().toString(), QString::number(makeCard(4).Klu4Form1));
    QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
    EXPECT_FALSE(model.refresh()); // nothing changed

    // A restore renames a new file over it.
    reg.replace(makeCards(2, 30));
    EXPECT_TRUE(model.refresh());
    EXPECT_EQ(reset.size(), 1);
    EXPECT_EQ(uniqueColumn(model), (Rows{30, 31}));

    // Another program cuts it in place to one card and a half: the half card is not shown.
    {
        QFile f(reg.path);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        f.resize(sizeof(TAnketa) * 3 / 2);
    }
    EXPECT_TRUE(model.refresh());
    EXPECT_EQ(uniqueColumn(model), (Rows{30}));

    // Gone altogether: no rows, and it comes back when it is there again.
    QFile::remove(reg.path);
    EXPECT_TRUE(model.refresh());
    EXPECT_EQ(model.rowCount(), 0);
    reg.write(makeCards(3, 40));
    EXPECT_TRUE(model.refresh());
    EXPECT_EQ(uniqueColumn(model), (Rows{40, 41, 42}));
}

TEST(CardFileModel, ALinkInPlaceOfTheFileIsNotFollowed) {
    Register reg;
    const QString real = reg.dir.filePath(QStringLiteral("elsewhere.dat"));
    reg.write(makeCards(3), real);
    ASSERT_TRUE(QFile::link(real, reg.path));
    CardFileModel model(false);
    model.setFile(reg.path);
    EXPECT_EQ(model.rowCount(), 0);
}
