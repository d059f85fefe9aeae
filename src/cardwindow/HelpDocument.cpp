#include "cardwindow/HelpDocument.h"

#include "cardwindow/AppContext.h"
#include "cardwindow/TForm1.h"
#include "cardwindow/Wiring.h"
#include "cardwindow/ZelmApp.h"
#include "platform/Platform.h"
#include "store/CardFile.h"
#include "store/Installation.h"

#include <QAction>
#include <QFile>
#include <QFileInfo>

// The resource lives in a static library, so it is registered by hand.
static void initResources() {
    Q_INIT_RESOURCE(resources);
}

namespace zelm {

void installHelpDocument(const Installation& inst) {
    initResources();
    const QString target = inst.helpDocument();
    if (QFileInfo::exists(target))
        return;
    QFile resource(QStringLiteral(":/zelm/ReadMe.doc"));
    if (!resource.open(QIODevice::ReadOnly))
        return;
    writeFileAtomically(target, resource.readAll());
}

void openHelpDocument(AppContext& ctx) {
    auto word = ctx.platform.office().createWord();
    word->documentsOpen(ctx.inst.helpDocument());
    word->setVisible(true);
}

void wireHelpCommands(ZelmApp& app) {
    TForm1* w = app.form1();
    QObject::connect(w->ui().N2, &QAction::triggered, w,
                     [w] { w->runCommand([w] { openHelpDocument(w->ctx()); }); });
}

} // namespace zelm
