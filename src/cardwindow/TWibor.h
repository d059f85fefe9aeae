#pragma once
#include <QDialog>

namespace zelm {

struct AppContext;
class ZelmApp;

class TWibor : public QDialog {
    Q_OBJECT
public:
    TWibor(AppContext& ctx, ZelmApp& app, QWidget* parent = nullptr);

private:
    AppContext& m_ctx;
    ZelmApp& m_app;
};

} // namespace zelm
