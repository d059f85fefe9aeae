#include "access/TZapusk.h"

namespace zelm {

TZapusk::TZapusk(AppContext& ctx, ZelmApp& app, QWidget* parent)
    : QDialog(parent), m_ctx(ctx), m_app(app) {
    setObjectName(QStringLiteral("Zapusk"));
    setWindowTitle(QStringLiteral("Зельм 13"));
}

} // namespace zelm
