#pragma once
// A component placed on a window that paints the window's whole client area as a colour
// gradient, a tiled picture or a tiled animation, under everything else the window draws.
#include "widgets/TdxfImageList.h"

#include <QColor>
#include <QObject>
#include <QPixmap>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <stdexcept>

class QPainter;

namespace zelm {

// a * b / c in 64 bits, rounded to the nearest integer with halves away from zero, as the
// platform's multiply-divide does; -1 when c is 0 or the result does not fit.
int mulDiv(int a, int b, int c);

enum class TdxfFillStyle { fsHorz, fsVert };

class TdxfBkColor : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    QColor beginColor() const { return m_begin; }
    void setBeginColor(const QColor& c);
    QColor endColor() const { return m_end; }
    void setEndColor(const QColor& c);
    TdxfFillStyle fillStyle() const { return m_fillStyle; }
    void setFillStyle(TdxfFillStyle s);

signals:
    void changed();

private:
    QColor m_begin = QColor(0, 0, 255);
    QColor m_end = QColor(0, 0, 0);
    TdxfFillStyle m_fillStyle = TdxfFillStyle::fsVert;
};

class TdxfBkAnimate : public QObject {
    Q_OBJECT
public:
    explicit TdxfBkAnimate(QWidget* window, QObject* parent = nullptr);

    TdxfImageList* imageList() const { return m_imageList; }
    // The list takes the window's colour as its background and blend colour.
    void setImageList(TdxfImageList* list);
    int speed() const { return m_speed; }
    // Kept within 1 .. 1000; the frame interval is 1001 - speed milliseconds.
    void setSpeed(int s);
    int interval() const { return m_timer.interval(); }
    int imageIndex() const { return m_imageIndex; }
    bool hasImages() const { return m_imageList && m_imageList->count() > 0; }
    QPixmap currentImage() const;
    // One frame step, as the timer does it.
    void tick();

private:
    QPointer<QWidget> m_window;
    QPointer<TdxfImageList> m_imageList;
    QMetaObject::Connection m_listConnection;
    int m_speed = 700;
    int m_imageIndex = 0;
    QTimer m_timer;
};

// Refusal to place a background where it cannot work.
class TdxfBackGroundError : public std::runtime_error {
public:
    explicit TdxfBackGroundError(const QString& text)
        : std::runtime_error(text.toStdString()), m_text(text) {}
    QString text() const { return m_text; }

private:
    QString m_text;
};

class TdxfBackGround : public QObject {
    Q_OBJECT
public:
    // owner must be a window without a background yet; otherwise TdxfBackGroundError.
    explicit TdxfBackGround(QObject* owner);
    ~TdxfBackGround() override;

    TdxfBkColor* bkColor() { return &m_bkColor; }
    QPixmap bkPicture() const { return m_bkPicture; }
    void setBkPicture(const QPixmap& p);
    TdxfBkAnimate* bkAnimate() { return &m_bkAnimate; }
    QWidget* window() const { return m_window; }

    // What is painted under the window's own drawing, into any painter.
    void paintBackground(QPainter& p, const QRect& clientRect) const;
    static void paintGradient(QPainter& p, const QRect& rect, const QColor& begin,
                              const QColor& end, TdxfFillStyle style);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    static QWidget* checkedWindow(QObject* owner);
    void repaintWindow();

    QPointer<QWidget> m_window;
    TdxfBkColor m_bkColor;
    QPixmap m_bkPicture;
    TdxfBkAnimate m_bkAnimate;
};

} // namespace zelm
