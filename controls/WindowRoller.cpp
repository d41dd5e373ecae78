#include "controls/WindowRoller.h"

#include "controls/RollerGeometry.h"
#include "controls/SystemColors.h"

#include <QEvent>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QRegion>
#include <QWidget>

#include <utility>

namespace {

// A Wayland compositor takes a window's shape as the region that receives input only and
// still shows all of it: there the window is made as short as its rolled shape instead.
bool ShapeHidesTheBody() {
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
    TWinRollerButton(TWinRoller* roller, QWidget* form) : QWidget(form), FRoller(roller) {
        setObjectName(QStringLiteral("WinRollerButton"));
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.drawImage(0, 0, FRoller->ButtonImage());
    }
    void mousePressEvent(QMouseEvent* e) override {
        if (e->button() == Qt::LeftButton)
            FRoller->pressButton();
    }
    void mouseDoubleClickEvent(QMouseEvent* e) override { mousePressEvent(e); }
    void mouseMoveEvent(QMouseEvent* e) override {
        FRoller->trackTo(mapToParent(e->position().toPoint()));
    }
    void mouseReleaseEvent(QMouseEvent* e) override {
        if (e->button() == Qt::LeftButton)
            FRoller->releaseAt(mapToParent(e->position().toPoint()));
    }

private:
    TWinRoller* FRoller;
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
    void setRolledHeight(int h) { FHeight = h; }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.translate(0, 3 - FHeight);
        p.fillRect(0, FHeight - 3, width(), 1, SystemColors::btnFace());
        drawRaisedEdge(p, QRect(0, 0, width(), FHeight), true, false, true, true);
    }

private:
    int FHeight = 0;
};

} // namespace

TWinRoller::TWinRoller(QObject* owner) : QObject(checkedOwner(owner)) {
    setObjectName(QStringLiteral("WinRoller"));
    FForm = static_cast<QWidget*>(owner);
    FButton = new TWinRollerButton(this, FForm);
    FEdge = new TWinRollerEdge(FForm);
    // Frame widgets: the caption bar does not move them with the client area.
    FButton->setProperty("qmNonClient", true);
    FEdge->setProperty("qmNonClient", true);
    connect(FForm, &QObject::destroyed, this, [this] { FFormDying = true; });
    FForm->installEventFilter(this);
    layoutButton();
}

TWinRoller::~TWinRoller() {
    if (FFormDying || !FForm)
        return;
    FForm->removeEventFilter(this);
    // Gone with its button, the roller must not leave the window stuck rolled up.
    if (FRoller)
        restoreFullShape();
    delete FButton.data();
    delete FEdge.data();
}

void TWinRoller::setEnabled(bool on) {
    if (FEnabled == on)
        return;
    FEnabled = on;
    repaintButton();
}

void TWinRoller::setRoller(bool up) {
    if (!FEnabled || FRoller == up)
        return;
    FRoller = up;
    if (up) {
        applyRolledShape();
        emit OnRoller(this, 1);
    } else {
        restoreFullShape();
        FEdge->hide();
        emit OnRoller(this, 0);
    }
    repaintButton();
}

void TWinRoller::setRemainHeight(int h) {
    if (FRemainHeight == h)
        return;
    FRemainHeight = h;
    if (FRoller)
        applyRolledShape();
}

void TWinRoller::setVisible(bool on) {
    if (FVisible == on)
        return;
    FVisible = on;
    layoutButton();
}

void TWinRoller::setMetrics(const TSystemMetrics& m) {
    FMetrics = m;
    layoutButton();
    if (FRoller)
        applyRolledShape();
}

QRect TWinRoller::ButtonRect() const {
    return rollerButtonRect(FForm->width(), formStyleOf(FForm), FMetrics);
}

int TWinRoller::RolledUpHeight() const {
    return rolledUpHeight(formStyleOf(FForm), FMetrics, FRemainHeight);
}

void TWinRoller::layoutButton() {
    const QRect r = ButtonRect();
    FButton->setGeometry(r);
    FButton->setVisible(FVisible && !r.isEmpty());
    FButton->raise();
    repaintButton();
}

void TWinRoller::applyRolledShape() {
    const int h = RolledUpHeight();
    const int w = FForm->width();
    FForm->setMask(QRegion(0, 0, w, h));
    if (!ShapeHidesTheBody()) {
        if (!FUnrolled)
            FUnrolled = UnrolledSize{FForm->size(), FForm->minimumSize(), FForm->maximumSize()};
        FForm->setFixedHeight(h);
    }
    auto* edge = static_cast<TWinRollerEdge*>(FEdge.data());
    edge->setRolledHeight(h);
    edge->setGeometry(0, h - 3, w, 3);
    edge->show();
    edge->raise();
    edge->update();
}

void TWinRoller::restoreFullShape() {
    FForm->clearMask();
    if (const std::optional<UnrolledSize> full = std::exchange(FUnrolled, std::nullopt)) {
        FForm->setMinimumSize(full->minimum);
        FForm->setMaximumSize(full->maximum);
        FForm->resize(full->size);
    }
}

void TWinRoller::repaintButton() {
    if (FButton)
        FButton->update();
}

QImage TWinRoller::ButtonImage() const {
    const QRect r = ButtonRect();
    QImage img(r.size().expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    QPainter p(&img);
    drawButtonFrame(p, img.rect(), FPressed);
    // Rolled down: the upward triangle is solid, the downward one outlined; rolled up the
    // other way round.
    for (const bool upward : {true, false}) {
        const bool filled = upward != FRoller;
        const auto pixels = rollerTrianglePixels(img.size(), upward, filled, FPressed);
        if (FEnabled) {
            for (const QPoint& px : pixels)
                p.fillRect(px.x(), px.y(), 1, 1, SystemColors::btnText());
        } else {
            // Embossed: a white copy one pixel down-right under the shadow-coloured one.
            for (const QPoint& px : pixels)
                p.fillRect(px.x() + 1, px.y() + 1, 1, 1, SystemColors::btnHighlight());
            for (const QPoint& px : pixels)
                p.fillRect(px.x(), px.y(), 1, 1, SystemColors::btnShadow());
        }
    }
    return img;
}

void TWinRoller::pressButton() {
    FPressed = true;
    FTracking = true;
    if (FEnabled)
        repaintButton();
}

void TWinRoller::trackTo(const QPoint& windowPos) {
    if (!FTracking)
        return;
    const bool over = ButtonRect().contains(windowPos);
    if (over != FPressed) {
        FPressed = over;
        if (FEnabled)
            repaintButton();
    }
}

void TWinRoller::releaseAt(const QPoint& windowPos) {
    FPressed = false;
    if (FTracking) {
        FTracking = false;
        if (ButtonRect().contains(windowPos))
            setRoller(!FRoller);
        repaintButton();
    }
}

bool TWinRoller::eventFilter(QObject* watched, QEvent* event) {
    if (watched != FForm)
        return false;
    switch (event->type()) {
    case QEvent::Resize:
    case QEvent::FontChange:
    case QEvent::StyleChange:
    case QEvent::ScreenChangeInternal:
        layoutButton();
        if (FRoller)
            applyRolledShape();
        break;
    case QEvent::ChildAdded:
        // Whatever the window adds later (the caption bar among them) stays below the button.
        if (FButton)
            FButton->raise();
        if (FEdge && FEdge->isVisible())
            FEdge->raise();
        break;
    case QEvent::WindowDeactivate:
        repaintButton();
        break;
    default:
        break;
    }
    return false;
}
