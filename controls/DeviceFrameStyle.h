#pragma once

// Frames of the stock controls (the lists, panels and boxes) at fractional pixel ratios.
// The base style draws their one-pixel lines in logical pixels: at 1.25x and 1.5x a line falls
// between device pixels, comes out one or two pixels thick, or is covered by the control's
// contents and lost. Here the base style draws the frame at 1x and each of its edge lines is
// laid on whole device pixels, as the program's own controls are drawn.

#include <QProxyStyle>

class QWidget;

namespace qm::controls {

class DeviceFrameStyle : public QProxyStyle {
    Q_OBJECT
public:
    using QProxyStyle::QProxyStyle;
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget = nullptr) const override;
};

// Puts the style in place for the whole program when `window` shows at a fractional ratio;
// at whole ratios (1x, 2x) nothing changes.
void useDeviceFrames(const QWidget* window);

} // namespace qm::controls
