#pragma once

// TFlashingLabel: a label that blinks by hiding and showing itself every Interval ms while
// Flashing is on. Leaving the flashing state always leaves the label visible.

#include <QColor>
#include <QLabel>

class QTimer;

class TFlashingLabel : public QLabel {
    Q_OBJECT
    Q_PROPERTY(QColor Color READ color WRITE setColor NOTIFY colorChanged)
    Q_PROPERTY(bool Flashing READ flashing WRITE setFlashing NOTIFY flashingChanged)
    Q_PROPERTY(int Interval READ interval WRITE setInterval NOTIFY intervalChanged)

public:
    explicit TFlashingLabel(QWidget* parent = nullptr);
    ~TFlashingLabel() override;

    // The text colour; the background is left alone.
    QColor color() const { return color_; }
    void setColor(const QColor& c);
    bool flashing() const { return flashing_; }
    void setFlashing(bool on);
    // Milliseconds; a negative value is stored as its absolute value.
    int interval() const { return interval_; }
    void setInterval(int ms);

signals:
    void colorChanged(const QColor& color);
    void flashingChanged(bool flashing);
    void intervalChanged(int interval);

private:
    void toggleVisibility();

    QColor color_{0, 0, 0};
    bool flashing_ = false;
    int interval_ = 500;
    QTimer* timer_ = nullptr; // exists only while flashing
};
