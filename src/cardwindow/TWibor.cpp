#include "cardwindow/TWibor.h"

#include <QHBoxLayout>
#include <QPushButton>

namespace zelm {

TWibor::TWibor(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Wibor"));
    setWindowTitle(QStringLiteral("Действие"));
    setModal(true);
    auto* row = new QHBoxLayout(this);
    auto makeButton = [this, row](const char* name, const QString& caption, int choice) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
        b->setMinimumSize(150, 40);
        b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        connect(b, &QPushButton::clicked, this, [this, choice] { choose(choice); });
        row->addWidget(b, 1);
        return b;
    };
    Redak = makeButton("Redak", QStringLiteral("Редактировать"), 1);
    Udalit = makeButton("Udalit", QStringLiteral("Удалить"), 2);
    Otmena = makeButton("Otmena", QStringLiteral("Не трогать"), 3);
    // A fixed-size dialog: three equal buttons side by side.
    row->setSizeConstraint(QLayout::SetFixedSize);
}

void TWibor::choose(int choice) {
    m_choice = choice;
    accept();
}

int TWibor::ask(const QString& first, const QString& second, const QString& third,
                const QString& title) {
    setWindowTitle(title);
    Redak->setText(first);
    Udalit->setText(second);
    Otmena->setText(third);
    // Every showing starts without a choice; the close box and Esc leave it so.
    m_choice = 0;
    exec();
    return m_choice;
}

int AskChoice(TWibor& dialog, const QString& first, const QString& second, const QString& third,
              const QString& title) {
    return dialog.ask(first, second, third, title);
}

} // namespace zelm
