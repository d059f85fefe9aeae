// The card window and the server's news of the data the workstations share.
#include "access/TZapusk.h"
#include "app/ZelmApp.h"
#include "cardwindow/TForm1.h"
#include "server/ChangeFeed.h"
#include "server/ServerRegister.h"
#include "store/SharedData.h"

#include <QSysInfo>

namespace zelm {

void wireServerIdentity(ZelmApp& app, ServerRegister& server) {
    QObject::connect(app.zapusk(), &TZapusk::passwordAccepted, app.zapusk(), [&app, &server] {
        server.setIdentity(app.user().UserFIO, QSysInfo::machineHostName());
    });
}

void followSharedDataChanges(ZelmApp& app, ServerRegister& server, ChangeFeed& feed) {
    TForm1* w = app.form1();
    // This workstation's own changes are shown already.
    auto own = [&server](int originPid) { return server.connection().backendPid() == originPid; };
    QObject::connect(&feed, &ChangeFeed::referenceListChanged, w,
                     [w, own](const QString& fileName, int originPid) {
                         if (!own(originPid))
                             w->runCommand([w, &fileName] { w->reloadReferenceList(fileName); });
                     });
    QObject::connect(
        &feed, &ChangeFeed::attachmentsChanged, w, [w, own](qint32 card, int originPid) {
            if (own(originPid) || card == 0)
                return;
            if (w->shownBoxes().number.trimmed().toInt() != card)
                return;
            w->runCommand([w, card] {
                w->setAttachmentCount(w->sharedData().attachments().countAttachments(card));
            });
        });
    QObject::connect(&feed, &ChangeFeed::reloadAll, w,
                     [w] { w->runCommand([w] { w->loadReferenceLists(); }); });
}

} // namespace zelm
