#include "server/ServerCallThread.h"

#include "server/ServerError.h"

#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>
#include <QPointer>
#include <QThread>
#include <atomic>
#include <condition_variable>
#include <exception>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace zelm::servercalls {
namespace {

std::atomic<bool> g_cancel{false};
std::atomic<bool> g_jobCancellable{false};
thread_local bool t_cancellableScope = false;
thread_local bool t_onWorker = false;

// One thread carries out the window's calls, one at a time: the window waits for each.
class Worker {
public:
    Worker() : m_thread([this] { loop(); }) {}
    ~Worker() {
        {
            std::lock_guard lock(m_mutex);
            m_stop = true;
        }
        m_wake.notify_all();
        m_thread.join();
    }

    // Carries `work` out and then `done` (which tells the waiting loop), and only then says it
    // is over: the loop may go as soon as finished() is true.
    void start(std::function<void()> work) {
        std::lock_guard lock(m_mutex);
        m_job = std::move(work);
        m_over = false;
        m_wake.notify_all();
    }
    void waitOver() {
        std::unique_lock lock(m_mutex);
        m_wake.wait(lock, [this] { return m_over; });
    }

private:
    void loop() {
        t_onWorker = true;
        std::unique_lock lock(m_mutex);
        for (;;) {
            m_wake.wait(lock, [this] { return m_stop || m_job; });
            if (!m_job)
                return;
            std::function<void()> job = std::move(m_job);
            m_job = nullptr;
            lock.unlock();
            job();
            lock.lock();
            m_over = true;
            m_wake.notify_all();
        }
    }

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::function<void()> m_job;
    bool m_over = true;
    bool m_stop = false;
    std::thread m_thread;
};

bool isUserInput(QEvent::Type t) {
    switch (t) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Wheel:
    case QEvent::Shortcut:
    case QEvent::ShortcutOverride:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
    case QEvent::Close: // the window closed halfway through a command
        return true;
    default:
        return false;
    }
}

// Holds the window's input back while it waits; the wait's face decides what gets through.
class InputHold : public QObject {
public:
    explicit InputHold(ServerWaitFace* face) : m_face(face) {}
    bool eventFilter(QObject* receiver, QEvent* event) override {
        if (!isUserInput(event->type()))
            return false;
        return !(m_face && m_face->letsThrough(receiver, event));
    }

private:
    ServerWaitFace* m_face;
};

struct WindowThread {
    QThread* thread = nullptr;
    ServerWaitFace* face = nullptr;
    std::unique_ptr<Worker> worker;
    std::unique_ptr<InputHold> hold;
    bool waiting = false;
    int users = 0; // the windows served: several programs' windows share a test's thread
    struct Later {
        QPointer<QObject> context;
        std::function<void()> f;
    };
    std::vector<Later> afterWait;
};

WindowThread& windowThread() {
    static WindowThread w;
    return w;
}

bool onWindowThread() {
    const WindowThread& w = windowThread();
    return w.thread && w.worker && QCoreApplication::instance() &&
           QThread::currentThread() == w.thread;
}

QString busyMessage(const QString& server) {
    return QStringLiteral("Сервер %1 ещё выполняет предыдущую команду; эта не выполнена. "
                          "Повторите её, когда та закончится.")
        .arg(server);
}

} // namespace

void serveWindowThread(ServerWaitFace* face) {
    WindowThread& w = windowThread();
    ++w.users;
    w.thread = QThread::currentThread();
    w.face = face;
    w.hold = std::make_unique<InputHold>(face);
    if (!w.worker)
        w.worker = std::make_unique<Worker>();
}

void stopServing() {
    WindowThread& w = windowThread();
    if (w.users > 0 && --w.users > 0)
        return;
    w.worker.reset();
    w.hold.reset();
    w.face = nullptr;
    w.thread = nullptr;
    w.afterWait.clear();
}

bool serving() {
    return onWindowThread();
}

bool waiting() {
    return onWindowThread() && windowThread().waiting;
}

void whenIdle(QObject* context, const std::function<void()>& f) {
    WindowThread& w = windowThread();
    if (waiting())
        w.afterWait.push_back({context, f});
    else
        f();
}

void cancel() {
    if (g_jobCancellable.load())
        g_cancel.store(true);
}

bool cancelRequested() {
    return t_onWorker && g_cancel.load();
}

void run(const QString& server, const std::function<void()>& work) {
    if (!onWindowThread()) {
        work();
        return;
    }
    WindowThread& w = windowThread();
    if (w.waiting)
        throw ServerError(ServerError::Kind::Connection, busyMessage(server), QString(),
                          ServerError::Detail::Busy);

    std::exception_ptr error;
    QEventLoop loop;
    g_cancel.store(false);
    g_jobCancellable.store(t_cancellableScope);
    w.worker->start([&work, &error, &loop] {
        try {
            work();
        } catch (...) {
            error = std::current_exception();
        }
        // Posted before the worker says it is over, so the loop outlives the post.
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    w.waiting = true;
    QCoreApplication::instance()->installEventFilter(w.hold.get());
    if (w.face)
        w.face->waitBegan(server, t_cancellableScope);
    loop.exec();
    // The loop also ends when the program is told to end; the command is waited for all the
    // same, since it uses what the caller holds.
    w.worker->waitOver();
    if (w.face)
        w.face->waitEnded();
    QCoreApplication::instance()->removeEventFilter(w.hold.get());
    w.waiting = false;
    g_jobCancellable.store(false);
    g_cancel.store(false);

    // What waited for the window to be free runs once the command that is under way is over:
    // posted, and posted again if it meets the command's next wait.
    std::vector<WindowThread::Later> later;
    later.swap(w.afterWait);
    for (auto& l : later)
        if (QObject* context = l.context.data())
            QMetaObject::invokeMethod(
                context, [context, f = std::move(l.f)] { whenIdle(context, f); },
                Qt::QueuedConnection);
    if (error)
        std::rethrow_exception(error);
}

Cancellable::Cancellable() : m_before(t_cancellableScope) {
    t_cancellableScope = true;
}

Cancellable::~Cancellable() {
    t_cancellableScope = m_before;
}

} // namespace zelm::servercalls
