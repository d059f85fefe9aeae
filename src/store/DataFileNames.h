#pragma once
// The files of the data folder that the program itself reads and writes: the card files, the
// attached-file list and the reference lists. Kept apart from their readers so that code
// which only checks names (the restore's archive and journal) needs nothing else.
#include <QString>
#include <QStringList>

namespace zelm {

// Anketi.dat, ArhAnket.dat, SpisFil.dat, History.dat and the twelve reference lists, as they
// are spelt.
const QStringList& dataFolderFileNames();
// The data file that `name` names, spelt as the program spells it (Windows ignores case, and
// archives come from there), or empty when it names none.
QString dataFolderFileName(const QString& name);

} // namespace zelm
