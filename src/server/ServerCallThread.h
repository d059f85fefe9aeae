#pragma once
// The window's thread never talks to the server itself: once the program names its window's
// thread, every call it makes on the server is carried out by a thread of this file's own, while
// the window's thread waits in an event loop that keeps painting. The window's input is held
// back meanwhile (the user cannot start a second command halfway through the first); the wait's
// face (the wait cursor, a progress bar, a button to give up) is the window's to show.
//
// A call from any other thread (a count for the statistics, a test without windows) runs where
// it is made.
#include <QString>
#include <functional>

class QEvent;
class QObject;

namespace zelm {

class ServerWaitFace {
public:
    virtual ~ServerWaitFace() = default;
    // The window's thread began to wait for `server`. `cancellable`: the command may be given up
    // (a read, a search, a move), which cancel() does.
    virtual void waitBegan(const QString& server, bool cancellable) = 0;
    virtual void waitEnded() = 0;
    // Input the wait lets through while the window's is held back: the wait's own controls.
    virtual bool letsThrough(QObject* receiver, QEvent* event) = 0;
};

namespace servercalls {

// From now on calls made on this (the window's) thread are carried out off it; `face` (may be
// null) shows the waits. Ended by as many stopServing(), before the face goes.
void serveWindowThread(ServerWaitFace* face);
void stopServing();

// Runs `work`: off the window's thread when called on it, else here. Rethrows what it threw.
// Called on the window's thread while it already waits (a list painting during a command),
// it throws ServerError at once: the server is still busy with the command.
void run(const QString& server, const std::function<void()>& work);

// The window's thread is waiting for the server.
bool waiting();
// This is the window's thread, whose calls wait for the server in an event loop.
bool serving();
// Runs `f` on the window's thread once it no longer waits (now, if it does not), unless
// `context` is gone by then.
void whenIdle(QObject* context, const std::function<void()>& f);

// The user gives the command waited for up, when it may be given up: its connection is dropped
// at once and the command fails with a message saying so.
void cancel();
// Asked by the waits for the server's replies, on the thread carrying the command out.
bool cancelRequested();

// Marks the commands made meanwhile on this thread as ones that may be given up: reads,
// searches and moves, whose connection dropped midway leaves the register as it was.
class Cancellable {
public:
    Cancellable();
    ~Cancellable();
    Cancellable(const Cancellable&) = delete;
    Cancellable& operator=(const Cancellable&) = delete;

private:
    bool m_before;
};

} // namespace servercalls
} // namespace zelm
