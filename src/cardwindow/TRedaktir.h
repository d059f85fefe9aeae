#pragma once
// The list editor: one memo holding a reference list, one entry per line. There is no way to
// cancel; whatever the memo holds when the window is closed is the new list.
#include <QDialog>

class QPlainTextEdit;

namespace zelm {

class TRedaktir : public QDialog {
    Q_OBJECT
public:
    explicit TRedaktir(QWidget* parent = nullptr);

    // Shows `text` under `title` modally and returns the memo's text once the window is closed.
    QString edit(const QString& title, const QString& text);

    QPlainTextEdit* Spisok = nullptr;

private:
};

} // namespace zelm
