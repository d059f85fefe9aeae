#include "cardwindow/TWibor.h"

namespace zelm {

TWibor::TWibor(AppContext& ctx, ZelmApp& app, QWidget* parent)
    : QDialog(parent), m_ctx(ctx), m_app(app) {
    setObjectName(QStringLiteral("Wibor"));
    setWindowTitle(QStringLiteral("Действие"));
}

} // namespace zelm
