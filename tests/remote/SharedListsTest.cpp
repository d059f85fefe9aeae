// Two officers editing one reference list, or the access table, at once: neither loses the
// other's work unasked.
#include "remote/ServerSharedData.h"
#include "server/ServerFixture.h"
#include "store/AccessTable.h"
#include "store/FileError.h"
#include "store/ReferenceLists.h"

#include <gtest/gtest.h>

using namespace zelm;
using namespace zelm::testing;

namespace {

using SharedLists = ServerTest;

TEST_F(SharedLists, TwoOfficersSavingOneListKeepBothEditsLineByLine) {
    auto ra = workstation(QStringLiteral("Иванов"), QStringLiteral("ws1"));
    auto rb = workstation(QStringLiteral("Петров"), QStringLiteral("ws2"));
    ServerSharedData a(*ra);
    ServerSharedData b(*rb);
    const ReferenceListDef& def = referenceLists()[0];
    const QStringList start = {QStringLiteral("Взятка"), QStringLiteral("Кража"),
                               QStringLiteral("Подлог")};
    a.writeReferenceList(def, a.referenceList(def), start);

    // Both read the list; Ivanov adds a line after «Кража» and removes «Подлог»; Petrov, who
    // read it before Ivanov saved, adds a line at the end and renames «Взятка».
    const QStringList readByA = a.referenceList(def);
    const QStringList readByB = b.referenceList(def);
    ASSERT_EQ(readByA, start);
    const QStringList byA = {QStringLiteral("Взятка"), QStringLiteral("Кража"),
                             QStringLiteral("Мошенничество")};
    EXPECT_EQ(a.writeReferenceList(def, readByA, byA), byA) << "nothing in between: as edited";
    const QStringList byB = {QStringLiteral("Взятка (ст. 290)"), QStringLiteral("Кража"),
                             QStringLiteral("Подлог"), QStringLiteral("Грабёж")};
    const QStringList merged = b.writeReferenceList(def, readByB, byB);
    // Each added line follows the nearest line before it in its author's list that is kept.
    const QStringList expected = {QStringLiteral("Взятка (ст. 290)"), QStringLiteral("Кража"),
                                  QStringLiteral("Грабёж"), QStringLiteral("Мошенничество")};
    EXPECT_EQ(merged, expected) << merged.join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(a.referenceList(def), expected) << "what both now read";
}

TEST_F(SharedLists, TheAccessTableIsWrittenOnlyOverTheVersionShown) {
    auto ra = workstation(QStringLiteral("Иванов"), QStringLiteral("ws1"));
    auto rb = workstation(QStringLiteral("Петров"), QStringLiteral("ws2"));
    ServerSharedData a(*ra);
    ServerSharedData b(*rb);
    const QList<AccessRow> rows = a.openAccessTable(45000);
    ASSERT_FALSE(rows.isEmpty());
    b.openAccessTable(45000);
    const QList<AccessRow> shownOnA = a.accessRows();

    // Petrov edits the table while Ivanov looks at it.
    ASSERT_FALSE(b.beginAccessEdit().has_value());
    QList<AccessRow> byB = b.accessRows();
    byB.append({QStringLiteral("05"), 45000, QStringLiteral("Сидоров"), QStringLiteral("777"),
                QStringLiteral("1")});
    b.writeAccessRows(byB);
    b.endAccessEdit();

    // Ivanov's save of the table as he saw it would drop Petrov's row: refused, nothing lost.
    ASSERT_FALSE(a.beginAccessEdit().has_value());
    QList<AccessRow> byA = shownOnA;
    byA[0].Parol = QStringLiteral("123");
    try {
        a.writeAccessRows(byA);
        FAIL() << "written over a version not shown";
    } catch (const FileError& e) {
        EXPECT_TRUE(e.displayText().contains(QStringLiteral("изменили на другом рабочем месте")))
            << e.displayText().toStdString();
    }
    EXPECT_EQ(accessRowsFromBytes(*rb->accessTable()).size(), byB.size());
    // Shown again, it is written.
    byA = a.accessRows();
    byA[0].Parol = QStringLiteral("123");
    a.writeAccessRows(byA);
    a.endAccessEdit();
    const QList<AccessRow> stored = accessRowsFromBytes(*rb->accessTable());
    ASSERT_EQ(stored.size(), byB.size());
    EXPECT_EQ(stored[0].Parol, QStringLiteral("123"));
}

} // namespace
