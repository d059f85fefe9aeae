// The right part of the card window: the counts, today and now, the page control with the
// three card lists, and the main menu.
#include "cardwindow/Form1PagesLayout.h"
#include "cardwindow/CardListModel.h"
#include "widgets/ControlFactory.h"
#include "widgets/UniformRowsView.h"

#include <QAction>
#include <QDateEdit>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
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

QLabel* label(const QString& text) {
    return new QLabel(text);
}

QDateEdit* dateEdit(const char* name) {
    return controls::datePicker(name);
}

UniformRowsView* cardList(const char* name, CardListModel* model, bool withUnique) {
    auto* v = named(new UniformRowsView, name, QStringLiteral("Столбцы можно раздвитуть мышкой"));
    v->setModel(model);
    v->setEditTriggers(QAbstractItemView::NoEditTriggers);
    v->setRowHeight(18);
    v->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    // The design widths, widened where this desktop's font needs more room for a date,
    // a unique number or a title. A date and a number are never wider than these texts, so
    // the columns are as wide as their widest cell without reading the card files.
    const int widths[] = {59, 119, 96, 77, 71, 77, 67, 86, 81, 92, 64};
    const QFontMetrics fm(v->font());
    const int dateWidth = fm.horizontalAdvance(QStringLiteral("00.00.00")) + 14;
    const int uniqueWidth = fm.horizontalAdvance(QStringLiteral("-2147483648")) + 14;
    for (int i = 0; i < (withUnique ? 11 : 10); ++i) {
        // The header's own measure of its title: its font and margins, not the cells'.
        int width = std::max(widths[i], v->horizontalHeader()->sectionSizeHint(i));
        if (i == 0 || i == 5)
            width = std::max(width, dateWidth);
        if (i == 10)
            width = std::max(width, uniqueWidth);
        v->setColumnWidth(i, width);
    }
    return v;
}
} // namespace

void buildForm1Pages(QMainWindow* window, Form1Ui& ui, QHBoxLayout* columns) {
    // Right part: the counts, today and now, and the page control with the lists.
    auto* right = new QVBoxLayout;
    right->setSpacing(2);
    columns->addLayout(right, 9);
    auto* counts = new QHBoxLayout;
    ui.WsegoKarto4ek =
        lineEdit("WsegoKarto4ek", 0, true, QStringLiteral("Карточек в Главной картотеке"));
    ui.vRab = lineEdit("vRab", 0, true, QStringLiteral("Карточек в Рабочей картотеке"));
    ui.vArh = lineEdit("vArh", 0, true, QStringLiteral("Карточек в Архиве"));
    for (QLineEdit* e : {ui.WsegoKarto4ek, ui.vRab, ui.vArh}) {
        e->setMaximumWidth(64);
        e->setAlignment(Qt::AlignRight);
        counts->addWidget(e);
    }
    ui.SegSei = group("SegSei", QStringLiteral("Сегодня       и  сейчас"));
    {
        auto* l = new QHBoxLayout(ui.SegSei);
        tight(l);
        ui.Segodny = dateEdit("Segodny");
        ui.Sei4as = lineEdit("Sei4as");
        ui.Sei4as->setInputMask(QStringLiteral("99:99"));
        ui.Sei4as->setMaximumWidth(50);
        l->addWidget(ui.Segodny);
        l->addWidget(ui.Sei4as);
    }
    counts->addStretch(1);
    counts->addWidget(ui.SegSei);
    right->addLayout(counts);

    ui.SpTabl = named(new QTabWidget, "SpTabl");
    ui.mainList = new CardListModel(false, window);
    ui.workingList = new CardListModel(true, window);
    ui.archiveList = new CardListModel(true, window);

    ui.TabSheet1 = named(new QWidget, "TabSheet1");
    {
        auto* l = new QVBoxLayout(ui.TabSheet1);
        tight(l);
        auto* row = new QHBoxLayout;
        ui.KakayPlay = group("KakayPlay", QString());
        ui.KakayPlay->setToolTip(QStringLiteral("Навигация по картотеке"));
        auto* nav = new QHBoxLayout(ui.KakayPlay);
        tight(nav);
        auto navButton = [&](QToolButton*& b, const char* name, Qt::ArrowType arrow,
                             const QString& text, const QString& hint) {
            b = named(new QToolButton, name, hint);
            b->setText(text);
            if (arrow != Qt::NoArrow)
                b->setArrowType(arrow);
            nav->addWidget(b);
        };
        navButton(ui.SpeedButBeg, "SpeedButBeg", Qt::NoArrow, QStringLiteral("|◄"),
                  QStringLiteral("Первая"));
        navButton(ui.SpeedButPred, "SpeedButPred", Qt::LeftArrow, QString(),
                  QStringLiteral("Предыдущая"));
        ui.NNaidena = lineEdit("NNaidena", 0, true);
        ui.NNaidena->setMaximumWidth(60);
        ui.NNaidena->setAlignment(Qt::AlignCenter);
        nav->addWidget(ui.NNaidena);
        navButton(ui.SpeedButNext, "SpeedButNext", Qt::RightArrow, QString(),
                  QStringLiteral("Следующая"));
        navButton(ui.SpeedButEnd, "SpeedButEnd", Qt::NoArrow, QStringLiteral("►|"),
                  QStringLiteral("Последняя"));
        row->addWidget(ui.KakayPlay);
        ui.nGlRab = controls::pushButton("nGlRab", QStringLiteral("В Рабочую"),
                                         QStringLiteral("Из Главной добавить в Рабочую"));
        ui.RabZero = controls::pushButton("RabZero", QStringLiteral("Очистить"),
                                          QStringLiteral("Очистить Рабочую картотеку"));
        row->addWidget(ui.nGlRab);
        row->addWidget(ui.RabZero);
        row->addStretch(1);
        l->addLayout(row);
        ui.Spisok = cardList("Spisok", ui.mainList, false);
        l->addWidget(ui.Spisok, 1);
        auto* note =
            label(QStringLiteral(" Для печати отчетов сделайте  \n  выборку в Рабочую картотеку"));
        l->addWidget(note);
    }
    ui.TabSheet2 = named(new QWidget, "TabSheet2");
    {
        auto* l = new QVBoxLayout(ui.TabSheet2);
        tight(l);
        auto* row = new QHBoxLayout;
        ui.DelRab = controls::pushButton("DelRab", QStringLiteral("Удалить"),
                                         QStringLiteral("Удалить из Рабочей картотеки"));
        ui.PRNSpisok = controls::pushButton("PRNSpisok", QStringLiteral("Список"),
                                            QStringLiteral("Список мероприятий"));
        ui.RabExc = controls::pushButton("RabExc", QStringLiteral("в Excel"),
                                         QStringLiteral("Таблицу в Excel"));
        row->addWidget(ui.DelRab);
        row->addWidget(ui.PRNSpisok);
        row->addWidget(ui.RabExc);
        row->addStretch(1);
        l->addLayout(row);
        ui.RabTab = cardList("RabTab", ui.workingList, true);
        l->addWidget(ui.RabTab, 1);
    }
    ui.TabSheet3 = named(new QWidget, "TabSheet3");
    {
        auto* l = new QVBoxLayout(ui.TabSheet3);
        tight(l);
        auto* row = new QHBoxLayout;
        ui.NameZap = lineEdit("NameZap", 0, true);
        ui.ZapPosled = controls::pushButton("ZapPosled", QStringLiteral("Запомнить"),
                                            QStringLiteral("Запомнить выбранную карточку"));
        ui.ArhExc = controls::pushButton("ArhExc", QStringLiteral("в Excel"),
                                         QStringLiteral("Таблицу в Excel"));
        ui.DelArh = controls::pushButton("DelArh", QStringLiteral("Удалить"),
                                         QStringLiteral("Удалить выбранную карточку из Архива"));
        row->addWidget(ui.NameZap, 1);
        row->addWidget(ui.ZapPosled);
        row->addWidget(ui.ArhExc);
        row->addWidget(ui.DelArh);
        l->addLayout(row);
        ui.ArhTab = cardList("ArhTab", ui.archiveList, true);
        l->addWidget(ui.ArhTab, 1);
    }
    ui.SpTabl->addTab(ui.TabSheet1, QStringLiteral("Главная"));
    ui.SpTabl->addTab(ui.TabSheet2, QStringLiteral("Рабочая"));
    ui.SpTabl->addTab(ui.TabSheet3, QStringLiteral("Архив"));
    right->addWidget(ui.SpTabl, 1);

    // Menu.
    QMenuBar* bar = window->menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));
    auto action = [](QMenu* menu, const char* name, const QString& text) {
        QAction* a = menu->addAction(text);
        a->setObjectName(QLatin1String(name));
        return a;
    };
    ui.N1 = named(bar->addMenu(QStringLiteral("Печать")), "N1");
    ui.N13 = action(ui.N1, "N13", QStringLiteral("карточка полная"));
    action(ui.N1, "NStatistika", QStringLiteral("Статистика"));
    ui.N4 = named(bar->addMenu(QStringLiteral("Шаблоны")), "N4");
    // The file names stand in the menu's second column (after the tab), aligned whatever the
    // font; the heading above them is no command.
    ui.N5 = action(ui.N4, "N5", QStringLiteral("Название документа\tИмя файла"));
    ui.N5->setEnabled(false);
    QFont heading = ui.N5->font();
    heading.setBold(true);
    ui.N5->setFont(heading);
    ui.N4->addSeparator();
    ui.N10 = action(ui.N4, "N10", QStringLiteral("Результат подробно\tBlankFirma.doc"));
    ui.N11 = action(ui.N4, "N11", QStringLiteral("Примечание подробно\tBlank.doc"));
    ui.PolnPicrtf1 =
        action(ui.N4, "PolnPicrtf1", QStringLiteral("Карточка мероприятия\tPolnPic.rtf"));
    ui.KnigaPic1 = action(ui.N4, "KnigaPic1", QStringLiteral("Список мероприятий\tKnigaPic"));
    action(ui.N4, "StatPic1", QStringLiteral("Статистика мероприятий\tStatPic.rtf"));
    ui.N7 = named(bar->addMenu(QStringLiteral("Сервис")), "N7");
    ui.N8 = action(ui.N7, "N8", QStringLiteral("Настройка"));
    ui.N9 = action(ui.N7, "N9", QStringLiteral("Пароли"));
    ui.BackUp1 = action(ui.N7, "BackUp1", QStringLiteral("Восстановить базу из архива BackUp"));
    action(ui.N7, "NIstoriya", QStringLiteral("История карточки"))
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_H));
    ui.N14 = named(ui.N7->addMenu(QStringLiteral("Настройка цвета")), "N14");
    ui.N15 = action(ui.N14, "N15", QStringLiteral("Фон карточки"));
    ui.N16 = action(ui.N14, "N16", QStringLiteral("Организация"));
    ui.N7->addSeparator();
    ui.nToServer = action(ui.N7, "nToServer", QStringLiteral("Перенести картотеку на сервер"));
    ui.nFromServer = action(ui.N7, "nFromServer", QStringLiteral("Выгрузить картотеку с сервера"));
    ui.N2 = bar->addAction(QStringLiteral("Помощь"));
    ui.N2->setObjectName(QStringLiteral("N2"));
    ui.N3 = bar->addAction(QStringLiteral("Выход"));
    ui.N3->setObjectName(QStringLiteral("N3"));
}

} // namespace zelm
