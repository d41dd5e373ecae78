#include "controls/ColorButton.h"

#include "controls/ButtonMath.h"
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

void TColorButton::paintButton(QPainter& p) const {
    p.fillRect(rect(), color_);
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
                for (const BevelLine& line : plainBevelPass(r, a, b))
                    drawPolyline(p, line.points, line.color);
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
            for (const BevelLine& line : win95BevelPass(r, outerA, outerB))
                drawPolyline(p, line.points, line.color);
            r.adjust(1, 1, -1, -1);
            for (const BevelLine& line : win95BevelPass(r, innerA, innerB))
                drawPolyline(p, line.points, line.color);
            r.adjust(1, 1, -1, -1);
        }
    }

    if (borderSize_ != 0)
        r.adjust(borderSize_, borderSize_, -borderSize_, -borderSize_);

    if (!picture_.isNull()) {
        if (pictureMode_ == pmAlign)
            p.drawPixmap(placeBlock(r, picture_.size(), placementOf(pictureAlignment_)), picture_);
        else
            p.drawPixmap(r, picture_);
    }

    if (!caption_.isEmpty()) {
        const Placement where = placementOf(captionAlignment_);
        int flags = Qt::TextWordWrap | Qt::AlignTop;
        flags |= where.column == 0 ? Qt::AlignLeft
                                   : (where.column == 2 ? Qt::AlignRight : Qt::AlignHCenter);
        p.setFont(font());
        const QRect measured =
            p.fontMetrics().boundingRect(QRect(0, 0, std::max(r.width(), 1), 0), flags, caption_);
        const QSize block = measured.size();
        const QRect at(placeBlock(r, block, where), block);
        if (state_ == bsDisabled) {
            p.setPen(highlight_);
            p.drawText(at.translated(1, 1), flags, caption_);
            p.setPen(shadow_);
            p.drawText(at, flags, caption_);
        } else {
            p.setPen(fontColor_);
            p.drawText(at, flags, caption_);
        }
    }
}

void TColorButton::paintEvent(QPaintEvent*) {
    QImage image(size(), QImage::Format_RGB32);
    {
        QPainter p(&image);
        paintButton(p);
    }
    QPainter(this).drawImage(0, 0, image);
}
