#pragma once
// A count run on a worker thread, so that the window stays alive over a large register. A new
// start cancels the run before it; only the newest run reports. No widgets.
#include "stats/StatTable.h"

#include <QFuture>
#include <QList>
#include <QObject>
#include <atomic>
#include <memory>

namespace zelm {

class CardFile;
class RecordSource;

class StatCounting : public QObject {
    Q_OBJECT
public:
    explicit StatCounting(QObject* parent = nullptr);
    ~StatCounting() override; // cancels every run and waits for it

    // `file` must stay open until the run has reported or been cancelled.
    void start(const CardFile& file, const StatQuery& query);
    // ...over cards read from elsewhere (a server): the source is read on the worker thread
    // only and kept alive by the run.
    void start(std::shared_ptr<const RecordSource> source, const StatQuery& query);
    void cancel();
    // Cancels and returns once no run reads the card file any more; nothing is reported.
    void stop();
    bool isRunning() const { return m_running; }
    void waitForFinished(); // every run started so far has ended and reported

signals:
    void progressChanged(int percent);
    void finished(const zelm::StatTable& table);
    void failed(const QString& message);

private:
    struct Outcome {
        bool done = false;
        StatTable table;
        QString error;
    };
    void report(quint64 run, const Outcome& outcome);
    void forgetEnded();

    quint64 m_run = 0;
    bool m_running = false;
    std::shared_ptr<std::atomic<bool>> m_cancelled;
    QList<QFuture<void>> m_futures;
};

} // namespace zelm
