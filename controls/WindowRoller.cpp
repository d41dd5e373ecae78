#include "controls/WindowRoller.h"

#include "controls/DevicePixels.h"
#include "controls/RollerGeometry.h"
#include "controls/SystemColors.h"

#include <QEvent>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QRegion>
#include <QWidget>

#include <utility>

using namespace qm::controls;

namespace {

// A Wayland compositor takes a window's shape as the region that receives input only and
// still shows all of it: there the window is made as short as its rolled shape instead.
bool shapeHidesTheBody() {
    return !QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

QObject* checkedOwner(QObject* owner) {
    if (!isForm(owner))
        throw EOwnerError();
    return owner;
}

// The caption button itself: it forwards the mouse to the roller (the press grabs the mouse,
// so the roller keeps tracking while the pointer is off the button).
class TWinRollerButton : public QWidget {
public:
    TWinRollerButton(TWinRoller* roller, QWidget* form) : QWidget(form), roller_(roller) {
        setObjectName(QStringLiteral("WinRollerButton"));
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        DeviceCanvas canvas(this, QImage::Format_RGB32);
        if (canvas.ratio() == 1.0) {
            QPainter(this).drawImage(0, 0, roller_->buttonImage());
            return;
        }
        // Above 1x in device pixels: edges and triangles on whole device lines.
        {
            QPainter p(&canvas.image());
            const DeviceGrid grid = canvas.grid(2, 2);
            roller_->paintButton(p, size(), &grid);
        }
        canvas.paintOn(this);
    }
    void mousePressEvent(QMouseEvent* e) override {
        if (e->button() == Qt::LeftButton)
            roller_->pressButton();
    }
    void mouseDoubleClickEvent(QMouseEvent* e) override { mousePressEvent(e); }
    void mouseMoveEvent(QMouseEvent* e) override {
        roller_->trackTo(mapToParent(e->position().toPoint()));
    }
    void mouseReleaseEvent(QMouseEvent* e) override {
        if (e->button() == Qt::LeftButton)
            roller_->releaseAt(mapToParent(e->position().toPoint()));
    }

private:
    TWinRoller* roller_;
};

// The bottom edge a rolled-up window shows below its caption: a line of button face and the
// raised edge of the shortened frame.
class TWinRollerEdge : public QWidget {
public:
    explicit TWinRollerEdge(QWidget* form) : QWidget(form) {
        setObjectName(QStringLiteral("WinRollerEdge"));
        setAttribute(Qt::WA_OpaquePaintEvent);
        hide();
    }
    void setRolledHeight(int h) { height_ = h; }

protected:
    void paintEvent(QPaintEvent*) override {
        DeviceCanvas canvas(this, QImage::Format_RGB32);
        if (canvas.ratio() == 1.0) {
            QPainter p(this);
            p.translate(0, 3 - height_);
            p.fillRect(0, height_ - 3, width(), 1, qm::controls::system::btnFace());
            drawRaisedEdge(p, QRect(0, 0, width(), height_), true, false, true, true);
            return;
        }
        // Above 1x: the bottom of the shortened frame on the device lines the whole window's
        // frame would take, each of its lines one whole device line.
        {
            const qreal ratio = canvas.ratio();
            const int deviceTop = qRound((height_ - 3) * ratio);
            const DeviceGrid grid{
                DeviceAxis(width(), canvas.deviceSize().width(), 2, canvas.line()),
                DeviceAxis(height_, qRound(height_ * ratio), 2, canvas.line())};
            canvas.image().fill(system::btnFace());
            QPainter p(&canvas.image());
            p.translate(0, -deviceTop);
            drawRaisedEdge(p, QRect(0, 0, width(), height_), true, false, true, true, &grid);
        }
        canvas.paintOn(this);
    }

private:
    int height_ = 0;
};

} // namespace

TWinRoller::TWinRoller(QObject* owner) : QObject(checkedOwner(owner)) {
    setObjectName(QStringLiteral("WinRoller"));
    form_ = static_cast<QWidget*>(owner);
    button_ = new TWinRollerButton(this, form_);
    edge_ = new TWinRollerEdge(form_);
    // Frame widgets: the caption bar does not move them with the client area.
    button_->setProperty("qmNonClient", true);
    edge_->setProperty("qmNonClient", true);
    connect(form_, &QObject::destroyed, this, [this] { formDying_ = true; });
    form_->installEventFilter(this);
    layoutButton();
}

TWinRoller::~TWinRoller() {
    if (formDying_ || !form_)
        return;
    form_->removeEventFilter(this);
    // Gone with its button, the roller must not leave the window stuck rolled up.
    if (roller_)
        restoreFullShape();
    delete button_.data();
    delete edge_.data();
}

void TWinRoller::setEnabled(bool on) {
    if (enabled_ == on)
        return;
    enabled_ = on;
    repaintButton();
    emit enabledChanged(on);
}

void TWinRoller::setRoller(bool up) {
    if (!enabled_ || roller_ == up)
        return;
    roller_ = up;
    if (up) {
        applyRolledShape();
        focusOutOfTheBody();
        emit OnRoller(this, 1);
    } else {
        restoreFullShape();
        edge_->hide();
        focusBackIntoTheBody();
        emit OnRoller(this, 0);
    }
    repaintButton();
    emit rollerChanged(up);
}

void TWinRoller::setRemainHeight(int h) {
    if (remainHeight_ == h)
        return;
    remainHeight_ = h;
    if (roller_)
        applyRolledShape();
    emit remainHeightChanged(h);
}

void TWinRoller::setVisible(bool on) {
    if (visible_ == on)
        return;
    visible_ = on;
    layoutButton();
    emit visibleChanged(on);
}

void TWinRoller::setMetrics(const TSystemMetrics& m) {
    metrics_ = m;
    layoutButton();
    if (roller_)
        applyRolledShape();
}

QRect TWinRoller::buttonRect() const {
    return rollerButtonRect(form_->width(), formStyleOf(form_), metrics_);
}

int TWinRoller::rolledUpHeight() const {
    return qm::controls::rolledUpHeight(formStyleOf(form_), metrics_, remainHeight_);
}

void TWinRoller::layoutButton() {
    const QRect r = buttonRect();
    button_->setGeometry(r);
    button_->setVisible(visible_ && !r.isEmpty());
    button_->raise();
    repaintButton();
}

void TWinRoller::applyRolledShape() {
    const int h = rolledUpHeight();
    const int w = form_->width();
    form_->setMask(QRegion(0, 0, w, h));
    if (!shapeHidesTheBody()) {
        if (!unrolled_)
            unrolled_ = UnrolledSize{form_->size(), form_->minimumSize(), form_->maximumSize()};
        form_->setFixedHeight(h);
    }
    auto* edge = static_cast<TWinRollerEdge*>(edge_.data());
    edge->setRolledHeight(h);
    edge->setGeometry(0, h - 3, w, 3);
    edge->show();
    edge->raise();
    edge->update();
}

void TWinRoller::restoreFullShape() {
    form_->clearMask();
    if (const std::optional<UnrolledSize> full = std::exchange(unrolled_, std::nullopt)) {
        form_->setMinimumSize(full->minimum);
        form_->setMaximumSize(full->maximum);
        form_->resize(full->size);
    }
}

void TWinRoller::focusOutOfTheBody() {
    // Keys must not edit a box the user cannot see: the window itself holds the focus, which
    // takes no typing, until it rolls down.
    QWidget* focus = form_->focusWidget();
    if (focus == nullptr || focus == form_)
        return;
    focusBeforeRolling_ = focus;
    form_->setFocus(Qt::OtherFocusReason);
}

void TWinRoller::focusBackIntoTheBody() {
    QWidget* back = std::exchange(focusBeforeRolling_, nullptr);
    // Unless something else took the focus meanwhile, or the control went away.
    const QWidget* focus = form_->focusWidget();
    if (back == nullptr || (focus != nullptr && focus != form_) || back->window() != form_ ||
        !back->isVisible() || !back->isEnabled())
        return;
    back->setFocus(Qt::OtherFocusReason);
}

void TWinRoller::repaintButton() {
    if (button_)
        button_->update();
}

QImage TWinRoller::buttonImage() const {
    const QRect r = buttonRect();
    QImage img(r.size().expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    QPainter p(&img);
    paintButton(p, img.size(), nullptr);
    return img;
}

void TWinRoller::paintButton(QPainter& p, const QSize& size, const DeviceGrid* grid) const {
    auto dot = [&](int x, int y, const QColor& c) {
        const QRect px(x, y, 1, 1);
        p.fillRect(grid ? grid->map(px) : px, c);
    };
    drawButtonFrame(p, QRect(QPoint(0, 0), size), pressed_, grid);
    // Rolled down: the upward triangle is solid, the downward one outlined; rolled up the
    // other way round.
    for (const bool upward : {true, false}) {
        const bool filled = upward != roller_;
        const auto pixels = rollerTrianglePixels(size, upward, filled, pressed_);
        if (enabled_) {
            for (const QPoint& px : pixels)
                dot(px.x(), px.y(), qm::controls::system::btnText());
        } else {
            // Embossed: a white copy one pixel down-right under the shadow-coloured one.
            for (const QPoint& px : pixels)
                dot(px.x() + 1, px.y() + 1, qm::controls::system::btnHighlight());
            for (const QPoint& px : pixels)
                dot(px.x(), px.y(), qm::controls::system::btnShadow());
        }
    }
}

void TWinRoller::pressButton() {
    pressed_ = true;
    tracking_ = true;
    if (enabled_)
        repaintButton();
}

void TWinRoller::trackTo(const QPoint& windowPos) {
    if (!tracking_)
        return;
    const bool over = buttonRect().contains(windowPos);
    if (over != pressed_) {
        pressed_ = over;
        if (enabled_)
            repaintButton();
    }
}

void TWinRoller::releaseAt(const QPoint& windowPos) {
    pressed_ = false;
    if (tracking_) {
        tracking_ = false;
        if (buttonRect().contains(windowPos))
            setRoller(!roller_);
        repaintButton();
    }
}

bool TWinRoller::eventFilter(QObject* watched, QEvent* event) {
    if (watched != form_)
        return false;
    switch (event->type()) {
    case QEvent::Resize:
    case QEvent::FontChange:
    case QEvent::StyleChange:
    case QEvent::ScreenChangeInternal:
        layoutButton();
        if (roller_)
            applyRolledShape();
        break;
    case QEvent::ChildAdded:
        // Whatever the window adds later (the caption bar among them) stays below the button.
        if (button_)
            button_->raise();
        if (edge_ && edge_->isVisible())
            edge_->raise();
        break;
    case QEvent::WindowDeactivate:
        repaintButton();
        break;
    default:
        break;
    }
    return false;
}
