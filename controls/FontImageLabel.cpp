#include "controls/FontImageLabel.h"

#include <QBitmap>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>

using namespace qm::controls;

TMyFontImage::TMyFontImage(QWidget* parent) : QWidget(parent) {
    fontToUse_.font.setFamily(QStringLiteral("Arial"));
    fontToUse_.font.setPointSize(20);
}

TMyFontImage::~TMyFontImage() = default;

void TMyFontImage::changed() {
    if (designing_)
        render();
}

void TMyFontImage::setFontCaption(const QString& text) {
    if (text == fontCaption_)
        return;
    fontCaption_ = text;
    changed();
    emit fontCaptionChanged(text);
}

void TMyFontImage::setFontToUse(const TFIFont& f) {
    if (f == fontToUse_)
        return;
    fontToUse_ = f;
    changed();
    emit fontToUseChanged(f);
}

void TMyFontImage::setFontBackColor(const QColor& c) {
    if (c == fontBackColor_)
        return;
    fontBackColor_ = c;
    changed();
    emit fontBackColorChanged(c);
}

void TMyFontImage::setFrame(TFrameType f) {
    if (f == frame_)
        return;
    frame_ = f;
    changed();
    emit frameChanged(f);
}

void TMyFontImage::setHorzPos(int px) {
    if (px == horzPos_)
        return;
    horzPos_ = px;
    changed();
    emit horzPosChanged(px);
}

void TMyFontImage::setVertPos(int px) {
    if (px == vertPos_)
        return;
    vertPos_ = px;
    changed();
    emit vertPosChanged(px);
}

void TMyFontImage::setPicture(const QPixmap& p) {
    if (p.cacheKey() == picture_.cacheKey())
        return;
    picture_ = p;
    masked_ = QPixmap();
    update();
    emit pictureChanged(p);
}

void TMyFontImage::setTransparent(bool on) {
    if (on == transparent_)
        return;
    transparent_ = on;
    masked_ = QPixmap();
    update();
    emit transparentChanged(on);
}

void TMyFontImage::setCenter(bool on) {
    if (on == center_)
        return;
    center_ = on;
    update();
    emit centerChanged(on);
}

QImage qm::controls::renderFontCaption(const QString& caption, const TFIFont& f, const QColor& back,
                                       TMyFontImage::TFrameType frame, int horzPos, int vertPos) {
    const QFontMetrics fm(f.font);
    const int w = fm.horizontalAdvance(caption) + 2 * horzPos;
    const int h = fm.height() + 2 * vertPos;
    QImage image(std::max(w, 1), std::max(h, 1), QImage::Format_RGB32);
    image.fill(back);
    QPainter p(&image);
    const QColor black(0, 0, 0), white(255, 255, 255);
    auto outline = [&](const QColor& c) {
        p.setPen(c);
        p.setBrush(Qt::NoBrush);
        p.drawRect(0, 0, w - 1, h - 1);
    };
    auto topLeft = [&](const QColor& c) {
        // Lines from (0,0) to (W,0) and to (0,H), their end points left out.
        p.fillRect(0, 0, w, 1, c);
        p.fillRect(0, 0, 1, h, c);
    };
    switch (frame) {
    case TMyFontImage::caNone:
        break;
    case TMyFontImage::caStandard:
        outline(black);
        break;
    case TMyFontImage::ca3DRaised:
        outline(black);
        topLeft(white);
        break;
    case TMyFontImage::ca3DLowered:
        outline(white);
        topLeft(black);
        break;
    }
    p.setFont(f.font);
    p.setPen(f.color);
    p.drawText(QRect(horzPos, vertPos, w, h), Qt::AlignLeft | Qt::AlignTop, caption);
    return image;
}

void TMyFontImage::render() {
    // Only with something to draw on and something to draw.
    if (fontCaption_.isEmpty() || !fontBackColor_.isValid())
        return;
    const QImage image =
        renderFontCaption(fontCaption_, fontToUse_, fontBackColor_, frame_, horzPos_, vertPos_);
    setPicture(QPixmap::fromImage(image));
    resize(image.size());
}

QSize TMyFontImage::sizeHint() const {
    return picture_.isNull() ? QSize() : picture_.deviceIndependentSize().toSize();
}

void TMyFontImage::paintEvent(QPaintEvent*) {
    if (picture_.isNull())
        return;
    // A master for a dense screen carries its own transparency; a 1x picture is colour-keyed.
    const bool keyed = transparent_ && !picture_.hasAlphaChannel();
    if (keyed && masked_.isNull()) {
        // The picture's bottom-left pixel names the colour to leave out.
        const QImage image = picture_.toImage();
        masked_ = picture_;
        const QRgb key = image.pixel(0, image.height() - 1);
        masked_.setMask(QBitmap::fromImage(image.createMaskFromColor(key, Qt::MaskInColor)));
    }
    const QPixmap& shown = keyed ? masked_ : picture_;
    const QSize size = shown.deviceIndependentSize().toSize();
    QPoint at(0, 0);
    if (center_)
        at = QPoint((width() - size.width()) / 2, (height() - size.height()) / 2);
    QPainter(this).drawPixmap(at, shown);
}
