#pragma once
// «История карточки»: the versions the register kept of one card, newest first, each the card
// as it was before a save, a deletion, archiving, or as it was recalled. A version's fields
// that differ from the version before it are highlighted; «Восстановить» stores the version
// chosen again, through the card window's own save and its question about someone else's
// change. A card no longer in the register is found by its unique number.
#include "store/CardHistory.h"

#include <QDialog>
#include <cstdint>
#include <vector>

class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace zelm {

class TForm1;

class TIstoriya : public QDialog {
    Q_OBJECT
public:
    explicit TIstoriya(TForm1& cardWindow);

    // Reads the versions of the cards carrying `number` and lists them, the newest chosen.
    void showHistory(std::int32_t number);
    const std::vector<CardVersion>& versions() const { return m_versions; }
    // The list's row chosen, -1 when none.
    int chosenRow() const;

    QLineEdit* NomerIst = nullptr;     // the unique number
    QPushButton* NaitiIst = nullptr;   // «Найти»
    QTableWidget* SpisokIst = nullptr; // when, who, what
    QTableWidget* PoliaIst = nullptr;  // the chosen version's fields
    QLabel* SostIst = nullptr;         // what the list holds
    QPushButton* VosstanovitIst = nullptr;
    QPushButton* ZakrytIst = nullptr;

private:
    void NaitiIstClick();
    void VosstanovitIstClick();
    void showVersion(int row);

    TForm1& m_cardWindow;
    std::int32_t m_number = 0;
    std::vector<CardVersion> m_versions;
};

// Opens the window on the card shown (or a blank number when none) and waits for it.
void NIstoriyaClick(TForm1& w);

} // namespace zelm
