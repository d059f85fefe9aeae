// The Archive tab (its list, opening, remembering and deleting archived cards), pasting the
// remembered card as a new one, and the mark button.
#include "cardwindow/CardDeletion.h"
#include "cardwindow/CardListModel.h"
#include "cardwindow/CardWindowCommands.h"
#include "cardwindow/Form1Internal.h"
#include "platform/Platform.h"
#include "store/UnitGlo.h"
#include "widgets/TdxfColorButton.h"

#include <QLineEdit>
#include <QPushButton>

namespace zelm {
namespace {

constexpr auto kArchive = TForm1::CardList::Archive;

void TabSheet3Show(TForm1& w) {
    w.list(kArchive).showRegister(w.session().cardRegister(), RegisterFile::Archive);
    w.selectRow(kArchive, 0);
}

void ArhTabMouseDown(TForm1& w, int row) {
    CardSession& s = w.session();
    const qint64 count = s.cardCount(SideFile::Archive);
    CardListModel& list = w.list(kArchive);
    if (count == 0 || row < 0 || row >= list.cardCount())
        return;
    qint64 at = s.findCard(SideFile::Archive, list.uniqueNumber(row), row);
    if (at < 0)
        at = count - 1; // the card has gone since the list was filled
    s.showArchivedCard(s.cardAt(SideFile::Archive, at));
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
    if (row < 0 || row >= list.cardCount())
        return;
    if (list.cellText(row, CardListModel::UniqueNumberColumn).trimmed().isEmpty()) {
        list.refresh(); // the file changed since the list was shown: show it as it now is
        return;
    }
    const qint64 at = s.findCard(SideFile::Archive, list.uniqueNumber(row), row);
    if (at < 0) {
        // The list no longer matches the file: show the file as it is, delete nothing.
        TabSheet3Show(w);
        return;
    }
    s.removeCard(SideFile::Archive, at);
    list.cardRemoved(row);
    w.selectRow(kArchive, std::min(row, list.cardCount() - 1));
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
