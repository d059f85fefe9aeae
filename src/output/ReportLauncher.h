#pragma once
// Starting the report program: the preview/print mode every print shares, the one start of a
// template command and the two starts of a print. Programs are started directly, never through
// a shell, in the installation's report folder, and never waited for.
#include <QString>
#include <QStringList>

class QWidget;

namespace zelm {

class Installation;
class Platform;

class ReportLauncher {
public:
    // The report program is looked for in the installation's "report" folder, then in the
    // folder of the running executable.
    ReportLauncher(const Installation& inst, Platform& platform);
    // The same with the folders to look in given, in order.
    ReportLauncher(const Installation& inst, Platform& platform, QStringList programFolders);

    // "Prosm" (preview) at start; any other value prints without a preview.
    const QString& ReportMode() const { return m_reportMode; }
    void setReportMode(const QString& mode) { m_reportMode = mode; }

    // The window that owns the message boxes when a command gives none.
    void setOwner(QWidget* owner) { m_owner = owner; }
    QWidget* owner() const { return m_owner; }
    Platform& platform() const { return m_platform; }

    // Starts `file` with `parameters` split at blanks, in the installation's `folder`. A program
    // that cannot be started is reported in an error box; false then. The show command only
    // means something to a Windows shell.
    bool RunProgram(const QString& file, const QString& parameters, const QString& folder,
                    int showCommand, QWidget* parent = nullptr);
    // The second start of a print: preview or print by the mode.
    bool StartReport(const QString& report, QWidget* parent = nullptr);
    // Every print after its data file is closed: the start with " - /m", then StartReport.
    // The second start is left out when the first failed, so one failure shows one box.
    bool launch(const QString& report, QWidget* parent = nullptr);

    // The data file of a report: <installation>/report/<report>Dat.txt.
    QString dataFile(const QString& report) const;
    // The program that `file` ("reportf.exe") names here, where it was found; empty if nowhere.
    QString locateProgram(const QString& file) const;

private:
    const Installation& m_inst;
    Platform& m_platform;
    QStringList m_programFolders;
    QString m_reportMode = QStringLiteral("Prosm");
    QWidget* m_owner = nullptr;
};

// "PolnDat.txt PolnPic.rtf PolnRep.rtf": the data file, the template and the output of a report.
QString reportCommandLine(const QString& report);

} // namespace zelm
