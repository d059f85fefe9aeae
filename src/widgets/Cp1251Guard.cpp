#include "widgets/Cp1251Guard.h"

#include "store/Cp1251Refusal.h"

#include <QComboBox>
#include <QEvent>
#include <QLineEdit>
#include <QPlainTextEdit>

namespace zelm {
namespace {

class LeaveWatcher : public QObject {
public:
    LeaveWatcher(QWidget* field, QString what, std::function<void(const QString&)> tell)
        : QObject(field), m_field(field), m_what(std::move(what)), m_tell(std::move(tell)) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::FocusOut) {
            const QString text = fieldText(m_field);
            const QString refusal = cp1251Refusal(m_what, text);
            // The message box itself takes the focus: the same text is not told again.
            if (!refusal.isEmpty() && text != m_told) {
                m_told = text;
                m_tell(refusal);
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QWidget* m_field;
    QString m_what;
    std::function<void(const QString&)> m_tell;
    QString m_told;
};

} // namespace

QString fieldText(const QWidget* field) {
    if (const auto* line = qobject_cast<const QLineEdit*>(field))
        return line->text();
    if (const auto* combo = qobject_cast<const QComboBox*>(field))
        return combo->currentText();
    if (const auto* memo = qobject_cast<const QPlainTextEdit*>(field))
        return memo->toPlainText();
    return {};
}

void refuseUnencodableOnLeave(QWidget* field, const QString& what,
                              std::function<void(const QString&)> tell) {
    auto* watcher = new LeaveWatcher(field, what, std::move(tell));
    field->installEventFilter(watcher);
    // An editable combo box's typing happens in its line edit, which the focus leaves too.
    if (auto* combo = qobject_cast<QComboBox*>(field); combo && combo->lineEdit())
        combo->lineEdit()->installEventFilter(watcher);
}

QString firstUnencodableField(const QList<std::pair<QWidget*, QString>>& fields) {
    for (const auto& [field, what] : fields) {
        const QString refusal = cp1251Refusal(what, fieldText(field));
        if (!refusal.isEmpty())
            return refusal;
    }
    return {};
}

} // namespace zelm
