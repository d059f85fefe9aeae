#include "reportf/ReportCommand.h"

#include "reportf/Office.h"
#include "reportf/ReportData.h"
#include "reportf/ReportError.h"
#include "reportf/RtfMerge.h"
#include "reportf/RtfTemplate.h"
#include "store/FileError.h"
#include "store/RegularFiles.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zelm::reportf {
namespace {

const QString kUsage = QStringLiteral("Неверная командная строка программы отчётов.\n"
                                      "Вызов: reportf XDat.txt XPic.rtf [XRep.rtf [- /m | - /p]]\n"
                                      "или: reportf --pdf ОТЧЁТ.pdf XDat.txt XPic.rtf");

// Copies of shown reports are kept a day, long enough for any window still showing one.
constexpr qint64 kViewCopyLifeSecs = 24 * 3600;

void syncFolder(const QString& folder) {
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

QString writeError(const QString& why, const QString& path) {
    return QStringLiteral("Не удалось записать отчёт (%1):\n%2").arg(why, path);
}

void requireReadableTemplate(const QString& path) {
    try {
        // Only its type and readability matter here; LibreOffice reads it.
        readRegularFile(path, 1, OverLimit::Cut);
    } catch (const FileError& e) {
        throw ReportError(
            QStringLiteral("Не удалось прочитать шаблон отчёта (%1):\n%2").arg(e.message(), path));
    }
}

// The name of the default printer, when it can take the report.
QString checkPrinter(Printers& printers, const QString& report) {
    const std::optional<PrinterState> printer = printers.defaultPrinter();
    if (!printer)
        throw ReportError(QStringLiteral("Нет принтера по умолчанию (или не запущена служба "
                                         "печати CUPS). Отчёт не напечатан:\n%1")
                              .arg(report));
    if (printer->stopped)
        throw ReportError(QStringLiteral("Принтер «%1» остановлен. Отчёт не напечатан:\n%2")
                              .arg(printer->name, report));
    if (!printer->acceptingJobs)
        throw ReportError(
            QStringLiteral("Принтер «%1» не принимает задания. Отчёт не напечатан:\n%2")
                .arg(printer->name, report));
    return printer->name;
}

bool isRealFolder(const QString& path) {
    struct stat st;
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

// Only folders this program made are removed: a link among them (or in place of the root)
// is never followed, so no other folder is emptied.
void removeOldViewCopies(const QString& root) {
    if (!isRealFolder(root))
        return;
    const QDateTime now = QDateTime::currentDateTimeUtc();
    const auto entries =
        QDir(root).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks);
    for (const QFileInfo& entry : entries)
        if (isRealFolder(entry.absoluteFilePath()) &&
            entry.lastModified().secsTo(now) > kViewCopyLifeSecs)
            QDir(entry.absoluteFilePath()).removeRecursively();
}

void pdfReport(const ReportRequest& r, Office& office) {
    const QFileInfo out(r.outputFile);
    // The scratch folder is beside the PDF, so the finished file is renamed into place.
    QTemporaryDir scratch(out.absolutePath() + QStringLiteral("/.reportf-XXXXXX"));
    if (!scratch.isValid())
        throw ReportError(
            writeError(QStringLiteral("не удалось создать временную папку рядом с ним"),
                       out.absoluteFilePath()));
    const QString base =
        out.completeBaseName().isEmpty() ? QStringLiteral("report") : out.completeBaseName();
    const QString rtf = scratch.filePath(base + QStringLiteral(".rtf"));
    mergeToFile(r.dataFile, r.templateFile, rtf);
    office.convertToPdf(rtf, scratch.path());
    const QString pdf = scratch.filePath(base + QStringLiteral(".pdf"));
    if (std::rename(QFile::encodeName(pdf).constData(),
                    QFile::encodeName(out.absoluteFilePath()).constData()) != 0)
        throw ReportError(writeError(FileError::messageForErrno(errno), out.absoluteFilePath()));
    syncFolder(out.absolutePath());
}

} // namespace

ReportRequest parseArguments(const QStringList& a) {
    ReportRequest r;
    if (!a.isEmpty() && a.first() == QStringLiteral("--pdf")) {
        if (a.size() != 4)
            throw UsageError(kUsage);
        r.action = ReportAction::Pdf;
        r.outputFile = a.at(1);
        r.dataFile = a.at(2);
        r.templateFile = a.at(3);
        return r;
    }
    if (a.size() < 2 || a.size() == 4 || a.size() > 5)
        throw UsageError(kUsage);
    for (const QString& arg : a.first(std::min<qsizetype>(a.size(), 3)))
        if (arg.isEmpty() || arg.startsWith(QLatin1Char('-')))
            throw UsageError(kUsage);
    r.dataFile = a.at(0);
    r.templateFile = a.at(1);
    if (a.size() == 2) {
        r.action = ReportAction::Edit;
        return r;
    }
    r.outputFile = a.at(2);
    r.action = ReportAction::View;
    if (a.size() == 5) {
        const QString flag = a.at(4).toLower();
        if (a.at(3) != QStringLiteral("-") ||
            (flag != QStringLiteral("/m") && flag != QStringLiteral("/p")))
            throw UsageError(kUsage);
        r.action = flag == QStringLiteral("/m") ? ReportAction::Merge : ReportAction::Print;
    }
    return r;
}

void mergeToFile(const QString& dataFile, const QString& templateFile, const QString& output) {
    const ReportData data = ReportData::read(dataFile);
    const RtfTemplate report = readTemplate(templateFile, data);
    try {
        // The scratch file would replace what a link points at, not the link.
        requireRegularOrMissing(output);
    } catch (const FileError& e) {
        throw ReportError(writeError(e.message(), output));
    }
    QSaveFile file(output);
    if (!file.open(QIODevice::WriteOnly))
        throw ReportError(writeError(FileError::messageForFile(file, errno), output));
    try {
        if (!mergeReport(report, data, file)) {
            const QString why = FileError::messageForFile(file, errno);
            file.cancelWriting();
            throw ReportError(writeError(why, output));
        }
    } catch (const ReportError& e) {
        file.cancelWriting();
        if (e.text().contains(output))
            throw;
        throw ReportError(e.text() + QStringLiteral(":\n") + dataFile);
    }
    if (!file.commit())
        throw ReportError(writeError(FileError::messageForFile(file, errno), output));
    syncFolder(QFileInfo(output).absolutePath());
}

QString viewCopy(const QString& report) {
    QString cache = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    if (cache.isEmpty())
        cache = QDir::tempPath();
    const QString root = cache + QStringLiteral("/zelm/reportf-view");
    // A link in place of our own folder is dropped (never what it points at).
    if (QFileInfo(root).isSymLink())
        QFile::remove(root);
    removeOldViewCopies(root);
    const QString folder =
        root + QLatin1Char('/') +
        QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-hhmmss-zzz")) +
        QLatin1Char('-') + QString::number(QCoreApplication::applicationPid());
    const QString copy = folder + QLatin1Char('/') + QFileInfo(report).fileName();
    if (!QDir().mkpath(folder) || !QFile::copy(report, copy))
        throw ReportError(writeError(QStringLiteral("копия для просмотра"), copy));
    return copy;
}

void runReport(const ReportRequest& r, Office& office, Printers& printers) {
    switch (r.action) {
    case ReportAction::Edit:
        requireReadableTemplate(r.templateFile);
        office.edit(r.templateFile);
        return;
    case ReportAction::Pdf:
        pdfReport(r, office);
        return;
    case ReportAction::Merge:
    case ReportAction::View:
    case ReportAction::Print:
        break;
    }
    mergeToFile(r.dataFile, r.templateFile, r.outputFile);
    if (r.action == ReportAction::View) {
        office.view(viewCopy(r.outputFile));
    } else if (r.action == ReportAction::Print) {
        office.print(r.outputFile, checkPrinter(printers, r.outputFile));
    }
}

} // namespace zelm::reportf
