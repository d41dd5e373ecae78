#include "controls/ColorButton.h"

#include "controls/ButtonMath.h"
#include "controls/DevicePixels.h"
#include "controls/PixelLines.h"
#include "controls/SystemColors.h"

#include <QEvent>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

using namespace qm::controls;

namespace {

// The size a new button has before anything sets its bounds.
constexpr QSize kConstructionSize(75, 25);

// The win95 frame is two lines whatever BevelSize says.
constexpr int kWin95BevelWidth = 2;

Placement placementOf(TColorButton::TAlignment a) {
    const int i = static_cast<int>(a);
    return {i % 3, i / 3};
}

} // namespace

TColorButton::TColorButton(QWidget* parent)
    : QWidget(parent), color_(qm::controls::system::btnFace()) {
    resize(kConstructionSize);
    deriveColors();
}

TColorButton::~TColorButton() = default;

void TColorButton::deriveColors() {
    highlight_ = bevelHighlight(color_);
    shadow_ = bevelShadow(color_);
}

QSize TColorButton::sizeHint() const {
    if (pictureMode_ == pmAutoSize && !picture_.isNull()) {
        const int extra = 2 * (bevelSize_ + borderSize_);
        return picture_.size() + QSize(extra, extra);
    }
    int bevel = 0;
    if (bevelSize_ != 0 && bevelStyle_ != bvNone)
        bevel = bevelType_ == ctPlain ? bevelSize_ : kWin95BevelWidth;
    const int extra = 2 * (bevel + borderSize_);
    QSize content = picture_.size();
    if (!caption_.isEmpty())
        content = content.expandedTo(fontMetrics().size(0, caption_));
    return content + QSize(extra, extra);
}

void TColorButton::autoSize() {
    if (pictureMode_ == pmAutoSize && !picture_.isNull()) {
        const int extra = 2 * (bevelSize_ + borderSize_);
        resize(picture_.width() + extra, picture_.height() + extra);
    }
}

void TColorButton::setColor(const QColor& c) {
    if (c == color_)
        return;
    color_ = c;
    deriveColors();
    update();
    emit colorChanged(color_);
}

void TColorButton::setBevelSize(int v) {
    if (v == bevelSize_ || v < 0 || v > 127)
        return;
    bevelSize_ = v;
    autoSize();
    update();
    emit bevelSizeChanged(bevelSize_);
}

void TColorButton::setBevelStyle(TBevelStyle s) {
    if (s == bevelStyle_)
        return;
    bevelStyle_ = s;
    autoSize();
    update();
    emit bevelStyleChanged(bevelStyle_);
}

void TColorButton::setBevelType(TBevelType t) {
    if (t == bevelType_)
        return;
    bevelType_ = t;
    autoSize();
    update();
    emit bevelTypeChanged(bevelType_);
}

void TColorButton::setBorderSize(int v) {
    if (v == borderSize_ || v < 0 || v > 127)
        return;
    borderSize_ = v;
    autoSize();
    update();
    emit borderSizeChanged(borderSize_);
}

void TColorButton::setPicture(const QPixmap& p) {
    if (p.cacheKey() == picture_.cacheKey())
        return;
    picture_ = p;
    autoSize();
    update();
    emit pictureChanged(picture_);
}

void TColorButton::setPictureMode(TPictureMode m) {
    if (m == pictureMode_)
        return;
    pictureMode_ = m;
    update();
    emit pictureModeChanged(pictureMode_);
}

void TColorButton::setPictureAlignment(TAlignment a) {
    if (a == pictureAlignment_)
        return;
    pictureAlignment_ = a;
    update();
    emit pictureAlignmentChanged(pictureAlignment_);
}

void TColorButton::setCaptionAlignment(TAlignment a) {
    if (a == captionAlignment_)
        return;
    captionAlignment_ = a;
    update();
    emit captionAlignmentChanged(captionAlignment_);
}

void TColorButton::setCaption(const QString& text) {
    if (text == caption_)
        return;
    caption_ = text;
    update();
    emit captionChanged(caption_);
}

void TColorButton::setFontColor(const QColor& c) {
    if (c == fontColor_)
        return;
    fontColor_ = c;
    update();
    emit fontColorChanged(fontColor_);
}

void TColorButton::Loaded() {
    state_ = isEnabled() ? bsUp : bsDisabled;
    autoSize();
    deriveColors();
}

void TColorButton::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::EnabledChange) {
        state_ = isEnabled() ? bsUp : bsDisabled;
        update();
    }
}

void TColorButton::mousePressEvent(QMouseEvent* event) {
    QWidget::mousePressEvent(event);
    if (state_ != bsDisabled) {
        state_ = bsPressed;
        update();
    }
}

void TColorButton::mouseReleaseEvent(QMouseEvent* event) {
    QWidget::mouseReleaseEvent(event);
    const bool click = state_ == bsPressed && event->button() == Qt::LeftButton &&
                       rect().contains(event->position().toPoint());
    if (state_ != bsDisabled) {
        state_ = bsUp;
        update();
    }
    if (click)
        emit clicked();
}

void TColorButton::click() {
    if (isEnabled())
        emit clicked();
}

void TColorButton::keyPressEvent(QKeyEvent* event) {
    const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    if (!plain || state_ == bsDisabled) {
        QWidget::keyPressEvent(event);
        return;
    }
    switch (event->key()) {
    case Qt::Key_Space:
        if (!event->isAutoRepeat()) {
            spaceDown_ = true;
            state_ = bsPressed;
            update();
        }
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // A held Enter clicks once: repeats would start the same action again and again.
        if (!event->isAutoRepeat())
            emit clicked();
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}

void TColorButton::keyReleaseEvent(QKeyEvent* event) {
    if (event->key() != Qt::Key_Space || event->isAutoRepeat() || !spaceDown_) {
        QWidget::keyReleaseEvent(event);
        return;
    }
    spaceDown_ = false;
    if (state_ != bsPressed)
        return;
    state_ = bsUp;
    update();
    emit clicked();
}

void TColorButton::focusOutEvent(QFocusEvent* event) {
    // Space let go elsewhere clicks nothing.
    QWidget::focusOutEvent(event);
    if (spaceDown_ && state_ == bsPressed) {
        state_ = bsUp;
        update();
    }
    spaceDown_ = false;
}

void TColorButton::paintButton(QPainter& p, const DeviceCanvas& canvas) const {
    const int bevelLines = bevelSize_ == 0 || bevelStyle_ == bvNone ? 0
                           : bevelType_ == ctPlain                  ? bevelSize_
                                                                    : kWin95BevelWidth;
    // Bevel lines stay whole device lines; the face between them takes the rest.
    const DeviceGrid grid = canvas.grid(bevelLines, bevelLines);
    const int line = canvas.line();
    const qreal ratio = canvas.ratio();
    p.fillRect(grid.map(rect()), color_);
    QRect r = rect();

    if (bevelSize_ != 0 && bevelStyle_ != bvNone) {
        if (bevelType_ == ctPlain) {
            QColor a, b;
            int shift = 0;
            const bool pressed = state_ == bsPressed;
            if (bevelStyle_ == bvRaised) {
                a = pressed ? color_ : shadow_;
                b = pressed ? shadow_ : highlight_;
                shift = pressed ? bevelSize_ / 2 : 0;
            } else {
                a = pressed ? shadow_ : highlight_;
                b = pressed ? color_ : shadow_;
                shift = pressed ? -(bevelSize_ / 2) : 0;
            }
            for (int i = 0; i < bevelSize_; ++i) {
                for (const BevelLine& bevel : plainBevelPass(r, a, b))
                    fillPixels(p, grid, polylinePixels(bevel.points), bevel.color);
                r.adjust(1, 1, -1, -1);
            }
            r.translate(shift, shift);
        } else {
            const bool raised =
                (bevelStyle_ == bvLowered) != (state_ == bsUp) || state_ == bsDisabled;
            const QColor black(0, 0, 0);
            const QColor outerA = raised ? black : highlight_;
            const QColor outerB = raised ? highlight_ : black;
            const QColor innerA = raised ? shadow_ : color_;
            const QColor innerB = raised ? color_ : shadow_;
            for (const BevelLine& bevel : win95BevelPass(r, outerA, outerB))
                fillPixels(p, grid, polylinePixels(bevel.points), bevel.color);
            r.adjust(1, 1, -1, -1);
            for (const BevelLine& bevel : win95BevelPass(r, innerA, innerB))
                fillPixels(p, grid, polylinePixels(bevel.points), bevel.color);
            r.adjust(1, 1, -1, -1);
        }
    }

    if (borderSize_ != 0)
        r.adjust(borderSize_, borderSize_, -borderSize_, -borderSize_);
    // The content area in device pixels; a pressed shift moves it by whole lines.
    const QRect area = grid.map(r);
    // Draws `draw` (logical coordinates from 0, 0) for a block of `block` placed in the area.
    auto inBlock = [&](QSize block, Placement where, QPoint offset, auto&& draw) {
        const QSize device = ratio == 1.0 ? block : (QSizeF(block) * ratio).toSize();
        const QPoint at = placeBlock(area, device, where) + offset * line;
        p.save();
        p.translate(at);
        p.scale(ratio, ratio);
        draw();
        p.restore();
    };

    if (!picture_.isNull()) {
        if (ratio != 1.0)
            p.setRenderHint(QPainter::SmoothPixmapTransform);
        if (pictureMode_ == pmAlign)
            inBlock(picture_.size(), placementOf(pictureAlignment_), QPoint(),
                    [&] { p.drawPixmap(0, 0, picture_); });
        else
            p.drawPixmap(area, picture_);
    }

    if (!caption_.isEmpty()) {
        const Placement where = placementOf(captionAlignment_);
        int flags = Qt::TextWordWrap | Qt::AlignTop;
        flags |= where.column == 0 ? Qt::AlignLeft
                                   : (where.column == 2 ? Qt::AlignRight : Qt::AlignHCenter);
        p.setFont(font());
        const QRect measured =
            p.fontMetrics().boundingRect(QRect(0, 0, std::max(r.width(), 1), 0), flags, caption_);
        const QRect block(QPoint(0, 0), measured.size());
        if (state_ == bsDisabled) {
            p.setPen(highlight_);
            inBlock(block.size(), where, QPoint(1, 1), [&] { p.drawText(block, flags, caption_); });
            p.setPen(shadow_);
            inBlock(block.size(), where, QPoint(), [&] { p.drawText(block, flags, caption_); });
        } else {
            p.setPen(fontColor_);
            inBlock(block.size(), where, QPoint(), [&] { p.drawText(block, flags, caption_); });
        }
    }
}

void TColorButton::paintEvent(QPaintEvent*) {
    DeviceCanvas canvas(this, QImage::Format_RGB32);
    {
        QPainter p(&canvas.image());
        paintButton(p, canvas);
    }
    canvas.paintOn(this);
}
