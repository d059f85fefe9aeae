#include "cardwindow/TRedaktir.h"

namespace zelm {

TRedaktir::TRedaktir(AppContext& ctx, ZelmApp& app, QWidget* parent)
    : QDialog(parent), m_ctx(ctx), m_app(app) {
    setObjectName(QStringLiteral("Redaktir"));
    setWindowTitle(QStringLiteral("Редактирование справочника"));
}

} // namespace zelm
