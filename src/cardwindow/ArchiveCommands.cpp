// The Archive tab (its list, opening, remembering and deleting archived cards), pasting the
// remembered card as a new one, and the mark button.
#include "cardwindow/CardDeletion.h"
#include "cardwindow/CardListModel.h"
#include "cardwindow/CardWindowCommands.h"
#include "cardwindow/Form1Internal.h"
#include "platform/Platform.h"
#include "store/RecordFileRewrite.h"
#include "store/UnitGlo.h"
#include "widgets/TdxfColorButton.h"

#include <QLineEdit>
#include <QPushButton>
#include <vector>

namespace zelm {
namespace {

constexpr qint64 kSearchBlock = 2048; // cards read at a time while looking for a number
constexpr auto kArchive = TForm1::CardList::Archive;

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

void TabSheet3Show(TForm1& w) {
    const CardFile& archive = w.session().files().archive;
    w.list(kArchive).setCardsFromFile(archive);
    w.setArchiveCount(w.list(kArchive).cardCount());
    w.selectRow(kArchive, 0);
}

void ArhTabMouseDown(TForm1& w, int row) {
    const CardFile& archive = w.session().files().archive;
    const qint64 count = archive.count();
    CardListModel& list = w.list(kArchive);
    if (count == 0 || row < 0 || row >= list.cardCount())
        return;
    qint64 at = findArchivedCard(archive, row, list.uniqueNumber(row));
    if (at < 0)
        at = count - 1; // the card has gone since the list was filled
    TAnketa card;
    archive.readRange(at, 1, &card);
    w.showArchivedCard(card);
}

void DelArhClick(TForm1& w) {
    CardSession& s = w.session();
    if (!s.user().isChiefAdministrator()) {
        w.platform().dialogs().notice(
            &w, QStringLiteral("Это может сделать только главный администратор"),
            QStringLiteral("Операция не выполнена"));
        return;
    }
    CardListModel& list = w.list(kArchive);
    const int row = w.selectedRow(kArchive);
    if (row < 0 || row >= list.cardCount() || list.cellText(row, 10).trimmed().isEmpty())
        return;
    CardFile& archive = s.files().archive;
    const qint64 at = findArchivedCard(archive, row, list.uniqueNumber(row));
    if (at < 0) {
        // The list no longer matches the file: show the file as it is, delete nothing.
        TabSheet3Show(w);
        return;
    }
    // The scratch file stays out of Baza, whose files the backup packs.
    removeRecordByRewrite(archive, at, s.installation().path(QStringLiteral("Temp/ArhAnket.new")));
    list.removeCard(row);
    w.selectRow(kArchive, std::min(row, list.cardCount() - 1));
    w.setArchiveCount(archive.count());
}

void ZapPosledClick(TForm1& w) {
    w.session().rememberShownCard();
    const TAnketa& card = w.session().RememberedCard();
    form1Ui(w).NameZap->setText(ShortDate(card.DataMer) + QLatin1Char(' ') + card.NameOrg.text());
    form1Ui(w).Vstavka->setEnabled(true);
}

void VstavkaClick(TForm1& w) {
    // The pasted card has a number of its own, and the window says so.
    w.session().pasteRememberedCard();
    w.ShowRecord();
    Form1Ui& ui = form1Ui(w);
    ui.AdminFIO->setText(w.session().user().UserFIO);
    const QString made = UniqueNumberText(w.session().CurrentCard().Klu4Form1);
    ui.DaWrSozd->setText(made);
    ui.DWKorr->setText(made);
}

} // namespace

void wireMarkAndArchiveCommands(TForm1& w) {
    TForm1* p = &w;
    form1Ui(w).NameZap->setToolTip(QStringLiteral("Запомненная карточка"));
    w.onClick("OtmDel", [p] { OtmDelClick(*p); });
    w.onClick("DelArh", [p] { DelArhClick(*p); });
    w.onClick("ZapPosled", [p] { ZapPosledClick(*p); });
    w.onClick("Vstavka", [p] { VstavkaClick(*p); });
    QObject::connect(&w, &TForm1::listShown, &w, [p](TForm1::CardList which) {
        if (which == kArchive)
            p->runCommand([p] { TabSheet3Show(*p); });
    });
    QObject::connect(&w, &TForm1::listPressed, &w, [p](TForm1::CardList which, int row) {
        if (which == kArchive)
            p->runCommand([p, row] { ArhTabMouseDown(*p, row); });
    });
}

} // namespace zelm
