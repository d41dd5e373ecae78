#include "controls/CheckBox.h"

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

void TBWCCCheckBox::paintBox(QPainter& p) const {
    p.fillRect(rect(), color_);

    // Text, word-wrapped right of the box and centred vertically as a block.
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

    const BoxEdges box = checkBoxEdges(height());
    if (state() != cbUnchecked) {
        const QColor mark = state() == cbChecked ? checkColor_ : qm::controls::system::btnShadow();
        for (const QLine& l : checkMarkLines(box))
            drawPolyline(p, {l.p1(), l.p2()}, mark);
    }

    if (pressed()) {
        // A 2-pixel black frame around the box, one pixel right and down.
        const QRect frame(box.left + 1, box.top + 1, box.right - box.left, box.bottom - box.top);
        p.fillRect(frame.x(), frame.y(), frame.width(), 2, Qt::black);
        p.fillRect(frame.x(), frame.bottom() - 1, frame.width(), 2, Qt::black);
        p.fillRect(frame.x(), frame.y(), 2, frame.height(), Qt::black);
        p.fillRect(frame.right() - 1, frame.y(), 2, frame.height(), Qt::black);
    } else {
        drawPolyline(p,
                     {{box.left, box.bottom - 1},
                      {box.right - 1, box.bottom - 1},
                      {box.right - 1, box.top - 1}},
                     qm::controls::system::btnShadow());
        drawPolyline(p, {{box.left, box.bottom - 1}, {box.left, box.top}, {box.right, box.top}},
                     qm::controls::system::btnHighlight());
    }
}

void TBWCCCheckBox::paintEvent(QPaintEvent*) {
    QImage image(size(), QImage::Format_RGB32);
    {
        QPainter p(&image);
        paintBox(p);
    }
    QPainter(this).drawImage(0, 0, image);
}
