// One workstation on the server: the schema, the register's order, text stored as typed, and
// the search that picks cards out on the server.
#include "ServerFixture.h"
#include "search/CardMatcher.h"
#include "search/SearchPrefilter.h"
#include "server/Schema.h"
#include "server/ServerError.h"
#include "store/Cp1251.h"
#include "store/DayCount.h"

#include <QSet>

using namespace zelm;
using namespace zelm::testing;

namespace {

QHash<qint64, qint64> orderKeys(ServerRegister& r) {
    QHash<qint64, qint64> keys;
    const PgResult res = r.connection().exec("SELECT id, ord FROM cards WHERE file = 0");
    for (int i = 0; i < res.rows(); ++i)
        keys.insert(res.int64(i, 0), res.int64(i, 1));
    return keys;
}

} // namespace

using ServerRegisterTest = ServerTest;

TEST_F(ServerRegisterTest, SchemaIsMadeOnceAndANewerOneIsRefused) {
    auto a = workstation(QStringLiteral("Иванов"), QStringLiteral("ws1"));
    EXPECT_EQ(schemaVersion(a->connection()), kSchemaVersion);
    a->append(makeCard(1));
    auto b = workstation(QStringLiteral("Петров"), QStringLiteral("ws2")); // opens, keeps data
    EXPECT_EQ(b->countCards(CardFileKind::Main), 1);

    a->connection().exec("UPDATE zelm_schema SET version = version + 1");
    ServerRegister c(ServerConfig::parse(conninfo));
    try {
        c.open();
        FAIL() << "a newer schema was taken";
    } catch (const ServerError& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("более новая версия"))) << e.what();
    }
}

TEST_F(ServerRegisterTest, AnEarlierSchemaGetsTheSearchKeysOfItsCards) {
    auto a = workstation(QStringLiteral("Иванов"), QStringLiteral("ws1"));
    for (int i = 0; i < 1500; ++i) { // more than one batch of the upgrade
        TAnketa card = makeCard(i);
        card.NameOrg.set(i == 1234 ? QStringLiteral("ООО «Ёлочка»")
                                   : QStringLiteral("ООО «Сосна»"));
        a->append(card);
    }
    // The register as the first schema kept it: no keys, no index.
    a->connection().exec("DROP INDEX card_search_keys");
    a->connection().exec("ALTER TABLE card_search DROP COLUMN keys");
    a->connection().exec("UPDATE zelm_schema SET version = 1");

    auto b = workstation(QStringLiteral("Петров"), QStringLiteral("ws2"));
    EXPECT_EQ(schemaVersion(b->connection()), kSchemaVersion);
    EXPECT_EQ(
        b->connection().exec("SELECT count(*) FROM card_search WHERE keys = '{}'").int64(0, 0), 0);
    b->connection().exec("SET enable_seqscan = off"); // the index answers, not a scan
    CardFilter f;
    f.texts.push_back({offsetof(TAnketa, NameOrg), foldBytes(toCp1251(QStringLiteral("ЁЛОЧ")))});
    const std::vector<ServerCard> found = b->findCards(CardFileKind::Main, f);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].record.NameOrg.text(), QStringLiteral("ООО «Ёлочка»"));
}

TEST_F(ServerRegisterTest, InsertionPlacesACardWithoutMovingTheOthers) {
    auto a = workstation(QStringLiteral("Иванов"), QStringLiteral("ws1"));
    std::vector<ServerCard> cards;
    for (int i = 0; i < 3; ++i)
        cards.push_back(a->append(makeCard(i)));
    EXPECT_EQ(cards[2].record.GurN, 3) << "running numbers follow the last card";

    const QHash<qint64, qint64> before = orderKeys(*a);
    TAnketa x = makeCard(10);
    x.GurN = 77;
    const ServerCard inserted = a->insertAfter(cards[0].id, x);
    EXPECT_EQ(inserted.record.GurN, 77) << "an inserted card keeps the running number typed";
    const QHash<qint64, qint64> after = orderKeys(*a);
    for (auto it = before.begin(); it != before.end(); ++it)
        EXPECT_EQ(after.value(it.key()), it.value()) << "card " << it.key() << " was moved";

    const ServerCard first = a->insertAfter(0, makeCard(11));
    const ServerCard again = a->insertAfter(cards[0].id, makeCard(12));
    std::vector<qint64> expected = {first.id,    cards[0].id, again.id,
                                    inserted.id, cards[1].id, cards[2].id};
    std::vector<qint64> got;
    for (const CardRow& r : a->listCards(CardFileKind::Main))
        got.push_back(r.id);
    EXPECT_EQ(got, expected);

    // Insertions at one place until the gap between two keys is used up: the keys are spread
    // again and the order holds.
    std::vector<qint64> chain;
    for (int i = 0; i < 24; ++i)
        chain.push_back(a->insertAfter(cards[1].id, makeCard(100 + i)).id);
    got.clear();
    for (const CardRow& r : a->listCards(CardFileKind::Main))
        got.push_back(r.id);
    expected.insert(expected.begin() + 5, chain.rbegin(), chain.rend());
    EXPECT_EQ(got, expected);
}

TEST_F(ServerRegisterTest, CardTextIsStoredAsTyped) {
    auto a = workstation(QStringLiteral("O'Брайен \"Бобби\""), QStringLiteral("ws1"));
    TAnketa card = makeCard(5);
    card.NameOrg.set(QStringLiteral("ООО \"Ёлка\"'); DROP TABLE cards; --"));
    card.AdresOrg.set(QStringLiteral("C:\\Документы\\ \\x00 \\\\ '' \"\" $1 %s"));
    card.Prime4.set(QStringLiteral("строка 1\r\n'); DROP TABLE card_search; --\r\n\\'"));
    card.reserved[3] = '\0';
    card.reserved[4] = '\'';
    card.reserved[5] = '\\';
    const ServerCard stored = a->append(card);
    card.Klu4Form1 = stored.record.Klu4Form1;
    card.GurN = stored.record.GurN;

    auto b = workstation(QStringLiteral("Петров"), QStringLiteral("ws2"));
    const std::optional<ServerCard> read = b->readCard(stored.id);
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(bytesOf(read->record), bytesOf(card));
    EXPECT_EQ(read->stamp.user, QStringLiteral("pgadmin")) << "the server's word, not the client's";
    EXPECT_EQ(b->countCards(CardFileKind::Main), 1) << "the tables are all there";

    CardFilter f;
    f.texts.push_back(
        {offsetof(TAnketa, NameOrg), foldBytes(toCp1251(QStringLiteral("'); DROP")))});
    EXPECT_EQ(b->findCards(CardFileKind::Main, f).size(), 1u);
}

TEST_F(ServerRegisterTest, ServerSearchFindsWhatTheMatcherFinds) {
    auto a = workstation(QStringLiteral("Иванов"), QStringLiteral("ws1"));
    std::vector<TAnketa> cards = makeCards(400);
    cards[7].NameOrg.set(QStringLiteral("ЗАО «ЁЛОЧКА»"));
    cards[8].NameOrg.set(QStringLiteral("ип елочка"));
    cards[9].FIOSotr.set(QStringLiteral("ЁЛКИН Пётр"));
    for (const TAnketa& c : cards)
        a->append(c);

    const auto check = [&](const SearchConditions& sc) {
        const CardMatcher matcher(sc);
        std::vector<qint32> expected;
        a->scanCards(CardFileKind::Main, [&](const ServerCard& c) {
            if (matcher.matches(c.record))
                expected.push_back(c.record.Klu4Form1);
        });
        const CardFilter filter = searchPrefilter(sc);
        std::vector<qint32> got;
        for (const ServerCard& c : a->findCards(CardFileKind::Main, filter))
            if (matcher.matches(c.record))
                got.push_back(c.record.Klu4Form1);
        EXPECT_EQ(got, expected);
        return expected.size();
    };
    SearchConditions sc;
    sc.dataMer = {EmptyDate(), toDayCount(QDate(2100, 1, 1))};
    sc.dateKusp = sc.dataMer;
    sc.dataOsn = sc.dataMer;
    sc.text(SearchField::NameOrg) = QStringLiteral(" ЁЛОЧ ");
    EXPECT_GE(check(sc), 1u) << "ё is not е, as on disk";
    sc.text(SearchField::NameOrg) = QStringLiteral("ЕЛОЧ");
    EXPECT_GE(check(sc), 1u);
    sc.text(SearchField::NameOrg) = QStringLiteral("ЧКА»");
    EXPECT_GE(check(sc), 1u) << "a needle at the end of a field";
    sc.text(SearchField::NameOrg) = QStringLiteral("ёл");
    EXPECT_GE(check(sc), 1u) << "a needle too short for the index";
    sc.text(SearchField::NameOrg) = QStringLiteral("ооо");
    check(sc);
    sc.text(SearchField::NameOrg).clear();
    sc.text(SearchField::FIOSotr) = QStringLiteral("ёлкин");
    EXPECT_GE(check(sc), 1u);
    sc.text(SearchField::FIOSotr).clear();
    // A saved card is found by the words it has now.
    const qint64 id = a->listCards(CardFileKind::Main)[7].id;
    std::optional<ServerCard> shown = a->readCard(id);
    ASSERT_TRUE(shown.has_value());
    shown->record.FIOSotr.set(QStringLiteral("Берёзкин"));
    ASSERT_EQ(a->save(id, shown->record, shown->version).status, SaveResult::Status::Saved);
    sc.text(SearchField::FIOSotr) = QStringLiteral("БЕРЁЗ");
    EXPECT_EQ(check(sc), 1u);
    sc.text(SearchField::FIOSotr).clear();
    const double someDay = wholeDays(cards[100].DataMer);
    sc.dataMer = {someDay, someDay + 0.99};
    EXPECT_GE(check(sc), 1u);
}

TEST_F(ServerRegisterTest, AttachmentsReuseFreeRecordsAndListsKeepTheirBytes) {
    auto a = workstation(QStringLiteral("Иванов"), QStringLiteral("ws1"));
    TSpisFil link = TSpisFil::zeroed();
    link.Klu4DK = 42;
    link.ImaDok.set(QStringLiteral("Приказ"));
    EXPECT_EQ(a->addAttachment(link), 0);
    EXPECT_EQ(a->addAttachment(link), 1);
    a->writeAttachment(0, TSpisFil::zeroed());
    EXPECT_EQ(a->countAttachments(42), 1);
    EXPECT_EQ(a->addAttachment(link), 0) << "a free record is reused before appending";
    EXPECT_EQ(a->attachmentsOf(42).size(), 2u);

    const QByteArray list = toCp1251(QStringLiteral("\r\nВзятка\r\nКража\r\n"));
    a->writeReferenceList(QStringLiteral("Povod.txt"), list);
    EXPECT_EQ(a->referenceList(QStringLiteral("Povod.txt")), list);
    EXPECT_FALSE(a->referenceList(QStringLiteral("VidORM.txt")).has_value());
}

TEST_F(ServerRegisterTest, ASaveTakingAnotherCardsNumberIsRefusedAndChangesNothing) {
    auto a = workstation(QStringLiteral("Иванов"), QStringLiteral("ws1"));
    const ServerCard one = a->append(makeCard(1));
    const ServerCard two = a->append(makeCard(2));
    TAnketa clash = two.record;
    clash.Klu4Form1 = one.record.Klu4Form1;
    try {
        a->save(two.id, clash, two.version);
        FAIL() << "two cards share a unique number";
    } catch (const ServerError& e) {
        EXPECT_EQ(e.sqlState(), QStringLiteral("23505"));
        EXPECT_TRUE(e.message().contains(QStringLiteral("уникальным номером"))) << e.what();
    }
    EXPECT_EQ(bytesOf(a->readCard(two.id)->record), bytesOf(two.record));
    EXPECT_EQ(a->readCard(two.id)->version, two.version);
}
