#pragma once

// TDRLabel: a label drawn twice, a shadow copy shifted by Deep pixels and then the text,
// for an embossed look; with an optional thin border and blinking (on/off or two colours).
// The text colour is the palette's WindowText, the background its Window colour.

#include <QColor>
#include <QLabel>

class QTimer;

class TDRLabel : public QLabel {
    Q_OBJECT
public:
    enum TDRBorder { boNone, boSingle, boRaised, boLowered };
    Q_ENUM(TDRBorder)
    enum TDRBlink { blNone, blBlink, blHiLo };
    Q_ENUM(TDRBlink)

    Q_PROPERTY(QColor HiColor READ hiColor WRITE setHiColor NOTIFY hiColorChanged)
    Q_PROPERTY(QColor LoColor READ loColor WRITE setLoColor NOTIFY loColorChanged)
    Q_PROPERTY(TDRBorder Border READ border WRITE setBorder NOTIFY borderChanged)
    Q_PROPERTY(bool Ctl3D READ ctl3D WRITE setCtl3D NOTIFY ctl3DChanged)
    Q_PROPERTY(
        int BlinkInterval READ blinkInterval WRITE setBlinkInterval NOTIFY blinkIntervalChanged)
    Q_PROPERTY(TDRBlink Blink READ blink WRITE setBlink NOTIFY blinkChanged)
    Q_PROPERTY(QColor ShadowColor READ shadowColor WRITE setShadowColor NOTIFY shadowColorChanged)
    Q_PROPERTY(int Deep READ deep WRITE setDeep NOTIFY deepChanged)
    Q_PROPERTY(QColor Color READ color WRITE setColor NOTIFY colorChanged)
    Q_PROPERTY(QColor FontColor READ fontColor WRITE setFontColor NOTIFY fontColorChanged)
    Q_PROPERTY(bool Transparent READ transparent WRITE setTransparent NOTIFY transparentChanged)
    Q_PROPERTY(
        bool ShowAccelChar READ showAccelChar WRITE setShowAccelChar NOTIFY showAccelCharChanged)

public:
    explicit TDRLabel(QWidget* parent = nullptr);
    ~TDRLabel() override;

    QColor hiColor() const { return hiColor_; }
    void setHiColor(const QColor& c);
    QColor loColor() const { return loColor_; }
    void setLoColor(const QColor& c);
    TDRBorder border() const { return border_; }
    void setBorder(TDRBorder b);
    bool ctl3D() const { return ctl3D_; }
    void setCtl3D(bool on);
    int blinkInterval() const { return blinkInterval_; }
    void setBlinkInterval(int ms);
    TDRBlink blink() const { return blink_; }
    void setBlink(TDRBlink b);
    QColor shadowColor() const { return shadowColor_; }
    void setShadowColor(const QColor& c);
    // 1 or 2; anything else is ignored.
    int deep() const { return deep_; }
    void setDeep(int d);

    // The label's background and text colours.
    QColor color() const;
    void setColor(const QColor& c);
    QColor fontColor() const;
    void setFontColor(const QColor& c);
    bool transparent() const { return transparent_; }
    void setTransparent(bool on);
    bool showAccelChar() const { return showAccelChar_; }
    void setShowAccelChar(bool on);

    // One tick of the blink timer.
    void blinkStep();

    // The caption's size with room for the shadow copy, Deep pixels right and down.
    QSize sizeHint() const override;

signals:
    void hiColorChanged(const QColor& hiColor);
    void loColorChanged(const QColor& loColor);
    void borderChanged(TDRBorder border);
    void ctl3DChanged(bool ctl3D);
    void blinkIntervalChanged(int blinkInterval);
    void blinkChanged(TDRBlink blink);
    void shadowColorChanged(const QColor& shadowColor);
    void deepChanged(int deep);
    void colorChanged(const QColor& color);
    void fontColorChanged(const QColor& fontColor);
    void transparentChanged(bool transparent);
    void showAccelCharChanged(bool showAccelChar);

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    QColor hiColor_{0, 0, 255};
    QColor loColor_{0, 0, 128};
    TDRBorder border_ = boNone;
    bool ctl3D_ = true;
    int blinkInterval_ = 300;
    TDRBlink blink_ = blNone;
    QColor shadowColor_;
    int deep_ = 1;
    QColor savedTextColor_;
    // Color and FontColor live in the palette, which a parent can change too: the values last
    // announced tell a palette change that moved them.
    QColor announcedColor_;
    QColor announcedFontColor_;
    bool transparent_ = false;
    bool showAccelChar_ = true;
    QTimer* timer_ = nullptr;
};
