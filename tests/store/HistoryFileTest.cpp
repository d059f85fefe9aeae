// Baza/History.dat after crashes: a torn or damaged tail is never read as a version and the
// next append starts on a record's edge; old versions go when the file is opened.
#include "store/HistoryFile.h"
#include "common/FileBytes.h"
#include "store/DayCount.h"
#include "store/FileError.h"
#include "store/Installation.h"
#include "store/Settings.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace zelm;
using namespace zelm::testing;

namespace {

CardVersion version(std::int32_t uniq, const QString& organisation, const QDateTime& when) {
    CardVersion v;
    v.action = HistoryAction::Save;
    v.when = when;
    v.who = QStringLiteral("Сидорова А.А.");
    v.card.Klu4Form1 = uniq;
    v.card.NameOrg.set(organisation);
    return v;
}

class HistoryFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        QDir(dir.path()).mkpath(QStringLiteral("Baza"));
        setClockForTesting([this] { return now; });
    }
    void TearDown() override { setClockForTesting({}); }
    QString path() const { return dir.filePath(QStringLiteral("Baza/History.dat")); }
    qint64 size() const { return QFileInfo(path()).size(); }
    void appendRaw(const QByteArray& bytes) const {
        QFile f(path());
        ASSERT_TRUE(f.open(QIODevice::Append));
        f.write(bytes);
    }

    QTemporaryDir dir;
    QDateTime now = QDateTime(QDate(2026, 6, 1), QTime(12, 0), Qt::UTC);
};

TEST_F(HistoryFileTest, ATornOrDamagedTailIsNeverReadAndIsCutBeforeTheNextAppend) {
    {
        HistoryFile h(path());
        h.open(0);
        EXPECT_FALSE(QFileInfo::exists(path())) << "made before anything was kept";
        for (int i = 0; i < 3; ++i)
            h.append(version(7, QStringLiteral("ООО «%1»").arg(i), now.addSecs(i)));
    }
    const qint64 whole = 3 * qint64(sizeof(THistory));
    ASSERT_EQ(size(), whole);

    // A power cut mid-append: a whole record's length of which only the start was written,
    // and then half a record. Another whole record with the right mark but a broken check.
    THistory damaged = historyRecord(version(7, QStringLiteral("ООО «Мусор»"), now));
    damaged.card.NameOrg.data[3] ^= 1;
    THistory zeros;
    std::memset(&zeros, 0, sizeof zeros);
    std::memcpy(&zeros, "ZHv1", 4);
    appendRaw(QByteArray(reinterpret_cast<const char*>(&damaged), sizeof damaged));
    appendRaw(QByteArray(reinterpret_cast<const char*>(&zeros), sizeof zeros));
    appendRaw(QByteArray(reinterpret_cast<const char*>(&damaged), 900));

    HistoryFile h(path());
    // Another reader before the file is opened again reads only the whole versions.
    {
        HistoryFile reader(path());
        std::vector<CardVersion> seen;
        reader.scan([&](const CardVersion& v) { seen.push_back(v); });
        EXPECT_EQ(seen.size(), 3u);
    }
    h.open(0);
    EXPECT_EQ(size(), whole);
    h.append(version(7, QStringLiteral("ООО «После сбоя»"), now.addSecs(10)));
    EXPECT_EQ(size(), whole + qint64(sizeof(THistory)));
    const std::vector<CardVersion> v = h.versionsOf(7);
    ASSERT_EQ(v.size(), 4u);
    EXPECT_EQ(v[0].card.NameOrg.text(), QStringLiteral("ООО «После сбоя»"));
    EXPECT_EQ(v[3].card.NameOrg.text(), QStringLiteral("ООО «0»"));
    EXPECT_EQ(v[0].who, QStringLiteral("Сидорова А.А."));
    EXPECT_EQ(v[0].when, now.addSecs(10));
    EXPECT_TRUE(h.versionsOf(8).empty());
}

TEST_F(HistoryFileTest, VersionsOlderThanTheDaysKeptGoWhenTheFileIsOpened) {
    {
        HistoryFile h(path());
        h.open(30);
        h.append(version(1, QStringLiteral("старая"), now.addDays(-40)));
        h.append(version(2, QStringLiteral("на границе"), now.addDays(-29)));
        h.append(version(1, QStringLiteral("новая"), now.addDays(-1)));
    }
    HistoryFile h(path());
    h.open(30);
    const std::vector<CardVersion> one = h.versionsOf(1);
    ASSERT_EQ(one.size(), 1u);
    EXPECT_EQ(one[0].card.NameOrg.text(), QStringLiteral("новая"));
    EXPECT_EQ(h.versionsOf(2).size(), 1u);
    EXPECT_EQ(size(), 2 * qint64(sizeof(THistory)));
    // The rewrite left no scratch file beside the data.
    EXPECT_EQ(QDir(dir.filePath(QStringLiteral("Baza"))).entryList(QDir::Files),
              QStringList{QStringLiteral("History.dat")});
    h.append(version(1, QStringLiteral("ещё"), now));
    EXPECT_EQ(h.versionsOf(1).size(), 2u);
}

TEST_F(HistoryFileTest, ALinkInItsPlaceIsRefusedAndTheSettingHasADefault) {
    const QString target = dir.filePath(QStringLiteral("elsewhere.dat"));
    writeBytes(target, "untouched");
    ASSERT_TRUE(QFile::link(target, path()));
    HistoryFile h(path());
    EXPECT_THROW(h.open(0), FileError);
    EXPECT_THROW(h.append(version(1, QStringLiteral("x"), now)), FileError);
    QFile f(target);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("untouched"));

    const Installation inst(dir.path());
    EXPECT_EQ(historyDaysSetting(inst), OfficeSettings::kDefaultHistoryDays);
    OfficeSettings s = defaultSettings(inst);
    s.historyDays = 90;
    writeSettingsFile(inst.settingsFile(), s);
    EXPECT_EQ(historyDaysSetting(inst), 90);
    OfficeSettings read;
    readSettingsFile(inst.settingsFile(), inst, read);
    EXPECT_EQ(read.historyDays, 90);
    EXPECT_EQ(read.Firma, s.Firma);
}

} // namespace
