#include "access/TForm5.h"

namespace zelm {

TForm5::TForm5(AppContext& ctx, ZelmApp& app, QWidget* parent)
    : QDialog(parent), m_ctx(ctx), m_app(app) {
    setObjectName(QStringLiteral("Form5"));
    setWindowTitle(QStringLiteral("Буква Z должна быть хотя бы у одного"));
}

} // namespace zelm
