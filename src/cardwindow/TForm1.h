#pragma once
// The card window: one card of the register at a time, the lists of the three card files,
// and every command on cards. Its commands live with their subsystems; this class holds
// the state they share.
#include "cardwindow/AppContext.h"
#include "cardwindow/Form1Ui.h"
#include "store/Records.h"

#include <QMainWindow>
#include <functional>

namespace zelm {

class ZelmApp;

class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    TForm1(AppContext& ctx, ZelmApp& app, QWidget* parent = nullptr);
    ~TForm1() override;

    AppContext& ctx() { return m_ctx; }
    ZelmApp& app() { return m_app; }
    Form1Ui& ui() { return m_ui; }

    // Where the card shown came from: a save, a mark or a deletion acts on what the user sees.
    enum class Shown { MainCard, ArchivedCard, Blank };

    // The card window's state.
    TAnketa CurrentCard = TAnketa::zeroed();
    TAnketa RememberedCard = TAnketa::zeroed(); // kept by the Archive's "Запомнить"
    QString CardMode = QStringLiteral("Korr");
    int CardTotal = 0;
    int CardNo = 0;
    int CardIndex = 0;
    Shown shown = Shown::Blank;
    qint64 shownIndex = -1; // index in the Main card file while shown == MainCard

    // Display.
    void ShowRecord();
    void Scatter();
    void Kakay();
    void BlankCard();
    void showMainCard(qint64 index); // position, Scatter, remember it as the card shown
    void showArchivedCard(const TAnketa& card);
    void updateRemainingCounters();
    void selectMainRow(int cardIndex); // the list row of the card (0-based card index)
    int selectedMainRow() const;       // 0-based card index of the selected row, -1 when none

    // Fill `card` from the window's fields (the user's name and the changed time included).
    void fillCardFromWindow(TAnketa& card);

    // The menu "Сервис": a command may give it back only when the login has not barred it.
    void setServiceMenuEnabled(bool enabled);
    void setCardButtonsVisible(bool visible); // nNew, nCopiy, nPoisk, nDelete

    // Runs a command; a file, conversion or Office error is shown and the command ends there.
    bool runCommand(const std::function<void()>& command);
    void showError(const QString& text);

    // The start-up of the window (runs in the constructor).
    void runStartUp();
    void loadReferenceLists();
    void reloadMainList();

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    AppContext& m_ctx;
    ZelmApp& m_app;
    Form1Ui m_ui{};
    bool m_closing = false;

public:
    // The menu "Выход" and a restore close the window for real.
    void closeForGood();

signals:
    void closedForGood();
};

} // namespace zelm
