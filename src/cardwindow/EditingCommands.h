#pragma once
// The card-management commands that make and change cards of the Main card file.
#include "session/CardSession.h"

namespace zelm {
class TForm1;
void nNewClick(TForm1& w);
void nCopiyClick(TForm1& w);
void nSaveClick(TForm1& w);
void nOtmenaClick(TForm1& w);
void nWstavitClick(TForm1& w);
// What a save of the session came to: someone else's version is written over only when the
// user says so, a card gone is told; true when the card was stored.
bool finishSave(TForm1& w, CardSession::SaveOutcome outcome);
// «Восстановить» of the history window: `version` stored again through finishSave.
bool restoreVersion(TForm1& w, const TAnketa& version);
} // namespace zelm
