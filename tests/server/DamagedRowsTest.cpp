// Rows damaged on the server (by hand, by another program, by a disk) are refused with a
// message naming the card, never shown or exported as something else.
#include "ServerFixture.h"
#include "server/RegisterTransfer.h"
#include "server/ServerError.h"
#include "store/Cp1251.h"
#include "store/Cp1251Lower.h"
#include "store/Installation.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <limits>

using namespace zelm;
using namespace zelm::testing;

namespace {

using DamagedRowsTest = ServerTest;

// The message of what `f` threw; empty when it threw nothing.
template <class F> QString refusalOf(F&& f) {
    try {
        f();
    } catch (const ServerError& e) {
        return e.message();
    }
    return {};
}

TEST_F(DamagedRowsTest, DamagedRowsAreRefusedNamingTheCardAndNeverPadded) {
    auto a = workstation(QStringLiteral("Иванов"), QStringLiteral("ws1"));
    std::vector<ServerCard> cards;
    for (int i = 0; i < 4; ++i)
        cards.push_back(a->append(makeCard(i)));
    PgConnection& c = a->connection();
    QTemporaryDir dir;
    QDir(dir.path()).mkpath(QStringLiteral("Baza"));
    QDir(dir.path()).mkpath(QStringLiteral("Temp"));
    const Installation inst(dir.path());

    // Every card keeps its search row, whoever writes: the server refuses to take it away, or
    // to store a card without one.
    EXPECT_THROW(
        c.exec("DELETE FROM card_search WHERE card_id = $1", {PgParam::integer(cards[3].id)}),
        ServerError);
    EXPECT_THROW(c.exec("INSERT INTO cards (file, ord, uniq, gurn, record) SELECT 0, ord + 1, "
                        "4321, 1, record FROM cards WHERE id = $1",
                        {PgParam::integer(cards[3].id)}),
                 ServerError);
    CardFilter filter;
    filter.texts.push_back(
        {offsetof(TAnketa, NameOrg), lowerCp1251(toCp1251(cards[3].record.NameOrg.text()))});
    const std::vector<ServerCard> found = a->findCards(CardFileKind::Main, filter);
    EXPECT_TRUE(std::any_of(found.begin(), found.end(),
                            [&](const ServerCard& f) { return f.id == cards[3].id; }));
    EXPECT_EQ(a->countCards(CardFileKind::Main), 4);

    // The order key at the end of its range: the next cards still go last, each after the
    // one before.
    c.exec("UPDATE cards SET ord = $2 WHERE id = $1",
           {PgParam::integer(cards[3].id), PgParam::integer(std::numeric_limits<qint64>::max())});
    const ServerCard five = a->append(makeCard(5));
    const ServerCard six = a->append(makeCard(6));
    const std::vector<CardRow> order = a->listCards(CardFileKind::Main);
    ASSERT_EQ(order.size(), 6u);
    EXPECT_EQ(order[3].id, cards[3].id);
    EXPECT_EQ(order[4].id, five.id);
    EXPECT_EQ(order[5].id, six.id);
    EXPECT_EQ(six.record.GurN, five.record.GurN + 1);
    EXPECT_TRUE(a->archive(cards[0].id));

    // An attached-file row far beyond the list's records: an error, not a list file padded
    // with blank records up to it.
    TSpisFil link = TSpisFil::zeroed();
    link.Klu4DK = cards[1].record.Klu4Form1;
    link.ImaDok.set(QStringLiteral("Приказ"));
    EXPECT_EQ(a->addAttachment(link), 0);
    c.exec("UPDATE attachments SET pos = 1000000000 WHERE pos = 0");
    QString refused = refusalOf([&] { exportRegisterFromServer(*a, inst); });
    EXPECT_TRUE(refused.contains(QStringLiteral("1000000000"))) << refused.toStdString();
    EXPECT_TRUE(refused.contains(QString::number(link.Klu4DK))) << refused.toStdString();
    EXPECT_FALSE(QFileInfo::exists(inst.attachmentList())) << "the list file was written";
    refused = refusalOf([&] { a->addAttachment(link); });
    EXPECT_TRUE(refused.contains(QStringLiteral("повреждён"))) << refused.toStdString();
    c.exec("UPDATE attachments SET pos = -5");
    refused = refusalOf([&] { exportRegisterFromServer(*a, inst); });
    EXPECT_TRUE(refused.contains(QStringLiteral("-5"))) << "a row passed over unseen";
    c.exec("UPDATE attachments SET pos = 0");

    // A record of the wrong length: refused naming the card, neither shown blank nor
    // exported as zeros.
    c.exec("ALTER TABLE cards DROP CONSTRAINT cards_record_check");
    c.exec("UPDATE cards SET record = '\\x0102'::bytea WHERE id = $1",
           {PgParam::integer(cards[2].id)});
    const QString number = QString::number(cards[2].record.Klu4Form1);
    refused = refusalOf([&] { a->readCard(cards[2].id); });
    EXPECT_TRUE(refused.contains(number) && refused.contains(QStringLiteral("повреждена")))
        << refused.toStdString();
    refused = refusalOf([&] { a->readCards({cards[1].id, cards[2].id}); });
    EXPECT_TRUE(refused.contains(number)) << refused.toStdString();
    refused = refusalOf([&] { exportRegisterFromServer(*a, inst); });
    EXPECT_TRUE(refused.contains(number)) << refused.toStdString();
    EXPECT_FALSE(QFileInfo::exists(inst.mainCardFile())) << "a card file was written";

    // With the card mended, the register exports whole.
    c.exec("UPDATE cards SET record = $2 WHERE id = $1",
           {PgParam::integer(cards[2].id), PgParam::bytes(bytesOf(cards[2].record))});
    const TransferCounts counts = exportRegisterFromServer(*a, inst);
    EXPECT_EQ(counts.cards, 5);
    EXPECT_EQ(counts.archived, 1);
    EXPECT_EQ(counts.attachments, 1);
}

} // namespace
