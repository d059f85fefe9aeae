// The start obeys a restore journal only when it names the data folder's own files and can be
// carried out whole; anything else is kept for the administrator and changes no file.
#include "backup/RestoreJournal.h"
#include "ZipTestSupport.h"
#include "backup/ZipError.h"
#include "backup/ZipRestore.h"
#include "store/Installation.h"
#include "store/ScratchFiles.h"

#include "common/FileBytes.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zip.h>

using namespace zelm;
using namespace zelm::testing;

namespace {

// Every file below `folder` (links as their targets' names), with its contents.
QMap<QString, QByteArray> snapshot(const QString& folder) {
    QMap<QString, QByteArray> out;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo i(it.next());
        QFile f(i.filePath());
        const QString name = QDir(folder).relativeFilePath(i.filePath());
        if (i.isSymLink())
            out.insert(name, "-> " + i.symLinkTarget().toUtf8());
        else if (i.isFile() && f.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
            out.insert(name, f.readAll());
        else
            out.insert(name, "<not a plain file>");
    }
    return out;
}

class Journal : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        writeBytes(baza + "/Anketi.dat", "old cards");
        writeBytes(baza + "/Povod.txt", "old list");
        writeBytes(temp + "/~zelm-Anketi.dat.new", "new cards");
        for (const char* name : {"target.txt", "evil.txt", "precious.txt"})
            writeBytes(outside + "/" + name, name);
        setScratchFolder(temp);
    }
    void TearDown() override { setScratchFolder(QString()); }

    // The start must refuse the journal at `path`, rename or remove no file, keep the journal
    // under another name and, while it is kept, leave the scratch files as they are.
    void expectRefused(const QString& path) {
        const QByteArray journal =
            snapshot(dir.path()).value(QDir(dir.path()).relativeFilePath(path));
        auto before = snapshot(dir.path());
        before.remove(QDir(dir.path()).relativeFilePath(path));
        QString notice;
        EXPECT_EQ(finishInterruptedRestore(inst, &notice), InterruptedRestore::Refused);
        EXPECT_TRUE(notice.contains(path)) << notice.toStdString();
        EXPECT_TRUE(notice.contains(QStringLiteral("не выполнен"))) << notice.toStdString();
        EXPECT_EQ(removeLeftoverScratchFiles(inst), 0);
        auto after = snapshot(dir.path());
        const QStringList kept = QDir(temp).entryList(
            {kKeptRestoreJournalPrefix + QLatin1Char('*')}, QDir::System | QDir::Files);
        ASSERT_EQ(kept.size(), 1) << notice.toStdString();
        EXPECT_EQ(after.take("Temp/" + kept.first()), journal);
        EXPECT_EQ(after, before);
        EXPECT_TRUE(notice.contains(kept.first())) << notice.toStdString();
        // Once is enough: the next start has nothing to say.
        EXPECT_EQ(finishInterruptedRestore(inst), InterruptedRestore::None);
        QFile::remove(temp + "/" + kept.first()); // as the administrator would
    }

    QTemporaryDir dir;
    Installation inst{dir.path()};
    QString baza = inst.path("Baza");
    QString temp = inst.path("Temp");
    QString outside = dir.filePath("outside");
    QString journal = restoreJournalPath(baza);
};

} // namespace

TEST_F(Journal, NamesOutsideTheDataFolderAreRefused) {
    const QString o = outside;
    const QList<QByteArray> texts = {
        // The first version's form, as a planted journal would give it.
        "zelm restore journal 1\n" + baza.toUtf8() + "\nforward\n" +
            (o + "/target.txt\t" + o + "/evil.txt\t" + o + "/precious.txt\n").toUtf8() + "end\n",
        "zelm restore journal 1\n" + baza.toUtf8() + "\nback\n" +
            (baza + "/Anketi.dat\t" + temp + "/~zelm-gone\t\n").toUtf8() + "end\n",
        "zelm restore journal 2\nforward\n../outside/target.txt\t../outside/evil.txt\t"
        "../outside/precious.txt\t4 0 0\nend\n",
        "zelm restore journal 2\nforward\n" +
            (o + "/target.txt\t" + o + "/evil.txt\t\t4 0 0\n").toUtf8() + "end\n",
        "zelm restore journal 2\nforward\nBaza/Anketi.dat\tTemp/~zelm-x/../../outside/evil.txt\t"
        "\t4 0 0\nend\n",
        "zelm restore journal 2\nforward\nBaza/../outside/precious.txt\tTemp/~zelm-Anketi.dat.new\t"
        "\t9 0 0\nend\n",
        "zelm restore journal 2\nback\nTemp/RabAnket.dat\tTemp/~zelm-Anketi.dat.new\t\t9 0 0\n"
        "end\n",
        "zelm restore journal 2\nforward\nBaza/Anketi.dat\tTemp/~zelm-Anketi.dat.new\t"
        "Baza/Povod.txt\t9 0 0\nend\n",
    };
    for (const QByteArray& text : texts) {
        SCOPED_TRACE(text.toStdString());
        writeBytes(journal, text);
        expectRefused(journal);
    }
}

TEST_F(Journal, AJournalInBazaOrNotAPlainFileIsNeverObeyed) {
    const QByteArray planted =
        "zelm restore journal 1\n" + baza.toUtf8() + "\nforward\n" +
        (outside + "/target.txt\t" + outside + "/evil.txt\t" + outside + "/precious.txt\n")
            .toUtf8() +
        "end\n";
    writeBytes(baza + "/zelm-restore.journal", planted);
    expectRefused(baza + "/zelm-restore.journal");

    ASSERT_EQ(::symlink(QFile::encodeName(outside + "/precious.txt").constData(),
                        QFile::encodeName(journal).constData()),
              0);
    expectRefused(journal);
    ASSERT_EQ(::mkfifo(QFile::encodeName(journal).constData(), 0600), 0);
    expectRefused(journal); // and does not wait on the pipe
}

TEST_F(Journal, AStepThatCannotBeTakenLeavesEveryFileAsItIs) {
    // Forward: Anketi.dat's new copy is there, Povod.txt's is gone. Finishing would give the
    // archive's cards beside the old list.
    writeRestoreJournal(
        journal, {RestoreDirection::Forward,
                  {{"Baza/Anketi.dat", "Temp/~zelm-Anketi.dat.new", "Temp/~zelm-Anketi.dat.old-1-1",
                    fileStamp(temp + "/~zelm-Anketi.dat.new")},
                   {"Baza/Povod.txt",
                    "Temp/~zelm-Povod.txt.new",
                    "Temp/~zelm-Povod.txt.old-1-2",
                    {8, 1, 1}}}});
    expectRefused(journal);
    EXPECT_EQ(snapshot(baza).value("Anketi.dat"), "old cards");

    // Back: the journal would remove Anketi.dat as the archive's file where there was none, but
    // Anketi.dat is not the file the restore put there.
    writeRestoreJournal(
        journal, {RestoreDirection::Back,
                  {{"Baza/Anketi.dat", "Temp/~zelm-Anketi.dat.gone", QString(), {9, 1, 1}}}});
    expectRefused(journal);
    EXPECT_EQ(snapshot(baza).value("Anketi.dat"), "old cards");
}

TEST_F(Journal, ACraftedArchiveCannotPlantAJournalForTheNextStart) {
    QTemporaryDir archiveDir;
    const QString archive = archiveDir.filePath("b0000001.zip");
    const QByteArray text =
        "zelm restore journal 1\n" + baza.toUtf8() + "\nforward\n" +
        (outside + "/target.txt\t" + outside + "/evil.txt\t" + outside + "/precious.txt\n")
            .toUtf8() +
        "end\n";
    writeZip(archive, {{"Anketi.dat", "archived cards", ZIP_CM_STORE},
                       {"zelm-restore.journal", text, ZIP_CM_STORE}});
    EXPECT_THROW(prepareRestore(archive, baza).commit(), ZipError);
    // The next start.
    EXPECT_EQ(finishInterruptedRestore(inst), InterruptedRestore::None);
    removeLeftoverScratchFiles(inst);
    EXPECT_EQ(snapshot(outside), (QMap<QString, QByteArray>{{"evil.txt", "evil.txt"},
                                                            {"precious.txt", "precious.txt"},
                                                            {"target.txt", "target.txt"}}));
    EXPECT_EQ(snapshot(baza).value("Anketi.dat"), "old cards");
}
