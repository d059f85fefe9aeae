#include "cardwindow/ReferenceListEntries.h"

#include "store/Records.h"

#include <QCollator>
#include <QComboBox>
#include <QLocale>
#include <algorithm>

namespace zelm {

void sortReferenceEntries(QStringList& entries) {
    QCollator collator{QLocale(QLocale::Russian, QLocale::Russia)};
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    collator.setNumericMode(false);
    std::stable_sort(entries.begin(), entries.end(), [&](const QString& a, const QString& b) {
        // A collator may rank a line of blanks or control characters equal to an empty one;
        // the truly empty entries go first regardless.
        if (a.isEmpty() || b.isEmpty())
            return a.isEmpty() && !b.isEmpty();
        return collator.compare(a, b) < 0;
    });
}

void setReferenceEntries(QComboBox* combo, QStringList entries) {
    sortReferenceEntries(entries);
    const QString text = combo->currentText();
    combo->clear();
    combo->addItems(entries);
    combo->setEditText(text);
}

QStringList referenceEntries(const QComboBox* combo) {
    QStringList entries;
    entries.reserve(combo->count());
    for (int i = 0; i < combo->count(); ++i)
        entries << combo->itemText(i);
    return entries;
}

QStringList splitEditedList(const QString& text) {
    // Whatever line breaks the memo holds, one entry a line.
    const QString unified = storedToMemo(text);
    if (unified.isEmpty())
        return {};
    QStringList lines = unified.split(QLatin1Char('\n'));
    if (unified.endsWith(QLatin1Char('\n')))
        lines.removeLast();
    return lines;
}

} // namespace zelm
