#pragma once
// The login window: the application's main window. It reads the access table, checks the
// password and opens the card window for the user it recognises.
#include "store/AccessTable.h"

#include <QDialog>

class QComboBox;
class QLineEdit;
class QGroupBox;

namespace zelm {

class Platform;
class SharedData;
class TdxfColorButton;
struct CurrentUser;

class TZapusk : public QDialog {
    Q_OBJECT
public:
    TZapusk(Platform& platform, SharedData& shared, CurrentUser& user, QWidget* parent = nullptr);

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
    // Who enters: shown where the server checks passwords, which it does for a name.
    QComboBox* KtoIdet;
    TdxfColorButton* Dalee;
    TdxfColorButton* dxfColorButton1;
    TdxfColorButton* OpisProgr;

signals:
    void passwordAccepted();  // the card window is to be shown for the user
    void serviceMenuBarred(); // for the whole run
    void helpRequested();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void checkOnServer(const QString& entry);

    Platform& m_platform;
    SharedData& m_shared;
    CurrentUser& m_user;
};

} // namespace zelm
