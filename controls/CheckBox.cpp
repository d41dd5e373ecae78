#include "controls/CheckBox.h"

#include "controls/DevicePixels.h"
#include "controls/PixelLines.h"
#include "controls/SystemColors.h"
#include "controls/ToggleMath.h"

#include <QEvent>
#include <QFocusEvent>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QShortcutEvent>
#include <cmath>

using namespace qm::controls;

namespace {

// The size a new toggle has before anything sets its bounds.
constexpr QSize kConstructionSize(113, 17);
// The caption starts here, right of the box.
constexpr int kTextLeft = 18;

} // namespace

// ---- TTogglerBase ----

TTogglerBase::TTogglerBase(QWidget* parent) : QWidget(parent) {
    resize(kConstructionSize);
    setAttribute(Qt::WA_OpaquePaintEvent); // the control paints every pixel itself
    setFocusPolicy(Qt::StrongFocus);
}

TTogglerBase::~TTogglerBase() = default;

void TTogglerBase::setTabStop(bool on) {
    if (on == tabStop())
        return;
    // Without a tab stop the box still takes the focus when clicked.
    setFocusPolicy(on ? Qt::StrongFocus : Qt::ClickFocus);
    emit tabStopChanged(on);
}

void TTogglerBase::setCaption(const QString& text) {
    if (text == caption_)
        return;
    caption_ = text;
    accel_ = acceleratorOf(text);
    if (shortcutId_ != 0)
        releaseShortcut(shortcutId_);
    shortcutId_ = 0;
    if (!accel_.isNull())
        shortcutId_ = grabShortcut(QKeySequence(
            QKeyCombination(Qt::AltModifier, static_cast<Qt::Key>(accel_.toUpper().unicode()))));
    update();
    emit captionChanged(caption_);
}

bool TTogglerBase::canFocus() const {
    return isEnabled() && isVisible() && focusPolicy() != Qt::NoFocus;
}

void TTogglerBase::setPressed(bool on) {
    if (on == pressed_)
        return;
    pressed_ = on;
    update();
}

bool TTogglerBase::event(QEvent* event) {
    if (event->type() == QEvent::Shortcut) {
        auto* se = static_cast<QShortcutEvent*>(event);
        if (se->shortcutId() == shortcutId_ && canFocus()) {
            toggle();
            setFocus(Qt::ShortcutFocusReason);
            return true;
        }
    }
    return QWidget::event(event);
}

void TTogglerBase::buttonDown(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    if (canFocus()) {
        setFocus(Qt::MouseFocusReason);
        clicking_ = true;
        setPressed(rect().contains(event->position().toPoint()));
    }
}

void TTogglerBase::mousePressEvent(QMouseEvent* event) {
    buttonDown(event);
    QWidget::mousePressEvent(event);
}

void TTogglerBase::mouseDoubleClickEvent(QMouseEvent* event) {
    // A double-click is one more button down.
    buttonDown(event);
    QWidget::mouseDoubleClickEvent(event);
}

void TTogglerBase::mouseMoveEvent(QMouseEvent* event) {
    if (clicking_ && hasFocus())
        setPressed(rect().contains(event->position().toPoint()));
    QWidget::mouseMoveEvent(event);
}

void TTogglerBase::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        const bool toggles = clicking_ && rect().contains(event->position().toPoint());
        clicking_ = false;
        setPressed(false);
        if (toggles)
            toggle();
    }
    QWidget::mouseReleaseEvent(event);
}

void TTogglerBase::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Space) {
        setPressed(true);
        return;
    }
    if (pressed_)
        setPressed(false);
    QWidget::keyPressEvent(event);
}

void TTogglerBase::keyReleaseEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Space && !event->isAutoRepeat()) {
        if (pressed_) {
            setPressed(false);
            toggle();
        }
        return;
    }
    QWidget::keyReleaseEvent(event);
}

void TTogglerBase::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    update();
}

void TTogglerBase::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    update();
}

// ---- TCheckBoxBase ----

TCheckBoxBase::TCheckBoxBase(QWidget* parent) : TTogglerBase(parent) {}

void TCheckBoxBase::setState(TCheckBoxState s) {
    if (s == state_)
        return;
    const bool wasChecked = checked();
    state_ = s;
    update();
    emit stateChanged(s);
    if (checked() != wasChecked)
        emit checkedChanged(checked());
    emit clicked(); // also when the program sets it
}

// ---- TBWCCCheckBox ----

TBWCCCheckBox::TBWCCCheckBox(QWidget* parent)
    : TCheckBoxBase(parent), checkColor_(qm::controls::system::windowText()),
      color_(qm::controls::system::btnFace()), fontColor_(qm::controls::system::windowText()) {}

void TBWCCCheckBox::setCheckColor(const QColor& c) {
    if (c == checkColor_)
        return;
    checkColor_ = c;
    update();
    emit checkColorChanged(c);
}

void TBWCCCheckBox::setColor(const QColor& c) {
    if (c == color_)
        return;
    color_ = c;
    update();
    emit colorChanged(c);
}

void TBWCCCheckBox::setFontColor(const QColor& c) {
    if (c == fontColor_)
        return;
    fontColor_ = c;
    update();
    emit fontColorChanged(c);
}

QSize TBWCCCheckBox::sizeHint() const {
    const QSize text = fontMetrics().size(Qt::TextShowMnemonic, caption());
    // One more pixel across and down for the focus rectangle around the text.
    QSize hint(kTextLeft + text.width() + 1, text.height() + 1);
    // Tall enough for the box with its pushed frame, which reaches one pixel past its bottom.
    for (;;) {
        const BoxEdges box = checkBoxEdges(hint.height());
        if (box.top >= 0 && box.bottom + 1 <= hint.height())
            break;
        hint.rheight() += 1;
    }
    return hint;
}

void TBWCCCheckBox::paintBox(QPainter& p, const DeviceCanvas& canvas) const {
    const qreal ratio = canvas.ratio();
    p.fillRect(QRect(QPoint(0, 0), canvas.deviceSize()), color_);

    // Text, word-wrapped right of the box and centred vertically as a block; above 1x drawn
    // through a scaled painter at the screen's resolution.
    p.save();
    p.scale(ratio, ratio);
    const int flags = Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop | Qt::TextShowMnemonic;
    p.setFont(font());
    const int textWidth = std::max(width() - kTextLeft, 1);
    const QRect measured =
        p.fontMetrics().boundingRect(QRect(0, 0, textWidth, 0), flags, caption());
    const int top = height() / 2 - measured.height() / 2;
    const QRect textRect(kTextLeft, top, textWidth, measured.height());
    if (hasFocus()) {
        const QRect focus = textRect.adjusted(-1, 0, 1, 1);
        p.save();
        QPen dotted(qm::controls::system::windowText(), 1, Qt::DotLine);
        p.setPen(dotted);
        p.setBrush(Qt::NoBrush);
        p.drawRect(focus.adjusted(0, 0, -1, -1));
        p.restore();
    }
    p.setPen(isEnabled() ? fontColor_ : blendColor(fontColor_, 50));
    p.drawText(textRect, flags, caption());
    p.restore();

    const BoxEdges box = checkBoxEdges(height());
    // The box in device pixels: its own size scaled, its frame lines whole device lines.
    const int line = canvas.line();
    const int span = box.right - box.left;
    const int device = ratio == 1.0 ? span : static_cast<int>(std::lround(span * ratio));
    const DeviceGrid grid{DeviceAxis(span, device, 1, line), DeviceAxis(span, device, 1, line)};
    p.save();
    p.translate(static_cast<int>(std::lround(box.left * ratio)),
                static_cast<int>(std::lround(box.top * ratio)));
    const BoxEdges local{0, 0, span, span};
    if (state() != cbUnchecked) {
        const QColor mark = state() == cbChecked ? checkColor_ : qm::controls::system::btnShadow();
        if (ratio == 1.0) {
            for (const QLine& l : checkMarkLines(local))
                fillPixels(p, grid, polylinePixels({l.p1(), l.p2()}), mark);
        } else {
            // Smoothed strokes through the centres of the 1x mark's pixels, a pixel wide.
            const qreal step = qreal(device - 2 * line) / (span - 2);
            auto centre = [&](QPoint px) {
                const QRect r = grid.map(QRect(px, QSize(1, 1)));
                return QPointF(r.left() + r.width() / 2.0, r.top() + r.height() / 2.0);
            };
            p.setRenderHint(QPainter::Antialiasing);
            p.setPen(QPen(mark, step, Qt::SolidLine, Qt::SquareCap));
            for (const QLine& l : checkMarkLines(local)) {
                const auto pixels = linePixels(l.p1(), l.p2());
                if (!pixels.empty())
                    p.drawLine(centre(pixels.front()), centre(pixels.back()));
            }
            p.setRenderHint(QPainter::Antialiasing, false);
        }
    }

    if (pressed()) {
        // A 2-pixel black frame around the box, one pixel right and down.
        const QRect frame(line, line, device, device);
        const int band = 2 * line;
        p.fillRect(frame.x(), frame.y(), frame.width(), band, Qt::black);
        p.fillRect(frame.x(), frame.bottom() + 1 - band, frame.width(), band, Qt::black);
        p.fillRect(frame.x(), frame.y(), band, frame.height(), Qt::black);
        p.fillRect(frame.right() + 1 - band, frame.y(), band, frame.height(), Qt::black);
    } else {
        fillPixels(p, grid,
                   polylinePixels({{local.left, local.bottom - 1},
                                   {local.right - 1, local.bottom - 1},
                                   {local.right - 1, local.top - 1}}),
                   qm::controls::system::btnShadow());
        fillPixels(p, grid,
                   polylinePixels({{local.left, local.bottom - 1},
                                   {local.left, local.top},
                                   {local.right, local.top}}),
                   qm::controls::system::btnHighlight());
    }
    p.restore();
}

void TBWCCCheckBox::paintEvent(QPaintEvent*) {
    DeviceCanvas canvas(this, QImage::Format_RGB32);
    {
        QPainter p(&canvas.image());
        paintBox(p, canvas);
    }
    canvas.paintOn(this);
}
