#pragma once
// The schema's history of cards: the table card_history and the trigger on cards that fills it.
namespace zelm {

class PgConnection;

// Makes card_history and its trigger. Set-based: the versions of cards changed before it are
// not known, so it starts empty.
void upgradeToCardHistory(PgConnection& c);

} // namespace zelm
