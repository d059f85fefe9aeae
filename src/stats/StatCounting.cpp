#include "stats/StatCounting.h"

#include "stats/StatCounter.h"
#include "store/CardFile.h"
#include "store/FileError.h"

#include <QCoreApplication>
#include <QPointer>
#include <QtConcurrent/QtConcurrentRun>

namespace zelm {

StatCounting::StatCounting(QObject* parent) : QObject(parent) {}

StatCounting::~StatCounting() {
    stop();
}

void StatCounting::cancel() {
    if (m_cancelled)
        m_cancelled->store(true);
    ++m_run;
    m_running = false;
}

void StatCounting::stop() {
    cancel();
    for (QFuture<void>& f : m_futures)
        f.waitForFinished();
    m_futures.clear();
}

void StatCounting::forgetEnded() {
    m_futures.removeIf([](const QFuture<void>& f) { return f.isFinished(); });
}

void StatCounting::start(const CardFile& file, const StatQuery& query) {
    // The window keeps the file open for as long as any run reads it.
    start(std::shared_ptr<const RecordSource>(&file, [](const RecordSource*) {}), query);
}

void StatCounting::start(std::shared_ptr<const RecordSource> source, const StatQuery& query) {
    cancel();
    forgetEnded();
    const quint64 run = m_run;
    auto cancelled = std::make_shared<std::atomic<bool>>(false);
    m_cancelled = cancelled;
    m_running = true;
    // The results come back as queued calls on this object: dropped if it is gone, and
    // ignored when a newer run has started.
    m_futures << QtConcurrent::run([this, source, query, run, cancelled] {
        Outcome outcome;
        auto progress = [this, run](int percent) {
            QMetaObject::invokeMethod(
                this,
                [this, run, percent] {
                    if (run == m_run)
                        emit progressChanged(percent);
                },
                Qt::QueuedConnection);
        };
        try {
            outcome.done = countCards(*source, query, outcome.table, progress, cancelled.get());
        } catch (const FileError& e) {
            outcome.error = e.displayText();
        } catch (const std::bad_alloc&) {
            outcome.error = QStringLiteral("Недостаточно памяти для подсчёта.");
        } catch (const std::exception& e) {
            // A server that went away: said as the server said it.
            outcome.error = QString::fromUtf8(e.what());
        }
        if (!outcome.done && outcome.error.isEmpty())
            return;
        QMetaObject::invokeMethod(
            this, [this, run, outcome] { report(run, outcome); }, Qt::QueuedConnection);
    });
}

void StatCounting::report(quint64 run, const Outcome& outcome) {
    if (run != m_run)
        return;
    m_running = false;
    if (outcome.error.isEmpty())
        emit finished(outcome.table);
    else
        emit failed(outcome.error);
}

void StatCounting::waitForFinished() {
    for (QFuture<void>& f : m_futures)
        f.waitForFinished();
    QCoreApplication::sendPostedEvents(this);
    forgetEnded();
}

} // namespace zelm
