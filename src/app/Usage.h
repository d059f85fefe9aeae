#pragma once
// What `zelm --help` and `zelm --version` print, in Russian or English after the user's locale.
#include <QString>

namespace zelm {

QString zelmHelp(bool russian);
QString zelmVersion();

} // namespace zelm
