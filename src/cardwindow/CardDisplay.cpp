// Showing a card, the blank card and the counters of the card window.
#include "cardwindow/CardFields.h"
#include "cardwindow/CardListModel.h"
#include "cardwindow/TForm1.h"
#include "store/DayCount.h"
#include "store/FileError.h"
#include "store/UniqueNumber.h"
#include "store/UnitGlo.h"

#include <QDateEdit>
#include <QFileInfo>
#include <QItemSelectionModel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>

namespace zelm {

void TForm1::ShowRecord() {
    TAnketa& c = CurrentCard;
    m_ui.GurN->setText(QString::number(c.GurN));
    m_ui.Klu4Form1->setText(QString::number(c.Klu4Form1));
    m_ui.AdminFIO->setText(c.AdminFIO.text());
    m_ui.DaWrSozd->setText(DateTimeText(c.DaWrSozd));
    m_ui.DWKorr->setText(DateTimeText(c.DWKorr));
    m_ui.DataMer->setDate(dateFromDayCount(c.DataMer));
    m_ui.DateKUSP->setDate(dateFromDayCount(c.DateKUSP));
    m_ui.DataOsn->setDate(dateFromDayCount(c.DataOsn));
    forEachTextField(m_ui, c,
                     [](auto* control, auto& field) { setControlText(control, field.text()); });
    m_ui.Rezultat->setPlainText(storedToMemo(c.Rezultat.text()));
    m_ui.Prime4->setPlainText(storedToMemo(c.Prime4.text()));

    const QString n = QString::number(c.Klu4Form1);
    auto docCaption = [&](const char* folder) {
        return QFileInfo::exists(
                   m_ctx.inst.path(QLatin1String(folder) + n + QStringLiteral(".doc")))
                   ? QStringLiteral("Есть")
                   : QStringLiteral("Нет");
    };
    m_ui.Otvet->setText(docCaption("Otveti/"));
    m_ui.WordEst->setText(docCaption("WhodWord/"));
    int attached = 0;
    if (m_ctx.files.attachments.isOpen())
        attached =
            m_ctx.files.attachmentIndex.CountAttachments(m_ctx.files.attachments, c.Klu4Form1);
    m_ui.SkolPrik->setText(QString::number(attached));
}

void TForm1::Scatter() {
    CardFile& f = m_ctx.files.main;
    qint64 p = f.position();
    if (f.atEnd()) {
        p = f.count() - 1;
        f.seek(std::max<qint64>(p, 0));
    }
    if (p < 0)
        p = 0;
    f.read(&CurrentCard);
    f.seek(p);
    shown = Shown::MainCard;
    shownIndex = p;
    ShowRecord();
}

void TForm1::showMainCard(qint64 index) {
    m_ctx.files.main.seek(index);
    Scatter();
}

void TForm1::showArchivedCard(const TAnketa& card) {
    CurrentCard = card;
    shown = Shown::ArchivedCard;
    shownIndex = -1;
    ShowRecord();
}

void TForm1::Kakay() {
    CardFile& f = m_ctx.files.main;
    CardTotal = f.isOpen() ? static_cast<int>(f.count()) : 0;
    m_ui.WsegoKarto4ek->setText(QString::number(CardTotal));
    if (CardTotal > 0) {
        CardNo = static_cast<int>(f.position()) + 1;
        m_ui.NNaidena->setText(QString::number(CardNo));
    }
    QDateTime now = currentDateTime();
    m_ui.Segodny->setDate(now.date());
    m_ui.Sei4as->setText(TimeHHMM(toDayCount(now)));
}

void TForm1::BlankCard() {
    const QDate today = currentDateTime().date();
    m_ui.GurN->setText(QStringLiteral("0"));
    m_ui.Klu4Form1->setText(QString::number(NewUniqueNumber()));
    m_ui.DataMer->setDate(today);
    m_ui.DateKUSP->setDate(today);
    m_ui.DataOsn->setDate(today);
    TAnketa empty = TAnketa::zeroed();
    forEachTextField(m_ui, empty, [](auto* control, auto&) { setControlText(control, QString()); });
    m_ui.Rezultat->clear();
    m_ui.Prime4->clear();
    m_ui.AdminFIO->setText(m_ctx.UserFIO);
    const QString plain = PlainDateText(toDayCount(today));
    m_ui.DaWrSozd->setText(plain);
    m_ui.DWKorr->setText(plain);
    m_ui.RezOst->setText(QStringLiteral("250"));
    m_ui.PrimOst->setText(QStringLiteral("250"));
}

void TForm1::updateRemainingCounters() {
    auto remaining = [](QPlainTextEdit* memo) {
        // Blanks and control characters at both ends do not count.
        return 248 - static_cast<int>(memo->toPlainText().trimmed().size());
    };
    int rez = remaining(m_ui.Rezultat);
    int prim = remaining(m_ui.Prime4);
    m_ui.RezOst->setText(QString::number(rez));
    m_ui.PrimOst->setText(QString::number(prim));
    m_ui.PrimOst->setStyleSheet(prim < 0 ? QStringLiteral("color: red;") : QString());
}

void TForm1::fillCardFromWindow(TAnketa& c) {
    c.GurN = parseIntOrThrow(m_ui.GurN->text());
    c.Klu4Form1 = parseIntOrThrow(m_ui.Klu4Form1->text());
    c.DWKorr = nowDayCount();
    c.DataMer = toDayCount(m_ui.DataMer->date());
    c.DateKUSP = toDayCount(m_ui.DateKUSP->date());
    c.DataOsn = toDayCount(m_ui.DataOsn->date());
    forEachTextField(m_ui, c, [](auto* control, auto& field) { field.set(controlText(control)); });
    c.Rezultat.set(memoToStored(m_ui.Rezultat->toPlainText()));
    c.Prime4.set(memoToStored(m_ui.Prime4->toPlainText()));
    c.AdminFIO.set(m_ctx.UserFIO);
}

void TForm1::selectMainRow(int cardIndex) {
    if (cardIndex < 0 || cardIndex >= m_ui.mainList->cardCount())
        return;
    m_ui.Spisok->selectRow(cardIndex);
    m_ui.Spisok->scrollTo(m_ui.mainList->index(cardIndex, 0));
}

int TForm1::selectedMainRow() const {
    QModelIndex current = m_ui.Spisok->selectionModel()->currentIndex();
    const auto rows = m_ui.Spisok->selectionModel()->selectedRows();
    if (!rows.isEmpty())
        return rows.first().row();
    return current.isValid() ? current.row() : -1;
}

} // namespace zelm
