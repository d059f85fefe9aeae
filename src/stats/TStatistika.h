#pragma once
// The statistics window: how many measures of each kind, reason, basis, unit or officer a card
// file holds over a period, as a table and a chart, printed or handed to the spreadsheet. Made
// once; keeps its choices for the run. Counts on a worker thread and follows every change of a
// choice at once.
#include "stats/StatCounting.h"
#include "stats/StatTableModel.h"
#include "stats/StatistikaUi.h"

#include <QDialog>
#include <functional>
#include <memory>

namespace zelm {

struct OfficeSettings;
class Installation;
class Platform;
class ReportLauncher;

class TStatistika : public QDialog {
    Q_OBJECT
public:
    // Where each count reads its cards: a source of its own for each count, read on the
    // counting thread (a register on a server gives it a connection of its own).
    using RegisterReader = std::function<std::shared_ptr<const RecordSource>(StatSource)>;
    // `settings` are read at each use.
    TStatistika(RegisterReader reader, const OfficeSettings& settings, const Installation& inst,
                Platform& platform, ReportLauncher& launcher, QWidget* parent = nullptr);
    ~TStatistika() override;

    // Counts from then on read what `reader` gives (a test's slow source).
    void readRegisterWith(RegisterReader reader) { m_registerReader = std::move(reader); }
    // The menu's «Статистика»: counts afresh (the cards may have changed) and shows the
    // window, modal.
    void NStatistikaClick();

    StatQuery query() const; // the choices as shown
    void recount();          // a new count of the choices; the window shows it when done
    bool counting() const { return m_counting.isRunning(); }
    void waitForCount(); // for tests and the screenshot: the running count has been shown

    // The last count, also when it had nothing to show (what it read is still known).
    const StatTable& table() const { return m_counted; }
    const StatistikaUi& ui() const { return m_ui; }

    void StatExcelClick();
    void StatPechatClick();

protected:
    void done(int result) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showTable(const StatTable& table);
    void showFailure(const QString& message);
    // An empty table and chart, and in their place why (a refused period, an empty file).
    void showNothing(const QString& reason);
    void setBusy(bool busy);
    void drawChart();

    RegisterReader m_registerReader;
    const OfficeSettings& m_settings;
    const Installation& m_inst;
    Platform& m_platform;
    ReportLauncher& m_launcher;
    StatTableModel m_model;
    StatCounting m_counting;
    StatistikaUi m_ui;
    StatTable m_counted;
    StatChartData m_chartData; // drawn again when the chart's width changes
    int m_chartWidth = 0;
};

} // namespace zelm
