#include "cardwindow/CardWindowCommands.h"

#include "cardwindow/HelpDocument.h"
#include "cardwindow/TForm1.h"
#include "cardwindow/TIstoriya.h"

namespace zelm {

void wireOwnCommands(TForm1& w) {
    wireNavigation(w);
    wireEditingCommands(w);
    wireMarkAndArchiveCommands(w);
    wireColourCommands(w);
    TForm1* p = &w;
    w.onClick("N2", [p] { openHelpDocument(p->platform(), p->session().installation()); });
    w.onClick("NIstoriya", [p] { NIstoriyaClick(*p); });
}

} // namespace zelm
