#include "cardwindow/HelpDocument.h"

#include "platform/Platform.h"
#include "store/CardFile.h"
#include "store/Installation.h"

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

void openHelpDocument(Platform& platform, const Installation& inst) {
    auto word = platform.office().createWord();
    word->documentsOpen(inst.helpDocument());
    word->setVisible(true);
}

void openNetworkHelp(Platform& platform, const Installation& inst) {
    auto word = platform.office().createWord();
    word->documentsOpen(inst.helpDocument());
    word->findSetForward(true);
    word->findSetText(QStringLiteral("Если у Вас сеть"));
    word->findExecute();
    word->findExecute();
    word->setVisible(true);
}

} // namespace zelm
