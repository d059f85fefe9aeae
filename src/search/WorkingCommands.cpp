#include "search/WorkingCommands.h"

#include "cardwindow/CardListModel.h"
#include "cardwindow/TForm1.h"
#include "search/TPoisk.h"
#include "store/RecordFileRewrite.h"

#include <vector>

namespace zelm {
namespace {

constexpr auto kWorking = TForm1::CardList::Working;
constexpr qint64 kShiftBlock = 2048; // cards moved at a time when one is taken out

CardFile& mainFile(TForm1& w) {
    return w.session().files().main;
}
CardFile& workingFile(TForm1& w) {
    return w.session().files().working;
}

} // namespace

void showWorkingCount(TForm1& w) {
    w.setWorkingCount(workingFile(w).count());
}

void nGlRabClick(TForm1& w) {
    if (w.session().appendShownToWorking())
        showWorkingCount(w);
}

void emptyWorkingCardFile(TForm1& w) {
    CardFile& working = workingFile(w);
    working.seek(0);
    working.truncate();
    if (w.isListInView(kWorking))
        TabSheet2Show(w);
}

void RabZeroClick(TForm1& w) {
    emptyWorkingCardFile(w);
    w.setWorkingCount(0);
}

void TabSheet2Show(TForm1& w) {
    CardListModel& list = w.list(kWorking);
    list.setCardsFromFile(workingFile(w));
    if (list.cardCount() > 0)
        w.selectRow(kWorking, 0);
}

void RabTabMouseDown(TForm1& w, int row) {
    CardFile& main = mainFile(w);
    if (main.count() <= 1 || workingFile(w).count() < 1) {
        main.seek(0);
        return;
    }
    CardListModel& list = w.list(kWorking);
    if (row < 0 || row >= list.cardCount())
        return;
    // The Main list holds every unique number, so the register is not read to find one.
    qint64 index = w.list(TForm1::CardList::Main).rowOfUniqueNumber(list.uniqueNumber(row));
    // The card may have been deleted from the register since it was copied.
    if (index < 0 || index >= main.count())
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
    CardListModel& list = w.list(kWorking);
    const int row = w.selectedRow(kWorking);
    if (row < 0 || row >= list.cardCount() || list.cellText(row, 10).trimmed().isEmpty())
        return;
    CardFile& working = workingFile(w);
    const qint64 total = working.count();
    // A deletion or an insertion may have replaced the file under a list in view: remove
    // only the card the row shows, and otherwise show the file as it now is.
    TAnketa atRow = TAnketa::zeroed();
    if (row < total)
        working.readRange(row, 1, &atRow);
    if (row >= total || atRow.Klu4Form1 != list.uniqueNumber(row)) {
        TabSheet2Show(w);
        showWorkingCount(w);
        return;
    }
    // The cards after the row move up one place, a block at a time.
    std::vector<TAnketa> block;
    for (qint64 from = row + 1; from < total; from += kShiftBlock) {
        const qint64 n = std::min(kShiftBlock, total - from);
        block.resize(static_cast<size_t>(n));
        working.readRange(from, n, block.data());
        working.writeRange(from - 1, n, block.data());
    }
    working.seek(total - 1);
    working.truncate();
    list.removeCard(row);
    if (row < list.cardCount())
        w.selectRow(kWorking, row);
    else if (list.cardCount() > 0)
        w.selectRow(kWorking, list.cardCount() - 1);
    showWorkingCount(w);
}

void wireWorkingCommands(TForm1& w, TPoisk& search) {
    TForm1* p = &w;
    TPoisk* poisk = &search;
    w.onClick("nPoisk", [poisk] { poisk->openSearch(); });
    w.onClick("nGlRab", [p] { nGlRabClick(*p); });
    w.onClick("RabZero", [p] { RabZeroClick(*p); });
    w.onClick("DelRab", [p] { DelRabClick(*p); });
    QObject::connect(&w, &TForm1::listPressed, &w, [p](TForm1::CardList which, int row) {
        if (which == TForm1::CardList::Main)
            p->runCommand([p, row] { SpisokMouseDown(*p, row); });
        else if (which == kWorking)
            p->runCommand([p, row] { RabTabMouseDown(*p, row); });
    });
    QObject::connect(&w, &TForm1::listShown, &w, [p](TForm1::CardList which) {
        if (which == kWorking)
            p->runCommand([p] { TabSheet2Show(*p); });
    });
}

} // namespace zelm
