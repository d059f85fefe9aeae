// The four navigation buttons of the card window.
#include "cardwindow/CardWindowCommands.h"
#include "cardwindow/TForm1.h"

namespace zelm {

void wireNavigation(TForm1& w) {
    CardSession& s = w.session();
    auto shown = [&w](std::optional<qint64> target) {
        if (!target)
            return;
        w.selectMainRow(static_cast<int>(*target));
    };
    w.onClick("SpeedButBeg", [&s, shown] { shown(s.stepFirst()); });
    w.onClick("SpeedButEnd", [&s, shown] { shown(s.stepLast()); });
    w.onClick("SpeedButPred", [&s, shown] { shown(s.stepPrevious()); });
    w.onClick("SpeedButNext", [&w, &s] {
        const int row = w.selectedMainRow();
        if (!s.stepNext())
            return;
        // The selection moves one row on from where it was, as the list is walked.
        if (row + 1 < s.CardTotal())
            w.selectMainRow(row + 1);
    });
}

} // namespace zelm
