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
    Q_PROPERTY(QColor BorderColor READ BorderColor WRITE setBorderColor)
    Q_PROPERTY(QColor Color READ Color WRITE setColor)
    Q_PROPERTY(QFont Font READ Font WRITE setFont)
    Q_PROPERTY(QColor FontColor READ FontColor WRITE setFontColor)
    Q_PROPERTY(int MaxWidth READ MaxWidth WRITE setMaxWidth)
    Q_PROPERTY(TBalloonBehaviors Behavior READ Behavior WRITE setBehavior)
    Q_PROPERTY(TBalloonPosition Position READ Position WRITE setPosition)
    Q_PROPERTY(int ShadowDepth READ ShadowDepth WRITE setShadowDepth)
    Q_PROPERTY(TBalloonShadowStyle ShadowStyle READ ShadowStyle WRITE setShadowStyle)
    Q_PROPERTY(TBalloonShape Shape READ Shape WRITE setShape)
    Q_PROPERTY(THintStyle Style READ Style WRITE setStyle)

public:
    explicit TBalloonBase(QObject* owner = nullptr);

    QColor BorderColor() const { return FBorderColor; }
    void setBorderColor(const QColor& c) { FBorderColor = c; }
    QColor Color() const { return FColor; }
    void setColor(const QColor& c) { FColor = c; }
    QFont Font() const { return FFont; }
    void setFont(const QFont& f) { FFont = f; }
    // The custom font's colour (a font carries its colour where this was designed).
    QColor FontColor() const { return FFontColor; }
    void setFontColor(const QColor& c) { FFontColor = c; }
    int MaxWidth() const { return FMaxWidth; }
    void setMaxWidth(int w) { FMaxWidth = w; }
    TBalloonBehaviors Behavior() const { return FBehavior; }
    void setBehavior(TBalloonBehaviors b) { FBehavior = b; }
    TBalloonPosition Position() const { return FPosition; }
    void setPosition(TBalloonPosition p) { FPosition = p; }
    int ShadowDepth() const { return FShadowDepth; }
    void setShadowDepth(int d); // clamped to 0..16
    TBalloonShadowStyle ShadowStyle() const { return FShadowStyle; }
    void setShadowStyle(TBalloonShadowStyle s) { FShadowStyle = s; }
    TBalloonShape Shape() const { return FShape; }
    void setShape(TBalloonShape s) { FShape = s; }
    THintStyle Style() const { return FStyle; }
    void setStyle(THintStyle s) { FStyle = s; }

    // Font and colours chosen by Style.
    BalloonLook look() const;
    // Mouse buttons held now.
    virtual Qt::MouseButtons buttonsDown() const;

private:
    QColor FBorderColor;
    QColor FColor;
    QFont FFont;
    QColor FFontColor;
    int FMaxWidth = -4;
    TBalloonBehaviors FBehavior = bbNoShowMouseDown | bbUseRegions | bbHideOnPaint;
    TBalloonPosition FPosition = bpAboveRight;
    int FShadowDepth = 8;
    TBalloonShadowStyle FShadowStyle = ssShaded;
    TBalloonShape FShape = bsRoundRect;
    THintStyle FStyle = hsDefault;
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

    QString Text() const { return FText; }
    TBalloonPosition Direction() const { return FDirection; }
    QColor FillColor() const { return FFillColor; }
    QColor OutlineColor() const { return FOutlineColor; }
    // The balloon as drawn (background included), for tests and the gallery.
    const QImage& Image() const { return FImage; }
    // True while the window watches the application's events itself (no regions).
    bool Hooked() const { return FHooked; }

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

    const TBalloonBase* FSettings;
    QString FText;
    TBalloonPosition FDirection = bpAboveRight;
    QColor FFillColor;
    QColor FOutlineColor;
    QImage FImage;
    bool FHooked = false;
    bool FFirstMouseMoveSeen = false;
    QPoint FLastMovePos;
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
// and hides it after HintHidePause or when the pointer leaves the control, a button or key is
// pressed, or the application loses the focus.
class TBalloonHint : public TBalloonBase {
    Q_OBJECT
    Q_PROPERTY(bool Active READ Active WRITE setActive)
    Q_PROPERTY(int HintHidePause READ HintHidePause WRITE setHintHidePause)

public:
    // Installs itself on the application; the newest one wins.
    explicit TBalloonHint(QObject* owner = nullptr);
    ~TBalloonHint() override;

    // Balloons (on) or the plain tooltip (off).
    bool Active() const { return FActive; }
    void setActive(bool on);
    // How long a hint stays, in milliseconds.
    int HintHidePause() const { return FHintHidePause; }
    void setHintHidePause(int ms) { FHintHidePause = ms; }

    // Hides the hint now; the control's next tooltip request shows it again.
    void CancelHint();

    // The balloon window, made when the first balloon shows (null before, or while inactive).
    TBalloonHintWindow* HintWindow() const { return FWindow; }
    // The control whose hint is showing or has just shown.
    QWidget* HintControl() const { return FHintControl; }

    Qt::MouseButtons buttonsDown() const override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool isCurrent() const;
    bool showHintFor(QWidget* control, const QPoint& globalPos);
    void hideHint();
    void hintTimedOut();

    bool FActive = false;
    int FHintHidePause = 6000;
    QPointer<QWidget> FHintControl;
    bool FTimedOut = false;
    QPointer<TBalloonHintWindow> FWindow;
    QTimer FHideTimer;
    Qt::MouseButtons FButtons;
};
