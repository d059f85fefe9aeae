// The card window's commands that other subsystems carry out, by what they do rather than by
// the names of their controls.
#include "cardwindow/Form1Internal.h"
#include "widgets/TdxfColorButton.h"

#include <QAbstractButton>
#include <QAction>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

namespace zelm {

QObject* TForm1::commandControl(Command command) const {
    const Form1Ui& ui = *m_ui;
    switch (command) {
    case Command::Search:
        return ui.nPoisk;
    case Command::ShownToWorking:
        return ui.nGlRab;
    case Command::EmptyWorking:
        return ui.RabZero;
    case Command::RemoveFromWorking:
        return ui.DelRab;
    case Command::Passwords:
        return ui.N9;
    case Command::Settings:
        return ui.N8;
    case Command::ToServer:
        return ui.nToServer;
    case Command::FromServer:
        return ui.nFromServer;
    case Command::Exit:
        return ui.N3;
    case Command::Restore:
        return ui.BackUp1;
    case Command::AttachedFiles:
        return ui.PuskDokKart;
    case Command::PrintCard:
        return ui.N13;
    case Command::PrintList:
        return ui.PRNSpisok;
    case Command::CardTemplate:
        return ui.PolnPicrtf1;
    case Command::ListTemplate:
        return ui.KnigaPic1;
    case Command::StatisticsTemplate:
        return findChild<QAction*>(QStringLiteral("StatPic1"));
    case Command::Statistics:
        return findChild<QAction*>(QStringLiteral("NStatistika"));
    case Command::Envelopes:
        return ui.Konvert;
    case Command::ResultDocument:
        return ui.Otvet;
    case Command::NoteDocument:
        return ui.WordEst;
    case Command::ResultTemplate:
        return ui.N10;
    case Command::NoteTemplate:
        return ui.N11;
    case Command::WorkingToExcel:
        return ui.RabExc;
    case Command::ArchiveToExcel:
        return ui.ArhExc;
    }
    return nullptr;
}

void TForm1::onCommand(Command command, std::function<void()> run) {
    QObject* control = commandControl(command);
    auto runIt = [this, run = std::move(run)] { runCommand(run); };
    if (auto* button = qobject_cast<QAbstractButton*>(control))
        connect(button, &QAbstractButton::clicked, this, runIt);
    else if (auto* action = qobject_cast<QAction*>(control))
        connect(action, &QAction::triggered, this, runIt);
    else
        Q_ASSERT_X(false, "TForm1::onCommand", "a command without its control");
}

void TForm1::setCommandEnabled(Command command, bool enabled) {
    QObject* control = commandControl(command);
    if (auto* widget = qobject_cast<QWidget*>(control))
        widget->setEnabled(enabled);
    else if (auto* action = qobject_cast<QAction*>(control))
        action->setEnabled(enabled);
}

TForm1::ShownBoxes TForm1::shownBoxes() const {
    const Form1Ui& ui = *m_ui;
    return ShownBoxes{ui.DaWrSozd->text(),        ui.DWKorr->text(),
                      ui.AdminFIO->text(),        ui.GurN->text(),
                      ui.Klu4Form1->text(),       ui.Otmetka->text(),
                      ui.Rezultat->toPlainText(), ui.Prime4->toPlainText()};
}

} // namespace zelm
