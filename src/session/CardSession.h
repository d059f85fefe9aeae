#pragma once
// The card being worked on, without any window: the card in memory and the edits made to it,
// the mode, which card is shown, the counters, and the Working card file. The register itself,
// wherever it lives, is behind the Register it is given; the session never asks which home it
// has. The card window shows it and turns clicks into its calls; every other subsystem reads
// and writes cards through it. It says what changed through its signals; nothing outside
// repaints by hand.
#include "register/Register.h"
#include "store/CardFile.h"
#include "store/CurrentUser.h"
#include "store/Installation.h"
#include "store/Records.h"

#include <QObject>
#include <QString>
#include <QUuid>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace zelm {

// The card files besides the register that commands add cards to and take cards from.
enum class SideFile { Working, Archive };

class CardSession : public QObject {
    Q_OBJECT
public:
    // Where the card shown came from: a save, a mark or a deletion acts on what the user sees.
    enum class Shown { MainCard, ArchivedCard, Blank };
    enum class Mode { Korr, New };

    CardSession(const Installation& inst, const CurrentUser& user,
                std::unique_ptr<Register> cardRegister, QObject* parent = nullptr);
    ~CardSession() override;
    CardSession(const CardSession&) = delete;
    CardSession& operator=(const CardSession&) = delete;

    // The register's Main card file and Archive, wherever they are kept: lists, passes and
    // snapshots read them here.
    Register& cardRegister() { return *m_register; }
    const Register& cardRegister() const { return *m_register; }
    const RecordSource& registerCards(RegisterFile file) const { return m_register->cards(file); }
    // The Working card file, always in the data folder's Temp.
    const CardFile& working() const { return m_working; }
    // At exit: the register and the Working card file closed, every one even when one fails;
    // the first failure is thrown after.
    void closeFiles();
    qint64 mainCount() const;
    // The Main card file's position: the card Scatter() shows.
    qint64 mainPosition() const;
    void seekMain(qint64 index);
    const Installation& installation() const { return m_inst; }
    const CurrentUser& user() const { return m_user; }

    const TAnketa& CurrentCard() const { return m_current; }
    const TAnketa& RememberedCard() const { return m_remembered; }
    Mode mode() const { return m_mode; }
    QString CardMode() const; // "Korr" or "New"
    Shown shown() const { return m_shown; }
    qint64 shownIndex() const { return m_shown == Shown::MainCard ? m_shownCard.place : -1; }
    int CardIndex() const { return m_cardIndex; }
    int CardTotal() const; // cards in the Main card file
    int CardNo() const;    // the position of the Main card file, counted from 1

    // The card being edited: CurrentCard with the user's edits laid over it, as the window
    // last wrote them (a new card's number, running number and fields included).
    const TAnketa& editedCard() const { return m_edited; }
    void setEdits(const TAnketa& card) { m_edited = card; }
    // The card "карточка полная" prints: the card last shown or saved, without edits not yet
    // saved; a new card not yet saved is printed as edited, with its own creation time (the
    // moment its number was made), now as its change time and the logged-in user.
    TAnketa cardToPrint() const;

    // Whether a card of the register carries this unique number, and the first that does (-1
    // when none): answered from an index kept with the register, without reading it. The
    // index is built on a thread of its own when the register is opened or rewritten; asked
    // before it is ready, these wait for it, calling the index wait's function meanwhile.
    bool numberTaken(std::int32_t number) const { return indexOfNumber(number) >= 0; }
    qint64 indexOfNumber(std::int32_t number) const { return m_register->indexOfNumber(number); }
    bool numberIndexReady() const { return m_register->numberIndexReady(); }
    // `percent` is how far the index got; 0 once the wait is over.
    void setIndexWait(std::function<void(int percent)> whileWaiting) {
        m_register->setIndexWait(std::move(whileWaiting));
    }

    // Opens the register and the Working card file (emptied) and reads the last card; false
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

    enum class SaveOutcome { Refused, Appended, Overwritten, Nothing, Conflict, Gone };
    // Stores the card being edited: appended in "New" mode, written over the Main card shown
    // in "Korr" mode; a new card carrying a number already stored gets a fresh one.
    // The edits are stored: the user is named as administrator and now is the change time.
    // The card shown is written only where it was read: Conflict when someone else stored it
    // since it was shown (theirs() holds their version; saveOver() writes the edits over it,
    // showTheirs() shows it), Gone when it left the register meanwhile; the edits stay either
    // way, and no other card is touched.
    SaveOutcome save();
    SaveOutcome saveOver();
    const StoredCard& theirs() const { return m_theirs; }
    void showTheirs();
    // What a save that found its card gone tells the user.
    QString cardGoneMessage() const;
    // The Main card shown was changed, archived or deleted by another workstation since it
    // was shown.
    bool shownChangedElsewhere() const { return m_changedElsewhere; }
    // Other workstations changed the cards with the register's keys `ids` (none: anything may
    // have changed). The order is read again and the lists follow; the card shown and the
    // edits stay.
    void cardsChangedElsewhere(const std::vector<qint64>& ids);

    // Inserts a blank card with `runningNumber` after Main card `anchor`; returns the index of
    // the new card, which becomes the card shown. The data folder rewrites its register through
    // the Working card file, which then holds a copy of the new register.
    qint64 insertBlankCardAfter(qint64 anchor, std::int32_t runningNumber);

    // Takes the Main card shown out of the register. Errors are thrown after the register and
    // the Archive have been put back as they were. The data folder rewrites its register
    // through the Working card file, which is left empty either way.
    void deleteShownCard(DeletionKind kind);
    bool canDeleteShownCard() const;

    // Sets or clears the mark "уд" of the Main card shown, in the file at once; false when no
    // Main card is shown.
    bool toggleMark();

    // The Archive's "Запомнить" and the paste of the remembered card as a new card, which
    // its save stores as a recall.
    void rememberShownCard() { m_remembered = m_current; }
    void pasteRememberedCard();

    // The versions the history keeps of the cards carrying `number`, newest first.
    std::vector<CardVersion> history(std::int32_t number) { return m_register->history(number); }
    // «Восстановить» of the history: `version` stored as a new save of its card, named as the
    // user's and stamped now. A Main card carrying its number is shown and written over
    // through the same check as save() (Conflict: saveOver() or showTheirs() as there); with
    // none, the version is recalled to the end of the Main card file (Appended), under its own
    // number unless another card took it meanwhile.
    SaveOutcome restoreVersion(const TAnketa& version);

    // The Working card file: appends the card shown (nothing for a card never read), or any
    // card, or every card of the register that passes `matches`; flushed before they return.
    bool appendShownToWorking();
    void appendToWorking(const TAnketa& card);
    // `prefilter`, when given, lets a server pick the candidates instead of sending every card.
    qint64 appendMatchesToWorking(const std::function<bool(const TAnketa&)>& matches,
                                  const CardFilter* prefilter = nullptr);
    void emptyWorking();

    // The Working and Archive card files alike.
    qint64 cardCount(SideFile which) const;
    TAnketa cardAt(SideFile which, qint64 index) const;
    // The index of the card carrying `number`: the card at `hint` when it does, else the first
    // that does, else -1.
    qint64 findCard(SideFile which, std::int32_t number, qint64 hint = -1) const;
    // Takes the card at `index` out: the Working card file is rewritten through a scratch file
    // in Temp; an archived card is found by its unique number, false when it is gone.
    bool removeCard(SideFile which, qint64 index);

signals:
    // The card shown is another one, or was read afresh: the window shows it whole.
    void cardShown();
    // A card was stored or marked: the window shows its bookkeeping boxes again.
    void cardStored();
    // The count of cards in the register or the position in it changed.
    void countersChanged();
    // The Main card file: the card at `index` was inserted (or appended), written over or
    // taken out; the lists follow it.
    void mainCardInserted(qint64 index);
    void mainCardWritten(qint64 index);
    void mainCardRemoved(qint64 index);
    // The Working or the Archive card file changed; `count` is its number of cards now.
    void sideFileChanged(zelm::SideFile which, qint64 count);
    // ...by taking out its card at `index` (told before sideFileChanged).
    void sideCardRemoved(zelm::SideFile which, qint64 index);
    // The register kept on a server was changed by another workstation: the lists show it anew.
    void registerReloaded();
    // ...and it changed the card shown, which stays as it was shown.
    void shownCardChangedElsewhere();

private:
    void enterNewMode(); // "New" mode, for a new card with a key of its own
    bool readLastCard();
    bool readMain(qint64 index);
    // The card just read or stored becomes the Main card shown; showStored also tells the window.
    void holdStored(const StoredCard& card);
    void showStored(const StoredCard& card);
    ScratchFile scratch() { return {m_working, m_inst.workingCardFile()}; }
    qint64 workingCount() const { return m_working.isOpen() ? m_working.count() : 0; }
    void showChanged();         // cardShown and countersChanged
    void showLastCardOrBlank(); // after the card shown was taken out
    SaveOutcome storeOver(const StoredCard& asRead, const TAnketa& card);
    // A new card at the end of the Main card file becomes the card shown.
    SaveOutcome storeNew(const TAnketa& card, bool recalled);
    [[noreturn]] void refuse(const QString& message) const;

    const Installation& m_inst;
    const CurrentUser& m_user;
    std::unique_ptr<Register> m_register;
    CardFile m_working;
    TAnketa m_current = TAnketa::zeroed();
    TAnketa m_edited = TAnketa::zeroed();
    TAnketa m_remembered = TAnketa::zeroed();
    Mode m_mode = Mode::Korr;
    Shown m_shown = Shown::Blank;
    StoredCard m_shownCard; // the Main card shown, as it was read
    qint64 m_position = 0;  // the Main card file's position
    int m_cardIndex = 0;
    StoredCard m_theirs; // the version a save met instead of the one shown
    bool m_theirsPending = false;
    bool m_recalling = false; // the new card is a pasted archived card
    // The key of the new card being edited, made when it began: a save repeated after its
    // reply was lost finds the card stored by the first instead of storing it again.
    QUuid m_newCardKey;
    bool m_changedElsewhere = false;
};

// «Карточку изменил(а) <кто> в <когда>. Записать поверх?»
QString changedElsewhereQuestion(const StoredCard& theirs);

} // namespace zelm

Q_DECLARE_METATYPE(zelm::SideFile)
