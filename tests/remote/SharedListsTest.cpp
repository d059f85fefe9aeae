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
    const QString admin = QStringLiteral("Администратор");
    const QString password = QStringLiteral("580214");
    auto ra = workstation(QStringLiteral("Иванов"), QStringLiteral("ws1"));
    auto rb = workstation(QStringLiteral("Петров"), QStringLiteral("ws2"));
    ServerSharedData a(*ra);
    ServerSharedData b(*rb);
    a.openAccessTable(45000);
    b.openAccessTable(45000);
    ASSERT_TRUE(a.login(admin, password).has_value());
    ASSERT_TRUE(b.login(admin, password).has_value());
    a.setAdministratorPassword(password);
    b.setAdministratorPassword(password);
    const QList<AccessRow> shownOnA = a.accessRows();
    ASSERT_FALSE(shownOnA.isEmpty());

    // Petrov edits the table while Ivanov looks at it.
    b.setAdministratorPassword(password);
    ASSERT_FALSE(b.beginAccessEdit().has_value());
    QList<AccessRow> byB = b.accessRows();
    byB.append({QStringLiteral("05"), 45000, QStringLiteral("Сидоров"), QStringLiteral("777"),
                QStringLiteral("1")});
    b.writeAccessRows(byB);
    b.endAccessEdit();
    ASSERT_EQ(rb->accessRows(admin, password)->size(), byB.size()) << "written by Petrov";

    // Ivanov's save of the table as he saw it would drop Petrov's row: refused, nothing lost.
    a.setAdministratorPassword(password);
    ASSERT_FALSE(a.beginAccessEdit().has_value());
    QList<AccessRow> byA = shownOnA;
    byA[0].Parol = QStringLiteral("123456");
    try {
        a.writeAccessRows(byA);
        FAIL() << "written over a version not shown";
    } catch (const FileError& e) {
        EXPECT_TRUE(e.displayText().contains(QStringLiteral("изменили на другом рабочем месте")))
            << e.displayText().toStdString();
    }
    EXPECT_EQ(rb->accessRows(admin, password)->size(), byB.size());
    // Shown again, it is written.
    byA = a.accessRows();
    byA[0].Parol = QStringLiteral("123456");
    a.writeAccessRows(byA);
    a.endAccessEdit();
    // The administrator's own password was the one changed.
    ASSERT_EQ(byA[0].FIO, admin);
    const auto stored = rb->accessRows(admin, QStringLiteral("123456"));
    ASSERT_TRUE(stored.has_value()) << "the password written is the one that lets in";
    EXPECT_EQ(stored->size(), byB.size());
}

} // namespace
