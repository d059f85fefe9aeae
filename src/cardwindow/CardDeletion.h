#pragma once
// Deleting the card shown from the register, for good or into the Archive, and the mark "уд".
#include "session/CardSession.h"

namespace zelm {

class TForm1;
class TWibor;

// The button nDelete: checks the access letter and the card shown, asks, then deletes.
void nDeleteClick(TForm1& w, TWibor& choice);
// Takes the Main card shown out of the register without asking, and the window follows.
void deleteShownCard(TForm1& w, DeletionKind kind);
// The button OtmDel: sets or clears the mark of the Main card shown, in the file at once.
void OtmDelClick(TForm1& w);

} // namespace zelm
