#include "search/WorkingCommands.h"

#include "search/CardListsView.h"
#include "session/CardSession.h"

namespace zelm {

void nGlRabClick(CardSession& s) {
    s.appendShownToWorking();
}

void RabZeroClick(CardSession& s, CardListsView& v) {
    s.emptyWorking();
    if (v.isWorkingListInView())
        TabSheet2Show(s, v);
}

void TabSheet2Show(CardSession&, CardListsView& v) {
    // The list already shows the file: it follows the session's changes and looks at the file.
    if (v.workingRowCount() > 0)
        v.selectWorkingRow(0);
}

void RabTabMouseDown(CardSession& s, CardListsView& v, int row) {
    const qint64 count = s.mainCount();
    if (count <= 1 || s.cardCount(SideFile::Working) < 1) {
        s.seekMain(0);
        return;
    }
    if (row < 0 || row >= v.workingRowCount())
        return;
    // The session's index of unique numbers answers without reading the register.
    qint64 index = s.indexOfNumber(v.workingRowNumber(row));
    // The card may have been deleted from the register since it was copied.
    if (index < 0 || index >= count)
        index = count - 1;
    s.showMainCard(index);
}

void SpisokMouseDown(CardSession& s, int row) {
    const qint64 count = s.mainCount();
    if (count <= 1) {
        s.seekMain(0);
        return;
    }
    if (row < 0 || row >= count)
        return;
    s.showMainCard(row);
}

void DelRabClick(CardSession& s, CardListsView& v) {
    const int row = v.selectedWorkingRow();
    if (row < 0 || row >= v.workingRowCount() || !v.workingRowShowsNumber(row))
        return;
    // A deletion or an insertion may have replaced the file under a list in view: remove
    // only the card the row shows.
    const std::int32_t number = v.workingRowNumber(row);
    if (row >= s.cardCount(SideFile::Working) ||
        s.cardAt(SideFile::Working, row).Klu4Form1 != number) {
        TabSheet2Show(s, v);
        return;
    }
    s.removeCard(SideFile::Working, row);
    if (row < v.workingRowCount())
        v.selectWorkingRow(row);
    else if (v.workingRowCount() > 0)
        v.selectWorkingRow(v.workingRowCount() - 1);
}

} // namespace zelm
