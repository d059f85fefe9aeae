#pragma once
// What the search window and the Working commands need of the window that shows the card
// lists: the Working list's rows and selection, the Main list's selection, and the window to
// put messages over. The cards themselves come from the session; the app hands the card
// window in through this interface.
#include <QColor>
#include <QStringList>
#include <cstdint>
#include <functional>

class QWidget;

namespace zelm {

class Platform;

class CardListsView {
public:
    virtual ~CardListsView() = default;

    virtual QWidget* window() = 0; // the parent of the search window and of messages
    virtual Platform& platform() = 0;
    // Runs a command; any error it raises is shown and the command ends there.
    virtual bool runCommand(const std::function<void()>& command) = 0;
    // The entries of a reference list's combo box, by the combo box's name.
    virtual QStringList referenceEntries(const QString& comboBox) const = 0;

    virtual void selectMainRow(int row) = 0;

    // The Working list: row r shows card r of the Working card file; it follows the session.
    virtual int workingRowCount() const = 0;
    virtual std::int32_t workingRowNumber(int row) const = 0; // the unique number it shows
    virtual bool workingRowShowsNumber(int row) const = 0;    // its "Уник. №" is not blank
    virtual int selectedWorkingRow() const = 0;               // -1 when none
    virtual void selectWorkingRow(int row) = 0;
    virtual bool isWorkingListInView() const = 0;
    virtual void bringWorkingListToFront() = 0;
    virtual QColor workingListBackground() const = 0;
};

} // namespace zelm
