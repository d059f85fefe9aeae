#pragma once
// Small makers of the controls the windows are built from: every control gets its name,
// and the date pickers and combo boxes behave alike in every window.
#include <QComboBox>
#include <QDate>
#include <QDateEdit>
#include <QGroupBox>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QString>

#include "widgets/TdxfColorButton.h"

namespace zelm::controls {

template <class W> W* named(W* w, const char* name, const QString& hint = {}) {
    w->setObjectName(QLatin1String(name));
    if (!hint.isEmpty())
        w->setToolTip(hint);
    return w;
}

inline QGroupBox* group(const char* name, const QString& title) {
    return named(new QGroupBox(title), name);
}

inline QLayout* tight(QLayout* l) {
    l->setContentsMargins(4, 2, 4, 2);
    l->setSpacing(3);
    return l;
}

inline QDateEdit* datePicker(const char* name, const QString& hint = {}) {
    auto* d = named(new QDateEdit, name, hint);
    d->setCalendarPopup(true);
    d->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    d->setMinimumDate(QDate(1899, 12, 30));
    return d;
}

inline QLineEdit* lineEdit(const char* name, int maxLength = 0, bool readOnly = false,
                           const QString& hint = {}) {
    auto* e = named(new QLineEdit, name, hint);
    if (maxLength > 0)
        e->setMaxLength(maxLength);
    e->setReadOnly(readOnly);
    return e;
}

inline QPushButton* pushButton(const char* name, const QString& text, const QString& hint = {}) {
    return named(new QPushButton(text), name, hint);
}

inline TdxfColorButton* colourButton(const char* name, const QStringList& caption,
                                     const QString& hint, const QColor& colour, QSize size) {
    auto* b = named(new TdxfColorButton, name, hint);
    b->setCaption(caption);
    b->setColor(colour);
    b->setFixedSize(size);
    return b;
}

// An editable combo box that offers its list but takes any text, at most `capacity` characters
// when a capacity is given.
inline QComboBox* editableCombo(const char* name, int capacity, int minimumContents) {
    auto* c = named(new QComboBox, name);
    c->setEditable(true);
    c->setInsertPolicy(QComboBox::NoInsert);
    c->setMaxVisibleItems(20);
    c->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    c->setMinimumContentsLength(minimumContents);
    if (capacity > 0 && c->lineEdit())
        c->lineEdit()->setMaxLength(capacity);
    return c;
}

} // namespace zelm::controls
