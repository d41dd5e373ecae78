#pragma once

// The window roller: one more caption button, left of the minimise and close buttons, that
// rolls the window up to its caption bar and down again. The window keeps its full size
// while rolled up; only its visible shape shrinks, so rolling down restores it exactly.

#include "controls/FormFrame.h"

#include <QImage>
#include <QObject>
#include <QPointer>
#include <QSize>

#include <optional>

class QPainter;
class QWidget;

class TWinRoller : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool Enabled READ Enabled WRITE setEnabled NOTIFY enabledChanged)
    Q_PROPERTY(bool Roller READ Roller WRITE setRoller NOTIFY rollerChanged)
    Q_PROPERTY(int RemainHeight READ RemainHeight WRITE setRemainHeight NOTIFY remainHeightChanged)
    Q_PROPERTY(bool Visible READ Visible WRITE setVisible NOTIFY visibleChanged)

public:
    // `owner` must be a main window (see isForm); otherwise EOwnerError.
    explicit TWinRoller(QObject* owner);
    ~TWinRoller() override;

    bool Enabled() const { return enabled_; }
    void setEnabled(bool on);
    bool Roller() const { return roller_; }
    void setRoller(bool up);
    int RemainHeight() const { return remainHeight_; }
    void setRemainHeight(int h);
    bool Visible() const { return visible_; }
    void setVisible(bool on);

    const qm::controls::TSystemMetrics& metrics() const { return metrics_; }
    // A change of the system metrics: the button moves and a rolled window re-shapes.
    void setMetrics(const qm::controls::TSystemMetrics& m);

    // The button in window coordinates, and the height left showing when rolled up.
    QRect buttonRect() const;
    int rolledUpHeight() const;
    bool pressed() const { return pressed_; }
    bool tracking() const { return tracking_; }
    // The caption button widget ("WinRollerButton") and the button as drawn now.
    QWidget* button() const { return button_; }
    QImage buttonImage() const;
    // The caption button at `size`; with a grid, in device pixels.
    void paintButton(QPainter& p, const QSize& size, const qm::controls::DeviceGrid* grid) const;

    // Press, drag and release on the button, in window coordinates.
    void pressButton();
    void trackTo(const QPoint& windowPos);
    void releaseAt(const QPoint& windowPos);

signals:
    void enabledChanged(bool enabled);
    void rollerChanged(bool roller);
    void remainHeightChanged(int remainHeight);
    void visibleChanged(bool visible);
    // After each roll: mode 1 when just rolled up, 0 when rolled down.
    void OnRoller(QObject* sender, int mode);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void layoutButton();
    void applyRolledShape();
    void restoreFullShape();
    void repaintButton();
    void focusOutOfTheBody();
    void focusBackIntoTheBody();

    QPointer<QWidget> form_;
    QPointer<QWidget> button_;
    QPointer<QWidget> edge_;
    qm::controls::TSystemMetrics metrics_;
    bool enabled_ = false;
    bool roller_ = false;
    int remainHeight_ = 0;
    bool visible_ = true;
    bool pressed_ = false;
    bool tracking_ = false;
    bool formDying_ = false;
    // Where the shape alone cannot roll the window: its size and limits before rolling up.
    struct UnrolledSize {
        QSize size, minimum, maximum;
    };
    std::optional<UnrolledSize> unrolled_;
    // The control that had the focus when the window rolled up, given it back on rolling down.
    QPointer<QWidget> focusBeforeRolling_;
};
