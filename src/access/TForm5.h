#pragma once
#include <QDialog>

namespace zelm {

struct AppContext;
class ZelmApp;

class TForm5 : public QDialog {
    Q_OBJECT
public:
    TForm5(AppContext& ctx, ZelmApp& app, QWidget* parent = nullptr);

private:
    AppContext& m_ctx;
    ZelmApp& m_app;
};

} // namespace zelm
