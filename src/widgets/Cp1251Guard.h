#pragma once
// Tells the user, as soon as they leave a field, that it holds text the data files cannot
// store (Cp1251Refusal.h), rather than when the save refuses it.
#include <QList>
#include <QString>
#include <functional>
#include <utility>

class QWidget;

namespace zelm {

// The text a field holds: a line edit's, an editable combo box's, a memo's.
QString fieldText(const QWidget* field);

// Watches `field` (a QLineEdit, an editable QComboBox or a QPlainTextEdit): when the focus
// leaves it while it holds text Windows-1251 cannot hold, `tell` gets the refusal naming
// `what` ("Поле «Вид ОРМ»"). The same text is told once; the field keeps it for the user to
// put right.
void refuseUnencodableOnLeave(QWidget* field, const QString& what,
                              std::function<void(const QString&)> tell);

// The refusal for the first of `fields` that holds such text, each named by its `what`; empty
// when all of them can be stored.
QString firstUnencodableField(const QList<std::pair<QWidget*, QString>>& fields);

} // namespace zelm
