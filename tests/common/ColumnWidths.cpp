#include "common/ColumnWidths.h"

#include <QAbstractItemModel>
#include <QAbstractItemView>
#include <QFontMetrics>
#include <QStyle>

#include <algorithm>

namespace zelm::testing {

int widestText(const QAbstractItemView* view, int column) {
    const int margins =
        2 * (view->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) + 1);
    const QFontMetrics fm(view->font());
    int widest = 0;
    for (int r = 0; r < view->model()->rowCount(); ++r)
        widest = std::max(widest,
                          fm.horizontalAdvance(view->model()->index(r, column).data().toString()));
    return widest + margins;
}

} // namespace zelm::testing
