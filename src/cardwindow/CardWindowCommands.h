#pragma once
// The card window connects its own commands; each group lives in a file of its own.
namespace zelm {

class TForm1;
class TRedaktir;
class TWibor;

void wireOwnCommands(TForm1& w); // everything that needs no other window
void wireNavigation(TForm1& w);
void wireEditingCommands(TForm1& w);
void wireMarkAndArchiveCommands(TForm1& w);
void wireColourCommands(TForm1& w);

// The commands that open the card window's secondary windows.
void wireReferenceListCommands(TForm1& w, TRedaktir& editor);
void wireDeletionCommand(TForm1& w, TWibor& choice);

} // namespace zelm
