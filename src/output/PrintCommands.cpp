#include "output/PrintCommands.h"

#include "output/ReportData.h"
#include "output/ReportLauncher.h"
#include "platform/Platform.h"
#include "store/FileError.h"

namespace zelm {
namespace {

template <class Write>
bool writeThenLaunch(ReportLauncher& launcher, const QString& report, QWidget* parent,
                     Write write) {
    try {
        write(launcher.dataFile(report));
    } catch (const FileError& e) {
        launcher.platform().dialogs().error(parent ? parent : launcher.owner(), e.displayText());
        return false;
    }
    return launcher.launch(report, parent);
}

} // namespace

bool N13Click(ReportLauncher& launcher, const TAnketa& card, const QString& owner,
              QWidget* parent) {
    return writeThenLaunch(launcher, QStringLiteral("Poln"), parent,
                           [&](const QString& path) { PrintFullCard(card, owner, path); });
}

bool PRNSpisokClick(ReportLauncher& launcher, const CardFile& working, const QString& owner,
                    QWidget* parent) {
    return writeThenLaunch(launcher, QStringLiteral("Kniga"), parent,
                           [&](const QString& path) { PrintMeasureList(working, owner, path); });
}

bool PolnPicrtf1Click(ReportLauncher& launcher, QWidget* parent) {
    return launcher.RunProgram(QStringLiteral("reportf.exe"),
                               QStringLiteral("PolnDat.txt PolnPic.rtf"), QStringLiteral("report"),
                               1, parent);
}

bool KnigaPic1Click(ReportLauncher& launcher, QWidget* parent) {
    return launcher.RunProgram(QStringLiteral("reportf.exe"),
                               QStringLiteral("KnigaDat.txt KnigaPic.rtf"),
                               QStringLiteral("report"), 1, parent);
}

} // namespace zelm
