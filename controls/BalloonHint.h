#pragma once

// Balloon help: the application's hints drawn as speech balloons whose tail points at the
// mouse pointer. TBalloonHint is the window's component; it answers the application's tooltip
// requests with a TBalloonHintWindow, or the plain tooltip while it is not Active.

#include "controls/BalloonGeometry.h"

#include <QColor>
#include <QFlags>
#include <QFont>
#include <QImage>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QWidget>

enum TBalloonBehavior {
    bbNoShowMouseDown = 0x1,
    bbUseRegions = 0x2,
    bbHideOnPaint = 0x4,
};
Q_DECLARE_FLAGS(TBalloonBehaviors, TBalloonBehavior)
Q_DECLARE_OPERATORS_FOR_FLAGS(TBalloonBehaviors)

enum THintStyle { hsDefault, hsCustom, hsSystem };

class TBalloonBase : public QObject {
    Q_OBJECT
    Q_PROPERTY(QColor BorderColor READ BorderColor WRITE setBorderColor NOTIFY borderColorChanged)
    Q_PROPERTY(QColor Color READ Color WRITE setColor NOTIFY colorChanged)
    Q_PROPERTY(QFont Font READ Font WRITE setFont NOTIFY fontChanged)
    Q_PROPERTY(QColor fontColor READ fontColor WRITE setFontColor NOTIFY fontColorChanged)
    Q_PROPERTY(int MaxWidth READ MaxWidth WRITE setMaxWidth NOTIFY maxWidthChanged)
    Q_PROPERTY(TBalloonBehaviors Behavior READ Behavior WRITE setBehavior NOTIFY behaviorChanged)
    Q_PROPERTY(TBalloonPosition Position READ Position WRITE setPosition NOTIFY positionChanged)
    Q_PROPERTY(int ShadowDepth READ ShadowDepth WRITE setShadowDepth NOTIFY shadowDepthChanged)
    Q_PROPERTY(TBalloonShadowStyle ShadowStyle READ ShadowStyle WRITE setShadowStyle NOTIFY
                   shadowStyleChanged)
    Q_PROPERTY(TBalloonShape Shape READ Shape WRITE setShape NOTIFY shapeChanged)
    Q_PROPERTY(THintStyle Style READ Style WRITE setStyle NOTIFY styleChanged)

public:
    explicit TBalloonBase(QObject* owner = nullptr);

    QColor BorderColor() const { return borderColor_; }
    void setBorderColor(const QColor& c);
    QColor Color() const { return color_; }
    void setColor(const QColor& c);
    QFont Font() const { return font_; }
    void setFont(const QFont& f);
    // The custom font's colour (a font carries its colour where this was designed).
    QColor fontColor() const { return fontColor_; }
    void setFontColor(const QColor& c);
    int MaxWidth() const { return maxWidth_; }
    void setMaxWidth(int w);
    TBalloonBehaviors Behavior() const { return behavior_; }
    void setBehavior(TBalloonBehaviors b);
    TBalloonPosition Position() const { return position_; }
    void setPosition(TBalloonPosition p);
    int ShadowDepth() const { return shadowDepth_; }
    void setShadowDepth(int d); // clamped to 0..16
    TBalloonShadowStyle ShadowStyle() const { return shadowStyle_; }
    void setShadowStyle(TBalloonShadowStyle s);
    TBalloonShape Shape() const { return shape_; }
    void setShape(TBalloonShape s);
    THintStyle Style() const { return style_; }
    void setStyle(THintStyle s);

    // Font and colours chosen by Style.
    qm::controls::BalloonLook look() const;
    // Mouse buttons held now.
    virtual Qt::MouseButtons buttonsDown() const;

signals:
    void borderColorChanged(const QColor& borderColor);
    void colorChanged(const QColor& color);
    void fontChanged(const QFont& font);
    void fontColorChanged(const QColor& fontColor);
    void maxWidthChanged(int maxWidth);
    void behaviorChanged(TBalloonBehaviors behavior);
    void positionChanged(TBalloonPosition position);
    void shadowDepthChanged(int shadowDepth);
    void shadowStyleChanged(TBalloonShadowStyle shadowStyle);
    void shapeChanged(TBalloonShape shape);
    void styleChanged(THintStyle style);

private:
    QColor borderColor_;
    QColor color_;
    QFont font_;
    QColor fontColor_;
    int maxWidth_ = -4;
    TBalloonBehaviors behavior_ = bbNoShowMouseDown | bbUseRegions | bbHideOnPaint;
    TBalloonPosition position_ = bpAboveRight;
    int shadowDepth_ = 8;
    TBalloonShadowStyle shadowStyle_ = ssShaded;
    TBalloonShape shape_ = bsRoundRect;
    THintStyle style_ = hsDefault;
};

// A borderless, disabled pop-up that draws one balloon. It keeps the screen behind it from
// the moment it is shown, because the shaded shadow lets that background show through.
class TBalloonWindow : public QWidget {
    Q_OBJECT

public:
    explicit TBalloonWindow(const TBalloonBase* settings);
    ~TBalloonWindow() override;

    // Shows `text` with the tail's tip at `pointer`, on the screen under the pointer.
    void ActivateHint(const QPoint& pointer, const QString& text);
    // The same, on the screen `screen` (global coordinates).
    void ActivateHint(const QPoint& pointer, const QString& text, const QRect& screen);

    QString text() const { return text_; }
    TBalloonPosition Direction() const { return direction_; }
    QColor fillColor() const { return fillColor_; }
    QColor outlineColor() const { return outlineColor_; }
    // The balloon as drawn (background included), for tests and the gallery.
    const QImage& image() const { return image_; }
    // True while the window watches the application's events itself (no regions).
    bool hooked() const { return hooked_; }

signals:
    // The hint should go: the pointer moved on, a button was pressed, or a window painted
    // under the balloon.
    void cancelRequested();

protected:
    void paintEvent(QPaintEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void unhook();

    const TBalloonBase* settings_;
    QString text_;
    TBalloonPosition direction_ = bpAboveRight;
    QColor fillColor_;
    QColor outlineColor_;
    QImage image_;
    // What image_ was made of, for drawing at a scaled screen's resolution.
    QImage background_;
    QImage deviceShape_; // the shape in device pixels, made at the first paint that needs it
    qm::controls::BalloonLook look_;
    QString shownText_;
    bool hooked_ = false;
    bool firstMouseMoveSeen_ = false;
    QPoint lastMovePos_;
};

class TBalloonHint;

// The class the hint machinery shows while balloons are active.
class TBalloonHintWindow : public TBalloonWindow {
    Q_OBJECT

public:
    explicit TBalloonHintWindow(const TBalloonHint* hint);
};

// The window's balloon help. It answers the toolkit's tooltip requests (so the application's
// hint switch and wake-up delay, which act on those requests, govern it too), shows the balloon
// and hides it after hintHidePause() or when the pointer leaves the control, a button or key is
// pressed, or the application loses the focus.
class TBalloonHint : public TBalloonBase {
    Q_OBJECT
    Q_PROPERTY(bool Active READ Active WRITE setActive NOTIFY activeChanged)
    Q_PROPERTY(
        int hintHidePause READ hintHidePause WRITE setHintHidePause NOTIFY hintHidePauseChanged)

public:
    // Installs itself on the application; the newest one wins.
    explicit TBalloonHint(QObject* owner = nullptr);
    ~TBalloonHint() override;

    // Balloons (on) or the plain tooltip (off).
    bool Active() const { return active_; }
    void setActive(bool on);
    // How long a hint stays, in milliseconds.
    int hintHidePause() const { return hintHidePause_; }
    void setHintHidePause(int ms);

    // Hides the hint now; the control's next tooltip request shows it again.
    void cancelHint();

    // The balloon window, made when the first balloon shows (null before, or while inactive).
    TBalloonHintWindow* hintWindow() const { return window_; }
    // The control whose hint is showing or has just shown.
    QWidget* hintControl() const { return hintControl_; }

    Qt::MouseButtons buttonsDown() const override;

signals:
    void activeChanged(bool active);
    void hintHidePauseChanged(int hintHidePause);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool isCurrent() const;
    bool showHintFor(QWidget* control, const QPoint& globalPos);
    void hideHint();
    void hintTimedOut();

    bool active_ = false;
    int hintHidePause_ = 6000;
    QPointer<QWidget> hintControl_;
    bool timedOut_ = false;
    QPointer<TBalloonHintWindow> window_;
    QTimer hideTimer_;
    Qt::MouseButtons buttons_;
};
