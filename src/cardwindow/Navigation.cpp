// The four navigation buttons of the card window.
#include "cardwindow/CardListModel.h"
#include "cardwindow/TForm1.h"
#include "cardwindow/Wiring.h"
#include "cardwindow/ZelmApp.h"

#include <QTableView>
#include <QToolButton>

namespace zelm {
namespace {

void first(TForm1& w) {
    CardFile& f = w.ctx().files.main;
    if (f.count() <= 0)
        return;
    w.selectMainRow(0);
    w.CardIndex = 0;
    w.showMainCard(0);
    w.Kakay();
}

void last(TForm1& w) {
    CardFile& f = w.ctx().files.main;
    const qint64 count = f.count();
    if (count < 2)
        return;
    w.selectMainRow(static_cast<int>(count - 1));
    w.CardIndex = static_cast<int>(count - 1);
    w.showMainCard(count - 1);
    w.Kakay();
}

void previous(TForm1& w) {
    CardFile& f = w.ctx().files.main;
    const qint64 count = f.count();
    if (count <= 0)
        return;
    qint64 p = f.position();
    // At the end of the file the card shown is the last one.
    qint64 target = p >= count ? count - 1 : std::max<qint64>(p - 1, 0);
    w.CardIndex = static_cast<int>(target);
    w.showMainCard(target);
    w.Kakay();
    w.selectMainRow(static_cast<int>(target));
}

void next(TForm1& w) {
    CardFile& f = w.ctx().files.main;
    const qint64 count = f.count();
    const qint64 p = f.position();
    if (count < 2 || p > count - 2)
        return;
    const qint64 target = p + 1;
    w.CardIndex = static_cast<int>(target);
    w.showMainCard(target);
    w.Kakay();
    int row = w.selectedMainRow();
    if (row + 1 < count)
        w.selectMainRow(row + 1);
}

} // namespace

void wireNavigation(ZelmApp& app) {
    TForm1* w = app.form1();
    auto bind = [w](QToolButton* button, void (*step)(TForm1&)) {
        QObject::connect(button, &QToolButton::clicked, w,
                         [w, step] { w->runCommand([w, step] { step(*w); }); });
    };
    bind(w->ui().SpeedButBeg, first);
    bind(w->ui().SpeedButPred, previous);
    bind(w->ui().SpeedButNext, next);
    bind(w->ui().SpeedButEnd, last);
}

} // namespace zelm
