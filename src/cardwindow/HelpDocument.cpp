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

void openNetworkHelp(Platform& platform, const Installation& inst, QWidget* parent) {
    const QString phrase = QStringLiteral("Если у Вас сеть");
    auto word = platform.office().createWord();
    word->documentsOpen(inst.helpDocument());
    word->findSetForward(true);
    word->findSetText(phrase);
    word->findExecute();
    word->findExecute();
    word->setVisible(true);
    // A viewer other than Word cannot be told where to go, so the user is.
    platform.dialogs().notice(
        parent,
        QStringLiteral("Восстановление программы и работа в сети описаны в разделе, "
                       "который начинается со второго «%1» в справке.")
            .arg(phrase),
        QStringLiteral("Восстановление программы. Сеть."));
}

} // namespace zelm
