#pragma once
// The card window as the search window and the Working commands see it: its lists and their
// selection, through the search subsystem's own small interface.
#include "search/CardListsView.h"

namespace zelm {

class TForm1;

class CardWindowLists final : public CardListsView {
public:
    explicit CardWindowLists(TForm1& w) : m_w(w) {}

    QWidget* window() override;
    Platform& platform() override;
    bool runCommand(const std::function<void()>& command) override;
    QStringList referenceEntries(const QString& comboBox) const override;
    void selectMainRow(int row) override;
    int workingRowCount() const override;
    std::int32_t workingRowNumber(int row) const override;
    bool workingRowShowsNumber(int row) const override;
    int selectedWorkingRow() const override;
    void selectWorkingRow(int row) override;
    bool isWorkingListInView() const override;
    void bringWorkingListToFront() override;
    QColor workingListBackground() const override;

private:
    TForm1& m_w;
};

} // namespace zelm
