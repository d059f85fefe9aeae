// The settings file of LibreOffice's private profile: Russian menus, documents, spelling and
// hyphenation in a new profile and in one LibreOffice has already written.
#include "officeprofile/OfficeProfile.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <gtest/gtest.h>

namespace zelm {
namespace {

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeAll(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// "path:name" -> value, as LibreOffice reads the file; a parse error fails the test.
QHash<QString, QString> settingsIn(const QByteArray& xml) {
    QHash<QString, QString> out;
    QXmlStreamReader r(xml);
    QString path, name;
    while (!r.atEnd()) {
        r.readNext();
        if (!r.isStartElement())
            continue;
        if (r.name() == QLatin1String("item"))
            path = r.attributes().value(QLatin1String("oor:path")).toString();
        else if (r.name() == QLatin1String("prop"))
            name = r.attributes().value(QLatin1String("oor:name")).toString();
        else if (r.name() == QLatin1String("value"))
            out.insert(path + QLatin1Char(':') + name, r.readElementText());
    }
    EXPECT_FALSE(r.hasError()) << r.errorString().toStdString();
    return out;
}

class OfficeProfile : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString profile = dir.filePath(QStringLiteral("profile"));
    QString file = profile + QStringLiteral("/user/registrymodifications.xcu");
};

TEST_F(OfficeProfile, ANewProfileIsRussianInMenusDocumentsSpellingAndHyphenation) {
    ASSERT_TRUE(prepareOfficeProfile(profile, QStringLiteral("7.4")));
    const auto s = settingsIn(readAll(file));
    EXPECT_EQ(s.value(QStringLiteral("/org.openoffice.Office.Linguistic/General:UILocale")),
              "ru-RU");
    EXPECT_EQ(s.value(QStringLiteral("/org.openoffice.Setup/L10N:ooLocale")), "ru-RU");
    EXPECT_EQ(s.value(QStringLiteral("/org.openoffice.Setup/L10N:ooSetupSystemLocale")), "ru-RU");
    EXPECT_EQ(s.value(QStringLiteral("/org.openoffice.Office.Linguistic/General:DefaultLocale")),
              "ru-RU");
    EXPECT_EQ(
        s.value(QStringLiteral("/org.openoffice.Office.Linguistic/SpellChecking:IsSpellAuto")),
        "true");
    EXPECT_EQ(s.value(QStringLiteral("/org.openoffice.Office.Linguistic/Hyphenation:IsHyphAuto")),
              "true");
    EXPECT_EQ(s.value(QStringLiteral("/org.openoffice.Office.Common/Misc:ShowTipOfTheDay")),
              "false");
    EXPECT_EQ(s.value(QStringLiteral("/org.openoffice.Office.Common/Misc:FirstRun")), "false");
    EXPECT_EQ(s.value(QStringLiteral("/org.openoffice.Setup/Product:ooSetupLastVersion")), "7.4");
    EXPECT_EQ(s.size(), officeProfileSettings(QStringLiteral("7.4")).size());

    // Without a known version none is claimed.
    QTemporaryDir other;
    ASSERT_TRUE(prepareOfficeProfile(other.path(), QString()));
    EXPECT_FALSE(readAll(other.filePath(QStringLiteral("user/registrymodifications.xcu")))
                     .contains("ooSetupLastVersion"));
}

TEST_F(OfficeProfile, AProfileLibreOfficeWroteKeepsItsSettingsAndGainsTheMissingOnes) {
    // As LibreOffice leaves it: its own settings, and the user chose English menus.
    const QByteArray written =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<oor:items xmlns:oor=\"http://openoffice.org/2001/registry\" "
        "xmlns:xs=\"http://www.w3.org/2001/XMLSchema\" "
        "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\">\n"
        "<item oor:path=\"/org.openoffice.Office.Common/Misc\"><prop oor:name=\"FirstRun\" "
        "oor:op=\"fuse\"><value>false</value></prop></item>\n"
        "<item oor:path=\"/org.openoffice.Setup/L10N\"><prop oor:name=\"ooLocale\" "
        "oor:op=\"fuse\"><value>en-US</value></prop></item>\n"
        "<item oor:path=\"/org.openoffice.Office.Writer/Layout/Window\"><prop "
        "oor:name=\"Ruler\" oor:op=\"fuse\"><value>false</value></prop></item>\n"
        "</oor:items>\n";
    writeAll(file, written);
    ASSERT_TRUE(prepareOfficeProfile(profile, QStringLiteral("7.4")));
    const QByteArray now = readAll(file);
    const auto s = settingsIn(now);
    EXPECT_EQ(s.value(QStringLiteral("/org.openoffice.Setup/L10N:ooLocale")), "en-US");
    EXPECT_EQ(s.value(QStringLiteral("/org.openoffice.Office.Linguistic/General:UILocale")),
              "ru-RU");
    EXPECT_EQ(s.value(QStringLiteral("/org.openoffice.Office.Writer/Layout/Window:Ruler")),
              "false");
    EXPECT_EQ(s.value(QStringLiteral("/org.openoffice.Office.Linguistic/General:DefaultLocale")),
              "ru-RU");
    EXPECT_EQ(now.count("oor:name=\"FirstRun\""), 1);
    EXPECT_TRUE(now.startsWith(written.left(written.size() - 13))) << "only added to";

    // Nothing missing: the file is left as it is.
    ASSERT_TRUE(prepareOfficeProfile(profile, QStringLiteral("7.4")));
    EXPECT_EQ(readAll(file), now);
}

TEST_F(OfficeProfile, AFileCutShortIsMadeAnewAndALinkInItsPlaceIsRefused) {
    writeAll(file, "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<oor:items xmlns:oor=\"http");
    ASSERT_TRUE(prepareOfficeProfile(profile, QString()));
    EXPECT_EQ(
        settingsIn(readAll(file)).value(QStringLiteral("/org.openoffice.Setup/L10N:ooLocale")),
        "ru-RU");

    const QString elsewhere = dir.filePath(QStringLiteral("elsewhere.xcu"));
    writeAll(elsewhere, "not ours");
    ASSERT_TRUE(QFile::remove(file));
    ASSERT_TRUE(QFile::link(elsewhere, file));
    QString error;
    EXPECT_FALSE(prepareOfficeProfile(profile, QString(), &error));
    EXPECT_TRUE(error.contains(file)) << error.toStdString();
    EXPECT_EQ(readAll(elsewhere), QByteArray("not ours"));
}

TEST(OfficeProgram, TheVersionIsReadBesideTheProgramTheLinkLeadsTo) {
    QTemporaryDir dir;
    const QString program = dir.filePath(QStringLiteral("lo/program"));
    writeAll(program + QStringLiteral("/bootstraprc"),
             "[Bootstrap]\nInstallMode=<installmode>\nProductKey=LibreOffice 7.4\n");
    writeAll(program + QStringLiteral("/soffice"), "#!/bin/sh\n");
    QDir().mkpath(dir.filePath(QStringLiteral("bin")));
    ASSERT_TRUE(QFile::link(program + QStringLiteral("/soffice"),
                            dir.filePath(QStringLiteral("bin/soffice"))));
    const QString folder = officeProgramFolder(dir.filePath(QStringLiteral("bin/soffice")));
    EXPECT_EQ(folder, QFileInfo(program).canonicalFilePath());
    EXPECT_EQ(libreOfficeVersion(folder), QStringLiteral("7.4"));
    EXPECT_EQ(libreOfficeVersion(dir.path()), QString());
    EXPECT_EQ(officeProgramFolder(dir.filePath(QStringLiteral("bin/none"))), QString());
}

} // namespace
} // namespace zelm
