#pragma once
// What a list column needs to show its cells whole, measured as the view would draw them.
class QAbstractItemView;

namespace zelm::testing {

// The room `column` of `view` needs for its widest cell: the text and the item's margins.
int widestText(const QAbstractItemView* view, int column);

} // namespace zelm::testing
