// The card window and the server's news of the data the workstations share.
#include "access/TZapusk.h"
#include "app/ZelmApp.h"
#include "cardwindow/TForm1.h"
#include "remote/RegisterFeed.h"
#include "server/ServerRegister.h"
#include "store/SharedData.h"

#include <QSysInfo>

namespace zelm {

void wireServerIdentity(ZelmApp& app, ServerRegister& server) {
    QObject::connect(app.zapusk(), &TZapusk::passwordAccepted, app.zapusk(), [&app, &server] {
        server.setIdentity(app.user().UserFIO, QSysInfo::machineHostName());
    });
}

void followSharedDataChanges(ZelmApp& app, RegisterFeed& feed) {
    TForm1* w = app.form1();
    QObject::connect(&feed, &RegisterFeed::referenceListChanged, w, [w](const QString& fileName) {
        w->runCommand([w, &fileName] { w->reloadReferenceList(fileName); });
    });
    QObject::connect(&feed, &RegisterFeed::attachmentsChanged, w, [w](qint32 card) {
        if (card == 0 || w->shownBoxes().number.trimmed().toInt() != card)
            return;
        w->runCommand([w, card] {
            w->setAttachmentCount(w->sharedData().attachments().countAttachments(card));
        });
    });
    QObject::connect(&feed, &RegisterFeed::reloadAll, w,
                     [w] { w->runCommand([w] { w->loadReferenceLists(); }); });
    QObject::connect(&feed, &RegisterFeed::connectionLost, w, &TForm1::showFeedLost);
    QObject::connect(&feed, &RegisterFeed::resumed, w, &TForm1::hideFeedLost);
}

} // namespace zelm
