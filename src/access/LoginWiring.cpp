// The login window ends the program when the card window closes; the Service menu's
// "Пароли" opens the access-table editor.
#include "access/TForm5.h"
#include "access/TZapusk.h"
#include "cardwindow/TForm1.h"
#include "cardwindow/Wiring.h"
#include "cardwindow/ZelmApp.h"

#include <QAction>

namespace zelm {

void wireLoginCommands(ZelmApp& app) {
    TForm1* w = app.form1();
    TZapusk* login = app.zapusk();
    QObject::connect(w, &TForm1::closedForGood, login, &QDialog::close);
    TForm5* editor = app.form5();
    QObject::connect(w->ui().N9, &QAction::triggered, editor, [editor] { editor->show(); });
}

} // namespace zelm
