#include "output/TKonverti.h"

namespace zelm {

TKonverti::TKonverti(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Konverti"));
    setWindowTitle(QStringLiteral("На конверт напечатать информацию"));
}

} // namespace zelm
