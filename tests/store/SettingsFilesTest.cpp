#include "store/ColourText.h"
#include "store/FileError.h"
#include "store/Installation.h"
#include "store/ReferenceLists.h"
#include "store/Settings.h"
#include "store/TextFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace zelm;

TEST(TextFiles, SplitsAnyLineEndsAndAnyBytes) {
    EXPECT_EQ(splitTextLines("a\r\nb\rc\nd"), (QStringList{"a", "b", "c", "d"}));
    EXPECT_EQ(splitTextLines("a\r\n\r\n"), (QStringList{"a", ""}));
    const QStringList bytes = splitTextLines(QByteArray("\xC0\x98\xFF", 3));
    ASSERT_EQ(bytes.size(), 1);
    EXPECT_EQ(bytes.first().size(), 3);
}

TEST(ColourText, NamesNumbersAndErrors) {
    EXPECT_EQ(parseColourText("clYellow")->value, 0x0000FFFFu);
    EXPECT_EQ(parseColourText("CLYELLOW")->value, 0x0000FFFFu);
    EXPECT_EQ(parseColourText("$00FF0000")->blue(), 255);
    EXPECT_EQ(parseColourText("255")->red(), 255);
    EXPECT_EQ(parseColourText("clLtGray")->value, 0x00C0C0C0u);
    EXPECT_TRUE(parseColourText("clBtnFace")->isSystem());
    EXPECT_FALSE(parseColourText("clPink"));
    EXPECT_FALSE(parseColourText("$XYZ"));
    EXPECT_EQ(colourToText(ColourValue{0x00C0C0C0}), QStringLiteral("clSilver"));
    EXPECT_EQ(colourToText(ColourValue{0x00FF8040}), QStringLiteral("$00FF8040"));
    EXPECT_EQ(colourToText(ColourValue{0xFF00000F}), QStringLiteral("clBtnFace"));
}

TEST(Installation, MapsOldPathsIntoTheFolder) {
    Installation inst(QStringLiteral("/home/u/ZELM"));
    EXPECT_EQ(inst.mapStoredPath(QStringLiteral("c:\\ZELM\\Backup")),
              QStringLiteral("/home/u/ZELM/Backup"));
    EXPECT_EQ(inst.mapStoredPath(QStringLiteral("C:\\zelm\\Backup\\Old")),
              QStringLiteral("/home/u/ZELM/Backup/Old"));
    EXPECT_EQ(inst.mapStoredPath(QStringLiteral("d:\\Copies")), QStringLiteral("d:/Copies"));
    EXPECT_EQ(inst.mapStoredPath(QStringLiteral("c:\\ZELMX")), QStringLiteral("c:/ZELMX"));
}

TEST(Settings, ReadsLinesTwoToElevenAndMissingLinesAreEmpty) {
    QTemporaryDir dir;
    Installation inst(dir.path());
    const QString p = dir.filePath("NoKor.vez");
    writeTextLines(
        p, {"clGreen", "2010 SP2", "123456", "Город", "", "", "", "", "", "c:\\ZELM\\Backup"});
    OfficeSettings s = defaultSettings(inst);
    readSettingsFile(p, inst, s);
    EXPECT_EQ(s.VerOff, QStringLiteral("2010"));
    EXPECT_EQ(s.Gorod, QStringLiteral("Город"));
    EXPECT_EQ(s.ReadPapka, inst.path("Backup"));
    EXPECT_EQ(s.SavePapka, QString());
}

TEST(ReferenceLists, NewInstallationGetsEntriesWithinCapacityExistingFilesUntouched) {
    QTemporaryDir dir;
    Installation inst(dir.path());
    QDir(dir.path()).mkpath("Baza");
    writeTextLines(inst.path("Baza/Povod.txt"), {});
    createMissingReferenceLists(inst, true);
    EXPECT_TRUE(readTextLines(inst.path("Baza/Povod.txt")).isEmpty());
    for (const auto& def : referenceLists()) {
        for (const QString& e : readTextLines(referenceListPath(inst, def)))
            EXPECT_LE(e.size(), def.capacity) << def.file;
    }
    EXPECT_EQ(readTextLines(inst.path("Baza/VidORM.txt")).size(), 15);
    EXPECT_TRUE(readTextLines(inst.path("Baza/FIOSotr.txt")).isEmpty());
}

TEST(SettingsFile, BackupFoldersInsideTheInstallationAreStoredInTheOldForm) {
    QTemporaryDir dir;
    // "é" has no Windows-1251 byte: stored as it is it would come back as "?".
    const QString root = dir.filePath(QStringLiteral("données/ZELM"));
    ASSERT_TRUE(QDir().mkpath(root));
    Installation inst(root);
    writeSettingsFile(inst.settingsFile(), defaultSettings(inst));
    const QStringList lines = readTextLines(inst.settingsFile());
    ASSERT_EQ(lines.size(), 12);
    EXPECT_EQ(lines.at(11), QStringLiteral("1825")) << "the days the history keeps";
    EXPECT_EQ(lines.at(9), QStringLiteral("c:\\ZELM\\Backup"));
    EXPECT_EQ(lines.at(10), QStringLiteral("c:\\ZELM\\Backup"));
    OfficeSettings back;
    readSettingsFile(inst.settingsFile(), inst, back);
    EXPECT_EQ(back.SavePapka, inst.path("Backup"));
    EXPECT_EQ(back.ReadPapka, inst.path("Backup"));

    QString why;
    EXPECT_EQ(storedFolderText(inst, root, &why), QStringLiteral("c:\\ZELM"));
    EXPECT_EQ(storedFolderText(inst, root + "/Backup/Старые", &why),
              QStringLiteral("c:\\ZELM\\Backup\\Старые"));
    EXPECT_EQ(storedFolderText(inst, "c:\\ZELM\\Backup", &why), QStringLiteral("c:\\ZELM\\Backup"));
    EXPECT_EQ(storedFolderText(inst, "/srv/Копии", &why), QStringLiteral("/srv/Копии"));
}

TEST(SettingsFile, AFolderElsewhereThatWindows1251CannotHoldIsRefused) {
    QTemporaryDir dir;
    Installation inst(dir.path());
    const QString folder = QStringLiteral("/mnt/sauvegardes/données");
    QString why;
    EXPECT_TRUE(storedFolderText(inst, folder, &why).isEmpty());
    EXPECT_TRUE(why.contains("Windows-1251")) << why.toStdString();
    EXPECT_TRUE(why.contains(folder)) << why.toStdString();

    writeSettingsFile(inst.settingsFile(), defaultSettings(inst));
    const QByteArray before = [&] {
        QFile f(inst.settingsFile());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();
    OfficeSettings s = defaultSettings(inst);
    s.SavePapka = folder;
    try {
        writeSettingsFile(inst.settingsFile(), s);
        ADD_FAILURE() << "a folder Windows-1251 cannot hold was written";
    } catch (const FileError& e) {
        EXPECT_TRUE(e.message().contains("Windows-1251"));
    }
    QFile f(inst.settingsFile());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), before);
}
