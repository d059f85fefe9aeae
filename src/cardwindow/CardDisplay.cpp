// Showing a card, the blank card and the counters of the card window.
#include "cardwindow/CardFields.h"
#include "cardwindow/CardListModel.h"
#include "cardwindow/CardTextCheck.h"
#include "cardwindow/Form1Internal.h"
#include "platform/Platform.h"
#include "store/DayCount.h"
#include "store/FileError.h"
#include "store/SharedData.h"
#include "store/UniqueNumber.h"
#include "store/UnitGlo.h"

#include <QDateEdit>
#include <QFileInfo>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScopedValueRollback>

namespace zelm {

void TForm1::ShowRecord() {
    TAnketa c = m_session.CurrentCard();
    m_ui->GurN->setText(QString::number(c.GurN));
    m_ui->Klu4Form1->setText(QString::number(c.Klu4Form1));
    m_ui->AdminFIO->setText(c.AdminFIO.text());
    m_ui->DaWrSozd->setText(DateTimeText(c.DaWrSozd));
    m_ui->DWKorr->setText(DateTimeText(c.DWKorr));
    m_ui->DataMer->setDate(dateFromDayCount(c.DataMer));
    m_ui->DateKUSP->setDate(dateFromDayCount(c.DateKUSP));
    m_ui->DataOsn->setDate(dateFromDayCount(c.DataOsn));
    forEachTextField(*m_ui, c,
                     [](auto* control, auto& field) { setControlText(control, field.text()); });
    {
        // The guard of the Result is for what the user types, not for the card shown.
        const QScopedValueRollback showing(m_showingCard, true);
        m_ui->Rezultat->setPlainText(storedToMemo(c.Rezultat.text()));
    }
    m_ui->Prime4->setPlainText(storedToMemo(c.Prime4.text()));

    const QString n = QString::number(c.Klu4Form1);
    auto docCaption = [&](const char* folder) {
        return QFileInfo::exists(m_session.installation().path(QLatin1String(folder) + n +
                                                               QStringLiteral(".doc")))
                   ? QStringLiteral("Есть")
                   : QStringLiteral("Нет");
    };
    m_ui->Otvet->setText(docCaption("Otveti/"));
    m_ui->WordEst->setText(docCaption("WhodWord/"));
    m_ui->SkolPrik->setText(QString::number(m_shared.attachments().countAttachments(c.Klu4Form1)));
}

void TForm1::showStoredBoxes() {
    const TAnketa& c = m_session.CurrentCard();
    m_ui->Klu4Form1->setText(QString::number(c.Klu4Form1));
    m_ui->AdminFIO->setText(c.AdminFIO.text());
    m_ui->DWKorr->setText(DateTimeText(c.DWKorr));
    m_ui->DaWrSozd->setText(DateTimeText(c.DaWrSozd));
    m_ui->Otmetka->setText(c.Otmetka.text());
}

void TForm1::Kakay() {
    const int total = m_session.CardTotal();
    m_ui->WsegoKarto4ek->setText(QString::number(total));
    if (total > 0)
        m_ui->NNaidena->setText(QString::number(m_session.CardNo()));
    QDateTime now = currentDateTime();
    m_ui->Segodny->setDate(now.date());
    m_ui->Sei4as->setText(TimeHHMM(toDayCount(now)));
}

void TForm1::BlankCard() {
    const QDate today = currentDateTime().date();
    m_ui->GurN->setText(QStringLiteral("0"));
    m_ui->Klu4Form1->setText(QString::number(NewUniqueNumber()));
    m_ui->DataMer->setDate(today);
    m_ui->DateKUSP->setDate(today);
    m_ui->DataOsn->setDate(today);
    TAnketa empty = TAnketa::zeroed();
    forEachTextField(*m_ui, empty,
                     [](auto* control, auto&) { setControlText(control, QString()); });
    m_ui->Rezultat->clear();
    m_ui->Prime4->clear();
    m_ui->AdminFIO->setText(m_session.user().UserFIO);
    const QString plain = PlainDateText(toDayCount(today));
    m_ui->DaWrSozd->setText(plain);
    m_ui->DWKorr->setText(plain);
    m_ui->RezOst->setText(QString::number(kMemoStoredBytes));
    m_ui->PrimOst->setText(QString::number(kMemoStoredBytes));
}

const TAnketa& TForm1::writeEdits() {
    requireStorableCardText(*m_ui); // never a '?' stored for what the window shows
    TAnketa c = m_session.CurrentCard();
    c.GurN = parseIntOrThrow(m_ui->GurN->text());
    c.Klu4Form1 = parseIntOrThrow(m_ui->Klu4Form1->text());
    c.DataMer = toDayCount(m_ui->DataMer->date());
    c.DateKUSP = toDayCount(m_ui->DateKUSP->date());
    c.DataOsn = toDayCount(m_ui->DataOsn->date());
    forEachTextField(*m_ui, c, [](auto* control, auto& field) { field.set(controlText(control)); });
    c.Rezultat.set(cutStoredMemo(memoToStored(m_ui->Rezultat->toPlainText()), kMemoStoredBytes));
    c.Prime4.set(cutStoredMemo(memoToStored(m_ui->Prime4->toPlainText()), kMemoStoredBytes));
    m_session.setEdits(c);
    return m_session.editedCard();
}

void TForm1::setDocumentCaptions(const QString& result, const QString& note) {
    if (!result.isEmpty())
        m_ui->Otvet->setText(result);
    if (!note.isEmpty())
        m_ui->WordEst->setText(note);
}

void TForm1::setProgress(int percent) {
    m_ui->Gauge1->setValue(percent);
}

void TForm1::setBusy(bool busy) {
    // A command that shows its own progress (a move of the register) keeps it.
    if (busy && m_ui->Gauge1->value() > 0)
        return;
    m_ui->Gauge1->setRange(0, busy ? 0 : 100);
}

void TForm1::showFeedLost(const QString& serverName) {
    m_ui->NetLenty->setText(
        QStringLiteral("Нет связи с сервером %1: изменения с других рабочих мест не "
                       "показываются. Программа соединяется снова сама.")
            .arg(serverName));
    m_ui->NetLenty->show();
}

void TForm1::hideFeedLost() {
    m_ui->NetLenty->hide();
}

void TForm1::setAttachmentCount(int n) {
    m_ui->SkolPrik->setText(QString::number(n));
}

void TForm1::updateRemainingCounters() {
    // Stored bytes count, a line break as two; blanks and control characters at both ends
    // do not.
    auto remaining = [](QPlainTextEdit* memo) {
        return kMemoCounterBytes - memoStoredBytes(memo->toPlainText().trimmed());
    };
    int rez = remaining(m_ui->Rezultat);
    int prim = remaining(m_ui->Prime4);
    m_ui->RezOst->setText(QString::number(rez));
    m_ui->PrimOst->setText(QString::number(prim));
    m_ui->PrimOst->setStyleSheet(prim < 0 ? QStringLiteral("color: red;") : QString());
}

} // namespace zelm
