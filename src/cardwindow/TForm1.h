#pragma once
// The card window: one card of the register at a time, the lists of the three card files,
// and every command on cards. The card and the data files are the session's; this class shows
// them, follows the session's signals and turns clicks into the session's calls. Its controls
// are its own: other subsystems use the narrow interface below, and its own command files
// reach them through Form1Internal.h.
#include "session/CardSession.h"

#include <QMainWindow>
#include <functional>
#include <memory>

class QColor;

namespace zelm {

class CardListModel;
class Platform;
class SharedData;
struct Form1Ui;
struct OfficeSettings;
class UniformRowsView;

class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    enum class CardList { Main, Working, Archive };

    TForm1(CardSession& session, Platform& platform, OfficeSettings& settings, SharedData& shared,
           QWidget* parent = nullptr);
    ~TForm1() override;

    CardSession& session() { return m_session; }
    Platform& platform() { return m_platform; }
    // The reference lists and the attached-file list.
    SharedData& sharedData() { return m_shared; }

    // Showing the session's card and the counters: the session's signals call these.
    void ShowRecord();
    void Kakay();
    void BlankCard();
    void updateRemainingCounters();
    // Writes the user's edits into the session and returns the card being edited; a running or
    // unique number that is no integer raises ConversionError. The one place the window's
    // fields are read back.
    const TAnketa& writeEdits();
    void setAttachmentCount(int n); // SkolPrik
    // The bookkeeping boxes and the memos as the card shows them, typed text as typed.
    struct ShownBoxes {
        QString created, changed, admin, running, number, mark, result, note;
    };
    ShownBoxes shownBoxes() const;
    // "Есть"/"Нет" of the Result's and the Note's documents.
    void setDocumentCaptions(const QString& result, const QString& note);
    void setProgress(int percent); // Gauge1
    // Gauge1 moving without a measure: the window waits for the server.
    void setBusy(bool busy);
    // On a shared register: whether the other workstations' changes reach this one.
    void showFeedLost(const QString& serverName);
    void hideFeedLost();

    // The three lists: row r shows card r of its file.
    CardListModel& list(CardList which);
    void selectRow(CardList which, int row);
    int selectedRow(CardList which) const; // -1 when none
    bool isListInView(CardList which) const;
    void bringListToFront(CardList which); // without refilling it
    void selectMainRow(int cardIndex) { selectRow(CardList::Main, cardIndex); }
    int selectedMainRow() const { return selectedRow(CardList::Main); }
    void reloadMainList();
    QColor listBackground(CardList which) const;

    // The entries of a reference list's combo box, by the combo box's name.
    QStringList referenceEntries(const QString& comboBox) const;
    // Reads the list stored in `fileName` ("Povod.txt", ...) into its combo box again, as
    // another workstation changed it; false for a name that is no reference list.
    bool reloadReferenceList(const QString& fileName);
    void loadReferenceLists();

    // The commands of this window that other subsystems carry out: the app connects each to
    // what does it; each runs through runCommand.
    enum class Command {
        Search,             // nPoisk
        ShownToWorking,     // nGlRab
        EmptyWorking,       // RabZero
        RemoveFromWorking,  // DelRab
        Passwords,          // N9
        Settings,           // N8
        ToServer,           // nToServer
        FromServer,         // nFromServer
        Exit,               // N3
        Restore,            // BackUp1
        AttachedFiles,      // PuskDokKart
        PrintCard,          // N13
        PrintList,          // PRNSpisok
        CardTemplate,       // PolnPicrtf1
        ListTemplate,       // KnigaPic1
        StatisticsTemplate, // StatPic1
        Statistics,         // NStatistika
        Envelopes,          // Konvert
        ResultDocument,     // Otvet
        NoteDocument,       // WordEst
        ResultTemplate,     // N10
        NoteTemplate,       // N11
        WorkingToExcel,     // RabExc
        ArchiveToExcel,     // ArhExc
    };
    void onCommand(Command command, std::function<void()> run);
    void setCommandEnabled(Command command, bool enabled);
    // The window's own commands, by the objectName of their button or menu item.
    void onClick(const char* objectName, std::function<void()> command);
    // Runs a command; any error it raises is shown and the command ends there.
    bool runCommand(const std::function<void()>& command);
    void showError(const QString& text);

    // The menu "Сервис": a command may give it back only when the login has not barred it.
    void setServiceMenuEnabled(bool enabled);
    void setCardButtonsVisible(bool visible); // nNew, nCopiy, nPoisk, nDelete
    // The login accepted a user: a blank first card names them.
    void userLoggedIn();

    // The menu "Выход" and a restore close the window for real.
    void closeForGood();

signals:
    void closedForGood();
    void listPressed(TForm1::CardList which, int row); // -1 for a press outside the rows
    void listShown(TForm1::CardList which);

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    QObject* commandControl(Command command) const;
    friend struct Form1Access; // Form1Internal.h, for the window's own command files
    void runStartUp();
    void paintStoredColours();
    UniformRowsView* view(CardList which) const;

    CardSession& m_session;
    Platform& m_platform;
    OfficeSettings& m_settings;
    SharedData& m_shared;
    void followSession();
    void showStoredBoxes(); // the bookkeeping boxes of the card just stored or marked

    std::unique_ptr<Form1Ui> m_ui;
    bool m_closing = false;
    bool m_showingCard = false; // ShowRecord is filling the fields, not the user
    QString m_acceptedResult;   // the Result memo's last text within its stored size
    int m_acceptedResultCursor = 0;
};

} // namespace zelm
