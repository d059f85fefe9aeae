#pragma once
// The card-management commands that make and change cards of the Main card file.
namespace zelm {
class TForm1;
void nNewClick(TForm1& w);
void nCopiyClick(TForm1& w);
void nSaveClick(TForm1& w);
void nOtmenaClick(TForm1& w);
void nWstavitClick(TForm1& w);
} // namespace zelm
