#include "output/ReportLauncher.h"

#include "platform/Platform.h"
#include "store/Installation.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace zelm {
namespace {

const QString kReportFolder = QStringLiteral("report");
const QString kReportProgram = QStringLiteral("reportf.exe");

// "reportf.exe" is the Windows name of the program; elsewhere it has no suffix.
QString programFileName(const QString& file) {
#ifdef Q_OS_WIN
    return file;
#else
    if (file.endsWith(QStringLiteral(".exe"), Qt::CaseInsensitive))
        return file.chopped(4);
    return file;
#endif
}

} // namespace

QString reportCommandLine(const QString& report) {
    return report + QStringLiteral("Dat.txt ") + report + QStringLiteral("Pic.rtf ") + report +
           QStringLiteral("Rep.rtf");
}

ReportLauncher::ReportLauncher(const Installation& inst, Platform& platform)
    : ReportLauncher(inst, platform,
                     {inst.path(kReportFolder), QCoreApplication::applicationDirPath()}) {}

ReportLauncher::ReportLauncher(const Installation& inst, Platform& platform,
                               QStringList programFolders)
    : m_inst(inst), m_platform(platform), m_programFolders(std::move(programFolders)) {}

QString ReportLauncher::dataFile(const QString& report) const {
    return m_inst.path(kReportFolder + QLatin1Char('/') + report + QStringLiteral("Dat.txt"));
}

QString ReportLauncher::locateProgram(const QString& file) const {
    const QString name = programFileName(file);
    for (const QString& folder : m_programFolders) {
        if (folder.isEmpty())
            continue;
        QString candidate = QDir(folder).filePath(name);
        if (QFileInfo(candidate).isFile())
            return candidate;
    }
    return {};
}

bool ReportLauncher::RunProgram(const QString& file, const QString& parameters,
                                const QString& folder, int /*showCommand*/, QWidget* parent) {
    const QString program = locateProgram(file);
    QString reason;
    QString where = program;
    if (program.isEmpty()) {
        reason = QStringLiteral("файл не найден");
        QStringList tried;
        for (const QString& f : m_programFolders)
            tried << QDir(f).filePath(programFileName(file));
        where = tried.join(QLatin1Char('\n'));
    } else if (m_platform.shell().startProgram(
                   program, parameters.split(QLatin1Char(' '), Qt::SkipEmptyParts),
                   m_inst.path(folder), &reason)) {
        return true;
    }
    if (reason.isEmpty())
        reason = QStringLiteral("программа не запускается");
    m_platform.dialogs().error(parent ? parent : m_owner,
                               QStringLiteral("Не удалось запустить программу %1: %2\n%3")
                                   .arg(programFileName(file), reason, where));
    return false;
}

bool ReportLauncher::StartReport(const QString& report, QWidget* parent) {
    QString line = reportCommandLine(report);
    if (m_reportMode != QLatin1String("Prosm"))
        line += QStringLiteral(" - /p");
    return RunProgram(kReportProgram, line, kReportFolder, 1, parent);
}

bool ReportLauncher::launch(const QString& report, QWidget* parent) {
    if (!RunProgram(kReportProgram, reportCommandLine(report) + QStringLiteral(" - /m"),
                    kReportFolder, 1, parent))
        return false;
    return StartReport(report, parent);
}

} // namespace zelm
