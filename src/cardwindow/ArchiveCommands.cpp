// The Archive tab (its list, opening, remembering and deleting archived cards), pasting the
// remembered card as a new one, and the wiring of the deletion and mark buttons.
#include "cardwindow/CardDeletion.h"
#include "store/RecordFileRewrite.h"
#include "cardwindow/CardListModel.h"
#include "cardwindow/TForm1.h"
#include "cardwindow/Wiring.h"
#include "cardwindow/ZelmApp.h"
#include "platform/Platform.h"
#include "store/UniqueNumber.h"
#include "store/UnitGlo.h"
#include "widgets/TdxfColorButton.h"

#include <QItemSelectionModel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <vector>

namespace zelm {
namespace {

constexpr qint64 kSearchBlock = 2048; // cards read at a time while looking for a number

// The index of the archived card listed in `row`: the card at that position when it carries
// the row's number, else the first card with that number, else -1.
qint64 findArchivedCard(const CardFile& archive, int row, std::int32_t number) {
    const qint64 count = archive.count();
    TAnketa card;
    if (row >= 0 && row < count) {
        archive.readRange(row, 1, &card);
        if (card.Klu4Form1 == number)
            return row;
    }
    std::vector<TAnketa> block;
    for (qint64 first = 0; first < count; first += kSearchBlock) {
        const qint64 n = std::min(kSearchBlock, count - first);
        block.resize(static_cast<size_t>(n));
        archive.readRange(first, n, block.data());
        for (qint64 i = 0; i < n; ++i)
            if (block[static_cast<size_t>(i)].Klu4Form1 == number)
                return first + i;
    }
    return -1;
}

int selectedArchiveRow(TForm1& w) {
    const auto rows = w.ui().ArhTab->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void selectArchiveRow(TForm1& w, int row) {
    if (row < 0 || row >= w.ui().archiveList->cardCount())
        return;
    w.ui().ArhTab->selectRow(row);
    w.ui().ArhTab->scrollTo(w.ui().archiveList->index(row, 0));
}

void TabSheet3Show(TForm1& w) {
    const CardFile& archive = w.ctx().files.archive;
    const std::vector<TAnketa> cards = archive.readAll<TAnketa>();
    w.ui().archiveList->setCards(cards);
    w.ui().vArh->setText(QString::number(cards.size()));
    selectArchiveRow(w, 0);
}

void ArhTabMouseDown(TForm1& w, int row) {
    const CardFile& archive = w.ctx().files.archive;
    const qint64 count = archive.count();
    if (count == 0 || row < 0 || row >= w.ui().archiveList->cardCount())
        return;
    qint64 at = findArchivedCard(archive, row, w.ui().archiveList->uniqueNumber(row));
    if (at < 0)
        at = count - 1; // the card has gone since the list was filled
    TAnketa card;
    archive.readRange(at, 1, &card);
    w.showArchivedCard(card);
}

void DelArhClick(TForm1& w) {
    if (w.ctx().UserDostup != QLatin1String("Z")) {
        w.ctx().platform.dialogs().notice(
            &w, QStringLiteral("Это может сделать только главный администратор"),
            QStringLiteral("Операция не выполнена"));
        return;
    }
    CardListModel& list = *w.ui().archiveList;
    const int row = selectedArchiveRow(w);
    if (row < 0 || row >= list.cardCount() || list.cellText(row, 10).trimmed().isEmpty())
        return;
    CardFile& archive = w.ctx().files.archive;
    const qint64 at = findArchivedCard(archive, row, list.uniqueNumber(row));
    if (at < 0) {
        // The list no longer matches the file: show the file as it is, delete nothing.
        TabSheet3Show(w);
        return;
    }
    // The scratch file stays out of Baza, whose files the backup packs.
    removeRecordByRewrite(archive, at, w.ctx().inst.path(QStringLiteral("Temp/ArhAnket.new")));
    list.removeCard(row);
    selectArchiveRow(w, std::min(row, list.cardCount() - 1));
    w.ui().vArh->setText(QString::number(archive.count()));
}

void ZapPosledClick(TForm1& w) {
    w.RememberedCard = w.CurrentCard;
    const TAnketa& card = w.RememberedCard;
    w.ui().NameZap->setText(ShortDate(card.DataMer) + QLatin1Char(' ') + card.NameOrg.text());
    w.ui().Vstavka->setEnabled(true);
}

void VstavkaClick(TForm1& w) {
    // The pasted card is a new card with a number of its own: the documents and attached
    // files filed under the archived card's number are not its own, and the window says so.
    TAnketa card = w.RememberedCard;
    card.Klu4Form1 = NewUniqueNumber();
    card.AdminFIO.set(w.ctx().UserFIO);
    w.CurrentCard = card;
    w.shown = TForm1::Shown::Blank;
    w.shownIndex = -1;
    w.ShowRecord();
    w.CardMode = QStringLiteral("New");
    w.ui().AdminFIO->setText(w.ctx().UserFIO);
    const QString made = UniqueNumberText(card.Klu4Form1);
    w.ui().DaWrSozd->setText(made);
    w.ui().DWKorr->setText(made);
}

} // namespace

void wireArchiveCommands(ZelmApp& app) {
    TForm1* w = app.form1();
    Form1Ui& ui = w->ui();
    ui.NameZap->setToolTip(QStringLiteral("Запомненная карточка"));
    auto onClick = [w](QAbstractButton* button, void (*command)(TForm1&)) {
        QObject::connect(button, &QAbstractButton::clicked, w,
                         [w, command] { w->runCommand([w, command] { command(*w); }); });
    };
    onClick(ui.nDelete, nDeleteClick);
    onClick(ui.OtmDel, OtmDelClick);
    onClick(ui.DelArh, DelArhClick);
    onClick(ui.ZapPosled, ZapPosledClick);
    onClick(ui.Vstavka, VstavkaClick);
    QObject::connect(ui.SpTabl, &QTabWidget::currentChanged, w, [w](int index) {
        if (w->ui().SpTabl->widget(index) == w->ui().TabSheet3)
            w->runCommand([w] { TabSheet3Show(*w); });
    });
    // A press on a row opens its card; the heading and the space below the rows have no
    // index and open nothing.
    QObject::connect(ui.ArhTab, &QAbstractItemView::pressed, w, [w](const QModelIndex& index) {
        w->runCommand([w, index] { ArhTabMouseDown(*w, index.row()); });
    });
}

} // namespace zelm
