#pragma once
// What a list column needs to show its cells whole, measured as the view would draw them.
class QTableView;

namespace zelm::testing {

// The room `column` of `view` needs for its widest cell: the text and the item's margins.
int widestText(const QTableView* view, int column);

} // namespace zelm::testing
