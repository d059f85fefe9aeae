#pragma once
// The settings window: the Office version, the owner's postal details and the two backup
// folders of NoKor.vez, the card window's background for this run, and printing itself.
// The edits are a copy of the file made once at creation; the running program keeps the
// values it read at start, except the backup folders chosen with their buttons.
#include <QDialog>

class QLineEdit;
class QPushButton;

class QMainWindow;

namespace zelm {

class Installation;
class Platform;
struct OfficeSettings;
class TdxfColorButton;

class TNastroika : public QDialog {
    Q_OBJECT
public:
    // `cardWindow`: the window whose background the settings store and change.
    TNastroika(Platform& platform, const Installation& inst, OfficeSettings& settings,
               QMainWindow* cardWindow);

    TdxfColorButton* pRezKop() const { return m_pRezKop; }

    void CvetFonaClick();
    void PrintEkranClick();
    void ReadDirBUClick();
    void SaveDirBUClick();
    void ZapNastrClick();

private:
    void buildLayout();
    void FormCreate();
    // Shows the folder dialog; a confirmed folder goes into `edit` and `setting` at once.
    void chooseBackupFolder(QLineEdit* edit, QString& setting);
    QString cardWindowColourText() const;

    Platform& m_platform;
    const Installation& m_inst;
    OfficeSettings& m_settings;
    QMainWindow* m_cardWindow;
    QLineEdit *m_VerOff = nullptr, *m_PochtInd = nullptr, *m_Gorod = nullptr, *m_OblKr = nullptr,
              *m_Raion = nullptr, *m_UlDomKv = nullptr, *m_Firma = nullptr, *m_Dolgnost = nullptr,
              *m_ReadPapka = nullptr, *m_SavePapka = nullptr, *m_HranitIstoriyu = nullptr;
    QPushButton *m_CvetFona = nullptr, *m_PrintEkran = nullptr, *m_ReadDirBU = nullptr,
                *m_SaveDirBU = nullptr, *m_ZapNastr = nullptr;
    TdxfColorButton* m_pRezKop = nullptr;
};

} // namespace zelm
