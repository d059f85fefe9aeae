#pragma once
// The card being worked on, without any window: the open data files, the card in memory, the
// mode, which card is shown and the counters. The card window shows it and turns clicks into
// its calls; every other subsystem reads and writes cards through it.
#include "store/CurrentUser.h"
#include "store/DataFiles.h"
#include "store/Installation.h"
#include "store/Records.h"

#include <QString>
#include <cstdint>
#include <functional>
#include <optional>

namespace zelm {

enum class DeletionKind { ForGood, IntoArchive };

class CardSession {
public:
    // Where the card shown came from: a save, a mark or a deletion acts on what the user sees.
    enum class Shown { MainCard, ArchivedCard, Blank };
    enum class Mode { Korr, New };

    CardSession(const Installation& inst, const CurrentUser& user);
    CardSession(const CardSession&) = delete;
    CardSession& operator=(const CardSession&) = delete;

    DataFiles& files() { return m_files; }
    const Installation& installation() const { return m_inst; }
    const CurrentUser& user() const { return m_user; }

    const TAnketa& CurrentCard() const { return m_current; }
    const TAnketa& RememberedCard() const { return m_remembered; }
    Mode mode() const { return m_mode; }
    QString CardMode() const; // "Korr" or "New"
    Shown shown() const { return m_shown; }
    qint64 shownIndex() const { return m_shownIndex; } // in the Main card file, else -1
    int CardIndex() const { return m_cardIndex; }
    int CardTotal() const; // cards in the Main card file
    int CardNo() const;    // the position of the Main card file, counted from 1

    // Opens the data files (the Working card file emptied) and reads the last card; false
    // when the register is empty and the session starts on a new card.
    bool openFiles();

    // Showing cards: each makes the card the one a save, a mark or a deletion acts on.
    void Scatter(); // the card at the Main card file's position (the last at the end)
    void showMainCard(qint64 index);
    void showFoundCard(qint64 index, const TAnketa& card); // read already by a search
    void showArchivedCard(const TAnketa& card);
    void setCardIndex(int index) { m_cardIndex = index; }

    // The navigation buttons: the index of the card shown, or nothing when the step is void.
    std::optional<qint64> stepFirst();
    std::optional<qint64> stepLast();
    std::optional<qint64> stepPrevious();
    std::optional<qint64> stepNext();

    // "New": a blank card in "New" mode; returns the running number it gets, and
    // `registerEmpty` says whether there was a card before it.
    std::int32_t beginNewCard(bool& registerEmpty);
    // "Копия": the window's fields stay, only the identity is new; the running number of the
    // copy when the register has cards.
    std::optional<std::int32_t> beginCopy();
    // "Отмена": back to "Korr" on the card of CardIndex; false when the register is empty.
    bool cancelNewCard();
    // The state after the only card was deleted or the register was found empty.
    void startOnBlankCard();

    enum class SaveOutcome { Refused, Appended, Overwritten, Nothing };
    // Stores `card` (the window's fields over CurrentCard): appended in "New" mode, written
    // over the Main card shown in "Korr" mode. `numberTaken` says whether a unique number is
    // already stored; a new card carrying one gets a fresh number.
    SaveOutcome save(TAnketa card, const std::function<bool(std::int32_t)>& numberTaken);

    // Inserts a blank card with `runningNumber` after Main card `anchor` by rewriting the
    // register; returns the index of the new card, which becomes the card shown.
    qint64 insertBlankCardAfter(qint64 anchor, std::int32_t runningNumber);

    // Takes the Main card shown out of the register. File errors are thrown after the
    // register and the Archive have been put back as they were; the Working card file, used
    // as scratch, is left empty either way.
    void deleteShownCard(DeletionKind kind);
    bool canDeleteShownCard() const;

    // Sets or clears the mark "уд" of the Main card shown, in the file at once; false when no
    // Main card is shown.
    bool toggleMark();

    // The Archive's "Запомнить" and the paste of the remembered card as a new card.
    void rememberShownCard() { m_remembered = m_current; }
    void pasteRememberedCard();

    // The Working card file: appends the card shown (nothing for a card never read), or any
    // card; both flushed before they return.
    bool appendShownToWorking();
    void appendToWorking(const TAnketa& card);

private:
    bool readLastCard();

    const Installation& m_inst;
    const CurrentUser& m_user;
    DataFiles m_files;
    TAnketa m_current = TAnketa::zeroed();
    TAnketa m_remembered = TAnketa::zeroed();
    Mode m_mode = Mode::Korr;
    Shown m_shown = Shown::Blank;
    qint64 m_shownIndex = -1;
    int m_cardIndex = 0;
};

} // namespace zelm
