#pragma once
#include <QDialog>

namespace zelm {

struct AppContext;
class ZelmApp;

class TDokKart : public QDialog {
    Q_OBJECT
public:
    TDokKart(AppContext& ctx, ZelmApp& app, QWidget* parent = nullptr);

private:
    AppContext& m_ctx;
    ZelmApp& m_app;
};

} // namespace zelm
