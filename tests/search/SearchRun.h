#pragma once
// A run of the program over a register of given cards, with the card window and the search
// window at hand and the clock fixed.
#include "cardwindow/CardListModel.h"
#include "cardwindow/TForm1.h"
#include "common/CardFactory.h"
#include "common/Form1Controls.h"
#include "common/TestInstall.h"
#include "search/TPoisk.h"
#include "store/DayCount.h"
#include "widgets/TdxfColorButton.h"

#include <QAbstractItemView>
#include <QTest>
#include <vector>

namespace zelm::testing {

inline const QDateTime kToday(QDate(2026, 12, 7), QTime(12, 0));

struct SearchRun {
    TestInstall t;
    TForm1* w = nullptr;
    TPoisk* p = nullptr;

    explicit SearchRun(const std::vector<TAnketa>& cards, const QByteArray& extraTail = {}) {
        setClockForTesting([] { return kToday; });
        t.makeFolders();
        t.writeCards("Baza/Anketi.dat", cards);
        if (!extraTail.isEmpty())
            t.writeFile("Baza/Anketi.dat", t.readFile("Baza/Anketi.dat") + extraTail);
        t.start();
        w = t.app().form1();
        p = t.app().poisk();
        w->show();
    }

    void openSearch() { controls(w).nPoisk->click(); }

    std::vector<std::int32_t> workingNumbers() const {
        std::vector<std::int32_t> out;
        for (const TAnketa& c : t.readCards("Temp/RabAnket.dat"))
            out.push_back(c.Klu4Form1);
        return out;
    }
    std::vector<std::int32_t> listedNumbers() const {
        std::vector<std::int32_t> out;
        for (int r = 0; r < controls(w).workingList->cardCount(); ++r)
            out.push_back(controls(w).workingList->uniqueNumber(r));
        return out;
    }
    void press(QAbstractItemView* view, int row) {
        view->scrollTo(view->model()->index(row, 0));
        const QRect cell = view->visualRect(view->model()->index(row, 0));
        QTest::mousePress(view->viewport(), Qt::LeftButton, {}, cell.center());
        QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, cell.center());
    }
    int notices() const {
        int n = 0;
        for (const ShownMessage& m : t.platform.messages)
            n += m.kind == ShownMessage::Notice;
        return n;
    }
};

inline std::int32_t numberOf(int i) {
    return makeCard(i).Klu4Form1;
}

} // namespace zelm::testing
