#include "cardwindow/Form1Layout.h"
#include "cardwindow/Form1PagesLayout.h"

#include "cardwindow/CardListModel.h"
#include "store/Records.h"
#include "widgets/ControlFactory.h"
#include "widgets/TdxfColorButton.h"

#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace zelm {
namespace {

using controls::group;
using controls::lineEdit;
using controls::named;
using controls::tight;

QComboBox* combo(const char* name, int capacity) {
    return controls::editableCombo(name, capacity, 8);
}

QDateEdit* dateEdit(const char* name) {
    return controls::datePicker(name);
}

TdxfColorButton* colourButton(const char* name, const QStringList& caption, const QString& hint,
                              const QColor& colour) {
    auto* b = controls::colourButton(name, caption, hint, colour, QSize(74, 34));
    // The longest captions ("Запомнить", "Из Архива") must fit inside the ellipse.
    QFont small = b->font();
    small.setPointSize(8);
    b->setFont(small);
    return b;
}

QLabel* label(const QString& text) {
    auto* l = new QLabel(text);
    return l;
}

} // namespace

void buildForm1Layout(QMainWindow* window, Form1Ui& ui) {
    auto* central = new QWidget;
    central->setObjectName(QStringLiteral("Form1Client"));
    window->setCentralWidget(central);
    auto* columns = new QHBoxLayout(central);
    columns->setContentsMargins(3, 3, 3, 3);
    columns->setSpacing(4);
    auto* left = new QVBoxLayout;
    left->setSpacing(2);
    columns->addLayout(left, 11);

    const QColor buttonFace(255, 255, 192);

    // Top row: the date, running number and ИНН beside the card-management buttons.
    auto* top = new QHBoxLayout;
    ui.DatINN = group("DatINN", QStringLiteral("Дата мероприятия  № п/п    ИНН организации"));
    {
        auto* l = new QHBoxLayout(ui.DatINN);
        tight(l);
        ui.DataMer = dateEdit("DataMer");
        ui.GurN = lineEdit("GurN", 11);
        ui.GurN->setMaximumWidth(70);
        ui.INNOrg = lineEdit("INNOrg", 20);
        l->addWidget(ui.DataMer);
        l->addWidget(ui.GurN);
        l->addWidget(ui.INNOrg, 1);
    }
    ui.UprKart = group("UprKart", QStringLiteral(" Управление Карточкой "));
    {
        auto* l = new QGridLayout(ui.UprKart);
        tight(l);
        ui.nNew = colourButton("nNew", {QStringLiteral("Добавить")},
                               QStringLiteral("Новую открыть"), buttonFace);
        ui.nCopiy = colourButton("nCopiy", {QStringLiteral("Копия")},
                                 QStringLiteral("Копию Карточки сделать"), buttonFace);
        ui.nSave = colourButton("nSave", {QStringLiteral("Запомнить")},
                                QStringLiteral("Запомнить Новую, Копию или исправления"),
                                QColor(192, 255, 192));
        ui.nOtmena = colourButton("nOtmena", {QStringLiteral("Отмена")},
                                  QStringLiteral("Отмена кнопок Новая и Копия"), buttonFace);
        ui.nPoisk = colourButton("nPoisk", {QStringLiteral("Поиск")},
                                 QStringLiteral("Поиск Карточек"), QColor(192, 224, 255));
        ui.nDelete =
            colourButton("nDelete", {QStringLiteral("Удалить")},
                         QStringLiteral("Удалить Карточку окончательно"), QColor(255, 192, 192));
        ui.nWstavit = colourButton("nWstavit", {QStringLiteral("Вставить")},
                                   QStringLiteral("Вставить ниже выбраной новую"), buttonFace);
        ui.Vstavka = colourButton("Vstavka", {QStringLiteral("Из Архива")},
                                  QStringLiteral("Вставить информацию, запомненную в Архиве"),
                                  QColor(192, 220, 192));
        ui.Vstavka->setEnabled(false);
        TdxfColorButton* order[] = {ui.nNew,   ui.nCopiy,  ui.nSave,    ui.nOtmena,
                                    ui.nPoisk, ui.nDelete, ui.nWstavit, ui.Vstavka};
        for (int i = 0; i < 8; ++i) {
            // A hidden button keeps its cell, so the others do not jump while a card is new.
            QSizePolicy keepPlace = order[i]->sizePolicy();
            keepPlace.setRetainSizeWhenHidden(true);
            order[i]->setSizePolicy(keepPlace);
            l->addWidget(order[i], i / 4, i % 4);
        }
    }
    top->addWidget(ui.DatINN, 1);
    top->addWidget(ui.UprKart);
    left->addLayout(top);

    // The organisation.
    ui.Organ = group("Organ", QStringLiteral("Организация"));
    {
        auto* l = new QGridLayout(ui.Organ);
        tight(l);
        ui.NameOrg = combo("NameOrg", 100);
        ui.FormSobstGB = group("FormSobstGB", QStringLiteral("Форма собственности"));
        auto* fl = new QHBoxLayout(ui.FormSobstGB);
        tight(fl);
        ui.FormSobs = combo("FormSobs", 100);
        ui.FormSobsSpr =
            controls::pushButton("FormSobsSpr", QStringLiteral("…"),
                                 QStringLiteral("Редактирование справочника корреспондентов"));
        ui.FormSobsSpr->setFixedWidth(26);
        fl->addWidget(ui.FormSobs, 1);
        fl->addWidget(ui.FormSobsSpr);
        ui.AdresOrg = combo("AdresOrg", 100);
        l->addWidget(label(QStringLiteral("Наименование")), 0, 0);
        l->addWidget(ui.NameOrg, 0, 1);
        l->addWidget(ui.FormSobstGB, 1, 0, 1, 2);
        l->addWidget(label(QStringLiteral("Адрес")), 2, 0);
        l->addWidget(ui.AdresOrg, 2, 1);
        l->setColumnStretch(1, 1);
    }
    ui.Organ->setAutoFillBackground(true);
    left->addWidget(ui.Organ);

    // Reason and kind.
    auto* povodRow = new QHBoxLayout;
    auto listGroup = [&](QGroupBox*& g, const char* name, const QString& title, QComboBox*& c,
                         const char* comboName, int capacity, QPushButton*& b, const char* bName,
                         const QString& hint) {
        g = group(name, title);
        auto* l = new QHBoxLayout(g);
        tight(l);
        c = combo(comboName, capacity);
        b = controls::pushButton(bName, QStringLiteral("…"), hint);
        b->setFixedWidth(26);
        l->addWidget(c, 1);
        l->addWidget(b);
    };
    listGroup(ui.PovodGB, "PovodGB", QStringLiteral("Повод для проведения мероприятия"), ui.Povod,
              "Povod", 50, ui.PovorSpr, "PovorSpr", QStringLiteral("Редактирование справочника"));
    listGroup(ui.VidOMGB, "VidOMGB", QStringLiteral("Вид ОРМ"), ui.VidORM, "VidORM", 50,
              ui.VidORMSpr, "VidORMSpr",
              QStringLiteral("Редактирование справочника корреспондентов"));
    povodRow->addWidget(ui.PovodGB, 1);
    povodRow->addWidget(ui.VidOMGB, 1);
    left->addLayout(povodRow);

    // The ordering document.
    ui.Dokument = group("Dokument", QStringLiteral("Документ - основание для проведения ОРМ"));
    {
        auto* l = new QGridLayout(ui.Dokument);
        tight(l);
        ui.NazDokSpr =
            controls::pushButton("NazDokSpr", QStringLiteral("Название"),
                                 QStringLiteral("Редактирование справочника корреспондентов"));
        ui.Osnovan = combo("Osnovan", 50);
        ui.DataOsn = dateEdit("DataOsn");
        ui.NomDokOsn = lineEdit("NomDokOsn", 30);
        ui.SkolPrik =
            lineEdit("SkolPrik", 0, true, QStringLiteral("Количество прикрепленных файлов"));
        ui.SkolPrik->setMaximumWidth(40);
        ui.PuskDokKart =
            colourButton("PuskDokKart", {QStringLiteral("Файлы")},
                         QStringLiteral("Файлы, прикреплённые к карточке"), QColor(255, 224, 192));
        l->addWidget(ui.NazDokSpr, 0, 0);
        l->addWidget(ui.Osnovan, 0, 1, 1, 3);
        l->addWidget(label(QStringLiteral("Прикреплено")), 0, 4);
        l->addWidget(ui.SkolPrik, 0, 5);
        l->addWidget(label(QStringLiteral("Дата")), 1, 0);
        l->addWidget(ui.DataOsn, 1, 1);
        l->addWidget(label(QStringLiteral("№ Документа")), 1, 2);
        l->addWidget(ui.NomDokOsn, 1, 3);
        l->addWidget(ui.PuskDokKart, 1, 4, 1, 2);
        l->setColumnStretch(1, 1);
        l->setColumnStretch(3, 2);
    }
    left->addWidget(ui.Dokument);

    // The КУСП entry.
    ui.KUSPGB = group("KUSPGB", QStringLiteral("КУСП"));
    {
        auto* l = new QHBoxLayout(ui.KUSPGB);
        tight(l);
        ui.DateKUSP = dateEdit("DateKUSP");
        ui.NomKUSP = lineEdit("NomKUSP", 20);
        ui.NomKUSP->setMaximumWidth(90);
        ui.FabKUSP = combo("FabKUSP", 20);
        ui.BitBtn1 = controls::pushButton("BitBtn1", QStringLiteral("…"),
                                          QStringLiteral("Редактирование справочника"));
        ui.BitBtn1->setFixedWidth(26);
        l->addWidget(label(QStringLiteral("Дата")));
        l->addWidget(ui.DateKUSP);
        l->addWidget(label(QStringLiteral("Номер")));
        l->addWidget(ui.NomKUSP);
        l->addWidget(label(QStringLiteral("Формулировка")));
        l->addWidget(ui.FabKUSP, 1);
        l->addWidget(ui.BitBtn1);
    }
    left->addWidget(ui.KUSPGB);

    // The unit.
    ui.PodrazdGB = group("PodrazdGB", QString(27, QLatin1Char(' ')) +
                                          QStringLiteral("Подразделение, проводившее ОРМ"));
    {
        auto* l = new QHBoxLayout(ui.PodrazdGB);
        tight(l);
        ui.PodrazdSpr =
            controls::pushButton("PodrazdSpr", QStringLiteral("Название"),
                                 QStringLiteral("Редактирование справочника корреспондентов"));
        ui.Podrazd = combo("Podrazd", 50);
        l->addWidget(ui.PodrazdSpr);
        l->addWidget(ui.Podrazd, 1);
    }
    left->addWidget(ui.PodrazdGB);

    // Who conducted and who approved.
    auto* people = new QHBoxLayout;
    auto personGroup = [&](QGroupBox*& g, const char* name, const QString& title,
                           QComboBox*(&combos)[3], const char* const(&comboNames)[3],
                           QPushButton*(&buttons)[3], const char* const(&buttonNames)[3]) {
        g = group(name, title);
        auto* l = new QGridLayout(g);
        tight(l);
        const QString captions[3] = {QStringLiteral("Должность"), QStringLiteral("Звание"),
                                     QStringLiteral("ФИО")};
        const int capacities[3] = {50, 30, 50};
        for (int i = 0; i < 3; ++i) {
            buttons[i] = controls::pushButton(buttonNames[i], captions[i],
                                              QStringLiteral("Редактирование справочника"));
            combos[i] = combo(comboNames[i], capacities[i]);
            l->addWidget(buttons[i], i, 0);
            l->addWidget(combos[i], i, 1);
        }
        l->setColumnStretch(1, 1);
    };
    {
        QComboBox* c[3];
        QPushButton* b[3];
        personGroup(ui.ProvodilGB, "ProvodilGB", QStringLiteral("Проводил ОРМ"), c,
                    {"DolgSotr", "ZvanSotr", "FIOSotr"}, b, {"DolgnSpr", "ZvanSpr", "FIOSpr"});
        ui.DolgSotr = c[0], ui.ZvanSotr = c[1], ui.FIOSotr = c[2];
        ui.DolgnSpr = b[0], ui.ZvanSpr = b[1], ui.FIOSpr = b[2];
        personGroup(ui.UtverdilGB, "UtverdilGB", QStringLiteral("Утвердил ОРМ"), c,
                    {"DolgnUtv", "ZvanUtv", "FIOUtv"}, b, {"UtvDolgn", "UtvZvan", "UtvFIO"});
        ui.DolgnUtv = c[0], ui.ZvanUtv = c[1], ui.FIOUtv = c[2];
        ui.UtvDolgn = b[0], ui.UtvZvan = b[1], ui.UtvFIO = b[2];
    }
    people->addWidget(ui.ProvodilGB, 1);
    people->addWidget(ui.UtverdilGB, 1);
    left->addLayout(people);

    // Result and note.
    auto* memos = new QHBoxLayout;
    auto memoGroup = [&](QGroupBox*& g, const char* name, const QString& title,
                         QPlainTextEdit*& memo, const char* memoName, QLineEdit*& counter,
                         const char* counterName, QPushButton*& doc, const char* docName,
                         const QString& docHint) {
        g = group(name, title);
        auto* l = new QHBoxLayout(g);
        tight(l);
        memo = named(new QPlainTextEdit, memoName);
        memo->setTabChangesFocus(true);
        memo->setMinimumHeight(60);
        counter = lineEdit(counterName, 0, true, QStringLiteral("Осталось свободных позиций"));
        counter->setMaximumWidth(44);
        counter->setText(QString::number(kMemoStoredBytes));
        doc = controls::pushButton(docName, QStringLiteral("Нет"), docHint);
        doc->setMaximumWidth(44);
        auto* side = new QVBoxLayout;
        side->addWidget(counter);
        side->addStretch(1);
        side->addWidget(doc);
        l->addWidget(memo, 1);
        l->addLayout(side);
    };
    memoGroup(ui.Rez, "Rez", QStringLiteral("Результат"), ui.Rezultat, "Rezultat", ui.RezOst,
              "RezOst", ui.Otvet, "Otvet", QStringLiteral("на нашем бланке"));
    memoGroup(ui.Pri, "Pri", QStringLiteral("Примечание"), ui.Prime4, "Prime4", ui.PrimOst,
              "PrimOst", ui.WordEst, "WordEst", QStringLiteral("файл в формате Word"));
    memos->addWidget(ui.Rez, 1);
    memos->addWidget(ui.Pri, 1);
    left->addLayout(memos, 1);

    // Bookkeeping fields, the envelope button and the progress bar.
    auto* bottom = new QHBoxLayout;
    ui.SlInfa = group("SlInfa", QString());
    {
        auto* l = new QGridLayout(ui.SlInfa);
        tight(l);
        ui.Klu4Form1 = lineEdit("Klu4Form1", 0, true, QStringLiteral("Уникальный номер карточки"));
        ui.AdminFIO = lineEdit("AdminFIO", 0, true);
        ui.DaWrSozd = lineEdit("DaWrSozd", 0, true);
        ui.DWKorr = lineEdit("DWKorr", 0, true);
        ui.Otmetka =
            lineEdit("Otmetka", 2, false, QStringLiteral("Два символа для последующих выборок"));
        ui.Otmetka->setMaximumWidth(36);
        ui.OtmDel = controls::pushButton("OtmDel", QStringLiteral("уд"),
                                         QStringLiteral("Отметить для удаления"));
        ui.OtmDel->setMaximumWidth(34);
        const QString captions[] = {QStringLiteral("Уник. №"), QStringLiteral("Администратор"),
                                    QStringLiteral("Создана"), QStringLiteral("Изменена"),
                                    QStringLiteral("Метка")};
        QWidget* fields[] = {ui.Klu4Form1, ui.AdminFIO, ui.DaWrSozd, ui.DWKorr, ui.Otmetka};
        for (int i = 0; i < 5; ++i) {
            l->addWidget(label(captions[i]), 0, i);
            l->addWidget(fields[i], 1, i);
        }
        l->addWidget(ui.OtmDel, 1, 5);
        // On a shared register: the card shown was changed on another workstation meanwhile.
        ui.IzmDrugim = named(new QLabel(QStringLiteral(
                                 "Карточку изменили на другом рабочем месте: откройте её снова, "
                                 "чтобы увидеть их правку")),
                             "IzmDrugim");
        ui.IzmDrugim->setStyleSheet(QStringLiteral("color: #b00000; font-weight: bold"));
        ui.IzmDrugim->setWordWrap(true);
        ui.IzmDrugim->hide();
        l->addWidget(ui.IzmDrugim, 2, 0, 1, 6);
        // On a shared register: the other workstations' changes cannot reach this one now.
        ui.NetLenty = named(new QLabel, "NetLenty");
        ui.NetLenty->setStyleSheet(QStringLiteral("color: #b00000; font-weight: bold"));
        ui.NetLenty->setWordWrap(true);
        ui.NetLenty->hide();
        l->addWidget(ui.NetLenty, 3, 0, 1, 6);
        ui.Klu4Form1->setMaximumWidth(90);
        ui.AdminFIO->setMinimumWidth(110);
        const int stampWidth =
            ui.DaWrSozd->fontMetrics().horizontalAdvance(QStringLiteral("00.00.00 00:00")) + 14;
        ui.DaWrSozd->setMinimumWidth(stampWidth);
        ui.DWKorr->setMinimumWidth(stampWidth);
        l->setColumnStretch(1, 3);
        l->setColumnStretch(2, 1);
        l->setColumnStretch(3, 1);
    }
    bottom->addWidget(ui.SlInfa, 1);
    {
        auto* box = new QVBoxLayout;
        ui.Konvert = controls::pushButton("Konvert", QStringLiteral("Конверт"),
                                          QStringLiteral("Печать конвертов"));
        ui.Gauge1 = named(new QProgressBar, "Gauge1");
        ui.Gauge1->setMaximumWidth(100);
        ui.Gauge1->setValue(0);
        box->addWidget(ui.Konvert);
        box->addWidget(ui.Gauge1);
        bottom->addLayout(box);
    }
    left->addLayout(bottom);

    buildForm1Pages(window, ui, columns);
    setForm1TabOrder(ui);
}

} // namespace zelm
