// Data files and templates as an attacker would make them: card text that tries to forge
// items, overlapping table rows, links, pipes and devices, data that asks for an endless
// report, and data files cut short.
#include "SampleData.h"
#include "reportf/ReportCommand.h"
#include "reportf/ReportData.h"
#include "reportf/ReportError.h"
#include "reportf/RtfMerge.h"
#include "reportf/RtfTemplate.h"
#include "reportf/RtfTokenizer.h"
#include "reportf/templates/ReportTemplates.h"
#include "store/Cp1251.h"
#include "store/TextFiles.h"
#include "store/UnitGlo.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utime.h>

using namespace zelm::reportf;

namespace {

QString errorOf(const std::function<void()>& run) {
    try {
        run();
    } catch (const ReportError& e) {
        return e.text();
    }
    return {};
}

QByteArray get(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

class Hostile : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        zelm::writeMissingReportTemplates(dir.path());
    }
    QString path(const QString& name) const { return dir.filePath(name); }
    QTemporaryDir dir;
};

} // namespace

TEST_F(Hostile, CardTextCannotForgeItemsAndIsPrintedAsTyped) {
    // What a user can type into a card, written by the card index's own writer.
    const QString forgedName = QStringLiteral("Рога|1:n:999|1:NameOrg:Подделка");
    const QString forgedResult = QStringLiteral("Итог\r\n|0:Prime4:подменённое примечание");
    const QString bareHeader = QStringLiteral("строка\r\n|0:");
    {
        zelm::ReportFile file(path("KnigaDat.txt"));
        zelm::ReportLine(file, QStringLiteral("wladelec:ОВД"));
        zelm::ReportItem(file, QStringLiteral("n:1"));
        zelm::ReportItem(file, QStringLiteral("NameOrg:") + forgedName);
        zelm::ReportItem(file, QStringLiteral("Rezultat:") + forgedResult);
        zelm::ReportItem(file, QStringLiteral("Prime4:") + bareHeader);
        file.write(QByteArrayView("\r\n\r\n"));
        file.close();
    }
    const ReportData list = ReportData::read(path("KnigaDat.txt"));
    ASSERT_EQ(list.recordCount(), 1); // no card that does not exist
    EXPECT_EQ(list.item(0, list.itemIndex("n")), QStringLiteral("1"));
    EXPECT_EQ(list.item(0, list.itemIndex("NameOrg")), forgedName);
    EXPECT_EQ(list.item(0, list.itemIndex("Rezultat")), forgedResult);
    EXPECT_EQ(list.item(0, list.itemIndex("Prime4")), bareHeader);
    EXPECT_FALSE(list.isHeaderKey("Prime4"));

    {
        zelm::ReportFile file(path("PolnDat.txt"));
        zelm::ReportLine(file, QStringLiteral("Rezultat:") + forgedResult);
        zelm::ReportLine(file, QStringLiteral("Prime4:настоящее примечание"));
        zelm::ReportLine(file, QStringLiteral("NameOrg:a||b|"));
        file.write(QByteArrayView("\r\n\r\n"));
        file.close();
    }
    const ReportData card = ReportData::read(path("PolnDat.txt"));
    EXPECT_EQ(card.header("Rezultat"), forgedResult);
    EXPECT_EQ(card.header("Prime4"), QStringLiteral("настоящее примечание"));
    EXPECT_EQ(card.header("NameOrg"), QStringLiteral("a||b|"));

    // The 250-character cut counts the text as typed, not its doubled bars.
    {
        zelm::ReportFile file(path("PolnDat.txt"));
        zelm::ReportLine(file, QStringLiteral("Prime4:") + QString(300, QLatin1Char('|')));
        file.write(QByteArrayView("\r\n\r\n"));
        file.close();
    }
    EXPECT_EQ(ReportData::read(path("PolnDat.txt")).header("Prime4"),
              QString(250 - 10, QLatin1Char('|')));
}

TEST_F(Hostile, OverlappingTableRowsAreAnErrorNotABrokenReport) {
    // The second row starts inside a group that closes after the first row has ended.
    const QByteArray rtf = "{\\rtf1\\ansi #wladelec#{\\trowd\\cellx100 head\\cell\\row"
                           "\\trowd\\cellx100 #n#\\cell}\\row tail}";
    const auto known = [](const QString&) { return true; };
    EXPECT_THROW(RtfTemplate(rtf, known), RtfSyntaxError);

    sample::writeFile(path("BadPic.rtf"), rtf);
    sample::writeFile(path("KnigaDat.txt"), sample::measureListFile(2));
    const QString error = errorOf(
        [&] { mergeToFile(path("KnigaDat.txt"), path("BadPic.rtf"), path("KnigaRep.rtf")); });
    EXPECT_TRUE(error.contains(path("BadPic.rtf"))) << error.toStdString();
    EXPECT_FALSE(QFile::exists(path("KnigaRep.rtf")));
}

TEST_F(Hostile, LinksPipesAndDevicesAreNeverFollowed) {
    sample::writeAll(dir.path());
    QDir().mkpath(path("Baza"));
    sample::writeFile(path("Baza/Anketi.dat"), QByteArray(1744, 'A'));
    // The report a print writes, as a link to the register.
    ASSERT_EQ(::symlink("Baza/Anketi.dat", path("KnigaRep.rtf").toLocal8Bit().constData()), 0);
    QString error = errorOf(
        [&] { mergeToFile(path("KnigaDat.txt"), path("KnigaPic.rtf"), path("KnigaRep.rtf")); });
    EXPECT_TRUE(error.contains(path("KnigaRep.rtf"))) << error.toStdString();
    EXPECT_EQ(get(path("Baza/Anketi.dat")), QByteArray(1744, 'A'));

    // A data file that is a link, a template that is a pipe or a device: refused at once.
    ASSERT_EQ(::symlink("Baza/Anketi.dat", path("LinkDat.txt").toLocal8Bit().constData()), 0);
    ASSERT_EQ(::mkfifo(path("FifoPic.rtf").toLocal8Bit().constData(), 0600), 0);
    const QList<std::pair<QString, QString>> cases = {
        {path("LinkDat.txt"), path("KnigaPic.rtf")},
        {path("KnigaDat.txt"), path("FifoPic.rtf")},
        {path("KnigaDat.txt"), QStringLiteral("/dev/zero")},
        {QStringLiteral("/dev/zero"), path("KnigaPic.rtf")},
    };
    for (const auto& [data, rtf] : cases) {
        error = errorOf([&] { mergeToFile(data, rtf, path("Out.rtf")); });
        EXPECT_FALSE(error.isEmpty()) << data.toStdString() << " " << rtf.toStdString();
        EXPECT_TRUE(error.contains(data) || error.contains(rtf)) << error.toStdString();
    }
}

TEST_F(Hostile, CleaningOldViewCopiesEmptiesNoOtherFolder) {
    const QString cache = path("cache");
    qputenv("XDG_CACHE_HOME", cache.toLocal8Bit());
    const QString root = cache + "/zelm/reportf-view";
    QDir().mkpath(root);
    const QString other = path("precious");
    QDir().mkpath(other + "/sub");
    sample::writeFile(other + "/keep.txt", "mine");
    sample::writeFile(other + "/sub/keep.txt", "mine too");
    // Old enough to be cleaned, were it a view copy.
    const utimbuf old{0, 0};
    ::utime(other.toLocal8Bit().constData(), &old);
    ASSERT_EQ(::symlink(other.toLocal8Bit().constData(), (root + "/old").toLocal8Bit().constData()),
              0);
    sample::writeFile(path("KnigaRep.rtf"), "{\\rtf1 x}");
    const QString copy = viewCopy(path("KnigaRep.rtf"));
    EXPECT_EQ(get(copy), "{\\rtf1 x}");
    EXPECT_EQ(get(other + "/keep.txt"), "mine");
    EXPECT_EQ(get(other + "/sub/keep.txt"), "mine too");

    // The view folder itself a link to the other folder: the link goes, the folder stays.
    QDir(root).removeRecursively();
    QDir().mkpath(other + "/20200101-000000-000-1");
    ::utime((other + "/20200101-000000-000-1").toLocal8Bit().constData(), &old);
    sample::writeFile(other + "/20200101-000000-000-1/keep.txt", "also mine");
    ASSERT_EQ(::symlink(other.toLocal8Bit().constData(), root.toLocal8Bit().constData()), 0);
    viewCopy(path("KnigaRep.rtf"));
    EXPECT_EQ(get(other + "/20200101-000000-000-1/keep.txt"), "also mine");
    EXPECT_FALSE(QFileInfo(root).isSymLink());
    qunsetenv("XDG_CACHE_HOME");
}

TEST_F(Hostile, AReportOfEmptyCardsIsRefusedBeforeItFillsTheDisk) {
    // 1 MB of empty cards through the list's wide row would be some 550 MB of report.
    QByteArray data = "|0:wladelec:x\r\n";
    while (data.size() < (1 << 20))
        data += "|1:n:\r\n";
    data += "\r\n";
    sample::writeFile(path("KnigaDat.txt"), data);
    const auto rtfFiles = [&] {
        return QDir(dir.path()).entryList({"*.rtf*"}, QDir::Files | QDir::Hidden).size();
    };
    const auto templates = rtfFiles();
    const QString error = errorOf(
        [&] { mergeToFile(path("KnigaDat.txt"), path("KnigaPic.rtf"), path("KnigaRep.rtf")); });
    EXPECT_TRUE(error.contains(QStringLiteral("МБ"))) << error.toStdString();
    EXPECT_TRUE(error.contains(path("KnigaDat.txt"))) << error.toStdString();
    EXPECT_FALSE(QFile::exists(path("KnigaRep.rtf")));
    EXPECT_EQ(rtfFiles(), templates); // no report, no scratch file left behind

    // A real list of 2 000 cards stays well inside the limit.
    sample::writeFile(path("KnigaDat.txt"), sample::measureListFile(2000));
    mergeToFile(path("KnigaDat.txt"), path("KnigaPic.rtf"), path("KnigaRep.rtf"));
    EXPECT_GT(QFileInfo(path("KnigaRep.rtf")).size(), 2000 * 500);
}

TEST_F(Hostile, ACardHoldsMemoryForItsOwnItemsOnly) {
    // Every card with an item key of its own: a card once took room for every key of the file.
    QByteArray data = "|0:wladelec:x\r\n";
    const int cards = 4000;
    for (int i = 0; i < cards; ++i)
        data += "|1:n:" + QByteArray::number(i) + "|1:k" + QByteArray::number(i) + ":v\r\n";
    data += "\r\n";
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const ReportData d = ReportData::parse(data, QStringLiteral("KnigaDat.txt"));
        ::_exit(d.recordCount() == cards && d.item(cards - 1, d.itemIndex("k3999")) == "v" ? 0 : 1);
    }
    int status = 0;
    rusage usage{};
    ::wait4(child, &status, 0, &usage);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    rusage self{};
    ::getrusage(RUSAGE_SELF, &self);
    // 4 000 cards of 4 000 slots were 16 million strings, some 380 MB.
    EXPECT_LT(usage.ru_maxrss - self.ru_maxrss, 100 * 1024) << usage.ru_maxrss << " kB";
}

TEST_F(Hostile, EmptyOrCutDataFilesAreRefusedNamingTheFile) {
    const QByteArray list = sample::measureListFile(2);
    const QByteArray card = sample::fullCardFile();
    const QList<std::pair<QString, QByteArray>> bad = {
        {"KnigaDat.txt", ""},
        {"KnigaDat.txt", list.left(list.size() - 2)},               // no empty line at the end
        {"KnigaDat.txt", list.left(list.indexOf("|1:Prime4") + 5)}, // cut inside an item
        {"PolnDat.txt", card.left(card.size() - 2)},                // one empty line of two
        {"PolnDat.txt", "\r\n\r\n"},
        {"KonA8Dat.txt", sample::envelopeFile().chopped(2)},
    };
    for (const auto& [name, bytes] : bad) {
        sample::writeFile(path(name), bytes);
        const QString error = errorOf([&] { ReportData::read(path(name)); });
        EXPECT_TRUE(error.contains(path(name))) << name.toStdString() << " " << bytes.size();
    }
    // What the card index writes is whole, the empty Working card file too.
    for (const auto& [name, bytes] :
         QList<std::pair<QString, QByteArray>>{{"KnigaDat.txt", list},
                                               {"KnigaDat.txt", sample::measureListFile(0)},
                                               {"PolnDat.txt", card},
                                               {"KonA8Dat.txt", sample::envelopeFile()}}) {
        sample::writeFile(path(name), bytes);
        EXPECT_TRUE(errorOf([&] { ReportData::read(path(name)); }).isEmpty()) << name.toStdString();
    }
    sample::writeFile(path("KnigaDat.txt"), sample::measureListFile(0));
    EXPECT_EQ(ReportData::read(path("KnigaDat.txt")).recordCount(), 0);
}
