#include "search/TPoisk.h"

namespace zelm {

TPoisk::TPoisk(AppContext& ctx, ZelmApp& app, QWidget* parent)
    : QDialog(parent), m_ctx(ctx), m_app(app) {
    setObjectName(QStringLiteral("Poisk"));
    setWindowTitle(QStringLiteral("Найти и скопировать в Рабочую картотеку"));
}

} // namespace zelm
