#include "app/ServerWaitScreen.h"

#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>

namespace zelm {

struct ServerWaitScreen::Wait {
    QString server;
    bool cancellable = false;
    bool cursor = false;
    QTimer cursorTimer;
    QTimer windowTimer;
    QPointer<QDialog> window;
};

ServerWaitScreen::ServerWaitScreen() = default;

ServerWaitScreen::~ServerWaitScreen() {
    waitEnded();
}

void ServerWaitScreen::waitBegan(const QString& server, bool cancellable) {
    m_wait = std::make_unique<Wait>();
    m_wait->server = server;
    m_wait->cancellable = cancellable;
    m_wait->cursorTimer.setSingleShot(true);
    m_wait->windowTimer.setSingleShot(true);
    QObject::connect(&m_wait->cursorTimer, &QTimer::timeout, [this] { showCursor(); });
    QObject::connect(&m_wait->windowTimer, &QTimer::timeout, [this] { showWindow(); });
    m_wait->cursorTimer.start(kCursorMs);
    m_wait->windowTimer.start(kWindowMs);
}

void ServerWaitScreen::showCursor() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_wait->cursor = true;
}

void ServerWaitScreen::showWindow() {
    auto* window = new QDialog(QApplication::activeWindow());
    window->setObjectName(QStringLiteral("OzhidanieServera"));
    window->setWindowTitle(QStringLiteral("Ожидание сервера"));
    window->setAttribute(Qt::WA_DeleteOnClose);
    auto* layout = new QVBoxLayout(window);
    auto* text = new QLabel(QStringLiteral("Ждём ответа сервера %1…").arg(m_wait->server));
    layout->addWidget(text);
    auto* bar = new QProgressBar;
    bar->setRange(0, 0);
    layout->addWidget(bar);
    if (m_wait->cancellable) {
        auto* cancel = new QPushButton(QStringLiteral("Отменить"));
        cancel->setObjectName(QStringLiteral("OtmenaOzhidaniya"));
        QObject::connect(cancel, &QPushButton::clicked, [] { servercalls::cancel(); });
        layout->addWidget(cancel);
    }
    m_wait->window = window;
    window->show();
    if (m_busy)
        m_busy(true);
}

void ServerWaitScreen::waitEnded() {
    if (!m_wait)
        return;
    if (m_wait->cursor)
        QApplication::restoreOverrideCursor();
    if (m_wait->window) {
        delete m_wait->window.data();
        if (m_busy)
            m_busy(false);
    }
    m_wait.reset();
    // Rows a list could not read while the command held the server are read now.
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible())
            w->update();
}

bool ServerWaitScreen::letsThrough(QObject* receiver, QEvent* event) {
    if (!m_wait)
        return false;
    if (event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        if (m_wait->cancellable)
            servercalls::cancel();
        return false;
    }
    const QDialog* window = m_wait->window.data();
    for (QObject* o = receiver; o && window; o = o->parent())
        if (o == window)
            return event->type() != QEvent::Close;
    return false;
}

ServerWaitScreen& serverWaitScreen() {
    static ServerWaitScreen screen;
    return screen;
}

ServerWaitScreen& serveWindowThreadWithScreen() {
    servercalls::serveWindowThread(&serverWaitScreen());
    return serverWaitScreen();
}

} // namespace zelm
