#include "access/TNastroika.h"

namespace zelm {

TNastroika::TNastroika(AppContext& ctx, ZelmApp& app, QWidget* parent)
    : QDialog(parent), m_ctx(ctx), m_app(app) {
    setObjectName(QStringLiteral("Nastroika"));
    setWindowTitle(QStringLiteral("Настройка"));
}

} // namespace zelm
