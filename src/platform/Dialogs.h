#pragma once
// Message boxes and the file, folder and colour dialogs. Windows never call QMessageBox or
// QFileDialog themselves, so tests can answer every dialog.
#include <QColor>
#include <QString>
#include <QStringList>
#include <optional>

class QWidget;

namespace zelm {

class Dialogs {
public:
    virtual ~Dialogs() = default;
    // An exclamation icon and an OK button.
    virtual void notice(QWidget* parent, const QString& text, const QString& caption) = 0;
    // A question icon with Yes and No; true for Yes.
    virtual bool ask(QWidget* parent, const QString& text, const QString& caption) = 0;
    // A question whose answers are the buttons given, in order: the index of the one pressed,
    // -1 when the box was closed without an answer.
    virtual int choose(QWidget* parent, const QString& text, const QString& caption,
                       const QStringList& buttons) = 0;
    // One line of text to enter, shown with `text` to start from; nullopt when cancelled.
    virtual std::optional<QString> enterText(QWidget* parent, const QString& caption,
                                             const QString& label, const QString& text) = 0;
    // A password to enter, its characters not shown; nullopt when cancelled.
    virtual std::optional<QString> enterPassword(QWidget* parent, const QString& caption,
                                                 const QString& label) {
        return enterText(parent, caption, label, QString());
    }
    // The standard error display of a failed command (file and conversion errors).
    virtual void error(QWidget* parent, const QString& text) = 0;
    // Empty result when cancelled.
    virtual QString openFile(QWidget* parent, const QString& caption, const QString& folder,
                             const QString& filter) = 0;
    virtual QString chooseFolder(QWidget* parent, const QString& caption,
                                 const QString& folder) = 0;
    virtual std::optional<QColor> chooseColour(QWidget* parent, const QColor& initial) = 0;
};

} // namespace zelm
