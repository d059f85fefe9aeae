// Connects the Working card file's commands and the search window to the card window.
#include "cardwindow/TForm1.h"
#include "cardwindow/Wiring.h"
#include "cardwindow/ZelmApp.h"
#include "search/TPoisk.h"
#include "search/WorkingCommands.h"
#include "widgets/TdxfColorButton.h"

#include <QPushButton>
#include <QTabWidget>
#include <QTableView>

namespace zelm {

void wireSearchCommands(ZelmApp& app) {
    TForm1* w = app.form1();
    TPoisk* poisk = app.poisk();
    Form1Ui& ui = w->ui();
    auto command = [w](void (*handler)(TForm1&)) {
        return [w, handler] { w->runCommand([&] { handler(*w); }); };
    };
    auto rowCommand = [w](void (*handler)(TForm1&, int)) {
        return [w, handler](const QModelIndex& at) {
            w->runCommand([&] { handler(*w, at.isValid() ? at.row() : -1); });
        };
    };

    QObject::connect(ui.nPoisk, &QAbstractButton::clicked, poisk, [poisk] { poisk->open(); });
    QObject::connect(ui.nGlRab, &QPushButton::clicked, w, command(nGlRabClick));
    QObject::connect(ui.RabZero, &QPushButton::clicked, w, command(RabZeroClick));
    QObject::connect(ui.DelRab, &QPushButton::clicked, w, command(DelRabClick));
    QObject::connect(ui.Spisok, &QTableView::pressed, w, rowCommand(SpisokMouseDown));
    QObject::connect(ui.RabTab, &QTableView::pressed, w, rowCommand(RabTabMouseDown));
    QObject::connect(ui.SpTabl, &QTabWidget::currentChanged, w, [w](int index) {
        if (w->ui().SpTabl->widget(index) == w->ui().TabSheet2)
            w->runCommand([&] { TabSheet2Show(*w); });
    });

    PoiskUi& p = poisk->ui();
    QObject::connect(p.Obnovit, &QAbstractButton::clicked, poisk,
                     [poisk] { poisk->FormActivate(); });
    QObject::connect(p.sBegin, &QAbstractButton::clicked, poisk, [poisk] { poisk->sBeginClick(); });
    QObject::connect(p.sNext, &QAbstractButton::clicked, poisk, [poisk] { poisk->sNextClick(); });
    QObject::connect(p.sPred, &QAbstractButton::clicked, poisk, [poisk] { poisk->sPredClick(); });
    QObject::connect(p.sEnd, &QAbstractButton::clicked, poisk, [poisk] { poisk->sEndClick(); });
    QObject::connect(p.WsehSrazu, &QAbstractButton::clicked, poisk,
                     [poisk] { poisk->WsehSrazuClick(); });
    QObject::connect(p.RabZero, &QAbstractButton::clicked, poisk,
                     [poisk] { poisk->RabZeroClick(); });
    QObject::connect(p.nWihod, &QAbstractButton::clicked, poisk, [poisk] { poisk->nWihodClick(); });
}

} // namespace zelm
