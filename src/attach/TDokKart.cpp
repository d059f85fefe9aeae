#include "attach/TDokKart.h"

namespace zelm {

TDokKart::TDokKart(AppContext& ctx, ZelmApp& app, QWidget* parent)
    : QDialog(parent), m_ctx(ctx), m_app(app) {
    setObjectName(QStringLiteral("DokKart"));
    setWindowTitle(QStringLiteral("Файлы, прикреплённые к карточке"));
}

} // namespace zelm
