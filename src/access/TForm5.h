#pragma once
// The access-table editor: every row of the access table in a grid, saved whole. Where several
// workstations share the table, one administrator at a time edits it; the others see it only.
#include <QAbstractItemView>
#include <QByteArray>
#include <QDialog>

class QTableWidget;
class QPushButton;

namespace zelm {

class Platform;
class SharedData;

class TForm5 : public QDialog {
    Q_OBJECT
public:
    TForm5(Platform& platform, SharedData& shared, QWidget* parent = nullptr);

    void FormShow();       // loads the table into the grid
    void ZapDostupClick(); // checks every row, then writes the table whole

    QTableWidget* TabDost;
    QPushButton* ZapDostup;
    QPushButton* BitBtn2;

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    QString cell(int row, int column) const;
    void fitColumns();
    // Takes the editor for this workstation; false when the table is only to be seen.
    bool beginEditing();
    void setEditable(bool editable);
    void endEdit();

    Platform& m_platform;
    SharedData& m_shared;
    bool m_editing = false;  // this workstation holds the editor
    bool m_loaded = false;   // the last FormShow read the table
    QByteArray m_shownTable; // as last shown or saved here
    QAbstractItemView::EditTriggers m_editTriggers;
};

} // namespace zelm
