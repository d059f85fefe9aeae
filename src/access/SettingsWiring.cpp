// The Service menu's settings window and the two stored colours of the card window.
#include "access/TNastroika.h"
#include "cardwindow/Colours.h"
#include "cardwindow/TForm1.h"
#include "cardwindow/Wiring.h"
#include "cardwindow/ZelmApp.h"
#include "platform/Platform.h"
#include "store/ColourText.h"
#include "store/UnitGlo.h"

#include <QAction>
#include <QGroupBox>

namespace zelm {
namespace {

// Shows the colour dialog (WagnostColor) for `target`; a chosen colour is painted at once and
// stored under `key` for the next start.
void chooseStoredColour(TForm1* w, QWidget* target, const QString& key) {
    AppContext& ctx = w->ctx();
    const auto colour =
        ctx.platform.dialogs().chooseColour(w, target->palette().color(QPalette::Window));
    if (!colour)
        return;
    setBackground(target, *colour);
    w->runCommand(
        [&] { SetColourSetting(ctx.inst.coloursFile(), colourToText(fromQColor(*colour)), key); });
}

} // namespace

void wireSettingsCommands(ZelmApp& app) {
    TForm1* w = app.form1();
    TNastroika* settings = app.nastroika();
    QObject::connect(w->ui().N8, &QAction::triggered, w, [settings] { settings->exec(); });
    QObject::connect(w->ui().N15, &QAction::triggered, w,
                     [w] { chooseStoredColour(w, w->centralWidget(), QStringLiteral("Form1")); });
    QObject::connect(w->ui().N16, &QAction::triggered, w,
                     [w] { chooseStoredColour(w, w->ui().Organ, QStringLiteral("Organ")); });
}

} // namespace zelm
