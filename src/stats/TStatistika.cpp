#include "stats/TStatistika.h"

#include "platform/Office.h"
#include "platform/Platform.h"
#include "stats/StatChart.h"
#include "stats/StatOutput.h"
#include "stats/StatTableView.h"
#include "store/DayCount.h"
#include "store/FileError.h"
#include "store/Settings.h"
#include "widgets/TdxfColorButton.h"

#include <QChart>
#include <QChartView>
#include <QEvent>
#include <QHeaderView>

namespace zelm {

TStatistika::TStatistika(RegisterReader reader, const OfficeSettings& settings,
                         const Installation& inst, Platform& platform, ReportLauncher& launcher,
                         QWidget* parent)
    : QDialog(parent), m_registerReader(std::move(reader)), m_settings(settings), m_inst(inst),
      m_platform(platform), m_launcher(launcher), m_ui(buildStatistikaUi(this, &m_model)) {
    const QDate today = currentDateTime().date();
    m_ui.StatS->setDate(QDate(today.year(), 1, 1));
    m_ui.StatPo->setDate(today);
    m_ui.StatProgress->setVisible(false);

    for (QComboBox* box : {m_ui.StatIstochnik, m_ui.StatStroki, m_ui.StatStolbcy})
        connect(box, &QComboBox::currentIndexChanged, this, &TStatistika::recount);
    for (QDateEdit* edit : {m_ui.StatS, m_ui.StatPo})
        connect(edit, &QDateEdit::dateChanged, this, &TStatistika::recount);
    connect(m_ui.StatExcel, &QAbstractButton::clicked, this, &TStatistika::StatExcelClick);
    connect(m_ui.StatPechat, &QAbstractButton::clicked, this, &TStatistika::StatPechatClick);
    connect(&m_counting, &StatCounting::progressChanged, m_ui.StatProgress,
            &QProgressBar::setValue);
    connect(&m_counting, &StatCounting::finished, this, &TStatistika::showTable);
    connect(&m_counting, &StatCounting::failed, this, &TStatistika::showFailure);
    m_ui.StatGrafik->installEventFilter(this);
}

TStatistika::~TStatistika() = default;

StatQuery TStatistika::query() const {
    StatQuery q;
    q.source = static_cast<StatSource>(m_ui.StatIstochnik->currentIndex());
    q.field = static_cast<StatField>(m_ui.StatStroki->currentIndex());
    q.columns = static_cast<StatColumns>(m_ui.StatStolbcy->currentIndex());
    q.from = m_ui.StatS->date();
    q.to = m_ui.StatPo->date();
    return q;
}

void TStatistika::NStatistikaClick() {
    recount();
    exec();
}

void TStatistika::recount() {
    const StatQuery q = query();
    const QString problem = statQueryProblem(q);
    if (!problem.isEmpty()) {
        m_counting.cancel();
        showNothing(problem);
        return;
    }
    std::shared_ptr<const RecordSource> source;
    try {
        source = m_registerReader(q.source);
    } catch (const FileError& e) {
        m_counting.cancel();
        showFailure(e.displayText());
        return;
    }
    setBusy(true);
    m_counting.start(std::move(source), q);
}

void TStatistika::waitForCount() {
    m_counting.waitForFinished();
}

void TStatistika::setBusy(bool busy) {
    m_ui.StatProgress->setValue(0);
    m_ui.StatProgress->setVisible(busy);
    m_ui.StatExcel->setEnabled(!busy);
    m_ui.StatPechat->setEnabled(!busy);
    if (busy)
        m_ui.StatItog->setText(QStringLiteral("Идёт подсчёт…"));
}

namespace {

QString emptyCountText(const StatTable& table) {
    if (table.cardsRead == 0) {
        switch (table.query.source) {
        case StatSource::Main:
            return QStringLiteral("В Главной картотеке нет карточек.");
        case StatSource::Working:
            return QStringLiteral("В Рабочей картотеке нет карточек.");
        case StatSource::Archive:
            return QStringLiteral("В Архиве нет карточек.");
        }
    }
    if (table.cardsCounted == 0)
        return QStringLiteral(
                   "За период нет карточек с датой мероприятия (прочитано карточек: %1).")
            .arg(table.cardsRead);
    return {};
}

} // namespace

void TStatistika::showTable(const StatTable& table) {
    const QString empty = emptyCountText(table);
    if (!empty.isEmpty()) {
        showNothing(empty);
        m_counted = table;
        m_ui.StatItog->setText(
            QStringLiteral("Прочитано карточек: %1, учтено за период: 0").arg(table.cardsRead));
        return;
    }
    setBusy(false);
    m_ui.StatStranicy->setCurrentWidget(m_ui.StatRazdel);
    m_counted = table;
    m_model.setTable(table);
    m_ui.StatTab->fitAndRewind();
    m_chartData = statChartData(table);
    drawChart();
    m_ui.chart->setTitle(statFieldCaption(table.query.field));
    QString itog = QStringLiteral("Прочитано карточек: %1, учтено за период: %2")
                       .arg(table.cardsRead)
                       .arg(table.cardsCounted);
    if (table.otherValues > 0)
        itog += QStringLiteral("; значений %1, из них %2 редких — в строке «%3»")
                    .arg(table.values)
                    .arg(table.otherValues)
                    .arg(otherRowsTitle());
    m_ui.StatItog->setText(itog);
}

void TStatistika::drawChart() {
    m_chartWidth = m_ui.StatGrafik->width();
    // The names take up to a third of the chart (as much as the chart gives its axis); the
    // bars and the legend the rest.
    showStatChart(*m_ui.chart, m_chartData, std::max(100, m_chartWidth / 3 - 16));
}

bool TStatistika::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_ui.StatGrafik && event->type() == QEvent::Resize &&
        m_ui.StatGrafik->width() != m_chartWidth && !m_chartData.categories.isEmpty())
        drawChart();
    return QDialog::eventFilter(watched, event);
}

void TStatistika::showNothing(const QString& reason) {
    setBusy(false);
    m_model.clear();
    m_counted = {};
    m_chartData = {};
    showStatChart(*m_ui.chart, {});
    m_ui.StatExcel->setEnabled(false);
    m_ui.StatPechat->setEnabled(false);
    m_ui.StatItog->clear();
    m_ui.StatSoobshchenie->setText(reason);
    m_ui.StatStranicy->setCurrentWidget(m_ui.StatSoobshchenie);
}

void TStatistika::showFailure(const QString& message) {
    showNothing(QStringLiteral("Подсчёт не выполнен."));
    m_ui.StatItog->setText(QStringLiteral("Подсчёт не выполнен."));
    m_platform.dialogs().error(this, message);
}

void TStatistika::StatExcelClick() {
    try {
        exportStatistics(table(), m_inst, m_settings.VerOff, m_platform.office());
    } catch (const FileError& e) {
        m_platform.dialogs().error(this, e.displayText());
    } catch (const OfficeError& e) {
        m_platform.dialogs().error(this, e.message());
    }
}

void TStatistika::StatPechatClick() {
    printStatistics(m_launcher, table(), m_settings.Firma, this);
}

void TStatistika::done(int result) {
    // A count that nobody will see is stopped before the card window may change the card
    // files again (a cancelled count stops within one block); the next opening counts afresh.
    m_counting.stop();
    setBusy(false);
    m_ui.StatItog->clear();
    QDialog::done(result);
}

} // namespace zelm
