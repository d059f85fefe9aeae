#pragma once
// The access-table editor: every row of Dostup.dat in a grid, saved whole.
#include <QDialog>

class QTableWidget;
class QPushButton;

namespace zelm {

class CardFile;
class Platform;

class TForm5 : public QDialog {
    Q_OBJECT
public:
    TForm5(Platform& platform, CardFile& accessTable, QWidget* parent = nullptr);

    void FormShow();       // loads the table into the grid
    void ZapDostupClick(); // checks every row, then writes the table whole

    QTableWidget* TabDost;
    QPushButton* ZapDostup;
    QPushButton* BitBtn2;

protected:
    void showEvent(QShowEvent* event) override;

private:
    QString cell(int row, int column) const;
    void fitColumns();
    Platform& m_platform;
    CardFile& m_access;
};

} // namespace zelm
