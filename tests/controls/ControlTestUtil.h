#pragma once

// Helpers shared by the control tests: grabbing what a control draws, and counting paints.

#include <QColor>
#include <QEvent>
#include <QImage>
#include <QObject>
#include <QWidget>
#include <ostream>

inline QImage grabImage(QWidget& w) {
    return w.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

inline QColor pixelAt(const QImage& image, int x, int y) {
    return QColor(image.pixel(x, y));
}

// Bounding box of the pixels of one colour; empty when there are none.
inline QRect boxOfColor(const QImage& image, const QColor& c) {
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (QColor(image.pixel(x, y)) == c)
                box |= QRect(x, y, 1, 1);
    return box;
}

inline int countColor(const QImage& image, const QColor& c) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += QColor(image.pixel(x, y)) == c;
    return n;
}

// Counts the paint events a widget receives.
class PaintCounter : public QObject {
public:
    explicit PaintCounter(QWidget* w) { w->installEventFilter(this); }
    int count = 0;

protected:
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint)
            ++count;
        return false;
    }
};

QT_BEGIN_NAMESPACE
inline void PrintTo(const QColor& c, std::ostream* os) {
    *os << "rgb(" << c.red() << "," << c.green() << "," << c.blue() << ")";
}
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}
inline void PrintTo(const QSize& s, std::ostream* os) {
    *os << s.width() << "x" << s.height();
}
inline void PrintTo(const QPoint& p, std::ostream* os) {
    *os << "(" << p.x() << "," << p.y() << ")";
}
QT_END_NAMESPACE
