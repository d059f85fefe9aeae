#include "attach/TDokKart.h"

namespace zelm {

TDokKart::TDokKart(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("DokKart"));
    setWindowTitle(QStringLiteral("Файлы, прикреплённые к карточке"));
}

} // namespace zelm
