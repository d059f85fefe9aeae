#pragma once
// What every window of one run shares: the installation, the platform, the current user,
// the settings read at start and the open data files.
#include "store/AttachmentIndex.h"
#include "store/CardFile.h"
#include "store/DayCount.h"
#include "store/Installation.h"
#include "store/Settings.h"

#include <QDate>
#include <QString>

namespace zelm {

class Platform;

struct DataFiles {
    CardFile main;        // Baza/Anketi.dat
    CardFile archive;     // Baza/ArhAnket.dat
    CardFile working;     // Temp/RabAnket.dat
    CardFile attachments; // Baza/SpisFil.dat
    CardFile access;      // Dostup.dat, opened by the login window
    AttachmentIndex attachmentIndex;
};

struct AppContext {
    AppContext(Installation inst, Platform& platform)
        : inst(std::move(inst)), platform(platform), settings(defaultSettings(this->inst)) {}

    Installation inst;
    Platform& platform;
    DataFiles files;

    // The current user, set by the login.
    QString UserFIO;
    QString UserDostup;
    bool serviceMenuBarred = false; // the login disabled "Сервис" for this run

    OfficeSettings settings;
    QString ReportMode = QStringLiteral("Prosm");
    double EmptyDate = toDayCount(QDate(1901, 1, 1));
};

// Closes the Main card file, the access table, the Archive, the Working card file and the
// attached-file list, in that order; every one is closed even when one fails, and the first
// failure is reported after.
void CloseAllFiles(AppContext& ctx);

} // namespace zelm
