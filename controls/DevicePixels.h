#pragma once

// Drawing a control in the screen's own pixels when one logical pixel is more than one of
// them (1.25x, 1.5x, 2x). Scaling a 1x picture would make some one-pixel lines two pixels and
// others one, merge rows of dots and drop lines at the edges; instead every line of the 1x
// look becomes the same whole number of device pixels, and what lies between lines shares
// the rest.

#include <QImage>
#include <QRect>
#include <vector>

class QPainter;
class QWidget;

namespace qm::controls {

// Device pixels of a one-pixel line at `ratio`: at least 1, rounded half down (1.5x gives 1,
// 1.75x and 2x give 2).
int deviceLine(qreal ratio);

// One axis: the `edge` outermost logical pixels at each end are lines of `line` device pixels;
// the logical pixels between share the device pixels left over.
class DeviceAxis {
public:
    DeviceAxis(int logical, int device, int edge, int line);
    // Device pixel where logical pixel `x` starts; start(logical) is the device length.
    int start(int x) const;
    int logical() const { return logical_; }
    int device() const { return device_; }

private:
    int logical_, device_, edge_, line_;
};

struct DeviceGrid {
    DeviceAxis x;
    DeviceAxis y;
    // The device pixels covering a logical rectangle.
    QRect map(const QRect& r) const;
};

// Fills the device pixels of each logical pixel, as drawPolyline does at 1x.
void fillPixels(QPainter& p, const DeviceGrid& g, const std::vector<QPoint>& pixels,
                const QColor& color);

// A control's off-screen picture in device pixels, copied to the control in one step. At a
// ratio of 1 it is the plain logical-sized image the control always drew.
class DeviceCanvas {
public:
    DeviceCanvas(const QWidget* widget, QImage::Format format);
    qreal ratio() const { return ratio_; }
    int line() const { return line_; }
    QImage& image() { return image_; }
    QSize deviceSize() const { return image_.size(); }
    // A grid keeping `edgeX` / `edgeY` logical lines at the sides as whole device lines.
    DeviceGrid grid(int edgeX, int edgeY) const;
    void paintOn(QWidget* widget) const;

private:
    qreal ratio_ = 1.0;
    int line_ = 1;
    QSize logical_;
    QImage image_;
};

} // namespace qm::controls
