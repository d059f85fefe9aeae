// Deleting a card rewrites the whole register: every card but the deleted one streams into the
// Working card file, which is flushed and renamed over the Main card file in one step. The
// Working card file is therefore empty after every deletion.
#include "cardwindow/CardDeletion.h"

#include "cardwindow/CardListModel.h"
#include "cardwindow/TForm1.h"
#include "cardwindow/TWibor.h"
#include "platform/Platform.h"
#include "store/FileError.h"
#include "store/RecordFileRewrite.h"
#include "widgets/TdxfColorButton.h"

#include <QLineEdit>

namespace zelm {
namespace {

const QString kNotDone = QStringLiteral("Операция не выполнена");

bool isChiefAdministrator(TForm1& w) {
    return w.ctx().UserDostup == QLatin1String("Z");
}

// The Working card file served as scratch; whatever happened, it is left empty and open, and
// the counter and the Working list say so.
void emptyWorkingFile(TForm1& w) {
    CardFile& working = w.ctx().files.working;
    try {
        working.create(w.ctx().inst.workingCardFile(), sizeof(TAnketa));
    } catch (const FileError&) {
        // The command's own error is the one to report; the counter shows what is there.
    }
    w.ui().vRab->setText(QString::number(working.isOpen() ? working.count() : 0));
    w.ui().workingList->clear();
}

void showAfterDeletion(TForm1& w, qint64 deleted, qint64 countBefore) {
    Form1Ui& ui = w.ui();
    CardFile& main = w.ctx().files.main;
    if (ui.mainList->cardCount() == countBefore)
        ui.mainList->removeCard(static_cast<int>(deleted));
    else
        w.reloadMainList();

    const qint64 count = main.count();
    if (count > 0) {
        w.CardIndex = static_cast<int>(count - 1);
        w.showMainCard(count - 1);
        w.Kakay();
        // The selection follows the card shown, so the next command acts on what is seen.
        w.selectMainRow(static_cast<int>(count - 1));
        return;
    }
    w.setCardButtonsVisible(false);
    ui.nOtmena->hide();
    w.CardMode = QStringLiteral("New");
    w.CurrentCard = TAnketa::zeroed();
    w.shown = TForm1::Shown::Blank;
    w.shownIndex = -1;
    w.BlankCard();
    ui.GurN->setText(QStringLiteral("1"));
    w.Kakay();
}

} // namespace

void deleteShownCard(TForm1& w, DeletionKind kind) {
    AppContext& c = w.ctx();
    CardFile& main = c.files.main;
    CardFile& archive = c.files.archive;
    CardFile& working = c.files.working;
    const qint64 countBefore = main.count();
    const qint64 n = w.shownIndex;
    if (w.shown != TForm1::Shown::MainCard || n < 0 || n >= countBefore)
        return;

    const QString mainPath = c.inst.mainCardFile();
    const QString workingPath = c.inst.workingCardFile();
    qint64 archivedAt = -1;
    try {
        working.create(workingPath, sizeof(TAnketa));
        copyRecordsExcept(main, n, working);
        working.flush();
        if (kind == DeletionKind::IntoArchive) {
            TAnketa card;
            main.readRange(n, 1, &card);
            // The card is on disk in the Archive before the register loses it.
            archivedAt = appendFlushed(archive, &card);
        }
        replaceFile(workingPath, mainPath);
    } catch (...) {
        if (archivedAt >= 0)
            cutBack(archive, archivedAt);
        emptyWorkingFile(w);
        throw;
    }
    // The Working card file's descriptor now reaches the new register and the Main card
    // file's the old one: the scratch file is made anew before anything writes to it, and
    // the register is reopened before anything reads it.
    emptyWorkingFile(w);
    if (archivedAt >= 0)
        w.ui().vArh->setText(QString::number(archive.count()));
    main.open(mainPath, sizeof(TAnketa));
    showAfterDeletion(w, n, countBefore);
}

void nDeleteClick(TForm1& w) {
    Dialogs& dialogs = w.ctx().platform.dialogs();
    if (!isChiefAdministrator(w)) {
        dialogs.notice(&w, QStringLiteral("Это может сделать только главный администратор"),
                       kNotDone);
        return;
    }
    if (w.shown == TForm1::Shown::ArchivedCard) {
        dialogs.notice(&w, QStringLiteral("Сначала откройте карточку Главной картотеки"), kNotDone);
        return;
    }
    if (w.shown != TForm1::Shown::MainCard || w.shownIndex < 0 ||
        w.shownIndex >= w.ctx().files.main.count())
        return;
    w.selectMainRow(static_cast<int>(w.shownIndex));
    const int choice = AskChoice(
        w.app(), QStringLiteral("Удалить окончательно"), QStringLiteral("Удалить в Архив"),
        QStringLiteral("Ничего не делать"), QStringLiteral("Действие с Карточкой"));
    if (choice == 1)
        deleteShownCard(w, DeletionKind::ForGood);
    else if (choice == 2)
        deleteShownCard(w, DeletionKind::IntoArchive);
}

void OtmDelClick(TForm1& w) {
    CardFile& main = w.ctx().files.main;
    if (main.count() == 0)
        return;
    if (w.shown == TForm1::Shown::ArchivedCard) {
        w.ctx().platform.dialogs().notice(
            &w, QStringLiteral("Сначала откройте карточку Главной картотеки"), kNotDone);
        return;
    }
    const qint64 p = w.shownIndex;
    if (w.shown != TForm1::Shown::MainCard || p < 0 || p >= main.count())
        return;
    // The stored card is read afresh: edits pending in the window are not written with it.
    TAnketa card;
    main.readRange(p, 1, &card);
    if (card.Otmetka.size() > 0)
        card.Otmetka.clear();
    else
        card.Otmetka.set(QStringLiteral("уд"));
    const qint64 position = main.position();
    main.seek(p);
    main.write(&card);
    main.flush();
    main.seek(position);
    w.CurrentCard = card;
    w.ui().Otmetka->setText(card.Otmetka.text());
}

} // namespace zelm
