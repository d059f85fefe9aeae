#pragma once
// The search window: conditions on the cards of the register, and the commands that copy the
// cards passing them into the Working card file one at a time or all at once.
#include "search/PoiskUi.h"
#include "search/SearchConditions.h"

#include <QDialog>
#include <optional>

namespace zelm {

class CardListsView;
class CardSession;

class TPoisk : public QDialog {
    Q_OBJECT
public:
    // The window serves the card window: the cards it finds become the session's card shown,
    // and `lists` moves the card window's selection.
    TPoisk(CardSession& session, CardListsView& lists);

    PoiskUi& ui() { return m_ui; }
    SearchConditions conditions() const; // read afresh from the controls

    void openSearch(); // shows the window over the card window; the reset runs on showing

    void FormActivate(); // the reset, also on Obnovit
    void sNextClick();
    void sPredClick();
    void sBeginClick();
    void sEndClick();
    void WsehSrazuClick();
    void RabZeroClick();
    void nWihodClick();

    qint64 forwardPosition() const { return m_forward; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void afterStep(); // counter, Working list and tab
    void announceEndIfDone(bool done);
    void appendToWorking(const TAnketa& card);
    void restartWorking();

    CardSession& m_session;
    CardListsView& m_lists;
    PoiskUi m_ui{};
    qint64 m_forward = 0;             // the next card a forward step tests
    std::optional<qint64> m_backward; // the next card a backward step tests; empty: not started
};

} // namespace zelm
