#include "cardwindow/TIstoriya.h"

#include "cardwindow/EditingCommands.h"
#include "cardwindow/TForm1.h"
#include "platform/Platform.h"
#include "store/UnitGlo.h"
#include "widgets/ControlFactory.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QIntValidator>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>
#include <limits>

namespace zelm {
namespace {

using controls::named;

struct FieldText {
    const char* label;
    QString (*text)(const TAnketa&);
};

// The fields in the order the card window shows them.
const std::vector<FieldText>& fieldTexts() {
    static const std::vector<FieldText> fields = {
        {"Уник. №", [](const TAnketa& c) { return QString::number(c.Klu4Form1); }},
        {"№ п/п", [](const TAnketa& c) { return QString::number(c.GurN); }},
        {"Записал", [](const TAnketa& c) { return c.AdminFIO.text(); }},
        {"Создана", [](const TAnketa& c) { return DateTimeText(c.DaWrSozd); }},
        {"Изменена", [](const TAnketa& c) { return DateTimeText(c.DWKorr); }},
        {"Отметка", [](const TAnketa& c) { return c.Otmetka.text(); }},
        {"Дата ОРМ", [](const TAnketa& c) { return PlainDateText(c.DataMer); }},
        {"Организация", [](const TAnketa& c) { return c.NameOrg.text(); }},
        {"Форма собственности", [](const TAnketa& c) { return c.FormSobs.text(); }},
        {"Адрес", [](const TAnketa& c) { return c.AdresOrg.text(); }},
        {"ИНН", [](const TAnketa& c) { return c.INNOrg.text(); }},
        {"Повод", [](const TAnketa& c) { return c.Povod.text(); }},
        {"Вид ОРМ", [](const TAnketa& c) { return c.VidORM.text(); }},
        {"Основание", [](const TAnketa& c) { return c.Osnovan.text(); }},
        {"Дата основания", [](const TAnketa& c) { return PlainDateText(c.DataOsn); }},
        {"№ документа", [](const TAnketa& c) { return c.NomDokOsn.text(); }},
        {"КУСП дата", [](const TAnketa& c) { return PlainDateText(c.DateKUSP); }},
        {"КУСП №", [](const TAnketa& c) { return c.NomKUSP.text(); }},
        {"КУСП формулировка", [](const TAnketa& c) { return c.FabKUSP.text(); }},
        {"Подразделение", [](const TAnketa& c) { return c.Podrazd.text(); }},
        {"Провёл: должность", [](const TAnketa& c) { return c.DolgSotr.text(); }},
        {"Провёл: звание", [](const TAnketa& c) { return c.ZvanSotr.text(); }},
        {"Провёл ФИО", [](const TAnketa& c) { return c.FIOSotr.text(); }},
        {"Утвердил: должность", [](const TAnketa& c) { return c.DolgnUtv.text(); }},
        {"Утвердил: звание", [](const TAnketa& c) { return c.ZvanUtv.text(); }},
        {"Утвердил ФИО", [](const TAnketa& c) { return c.FIOUtv.text(); }},
        {"Результат", [](const TAnketa& c) { return storedToMemo(c.Rezultat.text()); }},
        {"Примечание", [](const TAnketa& c) { return storedToMemo(c.Prime4.text()); }},
    };
    return fields;
}

QTableWidgetItem* cell(const QString& text) {
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    return item;
}

QTableWidget* table(const char* name, const QStringList& headings) {
    auto* t = named(new QTableWidget(0, static_cast<int>(headings.size())), name);
    t->setHorizontalHeaderLabels(headings);
    t->verticalHeader()->hide();
    t->setSelectionBehavior(QAbstractItemView::SelectRows);
    t->setSelectionMode(QAbstractItemView::SingleSelection);
    t->setEditTriggers(QAbstractItemView::NoEditTriggers);
    t->horizontalHeader()->setStretchLastSection(true);
    return t;
}

} // namespace

TIstoriya::TIstoriya(TForm1& cardWindow) : QDialog(&cardWindow), m_cardWindow(cardWindow) {
    setObjectName(QStringLiteral("TIstoriya"));
    setWindowTitle(QStringLiteral("История карточки"));
    setModal(true);
    auto* top = new QVBoxLayout(this);

    auto* find = new QHBoxLayout;
    find->addWidget(new QLabel(QStringLiteral("Уник. №")));
    NomerIst = controls::lineEdit("NomerIst", 10, false,
                                  QStringLiteral("Уникальный номер карточки, в том числе "
                                                 "удалённой"));
    NomerIst->setValidator(new QIntValidator(0, std::numeric_limits<int>::max(), NomerIst));
    NaitiIst = controls::pushButton("NaitiIst", QStringLiteral("Найти"),
                                    QStringLiteral("Показать историю карточки с этим номером"));
    find->addWidget(NomerIst);
    find->addWidget(NaitiIst);
    find->addStretch();
    top->addLayout(find);

    SostIst = named(new QLabel, "SostIst");
    top->addWidget(SostIst);
    auto* lists = new QHBoxLayout;
    SpisokIst = table("SpisokIst", {QStringLiteral("Когда"), QStringLiteral("Кто"),
                                    QStringLiteral("Что сделано")});
    SpisokIst->setToolTip(QStringLiteral("Каждая строка — карточка такой, какой она была до "
                                         "изменения"));
    PoliaIst = table("PoliaIst", {QStringLiteral("Поле"), QStringLiteral("Значение")});
    PoliaIst->setSelectionMode(QAbstractItemView::NoSelection);
    PoliaIst->setToolTip(QStringLiteral("Выделены поля, которые отличаются от предыдущей "
                                        "версии"));
    lists->addWidget(SpisokIst, 2);
    lists->addWidget(PoliaIst, 3);
    top->addLayout(lists, 1);

    auto* commands = new QHBoxLayout;
    VosstanovitIst = controls::pushButton("VosstanovitIst", QStringLiteral("Восстановить"),
                                          QStringLiteral("Записать выбранную версию в "
                                                         "картотеку"));
    ZakrytIst = controls::pushButton("ZakrytIst", QStringLiteral("Закрыть"));
    commands->addStretch();
    commands->addWidget(VosstanovitIst);
    commands->addWidget(ZakrytIst);
    top->addLayout(commands);
    resize(900, 560);

    connect(NaitiIst, &QPushButton::clicked, this, [this] { NaitiIstClick(); });
    connect(NomerIst, &QLineEdit::returnPressed, this, [this] { NaitiIstClick(); });
    connect(VosstanovitIst, &QPushButton::clicked, this, [this] { VosstanovitIstClick(); });
    connect(ZakrytIst, &QPushButton::clicked, this, &QDialog::reject);
    connect(SpisokIst, &QTableWidget::currentCellChanged, this,
            [this](int row) { showVersion(row); });
}

int TIstoriya::chosenRow() const {
    const int row = SpisokIst->currentRow();
    return row >= 0 && row < static_cast<int>(m_versions.size()) ? row : -1;
}

void TIstoriya::showHistory(std::int32_t number) {
    m_number = number;
    NomerIst->setText(QString::number(number));
    m_versions = m_cardWindow.session().history(number);
    const int n = static_cast<int>(m_versions.size());
    {
        const QSignalBlocker quiet(SpisokIst);
        SpisokIst->setRowCount(n);
        for (int i = 0; i < n; ++i) {
            const CardVersion& v = m_versions[static_cast<size_t>(i)];
            SpisokIst->setItem(
                i, 0, cell(v.when.toLocalTime().toString(QStringLiteral("dd.MM.yyyy hh:mm:ss"))));
            SpisokIst->setItem(i, 1, cell(v.who));
            SpisokIst->setItem(i, 2, cell(historyActionText(v.action)));
        }
    }
    SostIst->setText(
        n ? QStringLiteral("Версий карточки %1: %2").arg(number).arg(n)
          : QStringLiteral("Карточка %1 не изменялась: её прежних версий нет.").arg(number));
    VosstanovitIst->setEnabled(n > 0);
    {
        const QSignalBlocker quiet(SpisokIst);
        SpisokIst->setCurrentCell(n ? 0 : -1, 0);
    }
    showVersion(n ? 0 : -1);
}

void TIstoriya::showVersion(int row) {
    if (row < 0 || row >= static_cast<int>(m_versions.size())) {
        PoliaIst->setRowCount(0);
        return;
    }
    const TAnketa& card = m_versions[static_cast<size_t>(row)].card;
    // What this version changed: the version before it is the next one down the list.
    const bool hasOlder = row + 1 < static_cast<int>(m_versions.size());
    const TAnketa& older = hasOlder ? m_versions[static_cast<size_t>(row) + 1].card : card;
    const auto& fields = fieldTexts();
    PoliaIst->setRowCount(static_cast<int>(fields.size()));
    const QBrush changed(QColor(255, 236, 140));
    for (int i = 0; i < static_cast<int>(fields.size()); ++i) {
        const FieldText& f = fields[static_cast<size_t>(i)];
        auto* label = cell(QString::fromUtf8(f.label));
        auto* value = cell(f.text(card));
        if (f.text(card) != f.text(older)) {
            label->setBackground(changed);
            value->setBackground(changed);
            label->setData(Qt::UserRole, true);
        }
        PoliaIst->setItem(i, 0, label);
        PoliaIst->setItem(i, 1, value);
    }
}

void TIstoriya::NaitiIstClick() {
    bool ok = false;
    const int number = NomerIst->text().trimmed().toInt(&ok);
    if (!ok) {
        m_cardWindow.platform().dialogs().notice(
            this,
            QStringLiteral("«%1» — не уникальный номер карточки: нужно целое число.")
                .arg(NomerIst->text()),
            QStringLiteral("История карточки"));
        return;
    }
    m_cardWindow.runCommand([&] { showHistory(number); });
}

void TIstoriya::VosstanovitIstClick() {
    const int row = chosenRow();
    if (row < 0)
        return;
    const TAnketa version = m_versions[static_cast<size_t>(row)].card;
    bool stored = false;
    m_cardWindow.runCommand([&] { stored = restoreVersion(m_cardWindow, version); });
    if (stored)
        m_cardWindow.runCommand([&] { showHistory(m_number); });
}

void NIstoriyaClick(TForm1& w) {
    TIstoriya window(w);
    const CardSession& s = w.session();
    const std::int32_t number =
        s.shown() == CardSession::Shown::Blank ? 0 : s.CurrentCard().Klu4Form1;
    if (number != 0) {
        window.showHistory(number);
    } else {
        window.SostIst->setText(QStringLiteral("Введите уникальный номер карточки и нажмите "
                                               "«Найти»."));
        window.VosstanovitIst->setEnabled(false);
    }
    window.exec();
}

} // namespace zelm
