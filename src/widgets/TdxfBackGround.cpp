#include "widgets/TdxfBackGround.h"

#include <QEvent>
#include <QPainter>
#include <QWidget>
#include <algorithm>
#include <climits>
#include <cstdint>

namespace zelm {

int mulDiv(int a, int b, int c) {
    if (c == 0)
        return -1;
    std::int64_t num = std::int64_t(a) * b;
    std::int64_t den = c;
    if (den < 0) {
        num = -num;
        den = -den;
    }
    const std::int64_t result = num >= 0 ? (num + den / 2) / den : (num - den / 2) / den;
    if (result > INT_MAX || result < -INT_MAX)
        return -1;
    return int(result);
}

// --- colours ---

void TdxfBkColor::setBeginColor(const QColor& c) {
    m_begin = c;
    emit changed();
}
void TdxfBkColor::setEndColor(const QColor& c) {
    m_end = c;
    emit changed();
}
void TdxfBkColor::setFillStyle(TdxfFillStyle s) {
    m_fillStyle = s;
    emit changed();
}

// --- animation ---

TdxfBkAnimate::TdxfBkAnimate(QWidget* window, QObject* parent) : QObject(parent), m_window(window) {
    m_timer.setInterval(1001 - m_speed);
    connect(&m_timer, &QTimer::timeout, this, &TdxfBkAnimate::tick);
    m_timer.start();
}

void TdxfBkAnimate::setImageList(TdxfImageList* list) {
    disconnect(m_listConnection);
    m_imageList = list;
    m_imageIndex = 0;
    if (list) {
        m_listConnection = connect(list, &TdxfImageList::changed, this, [this] {
            if (m_window)
                m_window->update();
        });
        if (m_window) {
            const QColor windowColour = m_window->palette().color(QPalette::Window);
            list->setBackgroundColor(windowColour);
            list->setBlendColor(windowColour);
        }
    }
    if (m_window)
        m_window->update();
}

void TdxfBkAnimate::setSpeed(int s) {
    m_speed = std::clamp(s, 1, 1000);
    m_timer.setInterval(1001 - m_speed);
}

QPixmap TdxfBkAnimate::currentImage() const {
    if (!hasImages())
        return {};
    return m_imageList->image(m_imageIndex % m_imageList->count());
}

void TdxfBkAnimate::tick() {
    if (!hasImages() || !m_window)
        return;
    m_window->update();
    m_imageIndex = (m_imageIndex + 1) % m_imageList->count();
}

// --- the component ---

QWidget* TdxfBackGround::checkedWindow(QObject* owner) {
    auto* window = qobject_cast<QWidget*>(owner);
    if (!window || !window->isWindow())
        throw TdxfBackGroundError(
            QStringLiteral("TdxfBackGround can be placed only on a TForm descendant"));
    if (window->findChild<TdxfBackGround*>(QString(), Qt::FindDirectChildrenOnly))
        throw TdxfBackGroundError(QStringLiteral("Form should have only a single TdxfBackGround"));
    return window;
}

TdxfBackGround::TdxfBackGround(QObject* owner)
    : QObject(nullptr), m_window(checkedWindow(owner)), m_bkAnimate(m_window, this) {
    setParent(m_window);
    connect(&m_bkColor, &TdxfBkColor::changed, this, &TdxfBackGround::repaintWindow);
    m_window->installEventFilter(this);
    m_window->update();
}

TdxfBackGround::~TdxfBackGround() {
    if (m_window) {
        m_window->removeEventFilter(this);
        m_window->update();
    }
}

void TdxfBackGround::repaintWindow() {
    if (m_window)
        m_window->update();
}

void TdxfBackGround::setBkPicture(const QPixmap& p) {
    m_bkPicture = p;
    repaintWindow();
}

void TdxfBackGround::paintGradient(QPainter& p, const QRect& rect, const QColor& begin,
                                   const QColor& end, TdxfFillStyle style) {
    const bool vertical = style == TdxfFillStyle::fsVert;
    const int extent = vertical ? rect.height() : rect.width();
    const int origin = vertical ? rect.top() : rect.left();
    const int r0 = begin.red(), g0 = begin.green(), b0 = begin.blue();
    const int dr = end.red() - r0, dg = end.green() - g0, db = end.blue() - b0;
    int from = origin;
    for (int i = 0; i < 256; ++i) {
        const int to = origin + mulDiv(extent, i + 1, 256);
        if (to > from) {
            const QColor colour(r0 + mulDiv(dr, i, 255), g0 + mulDiv(dg, i, 255),
                                b0 + mulDiv(db, i, 255));
            const QRect band = vertical ? QRect(rect.left(), from, rect.width(), to - from)
                                        : QRect(from, rect.top(), to - from, rect.height());
            p.fillRect(band, colour);
        }
        from = to;
    }
}

void TdxfBackGround::paintBackground(QPainter& p, const QRect& clientRect) const {
    if (m_bkAnimate.hasImages())
        p.drawTiledPixmap(clientRect, m_bkAnimate.currentImage());
    else if (!m_bkPicture.isNull())
        p.drawTiledPixmap(clientRect, m_bkPicture);
    else
        paintGradient(p, clientRect, m_bkColor.beginColor(), m_bkColor.endColor(),
                      m_bkColor.fillStyle());
}

bool TdxfBackGround::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_window) {
        if (event->type() == QEvent::Paint) {
            // Ours first; returning false lets the window's own painting follow on top.
            QPainter p(m_window);
            paintBackground(p, m_window->rect());
        } else if (event->type() == QEvent::Resize) {
            // The repaint is queued, so it comes after the window's own resize handling.
            if (!m_bkAnimate.hasImages() && m_bkPicture.isNull())
                m_window->update();
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace zelm
