#pragma once
// What the history of a card keeps: each save, deletion, archiving and recall leaves the card as
// it was before, with who did it and when. Both homes keep the same versions: the data folder
// in Baza/History.dat (HistoryFile.h), a server in its table card_history.
#include "store/Records.h"

#include <QDateTime>
#include <QString>
#include <cstdint>

namespace zelm {

// Stored as numbers in both homes: the values never change.
enum class HistoryAction : std::int32_t {
    Save = 1,           // written over (a save, a mark)
    Archive = 2,        // taken into the Archive
    Delete = 3,         // deleted for good from the Main card file
    DeleteArchived = 4, // deleted for good from the Archive
    Recall = 5,         // brought back into the Main card file: the card as it was recalled
};
bool isHistoryAction(std::int32_t value);
// «Запись», «В Архив», ... as the history window lists them.
QString historyActionText(HistoryAction action);

struct CardVersion {
    HistoryAction action = HistoryAction::Save;
    QDateTime when; // when it was done, UTC
    QString who;    // who did it, as the home knows it
    TAnketa card = TAnketa::zeroed();
};

} // namespace zelm
