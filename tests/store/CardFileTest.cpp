#include "store/CardFile.h"
#include "store/FileError.h"
#include "store/RecordFileRewrite.h"
#include "store/Records.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace zelm;

namespace {
struct Rec {
    char bytes[8];
};
Rec rec(char c) {
    Rec r;
    memset(r.bytes, c, 8);
    return r;
}
} // namespace

TEST(CardFile, EmptyFileCountsNothingAndReadFails) {
    QTemporaryDir dir;
    CardFile f;
    f.create(dir.filePath("a.dat"), 8);
    EXPECT_EQ(f.count(), 0);
    EXPECT_TRUE(f.atEnd());
    Rec r;
    try {
        f.read(&r);
        FAIL() << "read past the end";
    } catch (const FileError& e) {
        EXPECT_EQ(e.message(),
                  QStringLiteral("Файл короче, чем ожидалось: его изменила другая программа"));
        EXPECT_EQ(e.fileName(), dir.filePath("a.dat"));
    }
}

TEST(CardFile, WriteOverAppendSeekTruncate) {
    QTemporaryDir dir;
    CardFile f;
    f.create(dir.filePath("a.dat"), 8);
    for (char c : {'a', 'b', 'c'}) {
        Rec r = rec(c);
        f.write(&r);
    }
    EXPECT_EQ(f.count(), 3);
    EXPECT_EQ(f.position(), 3);
    f.seek(1);
    Rec x = rec('x');
    f.write(&x);
    EXPECT_EQ(f.position(), 2);
    f.seek(0);
    Rec r;
    f.read(&r);
    f.read(&r);
    EXPECT_EQ(r.bytes[0], 'x');
    f.truncate();
    EXPECT_EQ(f.count(), 2);
    f.reopen();
    EXPECT_EQ(f.position(), 0);
    EXPECT_EQ(f.count(), 2);
}

TEST(CardFile, IncompleteTailIsNeverCountedOrRead) {
    QTemporaryDir dir;
    QFile raw(dir.filePath("p.dat"));
    ASSERT_TRUE(raw.open(QIODevice::WriteOnly));
    raw.write(QByteArray(8 * 2 + 5, 'q'));
    raw.close();
    CardFile f;
    f.open(dir.filePath("p.dat"), 8);
    EXPECT_EQ(f.count(), 2);
    Rec r;
    f.seek(2);
    EXPECT_THROW(f.read(&r), FileError);
    // Writing at the end appends after the whole records, over the partial tail.
    Rec z = rec('z');
    f.write(&z);
    EXPECT_EQ(f.count(), 3);
}

TEST(CardFile, OpeningAMissingFileOrFolderFails) {
    QTemporaryDir dir;
    CardFile f;
    try {
        f.open(dir.filePath("none.dat"), 8);
        FAIL();
    } catch (const FileError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("Файл не найден"));
    }
    EXPECT_THROW(f.create(dir.filePath("Missing/x.dat"), 8), FileError);
}

TEST(CardFile, AtomicWriteReplacesWholeFileOrLeavesOldOne) {
    QTemporaryDir dir;
    const QString p = dir.filePath("f.txt");
    writeFileAtomically(p, "old");
    writeFileAtomically(p, "new content");
    QFile f(p);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("new content"));
    EXPECT_THROW(writeFileAtomically(dir.filePath("no/such/f.txt"), "x"), FileError);
}

TEST(CardFile, AnAppendIsFlushedBeforeItReportsSuccess) {
    QTemporaryDir dir;
    CardFile f;
    f.create(dir.filePath("a.dat"), 8);
    const quint64 before = CardFile::flushesSoFar();
    Rec r = rec('a');
    EXPECT_EQ(appendFlushed(f, &r), 0);
    EXPECT_EQ(CardFile::flushesSoFar(), before + 1);
    EXPECT_EQ(f.count(), 1);
}

namespace {
// Closes the descriptor a CardFile holds behind its back, so that its own close fails.
bool closeUnderneath(const QString& path) {
    const QString target = QFileInfo(path).canonicalFilePath();
    for (const QFileInfo& fd : QDir("/proc/self/fd").entryInfoList(QDir::System | QDir::Files)) {
        if (fd.symLinkTarget() == target) {
            ::close(fd.fileName().toInt());
            return true;
        }
    }
    return false;
}
} // namespace

TEST(CardFile, ClosingAllFilesClosesEveryOneAndReportsTheFirstFailureAfter) {
    QTemporaryDir dir;
    CardFile main, access, archive, working, attachments;
    main.create(dir.filePath("Anketi.dat"), 8);
    access.create(dir.filePath("Dostup.dat"), 8);
    archive.create(dir.filePath("ArhAnket.dat"), 8);
    working.create(dir.filePath("RabAnket.dat"), 8);
    attachments.create(dir.filePath("SpisFil.dat"), 8);
    ASSERT_TRUE(closeUnderneath(dir.filePath("Dostup.dat")));
    ASSERT_TRUE(closeUnderneath(dir.filePath("RabAnket.dat")));
    try {
        closeAllDataFiles({&main, &access, &archive, &working, &attachments});
        ADD_FAILURE() << "a failed close was not reported";
    } catch (const FileError& e) {
        EXPECT_EQ(e.fileName(), dir.filePath("Dostup.dat")); // the first failure
    }
    for (const CardFile* f : {&main, &access, &archive, &working, &attachments})
        EXPECT_FALSE(f->isOpen()) << f->path().toStdString();
    EXPECT_NO_THROW(closeAllDataFiles({&main, &access})); // closed files close quietly
}
