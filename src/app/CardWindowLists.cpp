#include "app/CardWindowLists.h"

#include "cardwindow/CardListModel.h"
#include "cardwindow/TForm1.h"

namespace zelm {
namespace {
constexpr auto kWorking = TForm1::CardList::Working;
}

QWidget* CardWindowLists::window() {
    return &m_w;
}

Platform& CardWindowLists::platform() {
    return m_w.platform();
}

bool CardWindowLists::runCommand(const std::function<void()>& command) {
    return m_w.runCommand(command);
}

QStringList CardWindowLists::referenceEntries(const QString& comboBox) const {
    return m_w.referenceEntries(comboBox);
}

void CardWindowLists::selectMainRow(int row) {
    m_w.selectMainRow(row);
}

int CardWindowLists::workingRowCount() const {
    return m_w.list(kWorking).cardCount();
}

std::int32_t CardWindowLists::workingRowNumber(int row) const {
    return m_w.list(kWorking).uniqueNumber(row);
}

bool CardWindowLists::workingRowShowsNumber(int row) const {
    CardListModel& list = m_w.list(kWorking);
    if (!list.cellText(row, CardListModel::UniqueNumberColumn).trimmed().isEmpty())
        return true;
    // A row that cannot be read because the file changed since the list was shown: the list
    // shows the file as it now is.
    list.refresh();
    return false;
}

int CardWindowLists::selectedWorkingRow() const {
    return m_w.selectedRow(kWorking);
}

void CardWindowLists::selectWorkingRow(int row) {
    m_w.selectRow(kWorking, row);
}

bool CardWindowLists::isWorkingListInView() const {
    return m_w.isListInView(kWorking);
}

void CardWindowLists::bringWorkingListToFront() {
    m_w.bringListToFront(kWorking);
}

QColor CardWindowLists::workingListBackground() const {
    return m_w.listBackground(kWorking);
}

} // namespace zelm
