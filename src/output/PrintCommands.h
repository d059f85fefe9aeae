#pragma once
// The print commands of the card window, one call each. Every one reports its own failures
// (a data file that cannot be written, a report program that cannot be started) in an error
// box over `parent` and returns false then; nothing is started after a failed write.
#include "store/Records.h"

#include <QString>

class QWidget;

namespace zelm {

class CardFile;
class ReportLauncher;

// Menu "Печать", item N13 "карточка полная": the card held by the card window.
bool N13Click(ReportLauncher& launcher, const TAnketa& card, const QString& owner,
              QWidget* parent = nullptr);
// Working tab, button PRNSpisok "Список": every card of the Working card file.
bool PRNSpisokClick(ReportLauncher& launcher, const CardFile& working, const QString& owner,
                    QWidget* parent = nullptr);
// Menu "Шаблоны": the report program once on a template and the data of the last print.
bool PolnPicrtf1Click(ReportLauncher& launcher, QWidget* parent = nullptr);
bool KnigaPic1Click(ReportLauncher& launcher, QWidget* parent = nullptr);

} // namespace zelm
