#pragma once
// The three-way choice dialog: three captions and a title in, the button pressed out.
#include <QDialog>

class QPushButton;

namespace zelm {

class TWibor : public QDialog {
    Q_OBJECT
public:
    explicit TWibor(QWidget* parent = nullptr);

    // 0 = closed without a choice, 1 = Redak, 2 = Udalit, 3 = Otmena.
    int choice() const { return m_choice; }
    // Shows the dialog modally with these captions and returns the choice.
    int ask(const QString& first, const QString& second, const QString& third,
            const QString& title);

    QPushButton* Redak = nullptr;
    QPushButton* Udalit = nullptr;
    QPushButton* Otmena = nullptr;

private:
    void choose(int choice);

    int m_choice = 0;
};

// The question every caller asks: 1, 2 or 3 for the button pressed, 0 when the dialog was
// closed by its close box (callers treat 0 like their do-nothing third choice).
int AskChoice(TWibor& dialog, const QString& first, const QString& second, const QString& third,
              const QString& title);

} // namespace zelm
