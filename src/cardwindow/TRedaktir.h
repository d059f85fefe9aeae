#pragma once
// The list editor: one memo holding a reference list, one entry per line. There is no way to
// cancel; whatever the memo holds when the window is closed is the new list, once the list file
// can hold all of it.
#include <QDialog>
#include <functional>

class QPlainTextEdit;

namespace zelm {

class TRedaktir : public QDialog {
    Q_OBJECT
public:
    explicit TRedaktir(QWidget* parent = nullptr);

    // Shows `text` under `title` modally and returns the memo's text once the window is closed.
    QString edit(const QString& title, const QString& text);

    // Where the refusal goes when the window is closed holding text the list file cannot hold
    // (Cp1251Refusal.h): the window then stays open with the text for the user to put right.
    void setRefusalNotice(std::function<void(const QString&)> notice);

    QPlainTextEdit* Spisok = nullptr;

    void done(int result) override;

private:
    std::function<void(const QString&)> m_notice;
};

} // namespace zelm
