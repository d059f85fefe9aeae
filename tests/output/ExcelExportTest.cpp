// The export file's bytes and the calls that hand it to Excel.
#include "output/ExcelExport.h"
#include "common/FileBytes.h"
#include "common/ScriptedPlatform.h"
#include "store/Cp1251.h"
#include "store/FileError.h"
#include "store/Installation.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace zelm::testing {
namespace {

const QStringList titles{
    QStringLiteral("Дата ОРМ"),     QStringLiteral("Организация"),  QStringLiteral("Повод"),
    QStringLiteral("Вид ОРМ"),      QStringLiteral("Основание"),    QStringLiteral("КУСП дата"),
    QStringLiteral("КУСП №"),       QStringLiteral("Подраделение"), QStringLiteral("Провёл ФИО"),
    QStringLiteral("Утвердил ФИО"), QStringLiteral("Уник. №")};

ExportGrid gridOf(const QList<QStringList>& rows) {
    return {static_cast<int>(rows.size()), static_cast<int>(rows.value(0).size()),
            [rows](int r, int c) { return rows[r][c]; }};
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

TEST(ExportFile, ATitleOnlyGridIsOneLineOfElevenTitles) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("L_Excel.txt"));
    writeExportFile(path, gridOf({titles}));
    EXPECT_EQ(readAll(path), toCp1251(titles.join(QLatin1Char(';')) + QStringLiteral(";\r\n")));
    EXPECT_EQ(readAll(path).count(';'), 11);
}

TEST(ExportFile, CellsThatWouldSplitAreQuotedAndNoRowIsCut) {
    QStringList row(11, QStringLiteral("х"));
    row[1] = QStringLiteral("ООО \"Рога; копыта\"");
    row[2] = QStringLiteral("дюйм 5\"");
    row[3] = QStringLiteral("первая строка\r\nвторая");
    row[4] = QString(300, QChar(u'Ж'));
    row[10] = QStringLiteral("600000123");
    EXPECT_EQ(exportLine(row),
              toCp1251(QStringLiteral("х;\"ООО \"\"Рога; копыта\"\"\";\"дюйм 5\"\"\";"
                                      "\"первая строка\r\nвторая\";") +
                       QString(300, QChar(u'Ж')) + QStringLiteral(";х;х;х;х;х;600000123;\r\n")));
    EXPECT_EQ(exportLine({QStringLiteral("a b"), QString()}), QByteArray("a b;;\r\n"));
}

TEST(ExportFile, AFailureWhileWritingLeavesTheEarlierFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("L_Excel.txt"));
    writeBytes(path, "earlier;\r\n");
    ExportGrid grid{100000, 2, [](int r, int) -> QString {
                        if (r == 90000)
                            throw FileError(QStringLiteral("Disk full"), QStringLiteral("x"));
                        return QStringLiteral("строка");
                    }};
    EXPECT_THROW(writeExportFile(path, grid), FileError);
    EXPECT_EQ(readAll(path), QByteArray("earlier;\r\n"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("L_Excel.txt")});
}

TEST(ExportTable, WritesTheFileThenExcelOpensAndShowsIt) {
    QTemporaryDir dir;
    Installation inst(dir.path());
    ScriptedPlatform platform;
    QList<int> progress;
    ExportTable(gridOf({titles, QStringList(11, QStringLiteral("д"))}), inst,
                QStringLiteral("2003"), platform.office(), [&](int p) { progress << p; });
    const QString path = inst.path(QStringLiteral("L_Excel.txt"));
    EXPECT_EQ(platform.officeCalls, QStringList({QStringLiteral("Excel.Connect"),
                                                 QStringLiteral("Workbooks.Open ") + path,
                                                 QStringLiteral("Excel.Visible true")}));
    EXPECT_EQ(progress, QList<int>({50, 100, 0}));
    EXPECT_EQ(readAll(path).count("\r\n"), 2);

    // Another Office version: a fresh connection each time.
    platform.clearRecords();
    ExportTable(gridOf({titles}), inst, QStringLiteral("2007"), platform.office());
    EXPECT_EQ(platform.officeCalls.value(0), QStringLiteral("Excel.Disconnect"));
    EXPECT_EQ(platform.officeCalls.value(1), QStringLiteral("Excel.Connect"));
}

TEST(ExportTable, AnOfficeFailureStopsTheExportAndLeavesTheFile) {
    QTemporaryDir dir;
    Installation inst(dir.path());
    ScriptedPlatform platform;
    platform.officeFails = true;
    int lastProgress = -1;
    EXPECT_THROW(ExportTable(gridOf({titles}), inst, QStringLiteral("2003"), platform.office(),
                             [&](int p) { lastProgress = p; }),
                 OfficeError);
    EXPECT_EQ(platform.officeCalls, QStringList{QStringLiteral("Excel.Connect")});
    EXPECT_TRUE(QFile::exists(inst.path(QStringLiteral("L_Excel.txt"))));
    EXPECT_EQ(lastProgress, 0) << "the gauge returns to 0";
}

} // namespace
} // namespace zelm::testing
