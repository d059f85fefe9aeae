// The starts of the report program: where it is found, its command lines and their order, the
// mode, and what the user sees when it cannot be started or its data cannot be written.
#include "PrintFixture.h"

#include "output/PrintCommands.h"
#include "store/CardFile.h"

using namespace zelm;
using namespace zelm::testing;

namespace {

using Lines = QStringList;

class Launcher : public PrintFixture {
protected:
    TAnketa card(int gurN) {
        TAnketa c = TAnketa::zeroed();
        c.GurN = gurN;
        return c;
    }
};

} // namespace

TEST_F(Launcher, FullCardStartsTheProgramTwiceInTheReportFolder) {
    EXPECT_TRUE(N13Click(launcher, card(5), QStringLiteral("Владелец")));
    ASSERT_EQ(platform.startedPrograms.size(), 2) << platform.messages.value(0).text.toStdString();
    for (const StartedProgram& p : platform.startedPrograms) {
        EXPECT_EQ(p.program, inst.path("report/reportf"));
        EXPECT_EQ(p.workingFolder, inst.path("report"));
    }
    EXPECT_EQ(platform.startedPrograms[0].arguments,
              (Lines{"PolnDat.txt", "PolnPic.rtf", "PolnRep.rtf", "-", "/m"}));
    EXPECT_EQ(platform.startedPrograms[1].arguments,
              (Lines{"PolnDat.txt", "PolnPic.rtf", "PolnRep.rtf"}));
    EXPECT_TRUE(readReport("PolnDat.txt").startsWith("|0:wladelec:"));
    EXPECT_TRUE(platform.messages.isEmpty());
}

TEST_F(Launcher, ListThenFullCardEachStartWithTheirOwnFiles) {
    QDir().mkpath(inst.path("Temp"));
    CardFile working;
    working.create(inst.path("Temp/RabAnket.dat"), sizeof(TAnketa));
    const TAnketa listed[] = {card(1), card(2), card(3)};
    working.appendMany(listed, 3);

    EXPECT_TRUE(PRNSpisokClick(launcher, working, QStringLiteral("В")));
    // The full card printed next is the card shown, not the last card of the list.
    EXPECT_TRUE(N13Click(launcher, card(42), QStringLiteral("В")));
    EXPECT_EQ(commandLines(), (Lines{"KnigaDat.txt KnigaPic.rtf KnigaRep.rtf - /m",
                                     "KnigaDat.txt KnigaPic.rtf KnigaRep.rtf",
                                     "PolnDat.txt PolnPic.rtf PolnRep.rtf - /m",
                                     "PolnDat.txt PolnPic.rtf PolnRep.rtf"}));
    EXPECT_TRUE(readReport("PolnDat.txt").contains("\r\n|0:GurN:42\r\n"));
    EXPECT_EQ(readReport("KnigaDat.txt").count("|1:n:"), 3);
}

TEST_F(Launcher, AnyModeButPreviewAddsThePrintFlagToEverySecondStart) {
    launcher.setReportMode(QStringLiteral("Molcha"));
    N13Click(launcher, card(1), QString());
    PolnPicrtf1Click(launcher);                      // a template command ignores the mode
    launcher.setReportMode(QStringLiteral("prosm")); // only the exact word means preview
    N13Click(launcher, card(1), QString());
    launcher.setReportMode(QStringLiteral("Prosm"));
    N13Click(launcher, card(1), QString());
    EXPECT_EQ(
        commandLines(),
        (Lines{"PolnDat.txt PolnPic.rtf PolnRep.rtf - /m",
               "PolnDat.txt PolnPic.rtf PolnRep.rtf - /p", "PolnDat.txt PolnPic.rtf",
               "PolnDat.txt PolnPic.rtf PolnRep.rtf - /m",
               "PolnDat.txt PolnPic.rtf PolnRep.rtf - /p",
               "PolnDat.txt PolnPic.rtf PolnRep.rtf - /m", "PolnDat.txt PolnPic.rtf PolnRep.rtf"}));
}

TEST_F(Launcher, TemplateCommandsStartOnceAndWriteNothing) {
    EXPECT_TRUE(PolnPicrtf1Click(launcher));
    EXPECT_TRUE(KnigaPic1Click(launcher));
    EXPECT_EQ(commandLines(), (Lines{"PolnDat.txt PolnPic.rtf", "KnigaDat.txt KnigaPic.rtf"}));
    EXPECT_EQ(platform.startedPrograms[1].workingFolder, inst.path("report"));
    EXPECT_EQ(QDir(inst.path("report")).entryList(QDir::Files), (Lines{"reportf"}));
}

TEST_F(Launcher, TheProgramBesideTheExecutableIsTakenWhenReportHasNone) {
    QTemporaryDir beside;
    installProgram(beside.path());
    ReportLauncher other(inst, platform, {inst.path("report"), beside.path()});
    QFile::remove(inst.path("report/reportf"));
    EXPECT_TRUE(other.launch(QStringLiteral("KonA8")));
    ASSERT_EQ(platform.startedPrograms.size(), 2);
    EXPECT_EQ(platform.startedPrograms[0].program, QDir(beside.path()).filePath("reportf"));
    EXPECT_EQ(platform.startedPrograms[0].workingFolder, inst.path("report"));

    // The installation's own copy comes first.
    installProgram(inst.path("report"));
    platform.clearRecords();
    other.launch(QStringLiteral("KonA8"));
    EXPECT_EQ(platform.startedPrograms[0].program, inst.path("report/reportf"));
}

TEST_F(Launcher, AProgramThatCannotBeStartedIsReportedOnce) {
    QFile::remove(inst.path("report/reportf"));
    EXPECT_FALSE(N13Click(launcher, card(1), QString()));
    ASSERT_EQ(platform.messages.size(), 1);
    EXPECT_EQ(platform.messages[0].kind, ShownMessage::Error);
    EXPECT_TRUE(platform.messages[0].text.contains(QStringLiteral("reportf")));
    EXPECT_TRUE(platform.messages[0].text.contains(QStringLiteral("файл не найден")));
    EXPECT_TRUE(platform.startedPrograms.isEmpty());
    EXPECT_FALSE(readReport("PolnDat.txt").isEmpty()); // the data was written all the same

    // Present but refused by the system: the system's reason is shown.
    installProgram(inst.path("report"));
    platform.clearRecords();
    platform.startFailure = QStringLiteral("Permission denied");
    EXPECT_FALSE(KnigaPic1Click(launcher));
    ASSERT_EQ(platform.messages.size(), 1);
    EXPECT_TRUE(platform.messages[0].text.contains(QStringLiteral("Permission denied")));
    EXPECT_TRUE(platform.messages[0].text.contains(inst.path("report/reportf")));
}

TEST_F(Launcher, DataThatCannotBeWrittenStartsNothing) {
    QDir(inst.path("report")).removeRecursively();
    QTemporaryDir beside;
    installProgram(beside.path());
    ReportLauncher other(inst, platform, {beside.path()});
    EXPECT_FALSE(N13Click(other, card(1), QString()));
    ASSERT_EQ(platform.messages.size(), 1);
    EXPECT_EQ(platform.messages[0].kind, ShownMessage::Error);
    EXPECT_TRUE(platform.messages[0].text.endsWith(inst.path("report/PolnDat.txt")));
    EXPECT_TRUE(platform.shellCalls.isEmpty());
}
