#pragma once
// The user the login accepted, for the whole run.
#include <QString>

namespace zelm {

struct CurrentUser {
    QString UserFIO;
    QString UserDostup;             // the access letter
    bool serviceMenuBarred = false; // the login barred "Сервис" for this run

    // Only the chief administrator deletes cards for good and uses the Service menu.
    bool isChiefAdministrator() const { return UserDostup == QLatin1String("Z"); }
};

} // namespace zelm
