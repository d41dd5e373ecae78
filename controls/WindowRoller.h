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

class QWidget;

class TWinRoller : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool Enabled READ Enabled WRITE setEnabled)
    Q_PROPERTY(bool Roller READ Roller WRITE setRoller)
    Q_PROPERTY(int RemainHeight READ RemainHeight WRITE setRemainHeight)
    Q_PROPERTY(bool Visible READ Visible WRITE setVisible)

public:
    // `owner` must be a main window (see isForm); otherwise EOwnerError.
    explicit TWinRoller(QObject* owner);
    ~TWinRoller() override;

    bool Enabled() const { return FEnabled; }
    void setEnabled(bool on);
    bool Roller() const { return FRoller; }
    void setRoller(bool up);
    int RemainHeight() const { return FRemainHeight; }
    void setRemainHeight(int h);
    bool Visible() const { return FVisible; }
    void setVisible(bool on);

    const TSystemMetrics& Metrics() const { return FMetrics; }
    // A change of the system metrics: the button moves and a rolled window re-shapes.
    void setMetrics(const TSystemMetrics& m);

    // The button in window coordinates, and the height left showing when rolled up.
    QRect ButtonRect() const;
    int RolledUpHeight() const;
    bool Pressed() const { return FPressed; }
    bool Tracking() const { return FTracking; }
    // The caption button widget ("WinRollerButton") and the button as drawn now.
    QWidget* Button() const { return FButton; }
    QImage ButtonImage() const;

    // Press, drag and release on the button, in window coordinates.
    void pressButton();
    void trackTo(const QPoint& windowPos);
    void releaseAt(const QPoint& windowPos);

signals:
    // After each roll: mode 1 when just rolled up, 0 when rolled down.
    void OnRoller(QObject* sender, int mode);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void layoutButton();
    void applyRolledShape();
    void restoreFullShape();
    void repaintButton();

    QPointer<QWidget> FForm;
    QPointer<QWidget> FButton;
    QPointer<QWidget> FEdge;
    TSystemMetrics FMetrics;
    bool FEnabled = false;
    bool FRoller = false;
    int FRemainHeight = 0;
    bool FVisible = true;
    bool FPressed = false;
    bool FTracking = false;
    bool FFormDying = false;
    // Where the shape alone cannot roll the window: its size and limits before rolling up.
    struct UnrolledSize {
        QSize size, minimum, maximum;
    };
    std::optional<UnrolledSize> FUnrolled;
};
