#pragma once
// The search window: conditions on the cards of the register, and the commands that copy the
// cards passing them into the Working card file one at a time or all at once.
#include "search/PoiskUi.h"
#include "search/SearchConditions.h"

#include <QDialog>
#include <optional>

namespace zelm {

class TForm1;

class TPoisk : public QDialog {
    Q_OBJECT
public:
    // The window serves the card window: it shows the cards it finds there.
    explicit TPoisk(TForm1& cardWindow);

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
    TForm1& form1() { return m_form1; }
    void afterStep(); // counters, Working list and tab
    void announceEndIfDone(bool done);
    void appendToWorking(const TAnketa& card);
    void restartWorking();

    TForm1& m_form1;
    PoiskUi m_ui{};
    qint64 m_forward = 0;             // the next card a forward step tests
    std::optional<qint64> m_backward; // the next card a backward step tests; empty: not started
};

} // namespace zelm
