#include "reportf/LibreOffice.h"

#include "officeprofile/OfficeProfile.h"
#include "reportf/ReportError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace zelm::reportf {
namespace {

QString lastLines(const QByteArray& output) {
    QStringList lines = QString::fromLocal8Bit(output).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    lines.removeIf([](const QString& l) { return l.contains(QLatin1String("javaldx")); });
    while (lines.size() > 5)
        lines.removeFirst();
    return lines.join(QLatin1Char('\n'));
}

} // namespace

LibreOffice::LibreOffice(QString program, int timeoutMs)
    : m_program(std::move(program)), m_timeoutMs(timeoutMs) {}

QString LibreOffice::profileFolder() {
    QString cache = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    if (cache.isEmpty())
        cache = QDir::tempPath();
    return cache + QStringLiteral("/zelm/reportf-profile");
}

QString LibreOffice::program() const {
    const QString found =
        m_program.isEmpty() ? QStandardPaths::findExecutable(QStringLiteral("soffice")) : m_program;
    if (found.isEmpty() || !QFileInfo(found).isExecutable())
        throw ReportError(QStringLiteral(
            "Не найдена программа LibreOffice Writer (soffice).\n"
            "Установите пакет libreoffice-writer, чтобы просматривать и печатать отчёты."));
    return found;
}

QString LibreOffice::windowProfileFolder() {
    return QFileInfo(profileFolder()).absolutePath() + QStringLiteral("/reportf-window-profile");
}

void LibreOffice::startWindow(const QStringList& arguments, const QString& path) {
    const QString soffice = program();
    const QString absolute = QFileInfo(path).absoluteFilePath();
    const QString profile = windowProfileFolder();
    QString reason;
    if (!prepareOfficeProfile(profile, libreOfficeVersion(officeProgramFolder(soffice)), &reason))
        throw ReportError(reason);
    const QStringList own{QStringLiteral("-env:UserInstallation=") +
                              QUrl::fromLocalFile(profile).toString(QUrl::FullyEncoded),
                          QStringLiteral("--norestore")};
    if (!QProcess::startDetached(soffice, own + arguments + QStringList{absolute},
                                 QFileInfo(absolute).absolutePath()))
        throw ReportError(QStringLiteral("Не удалось запустить LibreOffice (%1) для файла:\n%2")
                              .arg(soffice, absolute));
}

void LibreOffice::view(const QString& path) {
    startWindow({QStringLiteral("--view")}, path);
}

void LibreOffice::edit(const QString& path) {
    startWindow({QStringLiteral("-o")}, path);
}

void LibreOffice::runHeadless(const QStringList& arguments, const QString& path) {
    const QString soffice = program();
    const QString profile = profileFolder();
    if (!QDir().mkpath(profile))
        throw ReportError(
            QStringLiteral("Не удалось создать папку профиля LibreOffice:\n%1").arg(profile));
    // One headless LibreOffice per profile: a second one started beside it quietly does nothing.
    QLockFile lock(profile + QStringLiteral(".lock"));
    lock.setStaleLockTime(0);
    if (!lock.tryLock(m_timeoutMs))
        throw ReportError(
            QStringLiteral("LibreOffice занят другим отчётом; попробуйте позже:\n%1").arg(path));
    QString reason;
    if (!prepareOfficeProfile(profile, libreOfficeVersion(officeProgramFolder(soffice)), &reason))
        throw ReportError(reason);

    QProcess process;
    process.setProgram(soffice);
    process.setArguments(
        QStringList{QStringLiteral("--headless"), QStringLiteral("--invisible"),
                    QStringLiteral("--norestore"), QStringLiteral("--nologo"),
                    QStringLiteral("--nodefault"),
                    QStringLiteral("-env:UserInstallation=") +
                        QUrl::fromLocalFile(profile).toString(QUrl::FullyEncoded)} +
        arguments);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.setStandardInputFile(QProcess::nullDevice());
    process.start();
    if (!process.waitForStarted(30000))
        throw ReportError(QStringLiteral("Не удалось запустить LibreOffice (%1): %2\n%3")
                              .arg(soffice, process.errorString(), path));
    if (!process.waitForFinished(m_timeoutMs)) {
        process.kill();
        process.waitForFinished(5000);
        throw ReportError(QStringLiteral("LibreOffice не закончил работу за %1 с:\n%2")
                              .arg(m_timeoutMs / 1000)
                              .arg(path));
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        throw ReportError(
            QStringLiteral("LibreOffice завершился с ошибкой (код %1) на файле:\n%2\n%3")
                .arg(process.exitCode())
                .arg(path, lastLines(process.readAll())));
}

void LibreOffice::print(const QString& path, const QString& printer) {
    const QString absolute = QFileInfo(path).absoluteFilePath();
    runHeadless({QStringLiteral("--pt"), printer, absolute}, absolute);
}

void LibreOffice::convertToPdf(const QString& path, const QString& outFolder) {
    const QString absolute = QFileInfo(path).absoluteFilePath();
    const QString folder = QFileInfo(outFolder).absoluteFilePath();
    const QString pdf =
        folder + QLatin1Char('/') + QFileInfo(absolute).completeBaseName() + QStringLiteral(".pdf");
    QFile::remove(pdf);
    runHeadless({QStringLiteral("--convert-to"), QStringLiteral("pdf:writer_pdf_Export"),
                 QStringLiteral("--outdir"), folder, absolute},
                absolute);
    if (!QFileInfo::exists(pdf))
        throw ReportError(
            QStringLiteral("LibreOffice не создал файл PDF из отчёта:\n%1").arg(absolute));
}

} // namespace zelm::reportf
