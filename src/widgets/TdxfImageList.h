#pragma once
// A list of equally sized images that tells its users when it changes.
#include <QColor>
#include <QList>
#include <QObject>
#include <QPixmap>

namespace zelm {

class TdxfImageList : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    int count() const { return int(m_images.size()); }
    QPixmap image(int i) const { return m_images.value(i); }
    void add(const QPixmap& image) {
        m_images.append(image);
        emit changed();
    }
    void clear() {
        m_images.clear();
        emit changed();
    }
    QColor backgroundColor() const { return m_backgroundColor; }
    void setBackgroundColor(const QColor& c) { m_backgroundColor = c; }
    QColor blendColor() const { return m_blendColor; }
    void setBlendColor(const QColor& c) { m_blendColor = c; }

signals:
    void changed();

private:
    QList<QPixmap> m_images;
    QColor m_backgroundColor, m_blendColor;
};

} // namespace zelm
