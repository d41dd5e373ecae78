#include "controls/BalloonHint.h"

#include "controls/DevicePixels.h"
#include "controls/SystemColors.h"

#include <QApplication>
#include <QGuiApplication>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QRegion>
#include <QScreen>
#include <QToolTip>

#include <algorithm>
#include <climits>

using namespace qm::controls;

namespace {

// The application-wide "which balloon settings are in force": the newest TBalloonHint.
constexpr const char* kCurrentHintProperty = "qmCurrentBalloonHint";

constexpr Qt::MouseButtons kHintButtons = Qt::LeftButton | Qt::RightButton | Qt::MiddleButton;

QRect screenRectAt(const QPoint& pointer) {
    QScreen* screen = QGuiApplication::screenAt(pointer);
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry() : QRect(0, 0, 640, 480);
}

} // namespace

// ---- TBalloonBase ------------------------------------------------------------------------

TBalloonBase::TBalloonBase(QObject* owner)
    : QObject(owner), borderColor_(qm::controls::classic::black()),
      color_(qm::controls::system::infoBk()), font_(defaultUiFont()),
      fontColor_(qm::controls::classic::black()) {}

void TBalloonBase::setBorderColor(const QColor& c) {
    if (c == borderColor_)
        return;
    borderColor_ = c;
    emit borderColorChanged(c);
}

void TBalloonBase::setColor(const QColor& c) {
    if (c == color_)
        return;
    color_ = c;
    emit colorChanged(c);
}

void TBalloonBase::setFont(const QFont& f) {
    if (f == font_)
        return;
    font_ = f;
    emit fontChanged(f);
}

void TBalloonBase::setFontColor(const QColor& c) {
    if (c == fontColor_)
        return;
    fontColor_ = c;
    emit fontColorChanged(c);
}

void TBalloonBase::setMaxWidth(int w) {
    if (w == maxWidth_)
        return;
    maxWidth_ = w;
    emit maxWidthChanged(w);
}

void TBalloonBase::setBehavior(TBalloonBehaviors b) {
    if (b == behavior_)
        return;
    behavior_ = b;
    emit behaviorChanged(b);
}

void TBalloonBase::setPosition(TBalloonPosition p) {
    if (p == position_)
        return;
    position_ = p;
    emit positionChanged(p);
}

void TBalloonBase::setShadowStyle(TBalloonShadowStyle s) {
    if (s == shadowStyle_)
        return;
    shadowStyle_ = s;
    emit shadowStyleChanged(s);
}

void TBalloonBase::setShape(TBalloonShape s) {
    if (s == shape_)
        return;
    shape_ = s;
    emit shapeChanged(s);
}

void TBalloonBase::setStyle(THintStyle s) {
    if (s == style_)
        return;
    style_ = s;
    emit styleChanged(s);
}

void TBalloonBase::setShadowDepth(int d) {
    const int kept = std::clamp(d, 0, kMaxShadowDepth);
    if (kept == shadowDepth_)
        return;
    shadowDepth_ = kept;
    emit shadowDepthChanged(kept);
}

BalloonLook TBalloonBase::look() const {
    BalloonLook l;
    l.shape = shape_;
    l.shadowStyle = shadowStyle_;
    l.shadowDepth = shadowDepth_;
    switch (style_) {
    case hsDefault:
        l.font = defaultUiFont();
        l.fill = qm::controls::system::infoBk();
        l.outline = qm::controls::system::windowFrame();
        l.textColor = qm::controls::system::infoText();
        break;
    case hsCustom:
        l.font = font_;
        l.fill = color_;
        l.outline = borderColor_;
        l.textColor = fontColor_;
        break;
    case hsSystem:
        l.font = QToolTip::font();
        l.fill = QToolTip::palette().color(QPalette::ToolTipBase);
        l.textColor = QToolTip::palette().color(QPalette::ToolTipText);
        l.outline = qm::controls::system::windowFrame();
        break;
    }
    return l;
}

Qt::MouseButtons TBalloonBase::buttonsDown() const {
    return QGuiApplication::mouseButtons();
}

// ---- TBalloonWindow ----------------------------------------------------------------------

TBalloonWindow::TBalloonWindow(const TBalloonBase* settings)
    // Transparent for input at the display server too: a click on the balloon reaches the
    // control under it instead of being dropped here.
    : QWidget(nullptr, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                           Qt::WindowDoesNotAcceptFocus | Qt::WindowTransparentForInput),
      settings_(settings) {
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
    const TBalloonBehaviors behavior = settings_->Behavior();
    if (behavior.testFlag(bbNoShowMouseDown) && (settings_->buttonsDown() & kHintButtons)) {
        hide();
        emit cancelRequested();
        return;
    }

    text_ = text;
    const BalloonLook look = settings_->look();
    fillColor_ = look.fill;
    outlineColor_ = look.outline;

    const int d = look.shadowDepth;
    const int limit = balloonTextWidthLimit(
        pointer.x(), screen, effectiveMaxWidth(settings_->MaxWidth(), screen.width()), d);
    const QSize size = balloonWindowSize(measureBalloonText(look.font, text, limit), d);
    const BalloonPlacement place = placeBalloon(settings_->Position(), pointer, size, screen);
    direction_ = place.direction;

    // The balloon starts from the pixels behind it, so take them before it covers them.
    if (isVisible())
        hide();
    QImage background;
    qreal ratio = 1.0;
    if (QScreen* s = QGuiApplication::screenAt(pointer)) {
        const QPoint local = place.topLeft - s->geometry().topLeft();
        background = s->grabWindow(0, local.x(), local.y(), size.width(), size.height()).toImage();
        ratio = s->devicePixelRatio();
    }
    image_ = renderBalloon(size, direction_, look, text, background);
    background_ = background;
    deviceShape_ = QImage();
    look_ = look;
    shownText_ = text;

    setGeometry(QRect(place.topLeft, size));
    if (behavior.testFlag(bbUseRegions)) {
        QRegion shown(balloonMask(size, direction_, d, look.shape));
        // A scaled screen rounds the shape's edges its own way: a pixel more all round, showing
        // the background drawn there, keeps the outline from being cut.
        if (ratio != 1.0)
            shown = shown.united(shown.translated(-1, 0))
                        .united(shown.translated(1, 0))
                        .united(shown.translated(0, -1))
                        .united(shown.translated(0, 1));
        setMask(shown);
    } else
        clearMask();
    show();
    raise();
    update();

    if (!behavior.testFlag(bbUseRegions) && !hooked_) {
        qApp->installEventFilter(this);
        hooked_ = true;
        firstMouseMoveSeen_ = false;
        lastMovePos_ = QPoint(INT_MIN, INT_MIN);
    }
}

void TBalloonWindow::paintEvent(QPaintEvent*) {
    DeviceCanvas canvas(this, QImage::Format_ARGB32_Premultiplied);
    if (canvas.ratio() == 1.0 || image_.isNull()) {
        QPainter(this).drawImage(0, 0, image_);
        return;
    }
    // Above 1x: the shape in device pixels, the text at the screen's resolution.
    if (deviceShape_.size() != canvas.deviceSize())
        deviceShape_ = renderBalloonShape(image_.size(), direction_, look_, background_,
                                          canvas.deviceSize(), canvas.line());
    {
        QPainter p(&canvas.image());
        p.setCompositionMode(QPainter::CompositionMode_Source);
        p.drawImage(0, 0, deviceShape_);
        p.setCompositionMode(QPainter::CompositionMode_SourceOver);
        p.scale(canvas.ratio(), canvas.ratio());
        drawBalloonText(p, image_.size(), direction_, look_, shownText_);
    }
    canvas.paintOn(this);
}

void TBalloonWindow::hideEvent(QHideEvent* event) {
    unhook();
    QWidget::hideEvent(event);
}

void TBalloonWindow::unhook() {
    if (hooked_ && qApp)
        qApp->removeEventFilter(this);
    hooked_ = false;
}

bool TBalloonWindow::eventFilter(QObject* watched, QEvent* event) {
    if (!hooked_ || !isVisible())
        return false;
    switch (event->type()) {
    case QEvent::Paint: {
        auto* w = qobject_cast<QWidget*>(watched);
        if (w && w != this && settings_->Behavior().testFlag(bbHideOnPaint)) {
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
        if (pos == lastMovePos_)
            break;
        lastMovePos_ = pos;
        if (!firstMouseMoveSeen_)
            firstMouseMoveSeen_ = true;
        else
            emit cancelRequested();
        break;
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::NonClientAreaMouseButtonPress:
    case QEvent::NonClientAreaMouseButtonDblClick:
        if (static_cast<QMouseEvent*>(event)->button() & kHintButtons)
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
    hideTimer_.setSingleShot(true);
    // A coarse timer may fire several hundred milliseconds early.
    hideTimer_.setTimerType(Qt::PreciseTimer);
    connect(&hideTimer_, &QTimer::timeout, this, &TBalloonHint::hintTimedOut);
    qApp->setProperty(kCurrentHintProperty, QVariant::fromValue<QObject*>(this));
    qApp->installEventFilter(this);
    setActive(true);
}

TBalloonHint::~TBalloonHint() {
    qApp->removeEventFilter(this);
    if (isCurrent())
        qApp->setProperty(kCurrentHintProperty, QVariant());
    delete window_.data();
}

bool TBalloonHint::isCurrent() const {
    return qApp->property(kCurrentHintProperty).value<QObject*>() == this;
}

void TBalloonHint::setActive(bool on) {
    if (active_ == on)
        return;
    active_ = on;
    if (!QCoreApplication::closingDown()) {
        // The next hint makes a window of the new kind.
        cancelHint();
        delete window_.data();
    }
    emit activeChanged(on);
}

void TBalloonHint::setHintHidePause(int ms) {
    if (ms == hintHidePause_)
        return;
    hintHidePause_ = ms;
    emit hintHidePauseChanged(ms);
}

Qt::MouseButtons TBalloonHint::buttonsDown() const {
    return QGuiApplication::mouseButtons() | buttons_;
}

void TBalloonHint::cancelHint() {
    hintControl_ = nullptr;
    timedOut_ = false;
    hideHint();
}

void TBalloonHint::hideHint() {
    hideTimer_.stop();
    if (window_)
        window_->hide();
    QToolTip::hideText();
}

void TBalloonHint::hintTimedOut() {
    hideHint();
    // The control has had its hint; it shows again only after the pointer has left it.
    timedOut_ = true;
}

bool TBalloonHint::showHintFor(QWidget* control, const QPoint& globalPos) {
    if (control == hintControl_ && timedOut_)
        return true;
    hintControl_ = control;
    timedOut_ = false;
    const QString text = control->toolTip();
    if (!active_) {
        QToolTip::showText(globalPos, text, control, QRect(), hintHidePause_);
        return true;
    }
    if (!window_) {
        window_ = new TBalloonHintWindow(this);
        connect(window_, &TBalloonWindow::cancelRequested, this, &TBalloonHint::cancelHint);
    }
    window_->ActivateHint(globalPos, text);
    if (window_ && window_->isVisible())
        hideTimer_.start(hintHidePause_);
    return true;
}

bool TBalloonHint::eventFilter(QObject* watched, QEvent* event) {
    if (!isCurrent())
        return false;
    switch (event->type()) {
    case QEvent::ToolTip: {
        // A control without a hint lets the request pass on to its parent.
        auto* w = qobject_cast<QWidget*>(watched);
        if (!w || w == window_ || w->toolTip().isEmpty())
            break;
        return showHintFor(w, static_cast<QHelpEvent*>(event)->globalPos());
    }
    case QEvent::MouseMove: {
        auto* me = static_cast<QMouseEvent*>(event);
        buttons_ = me->buttons();
        if (hintControl_) {
            const QPoint at = hintControl_->mapFromGlobal(me->globalPosition().toPoint());
            if (!hintControl_->rect().contains(at))
                cancelHint();
        }
        break;
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::NonClientAreaMouseButtonPress:
        buttons_ = static_cast<QMouseEvent*>(event)->buttons();
        cancelHint();
        break;
    case QEvent::MouseButtonRelease:
        buttons_ = static_cast<QMouseEvent*>(event)->buttons();
        break;
    case QEvent::KeyPress:
    case QEvent::Wheel:
    case QEvent::ApplicationDeactivate:
        cancelHint();
        break;
    case QEvent::Leave: {
        // Leaving a window of ours, not just passing between its children.
        auto* w = qobject_cast<QWidget*>(watched);
        if (w && w->isWindow() && w != window_)
            cancelHint();
        break;
    }
    default:
        break;
    }
    return false;
}
