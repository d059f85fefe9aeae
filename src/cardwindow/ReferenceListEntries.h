#pragma once
// The entries of the reference-list combo boxes: kept sorted the way the user looks them up.
#include <QString>
#include <QStringList>

class QComboBox;

namespace zelm {

// Case-insensitive Russian alphabetical order (ё beside е, Latin before Cyrillic), empty
// entries first, equal entries kept as they came.
void sortReferenceEntries(QStringList& entries);

// Makes `entries`, sorted, the combo box's list; the combo box's own text stays as it was.
void setReferenceEntries(QComboBox* combo, QStringList entries);
QStringList referenceEntries(const QComboBox* combo);

// The lines of an edited list: split at CR LF, lone CR or lone LF; a line end at the very end
// adds no empty entry; lines are not trimmed.
QStringList splitEditedList(const QString& text);

} // namespace zelm
