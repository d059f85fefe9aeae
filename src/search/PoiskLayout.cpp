#include "search/PoiskUi.h"

#include "widgets/ControlFactory.h"
#include "widgets/TdxfColorButton.h"

#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace zelm {
namespace {

using controls::group;
using controls::named;
using controls::tight;

QDateEdit* datePicker(const char* name, bool start) {
    return controls::datePicker(name,
                                start ? QStringLiteral("Начальная") : QStringLiteral("Конечная"));
}

QComboBox* combo(const char* name) {
    return controls::editableCombo(name, 0, 10);
}

TdxfColorButton* colourButton(const char* name, const QStringList& caption, const QString& hint,
                              const QColor& colour) {
    return controls::colourButton(name, caption, hint, colour, QSize(56, 34));
}

// A labelled box: the label above the control.
QWidget* labelled(const QString& text, QWidget* control) {
    auto* box = new QWidget;
    auto* l = new QVBoxLayout(box);
    l->setContentsMargins(0, 0, 0, 0);
    l->setSpacing(1);
    l->addWidget(new QLabel(text));
    l->addWidget(control);
    return box;
}

QGroupBox* dateRangeGroup(const char* name, const QString& title, QDateEdit* from, QDateEdit* to) {
    QGroupBox* g = group(name, title);
    auto* l = new QHBoxLayout(g);
    tight(l);
    l->addWidget(from);
    l->addWidget(to);
    return g;
}

} // namespace

void buildPoiskLayout(QWidget* window, PoiskUi& ui) {
    auto* outer = new QVBoxLayout(window);
    outer->setContentsMargins(6, 6, 6, 6);
    outer->setSpacing(4);

    ui.Uslovia = group("Uslovia", QStringLiteral("Условия поиска через логическое \"И\""));
    auto* rows = new QVBoxLayout(ui.Uslovia);
    tight(rows);

    // The dates of measure, the reason and the kind of measure side by side.
    ui.NaDat = datePicker("NaDat", true);
    ui.KoDat = datePicker("KoDat", false);
    ui.SlNazv = named(new QLineEdit, "SlNazv");
    ui.KlSlovo = named(new QLineEdit, "KlSlovo");
    {
        auto* row = new QHBoxLayout;
        row->addWidget(dateRangeGroup("PoiskDatMer", QStringLiteral("Диапазон дат мероприятий"),
                                      ui.NaDat, ui.KoDat));
        QGroupBox* povod = group("PoiskPovod", QStringLiteral("Повод"));
        tight(new QHBoxLayout(povod))->addWidget(ui.SlNazv);
        QGroupBox* vid = group("PoiskVidORM", QStringLiteral("Вид ОРМ"));
        tight(new QHBoxLayout(vid))->addWidget(ui.KlSlovo);
        row->addWidget(povod, 1);
        row->addWidget(vid, 1);
        rows->addLayout(row);
    }

    // The organisation's three boxes and the document's two.
    ui.Zayavitel = combo("Zayavitel");
    ui.IForma = named(new QLineEdit, "IForma");
    ui.Gorod = named(new QLineEdit, "Gorod");
    ui.WhNash = named(new QLineEdit, "WhNash");
    ui.IshNash = named(new QLineEdit, "IshNash");
    {
        auto* row = new QHBoxLayout;
        QGroupBox* org = group("PoiskOrgan", QString());
        auto* ol = new QHBoxLayout(org);
        tight(ol);
        ol->addWidget(labelled(QStringLiteral("Наименование"), ui.Zayavitel), 2);
        ol->addWidget(labelled(QStringLiteral("Форма"), ui.IForma), 1);
        ol->addWidget(labelled(QStringLiteral("Адрес"), ui.Gorod), 2);
        QGroupBox* doc = group("PoiskDokument", QString());
        auto* dl = new QHBoxLayout(doc);
        tight(dl);
        dl->addWidget(labelled(QStringLiteral("Название  документа"), ui.WhNash), 2);
        dl->addWidget(labelled(QStringLiteral("№"), ui.IshNash), 1);
        row->addWidget(org, 5);
        row->addWidget(doc, 3);
        rows->addLayout(row);
    }

    // The KUSP dates and number, and the document dates.
    ui.SDataKUSP = datePicker("SDataKUSP", true);
    ui.PoDataKUSP = datePicker("PoDataKUSP", false);
    ui.NomKUSP = named(new QLineEdit, "NomKUSP");
    ui.SwhodData = datePicker("SwhodData", true);
    ui.PoWhodData = datePicker("PoWhodData", false);
    {
        auto* row = new QHBoxLayout;
        QGroupBox* kusp = group(
            "PoiskKUSP", QStringLiteral("КУСП диапазон дат                     и         номер"));
        auto* kl = new QHBoxLayout(kusp);
        tight(kl);
        kl->addWidget(ui.SDataKUSP);
        kl->addWidget(ui.PoDataKUSP);
        kl->addWidget(ui.NomKUSP);
        row->addWidget(kusp, 3);
        row->addWidget(dateRangeGroup("PoiskDatDok", QStringLiteral("Диапазон дат документа"),
                                      ui.SwhodData, ui.PoWhodData),
                       2);
        rows->addLayout(row);
    }

    // The unit and the officer who carried the measure out.
    ui.Otdel = combo("Otdel");
    ui.KomuPor = combo("KomuPor");
    {
        QGroupBox* unit = group("PoiskProvodil", QString());
        auto* ul = new QHBoxLayout(unit);
        tight(ul);
        ul->addWidget(labelled(QStringLiteral("Подразделение, проводившее ОРМ"), ui.Otdel), 3);
        ul->addWidget(labelled(QStringLiteral("ФИО"), ui.KomuPor), 2);
        rows->addWidget(unit);
    }

    // The approver.
    ui.DolgnUtv = combo("DolgnUtv");
    ui.FIOUtv = combo("FIOUtv");
    {
        QGroupBox* approver = group("PoiskUtverdil", QString());
        auto* al = new QHBoxLayout(approver);
        tight(al);
        al->addWidget(labelled(QStringLiteral("Должность"), ui.DolgnUtv), 3);
        auto* caption = new QLabel(QStringLiteral("Утвердил ОРМ"));
        caption->setAlignment(Qt::AlignCenter);
        al->addWidget(caption);
        al->addWidget(labelled(QStringLiteral("ФИО"), ui.FIOUtv), 2);
        rows->addWidget(approver);
    }

    // The words of the result and the note.
    ui.IRez = named(new QLineEdit, "IRez");
    ui.IPrim = named(new QLineEdit, "IPrim");
    {
        QGroupBox* words =
            group("PoiskRezPrim", QStringLiteral("Результат искомое слово  Примечание"));
        auto* wl = new QHBoxLayout(words);
        tight(wl);
        wl->addWidget(ui.IRez);
        wl->addWidget(ui.IPrim);
        rows->addWidget(words);
    }

    // The reset stands at the top right, above the conditions.
    ui.Obnovit =
        colourButton("Obnovit", {QStringLiteral("Исходные"), QStringLiteral("условия")},
                     QStringLiteral("Установить исходные условия поиска"), QColor(255, 255, 192));
    ui.Obnovit->setFixedSize(90, 34);
    auto* top = new QHBoxLayout;
    top->addStretch(1);
    top->addWidget(ui.Obnovit);
    outer->addLayout(top);
    outer->addWidget(ui.Uslovia);

    // The button row.
    // The caption's words stand each over its own controls, in a row of labels of their own: a
    // spaced-out group caption cannot line up with the buttons in a proportional font.
    ui.Knopki = group("Knopki", QString());
    ui.Knopki->setToolTip(QStringLiteral("Поиск с Начала или с Конца"));
    const QColor forward(192, 255, 192), backward(192, 224, 255), all(255, 224, 192);
    ui.sBegin =
        colourButton("sBegin", {QStringLiteral("|►")}, QStringLiteral("С первой начать"), forward);
    ui.sNext = colourButton("sNext", {QStringLiteral("►")}, QStringLiteral("Следующая"), forward);
    ui.sPred = colourButton("sPred", {QStringLiteral("◄")}, QStringLiteral("Предыдущая"), backward);
    ui.sEnd = colourButton("sEnd", {QStringLiteral("◄|")}, QStringLiteral("С последней начать"),
                           backward);
    ui.WsehSrazu =
        colourButton("WsehSrazu", {QStringLiteral("Найти")}, QStringLiteral("сразу"), all);
    ui.KRab =
        named(new QLineEdit, "KRab", QStringLiteral("найдено и передано в Рабочую картотеку"));
    ui.KRab->setReadOnly(true);
    ui.KRab->setMaximumWidth(60);
    ui.KRab->setAlignment(Qt::AlignCenter);
    ui.NPosNai = named(new QLineEdit, "NPosNai", QStringLiteral("Последняя найденная п/п"));
    ui.NPosNai->setMaximumWidth(60);
    ui.NPosNai->setAlignment(Qt::AlignCenter);
    ui.nWihod = colourButton("nWihod", {QStringLiteral("►►")},
                             QStringLiteral("Перейти на номер, указанный слева"), forward);
    ui.RabZero = colourButton("RabZero", {QStringLiteral("0")},
                              QStringLiteral("Очистить Рабочую картотеку"), QColor(255, 192, 192));
    auto* bl = new QGridLayout(ui.Knopki);
    tight(bl);
    bl->setVerticalSpacing(0);
    struct Place {
        const char* word;
        QList<QWidget*> below;
    };
    const Place places[] = {
        {"Начало", {ui.sBegin, ui.sNext}},
        {"Конец", {ui.sPred, ui.sEnd}},
        {"Всех", {ui.WsehSrazu}},
        {"Нашли", {ui.KRab}},
        {"№", {ui.NPosNai}},
        {"Перейти", {ui.nWihod}},
        {"Zero", {ui.RabZero}},
    };
    int column = 0;
    for (const Place& place : places) {
        auto* word = new QLabel(QString::fromUtf8(place.word));
        word->setAlignment(Qt::AlignHCenter | Qt::AlignBottom);
        bl->addWidget(word, 0, column, 1, static_cast<int>(place.below.size()));
        for (QWidget* control : place.below)
            bl->addWidget(control, 1, column++);
    }
    bl->setColumnStretch(column, 1);
    outer->addWidget(ui.Knopki);
}

} // namespace zelm
