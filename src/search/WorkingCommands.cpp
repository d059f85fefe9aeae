#include "search/WorkingCommands.h"

#include "cardwindow/CardListModel.h"
#include "cardwindow/TForm1.h"
#include "search/CardScan.h"

#include <QItemSelectionModel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QTableView>
#include <cstring>
#include <vector>

namespace zelm {
namespace {

CardFile& mainFile(TForm1& w) {
    return w.ctx().files.main;
}
CardFile& workingFile(TForm1& w) {
    return w.ctx().files.working;
}

bool workingTabInView(TForm1& w) {
    return w.ui().SpTabl->currentWidget() == w.ui().TabSheet2;
}

int selectedWorkingRow(TForm1& w) {
    QItemSelectionModel* selection = w.ui().RabTab->selectionModel();
    const auto rows = selection->selectedRows();
    if (!rows.isEmpty())
        return rows.first().row();
    const QModelIndex current = selection->currentIndex();
    return current.isValid() ? current.row() : -1;
}

bool neverRead(const TAnketa& card) {
    static const TAnketa zero = TAnketa::zeroed();
    return std::memcmp(&card, &zero, sizeof zero) == 0;
}

} // namespace

void showWorkingCount(TForm1& w) {
    w.ui().vRab->setText(QString::number(workingFile(w).count()));
}

void bringWorkingTabToFront(TForm1& w) {
    // Showing the tab fills the list already; the caller has just done that.
    QSignalBlocker quiet(w.ui().SpTabl);
    w.ui().SpTabl->setCurrentWidget(w.ui().TabSheet2);
}

void nGlRabClick(TForm1& w) {
    // An empty register at start has no card to add: the record was never read.
    if (neverRead(w.CurrentCard))
        return;
    CardFile& working = workingFile(w);
    working.seek(working.count());
    working.write(&w.CurrentCard);
    showWorkingCount(w);
}

void emptyWorkingCardFile(TForm1& w) {
    CardFile& working = workingFile(w);
    working.seek(0);
    working.truncate();
    if (workingTabInView(w))
        TabSheet2Show(w);
}

void RabZeroClick(TForm1& w) {
    emptyWorkingCardFile(w);
    w.ui().vRab->setText(QStringLiteral("0"));
}

void TabSheet2Show(TForm1& w) {
    const std::vector<TAnketa> cards = workingFile(w).readAll<TAnketa>();
    w.ui().workingList->setCards(cards);
    if (!cards.empty())
        w.ui().RabTab->selectRow(0);
}

void RabTabMouseDown(TForm1& w, int row) {
    CardFile& main = mainFile(w);
    if (main.count() <= 1 || workingFile(w).count() < 1) {
        main.seek(0);
        return;
    }
    if (row < 0 || row >= w.ui().workingList->cardCount())
        return;
    qint64 index = findUniqueNumber(main, w.ui().workingList->uniqueNumber(row));
    // The card may have been deleted from the register since it was copied.
    if (index < 0)
        index = main.count() - 1;
    w.showMainCard(index);
    w.Kakay();
}

void SpisokMouseDown(TForm1& w, int row) {
    CardFile& main = mainFile(w);
    if (main.count() <= 1) {
        main.seek(0);
        return;
    }
    if (row < 0 || row >= main.count())
        return;
    w.showMainCard(row);
    w.Kakay();
}

void DelRabClick(TForm1& w) {
    CardListModel* list = w.ui().workingList;
    const int row = selectedWorkingRow(w);
    if (row < 0 || row >= list->cardCount() || list->cellText(row, 10).trimmed().isEmpty())
        return;
    CardFile& working = workingFile(w);
    const qint64 total = working.count();
    // A deletion or an insertion may have replaced the file under a list in view: remove
    // only the card the row shows, and otherwise show the file as it now is.
    TAnketa atRow = TAnketa::zeroed();
    if (row < total)
        working.readRange(row, 1, &atRow);
    if (row >= total || atRow.Klu4Form1 != list->uniqueNumber(row)) {
        TabSheet2Show(w);
        showWorkingCount(w);
        return;
    }
    if (row + 1 < total) {
        std::vector<TAnketa> tail(static_cast<size_t>(total - row - 1));
        working.readRange(row + 1, static_cast<qint64>(tail.size()), tail.data());
        working.seek(row);
        for (const TAnketa& card : tail)
            working.write(&card);
    }
    working.seek(total - 1);
    working.truncate();
    list->removeCard(row);
    if (row < list->cardCount())
        w.ui().RabTab->selectRow(row);
    else if (list->cardCount() > 0)
        w.ui().RabTab->selectRow(list->cardCount() - 1);
    showWorkingCount(w);
}

} // namespace zelm
