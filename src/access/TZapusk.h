#pragma once
// The login window: the application's main window. It reads the access table, checks the
// password and opens the card window for the user it recognises.
#include "store/AccessTable.h"

#include <QDialog>

class QLineEdit;
class QGroupBox;

namespace zelm {

struct AppContext;
class ZelmApp;
class TdxfColorButton;

class TZapusk : public QDialog {
    Q_OBJECT
public:
    TZapusk(AppContext& ctx, ZelmApp& app, QWidget* parent = nullptr);

    void FormCreate();     // opens the access table and sets the default user
    void ProveritDostup(); // the password check
    void DaleeClick();
    void OpisProgrClick();

    QList<AccessRow> DostupTab;
    int DostupCount = 0;
    bool DostupOK = false;
    int LoginTries = 0;

    QLineEdit* Komentar;
    QGroupBox* Registrac;
    QLineEdit* NomZamka;
    TdxfColorButton* Dalee;
    TdxfColorButton* dxfColorButton1;
    TdxfColorButton* OpisProgr;

private:
    AppContext& m_ctx;
    ZelmApp& m_app;
};

} // namespace zelm
