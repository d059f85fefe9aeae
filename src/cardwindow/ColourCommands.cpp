// The Service menu's two colour items: the card window's background and the card group's.
#include "cardwindow/CardWindowCommands.h"
#include "cardwindow/Form1Internal.h"
#include "platform/Platform.h"
#include "store/ColourText.h"
#include "store/UnitGlo.h"
#include "widgets/Colours.h"

#include <QGroupBox>

namespace zelm {
namespace {

// Shows the colour dialog for `target`; a chosen colour is painted at once and stored under
// `key` for the next start.
void chooseStoredColour(TForm1& w, QWidget* target, const QString& key) {
    const auto colour =
        w.platform().dialogs().chooseColour(&w, target->palette().color(QPalette::Window));
    if (!colour)
        return;
    setBackground(target, *colour);
    SetColourSetting(w.session().installation().coloursFile(), colourToText(fromQColor(*colour)),
                     key);
}

} // namespace

void wireColourCommands(TForm1& w) {
    TForm1* p = &w;
    w.onClick("N15", [p] { chooseStoredColour(*p, p->centralWidget(), QStringLiteral("Form1")); });
    w.onClick("N16", [p] { chooseStoredColour(*p, form1Ui(*p).Organ, QStringLiteral("Organ")); });
}

} // namespace zelm
