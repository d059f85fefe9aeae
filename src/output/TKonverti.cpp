#include "output/TKonverti.h"

namespace zelm {

TKonverti::TKonverti(AppContext& ctx, ZelmApp& app, QWidget* parent)
    : QDialog(parent), m_ctx(ctx), m_app(app) {
    setObjectName(QStringLiteral("Konverti"));
    setWindowTitle(QStringLiteral("На конверт напечатать информацию"));
}

} // namespace zelm
