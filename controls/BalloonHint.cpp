#include "controls/BalloonHint.h"

#include "controls/SystemColors.h"

#include <QApplication>
#include <QGuiApplication>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>
#include <QToolTip>

#include <algorithm>
#include <climits>

namespace {

// The application-wide "which balloon settings are in force": the newest TBalloonHint.
constexpr const char* CurrentHintProperty = "qmCurrentBalloonHint";

constexpr Qt::MouseButtons HintButtons = Qt::LeftButton | Qt::RightButton | Qt::MiddleButton;

QRect screenRectAt(const QPoint& pointer) {
    QScreen* screen = QGuiApplication::screenAt(pointer);
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry() : QRect(0, 0, 640, 480);
}

} // namespace

// ---- TBalloonBase ------------------------------------------------------------------------

TBalloonBase::TBalloonBase(QObject* owner)
    : QObject(owner), FBorderColor(ClassicColors::black()), FColor(SystemColors::infoBk()),
      FFont(defaultUiFont()), FFontColor(ClassicColors::black()) {}

void TBalloonBase::setShadowDepth(int d) {
    FShadowDepth = std::clamp(d, 0, MaxShadowDepth);
}

BalloonLook TBalloonBase::look() const {
    BalloonLook l;
    l.shape = FShape;
    l.shadowStyle = FShadowStyle;
    l.shadowDepth = FShadowDepth;
    switch (FStyle) {
    case hsDefault:
        l.font = defaultUiFont();
        l.fill = SystemColors::infoBk();
        l.outline = SystemColors::windowFrame();
        l.textColor = SystemColors::infoText();
        break;
    case hsCustom:
        l.font = FFont;
        l.fill = FColor;
        l.outline = FBorderColor;
        l.textColor = FFontColor;
        break;
    case hsSystem:
        l.font = QToolTip::font();
        l.fill = QToolTip::palette().color(QPalette::ToolTipBase);
        l.textColor = QToolTip::palette().color(QPalette::ToolTipText);
        l.outline = SystemColors::windowFrame();
        break;
    }
    return l;
}

Qt::MouseButtons TBalloonBase::buttonsDown() const {
    return QGuiApplication::mouseButtons();
}

// ---- TBalloonWindow ----------------------------------------------------------------------

TBalloonWindow::TBalloonWindow(const TBalloonBase* settings)
    : QWidget(nullptr, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                           Qt::WindowDoesNotAcceptFocus),
      FSettings(settings) {
    setObjectName(QStringLiteral("BalloonWindow"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    // Never erase: every pixel comes from the balloon image, background included.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setEnabled(false);
}

TBalloonWindow::~TBalloonWindow() {
    unhook();
}

void TBalloonWindow::ActivateHint(const QPoint& pointer, const QString& text) {
    ActivateHint(pointer, text, screenRectAt(pointer));
}

void TBalloonWindow::ActivateHint(const QPoint& pointer, const QString& text, const QRect& screen) {
    const TBalloonBehaviors behavior = FSettings->Behavior();
    if (behavior.testFlag(bbNoShowMouseDown) && (FSettings->buttonsDown() & HintButtons)) {
        hide();
        emit cancelRequested();
        return;
    }

    FText = text;
    const BalloonLook look = FSettings->look();
    FFillColor = look.fill;
    FOutlineColor = look.outline;

    const int d = look.shadowDepth;
    const int limit = balloonTextWidthLimit(
        pointer.x(), screen, effectiveMaxWidth(FSettings->MaxWidth(), screen.width()), d);
    const QSize size = balloonWindowSize(measureBalloonText(look.font, text, limit), d);
    const BalloonPlacement place = placeBalloon(FSettings->Position(), pointer, size, screen);
    FDirection = place.direction;

    // The balloon starts from the pixels behind it, so take them before it covers them.
    if (isVisible())
        hide();
    QImage background;
    if (QScreen* s = QGuiApplication::screenAt(pointer)) {
        const QPoint local = place.topLeft - s->geometry().topLeft();
        background = s->grabWindow(0, local.x(), local.y(), size.width(), size.height()).toImage();
    }
    FImage = renderBalloon(size, FDirection, look, text, background);

    setGeometry(QRect(place.topLeft, size));
    if (behavior.testFlag(bbUseRegions))
        setMask(balloonMask(size, FDirection, d, look.shape));
    else
        clearMask();
    show();
    raise();
    update();

    if (!behavior.testFlag(bbUseRegions) && !FHooked) {
        qApp->installEventFilter(this);
        FHooked = true;
        FFirstMouseMoveSeen = false;
        FLastMovePos = QPoint(INT_MIN, INT_MIN);
    }
}

void TBalloonWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawImage(0, 0, FImage);
}

void TBalloonWindow::hideEvent(QHideEvent* event) {
    unhook();
    QWidget::hideEvent(event);
}

void TBalloonWindow::unhook() {
    if (FHooked && qApp)
        qApp->removeEventFilter(this);
    FHooked = false;
}

bool TBalloonWindow::eventFilter(QObject* watched, QEvent* event) {
    if (!FHooked || !isVisible())
        return false;
    switch (event->type()) {
    case QEvent::Paint: {
        auto* w = qobject_cast<QWidget*>(watched);
        if (w && w != this && FSettings->Behavior().testFlag(bbHideOnPaint)) {
            const QRect dirty = static_cast<QPaintEvent*>(event)->rect();
            const QRect onScreen(w->mapToGlobal(dirty.topLeft()), dirty.size());
            if (onScreen.intersects(geometry()))
                emit cancelRequested();
        }
        break;
    }
    case QEvent::MouseMove: {
        // One move reaches the filter once per widget it passes; count it once.
        const QPoint pos = static_cast<QMouseEvent*>(event)->globalPosition().toPoint();
        if (pos == FLastMovePos)
            break;
        FLastMovePos = pos;
        if (!FFirstMouseMoveSeen)
            FFirstMouseMoveSeen = true;
        else
            emit cancelRequested();
        break;
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::NonClientAreaMouseButtonPress:
    case QEvent::NonClientAreaMouseButtonDblClick:
        if (static_cast<QMouseEvent*>(event)->button() & HintButtons)
            emit cancelRequested();
        break;
    default:
        break;
    }
    return false;
}

TBalloonHintWindow::TBalloonHintWindow(const TBalloonHint* hint) : TBalloonWindow(hint) {}

// ---- TBalloonHint ------------------------------------------------------------------------

TBalloonHint::TBalloonHint(QObject* owner) : TBalloonBase(owner) {
    setObjectName(QStringLiteral("BalloonHint1"));
    FHideTimer.setSingleShot(true);
    // A coarse timer may fire several hundred milliseconds early.
    FHideTimer.setTimerType(Qt::PreciseTimer);
    connect(&FHideTimer, &QTimer::timeout, this, &TBalloonHint::hintTimedOut);
    qApp->setProperty(CurrentHintProperty, QVariant::fromValue<QObject*>(this));
    qApp->installEventFilter(this);
    setActive(true);
}

TBalloonHint::~TBalloonHint() {
    qApp->removeEventFilter(this);
    if (isCurrent())
        qApp->setProperty(CurrentHintProperty, QVariant());
    delete FWindow.data();
}

bool TBalloonHint::isCurrent() const {
    return qApp->property(CurrentHintProperty).value<QObject*>() == this;
}

void TBalloonHint::setActive(bool on) {
    if (FActive == on)
        return;
    FActive = on;
    if (QCoreApplication::closingDown())
        return;
    // The next hint makes a window of the new kind.
    CancelHint();
    delete FWindow.data();
}

Qt::MouseButtons TBalloonHint::buttonsDown() const {
    return QGuiApplication::mouseButtons() | FButtons;
}

void TBalloonHint::CancelHint() {
    FHintControl = nullptr;
    FTimedOut = false;
    hideHint();
}

void TBalloonHint::hideHint() {
    FHideTimer.stop();
    if (FWindow)
        FWindow->hide();
    QToolTip::hideText();
}

void TBalloonHint::hintTimedOut() {
    hideHint();
    // The control has had its hint; it shows again only after the pointer has left it.
    FTimedOut = true;
}

bool TBalloonHint::showHintFor(QWidget* control, const QPoint& globalPos) {
    if (control == FHintControl && FTimedOut)
        return true;
    FHintControl = control;
    FTimedOut = false;
    const QString text = control->toolTip();
    if (!FActive) {
        QToolTip::showText(globalPos, text, control, QRect(), FHintHidePause);
        return true;
    }
    if (!FWindow) {
        FWindow = new TBalloonHintWindow(this);
        connect(FWindow, &TBalloonWindow::cancelRequested, this, &TBalloonHint::CancelHint);
    }
    FWindow->ActivateHint(globalPos, text);
    if (FWindow && FWindow->isVisible())
        FHideTimer.start(FHintHidePause);
    return true;
}

bool TBalloonHint::eventFilter(QObject* watched, QEvent* event) {
    if (!isCurrent())
        return false;
    switch (event->type()) {
    case QEvent::ToolTip: {
        // A control without a hint lets the request pass on to its parent.
        auto* w = qobject_cast<QWidget*>(watched);
        if (!w || w == FWindow || w->toolTip().isEmpty())
            break;
        return showHintFor(w, static_cast<QHelpEvent*>(event)->globalPos());
    }
    case QEvent::MouseMove: {
        auto* me = static_cast<QMouseEvent*>(event);
        FButtons = me->buttons();
        if (FHintControl) {
            const QPoint at = FHintControl->mapFromGlobal(me->globalPosition().toPoint());
            if (!FHintControl->rect().contains(at))
                CancelHint();
        }
        break;
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::NonClientAreaMouseButtonPress:
        FButtons = static_cast<QMouseEvent*>(event)->buttons();
        CancelHint();
        break;
    case QEvent::MouseButtonRelease:
        FButtons = static_cast<QMouseEvent*>(event)->buttons();
        break;
    case QEvent::KeyPress:
    case QEvent::Wheel:
    case QEvent::ApplicationDeactivate:
        CancelHint();
        break;
    case QEvent::Leave: {
        // Leaving a window of ours, not just passing between its children.
        auto* w = qobject_cast<QWidget*>(watched);
        if (w && w->isWindow() && w != FWindow)
            CancelHint();
        break;
    }
    default:
        break;
    }
    return false;
}
