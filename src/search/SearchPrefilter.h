#pragma once
// A search's conditions in the form a server tests on its folded copy of the cards, so a
// find-all on a shared register is sent only the cards that may pass.
#include "search/SearchConditions.h"
#include "store/CardFilter.h"

namespace zelm {

CardFilter searchPrefilter(const SearchConditions& conditions);

} // namespace zelm
