#pragma once
// What the user sees while the window waits for the server: nothing for a quick answer, the
// wait cursor after a moment, and after a second a small window naming the server, with
// «Отменить» where the command may be given up (Esc does the same). The window's input is held
// back meanwhile; only this small window takes it.
#include "server/ServerCallThread.h"

#include <QPointer>
#include <functional>
#include <memory>

class QWidget;

namespace zelm {

class ServerWaitScreen : public ServerWaitFace {
public:
    ServerWaitScreen();
    ~ServerWaitScreen() override;

    // The program's progress bar, shown busy during a long wait.
    void setBusyGauge(std::function<void(bool)> busy) { m_busy = std::move(busy); }

    void waitBegan(const QString& server, bool cancellable) override;
    void waitEnded() override;
    bool letsThrough(QObject* receiver, QEvent* event) override;

    // Milliseconds before the wait cursor and before the small window.
    static constexpr int kCursorMs = 200;
    static constexpr int kWindowMs = 1000;

private:
    struct Wait;
    void showCursor();
    void showWindow();

    std::function<void(bool)> m_busy;
    // Made for each wait and gone after it: between waits this holds no window and no timer.
    std::unique_ptr<Wait> m_wait;
};

// The program's one screen for waits.
ServerWaitScreen& serverWaitScreen();
// The window's thread serves the server from now on, until servercalls::stopServing().
ServerWaitScreen& serveWindowThreadWithScreen();

} // namespace zelm
