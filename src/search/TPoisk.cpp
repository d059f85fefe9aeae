#include "search/TPoisk.h"

#include "platform/Platform.h"
#include "search/CardListsView.h"
#include "search/CardScan.h"
#include "search/SearchPrefilter.h"
#include "search/WorkingCommands.h"
#include "session/CardSession.h"
#include "store/DayCount.h"
#include "store/FileError.h"
#include "widgets/Colours.h"
#include "widgets/Cp1251Guard.h"
#include "widgets/TdxfColorButton.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>

namespace zelm {
namespace {

void copyList(const QStringList& items, QComboBox* to) {
    to->clear();
    to->addItems(items);
    to->setEditText(QString());
}

DayRange rangeOf(const QDateEdit* from, const QDateEdit* to) {
    return {toDayCount(from->date()), toDayCount(to->date())};
}

// The text conditions, named as the window labels them. A word the cards cannot hold would be
// looked for as '?' in its place, so it is refused instead.
QList<std::pair<QWidget*, QString>> typedFields(const PoiskUi& ui) {
    const auto field = [](QWidget* w, const char* name) {
        return std::pair<QWidget*, QString>(
            w, QStringLiteral("Поле поиска «%1»").arg(QString::fromUtf8(name)));
    };
    return {field(ui.SlNazv, "Повод"),
            field(ui.KlSlovo, "Вид ОРМ"),
            field(ui.Zayavitel, "Наименование"),
            field(ui.IForma, "Форма"),
            field(ui.Gorod, "Адрес"),
            field(ui.WhNash, "Название документа"),
            field(ui.IshNash, "№ документа"),
            field(ui.NomKUSP, "Номер КУСП"),
            field(ui.Otdel, "Подразделение, проводившее ОРМ"),
            field(ui.KomuPor, "ФИО проводившего ОРМ"),
            field(ui.DolgnUtv, "Должность утвердившего ОРМ"),
            field(ui.FIOUtv, "ФИО утвердившего ОРМ"),
            field(ui.IRez, "Результат"),
            field(ui.IPrim, "Примечание")};
}

} // namespace

TPoisk::TPoisk(CardSession& session, CardListsView& lists)
    : QDialog(lists.window()), m_session(session), m_lists(lists) {
    setObjectName(QStringLiteral("Poisk"));
    setWindowTitle(QStringLiteral("Найти и скопировать в Рабочую картотеку"));
    buildPoiskLayout(this, m_ui);
    connect(m_ui.Obnovit, &QAbstractButton::clicked, this, &TPoisk::FormActivate);
    connect(m_ui.sBegin, &QAbstractButton::clicked, this, &TPoisk::sBeginClick);
    connect(m_ui.sNext, &QAbstractButton::clicked, this, &TPoisk::sNextClick);
    connect(m_ui.sPred, &QAbstractButton::clicked, this, &TPoisk::sPredClick);
    connect(m_ui.sEnd, &QAbstractButton::clicked, this, &TPoisk::sEndClick);
    connect(m_ui.WsehSrazu, &QAbstractButton::clicked, this, &TPoisk::WsehSrazuClick);
    connect(m_ui.RabZero, &QAbstractButton::clicked, this, &TPoisk::RabZeroClick);
    connect(m_ui.nWihod, &QAbstractButton::clicked, this, &TPoisk::nWihodClick);
    for (const auto& [field, what] : typedFields(m_ui))
        refuseUnencodableOnLeave(field, what, [this](const QString& refusal) {
            m_lists.platform().dialogs().error(this, refusal);
        });
}

SearchConditions TPoisk::conditions() const {
    if (const QString refusal = firstUnencodableField(typedFields(m_ui)); !refusal.isEmpty())
        throw ConversionError(refusal);
    SearchConditions c;
    c.dataMer = rangeOf(m_ui.NaDat, m_ui.KoDat);
    c.dateKusp = rangeOf(m_ui.SDataKUSP, m_ui.PoDataKUSP);
    c.dataOsn = rangeOf(m_ui.SwhodData, m_ui.PoWhodData);
    c.text(SearchField::NomKUSP) = m_ui.NomKUSP->text();
    c.text(SearchField::AdresOrg) = m_ui.Gorod->text();
    c.text(SearchField::FIOSotr) = m_ui.KomuPor->currentText();
    c.text(SearchField::Podrazd) = m_ui.Otdel->currentText();
    c.text(SearchField::NameOrg) = m_ui.Zayavitel->currentText();
    c.text(SearchField::FormSobs) = m_ui.IForma->text();
    c.text(SearchField::VidORM) = m_ui.KlSlovo->text();
    c.text(SearchField::Povod) = m_ui.SlNazv->text();
    c.text(SearchField::Osnovan) = m_ui.WhNash->text();
    c.text(SearchField::NomDokOsn) = m_ui.IshNash->text();
    c.text(SearchField::Rezultat) = m_ui.IRez->text();
    c.text(SearchField::Prime4) = m_ui.IPrim->text();
    c.text(SearchField::DolgnUtv) = m_ui.DolgnUtv->currentText();
    c.text(SearchField::FIOUtv) = m_ui.FIOUtv->currentText();
    return c;
}

void TPoisk::openSearch() {
    setWindowModality(Qt::ApplicationModal);
    show();
    raise();
    activateWindow();
}

void TPoisk::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormActivate();
}

void TPoisk::FormActivate() {
    const QDate today = currentDateTime().date();
    const QDate empty = dateFromDayCount(EmptyDate());
    m_ui.NaDat->setDate(empty);
    m_ui.KoDat->setDate(today.addDays(365));
    m_ui.SDataKUSP->setDate(empty);
    m_ui.PoDataKUSP->setDate(today.addDays(365));
    m_ui.SwhodData->setDate(empty);
    m_ui.PoWhodData->setDate(today);

    CardListsView& card = m_lists;
    copyList(card.referenceEntries(QStringLiteral("FIOSotr")), m_ui.KomuPor);
    copyList(card.referenceEntries(QStringLiteral("Podrazd")), m_ui.Otdel);
    copyList(card.referenceEntries(QStringLiteral("NameOrg")), m_ui.Zayavitel);
    copyList(card.referenceEntries(QStringLiteral("DolgnUtv")), m_ui.DolgnUtv);
    copyList(card.referenceEntries(QStringLiteral("FIOUtv")), m_ui.FIOUtv);
    for (QLineEdit* e : {m_ui.IForma, m_ui.KlSlovo, m_ui.WhNash, m_ui.IshNash, m_ui.SlNazv,
                         m_ui.Gorod, m_ui.NomKUSP, m_ui.IRez, m_ui.IPrim})
        e->clear();

    m_ui.NPosNai->setText(QStringLiteral("0"));
    m_backward.reset();
    m_forward = 0;
    card.runCommand(
        [&] { m_ui.KRab->setText(QString::number(m_session.cardCount(SideFile::Working))); });
    setBackground(this, card.workingListBackground());
}

void TPoisk::appendToWorking(const TAnketa& card) {
    m_session.appendToWorking(card);
}

void TPoisk::afterStep() {
    m_ui.KRab->setText(QString::number(m_session.cardCount(SideFile::Working)));
    m_lists.bringWorkingListToFront();
    TabSheet2Show(m_session, m_lists);
}

void TPoisk::announceEndIfDone(bool done) {
    if (done)
        m_lists.platform().dialogs().notice(
            this, m_ui.KRab->text() + QStringLiteral(" шт. в Рабочей картотеке"),
            QStringLiteral("Поиск окончен"));
}

void TPoisk::sNextClick() {
    m_lists.runCommand([&] {
        const RecordSource& main = m_session.registerCards(RegisterFile::Main);
        const CardMatcher matcher(conditions());
        const std::optional<FoundCard> found = findForward(main, matcher, m_forward);
        if (found) {
            appendToWorking(found->card);
            m_ui.NPosNai->setText(QString::number(found->index + 1));
            m_session.showMainCard(found->index);
            m_forward = found->index + 1;
        } else {
            m_forward = main.count();
        }
        afterStep();
        announceEndIfDone(m_forward >= main.count());
    });
}

void TPoisk::sPredClick() {
    m_lists.runCommand([&] {
        const RecordSource& main = m_session.registerCards(RegisterFile::Main);
        if (!m_backward)
            m_backward = main.count() - 1;
        const CardMatcher matcher(conditions());
        const std::optional<FoundCard> found = findBackward(main, matcher, *m_backward);
        if (found) {
            m_backward = found->index - 1;
            appendToWorking(found->card);
            m_ui.NPosNai->setText(QString::number(found->index + 1));
            // The card found is the card shown: a save, a mark or a deletion acts on it.
            m_session.showFoundCard(found->index, found->card);
        } else {
            m_backward = -1;
        }
        afterStep();
        announceEndIfDone(*m_backward < 0);
    });
}

void TPoisk::restartWorking() {
    zelm::RabZeroClick(m_session, m_lists);
}

void TPoisk::sBeginClick() {
    m_lists.runCommand([&] {
        restartWorking();
        if (m_session.mainCount() > 0)
            m_session.showMainCard(0);
        m_forward = 0;
        m_ui.NPosNai->setText(QStringLiteral("0"));
        m_ui.KRab->clear();
    });
}

void TPoisk::sEndClick() {
    m_lists.runCommand([&] {
        restartWorking();
        const qint64 last = m_session.mainCount() - 1;
        if (last >= 0)
            m_session.showMainCard(last);
        m_forward = std::max<qint64>(last, 0);
        m_backward.reset();
        m_ui.NPosNai->setText(QStringLiteral("0"));
        m_ui.KRab->clear();
    });
}

void TPoisk::RabZeroClick() {
    m_lists.runCommand([&] {
        m_ui.KRab->clear();
        restartWorking();
        m_forward = 0;
        m_ui.NPosNai->setText(QStringLiteral("0"));
    });
}

void TPoisk::WsehSrazuClick() {
    // Refused before the Working card file is emptied for the results.
    if (!m_lists.runCommand([&] { conditions(); }))
        return;
    RabZeroClick();
    m_lists.runCommand([&] {
        const SearchConditions c = conditions();
        const CardMatcher matcher(c);
        const CardFilter prefilter = searchPrefilter(c);
        if (!matcher.findsNothing())
            m_session.appendMatchesToWorking(
                [&matcher](const TAnketa& card) { return matcher.matches(card); }, &prefilter);
        m_forward = m_session.mainCount();
        afterStep();
    });
}

void TPoisk::nWihodClick() {
    m_lists.runCommand([&] {
        // A number that does not read leaves everything as it was and the window open.
        const int n = parseIntOrThrow(m_ui.NPosNai->text());
        const qint64 total = m_session.mainCount();
        if (total > 0) {
            if (n > 0)
                m_session.seekMain(std::min<qint64>(n - 1, total)); // past the end: the last card
            m_session.Scatter();
            m_lists.selectMainRow(static_cast<int>(m_session.shownIndex()));
        }
        close();
    });
}

} // namespace zelm
