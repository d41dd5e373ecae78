#include "controls/LcdLabel.h"

#include "controls/DevicePixels.h"
#include "controls/LcdGeometry.h"
#include "controls/LcdGlyphs.h"
#include "controls/SystemColors.h"

#include <QImage>
#include <QMouseEvent>
#include <QPainter>

using namespace qm::controls;

namespace {

constexpr int kMaxCaption = 255; // the text buffer's capacity

LcdMatrix toMatrix(TLCDLabel::TDotMatrix m) {
    switch (m) {
    case TLCDLabel::mat5x7:
        return LcdMatrix::Mat5x7;
    case TLCDLabel::mat5x8:
        return LcdMatrix::Mat5x8;
    case TLCDLabel::mat7x9:
        return LcdMatrix::Mat7x9;
    case TLCDLabel::mat9x12:
        return LcdMatrix::Mat9x12;
    case TLCDLabel::Hitachi:
        return LcdMatrix::Hitachi;
    case TLCDLabel::Hitachi2:
        return LcdMatrix::Hitachi2;
    }
    return LcdMatrix::Mat5x8;
}

QColor shadeOf(const QColor& on) {
    const LcdRgb s = lcdShade({on.red(), on.green(), on.blue()});
    return QColor(s.r, s.g, s.b);
}

} // namespace

TLCDLabel::TLCDLabel(QWidget* parent) : QWidget(parent) {
    shade_ = shadeOf(pixelOn_);
    // Sizes itself from the counts (rule B).
    sizedSize_ = size();
    applySizing();
}

TLCDLabel::~TLCDLabel() = default;

void TLCDLabel::setCaption(const QString& text) {
    const QString kept = text.left(kMaxCaption);
    if (kept == caption_)
        return;
    caption_ = kept;
    update();
    emit captionChanged(caption_);
}

void TLCDLabel::setDotMatrix(TDotMatrix m) {
    if (m == dotMatrix_)
        return;
    dotMatrix_ = m;
    applySizing();
    update();
    emit dotMatrixChanged(m);
}

void TLCDLabel::setPixelSize(TPixelSize p) {
    if (p == pixelSize_)
        return;
    pixelSize_ = p;
    applySizing();
    update();
    emit pixelSizeChanged(p);
}

void TLCDLabel::setPixelShape(TPixelShape s) {
    if (s == pixelShape_)
        return;
    pixelShape_ = s;
    update();
    emit pixelShapeChanged(s);
}

bool TLCDLabel::acceptSpacing(int v, const char* message) {
    if (v >= 0)
        return true;
    emit settingRefused(QString::fromLatin1(message));
    return false;
}

bool TLCDLabel::acceptCount(int v, const char* message) {
    if (v >= 1)
        return true;
    emit settingRefused(QString::fromLatin1(message));
    return false;
}

void TLCDLabel::setSizing(int& field, int v, void (TLCDLabel::*changed)(int)) {
    if (v == field)
        return;
    field = v;
    applySizing();
    update();
    emit(this->*changed)(field);
}

void TLCDLabel::setPixelSpacing(int v) {
    if (acceptSpacing(v, "Pixel spacing can't be less than zero!"))
        setSizing(pixelSpacing_, v, &TLCDLabel::pixelSpacingChanged);
}

void TLCDLabel::setCharSpacing(int v) {
    if (acceptSpacing(v, "Character spacing can't be less than zero!"))
        setSizing(charSpacing_, v, &TLCDLabel::charSpacingChanged);
}

void TLCDLabel::setLineSpacing(int v) {
    if (acceptSpacing(v, "Line spacing can't be less than zero!"))
        setSizing(lineSpacing_, v, &TLCDLabel::lineSpacingChanged);
}

void TLCDLabel::setBorderSpace(int v) {
    if (acceptSpacing(v, "Border spacing can't be less than zero!"))
        setSizing(borderSpace_, v, &TLCDLabel::borderSpaceChanged);
}

void TLCDLabel::setTextLines(int v) {
    if (acceptCount(v, "Display needs at least on line!"))
        setSizing(textLines_, v, &TLCDLabel::textLinesChanged);
}

void TLCDLabel::setNoOfChars(int v) {
    if (acceptCount(v, "Display needs at least one character!"))
        setSizing(noOfChars_, v, &TLCDLabel::noOfCharsChanged);
}

void TLCDLabel::setBackGround(const QColor& c) {
    if (c == backGround_)
        return;
    backGround_ = c;
    update();
    emit backGroundChanged(c);
}

void TLCDLabel::setBorderStyle(TBorderStyle b) {
    if (b == borderStyle_)
        return;
    borderStyle_ = b;
    update();
    emit borderStyleChanged(b);
}

void TLCDLabel::setBorderColor(const QColor& c) {
    if (c == borderColor_)
        return;
    borderColor_ = c;
    update();
    emit borderColorChanged(c);
}

void TLCDLabel::setPixelOn(const QColor& c) {
    if (c == pixelOn_)
        return;
    pixelOn_ = c;
    shade_ = shadeOf(c);
    update();
    emit pixelOnChanged(c);
}

void TLCDLabel::setPixelOff(const QColor& c) {
    if (c == pixelOff_)
        return;
    pixelOff_ = c;
    update();
    emit pixelOffChanged(c);
}

QSize TLCDLabel::cellSize() const {
    const LcdGrid g = lcdGrid(toMatrix(dotMatrix_));
    return lcdCellSize(g.columns, g.rows, dotSize(), pixelSpacing_);
}

void TLCDLabel::applySizing() {
    const LcdSpacing s{pixelSpacing_, charSpacing_, lineSpacing_, borderSpace_};
    const QSize cell = cellSize();
    if (size() != sizedSize_) {
        // Resized from outside: fit the counts to the new size first.
        const LcdCounts c = lcdCountsForSize(size(), cell, s);
        const LcdCounts before{noOfChars_, textLines_};
        noOfChars_ = c.noOfChars;
        textLines_ = c.textLines;
        sizedSize_ = lcdSizeForCounts(c, cell, s);
        if (size() != sizedSize_)
            resize(sizedSize_);
        // Announced once the size is settled, so a listener reads a consistent control.
        if (c.noOfChars != before.noOfChars)
            emit noOfCharsChanged(c.noOfChars);
        if (c.textLines != before.textLines)
            emit textLinesChanged(c.textLines);
        return;
    }
    sizedSize_ = lcdSizeForCounts({noOfChars_, textLines_}, cell, s);
    if (size() != sizedSize_)
        resize(sizedSize_);
}

void TLCDLabel::updateSize() {
    applySizing();
}

void TLCDLabel::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (size() != sizedSize_)
        applySizing();
}

QSize TLCDLabel::sizeHint() const {
    // Rule B: the size the counts take.
    const LcdSpacing s{pixelSpacing_, charSpacing_, lineSpacing_, borderSpace_};
    return lcdSizeForCounts({noOfChars_, textLines_}, cellSize(), s);
}

QPoint TLCDLabel::dotOrigin(int line, int index, int row, int column) const {
    const QSize cell = cellSize();
    const int x = borderSpace_ + 1 + index * (cell.width() + charSpacing_);
    const int y = borderSpace_ + 1 + line * (cell.height() + lineSpacing_);
    const int step = dotSize() + pixelSpacing_;
    return QPoint(x + column * step, y + row * step);
}

void TLCDLabel::drawGlyph(QPainter& p, int x, int y, unsigned char code, int d, int gap) const {
    const LcdMatrix m = toMatrix(dotMatrix_);
    const LcdGrid g = lcdGrid(m);
    const int step = d + gap;
    for (int i = 0; i < g.rows; ++i) {
        for (int j = 0; j < g.columns; ++j) {
            const bool lit = lcdDotLit(m, code, i, j);
            const QRect dot(x + j * step, y + i * step, d, d);
            switch (pixelShape_) {
            case Square:
                p.fillRect(dot, lit ? pixelOn_ : pixelOff_);
                break;
            case Round:
                p.setBrush(lit ? pixelOn_ : pixelOff_);
                p.drawEllipse(dot);
                break;
            case Shaped:
                if (!lit) {
                    p.fillRect(dot, pixelOff_);
                } else {
                    p.fillRect(dot, shade_);
                    p.setBrush(pixelOn_);
                    p.drawEllipse(dot);
                }
                break;
            }
        }
    }
}

void TLCDLabel::paintEvent(QPaintEvent*) {
    // A hidden control hears of an outside resize only here.
    if (size() != sizedSize_)
        applySizing();
    // Drawn off-screen and copied in one step, so no half-drawn state is ever seen. Above 1x
    // the picture is made in device pixels, so dots and gaps stay even.
    DeviceCanvas canvas(this, QImage::Format_RGB32);
    const int w = canvas.deviceSize().width();
    const int h = canvas.deviceSize().height();
    const int line = canvas.line();
    {
        QPainter p(&canvas.image());
        QColor frame = qm::controls::system::btnHighlight();
        if (borderStyle_ == Single)
            frame = borderColor_;
        else if (borderStyle_ == None)
            frame = qm::controls::system::btnFace();
        // Background and the outer frame in one, as a filled and outlined rectangle.
        p.fillRect(0, 0, w, h, frame);
        p.fillRect(line, line, w - 2 * line, h - 2 * line, backGround_);

        const QColor shadow = qm::controls::system::btnShadow();
        if (borderStyle_ == Raised) {
            p.fillRect(0, h - line, w, line, shadow); // the top-right corner stays light
            p.fillRect(w - line, line, line, h - line, shadow);
        } else if (borderStyle_ == Lowered) {
            p.fillRect(0, 0, w, line, shadow);
            p.fillRect(0, 0, line, h - line, shadow); // the bottom-left corner stays light
        }

        p.setPen(Qt::NoPen);
        const LcdGrid g = lcdGrid(toMatrix(dotMatrix_));
        const LcdSpacing s{pixelSpacing_, charSpacing_, lineSpacing_, borderSpace_};
        const LcdDeviceLayout at =
            lcdDeviceLayout(QSize(g.columns, g.rows), {noOfChars_, textLines_}, dotSize(), s,
                            canvas.ratio(), canvas.deviceSize(), line);
        const int cellW = g.columns * at.dot + (g.columns - 1) * at.gap;
        const int cellH = g.rows * at.dot + (g.rows - 1) * at.gap;
        const QByteArray buffer = caption_.toLatin1(); // 8-bit text; unknown chars read '?'
        qsizetype next = 0;
        bool ended = false; // past the terminating NUL every cell is blank
        for (int ln = 0; ln < textLines_; ++ln) {
            for (int cell = 0; cell < noOfChars_; ++cell) {
                unsigned char code = ' ';
                if (!ended && next < buffer.size() && buffer[next] != '\0')
                    code = static_cast<unsigned char>(buffer[next++]);
                else
                    ended = true;
                drawGlyph(p, at.origin.x() + cell * (cellW + at.charGap),
                          at.origin.y() + ln * (cellH + at.lineGap), code, at.dot, at.gap);
            }
        }
    }
    canvas.paintOn(this);
}

void TLCDLabel::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
    QWidget::mouseReleaseEvent(event);
}

void TLCDLabel::mouseDoubleClickEvent(QMouseEvent* event) {
    emit doubleClicked();
    QWidget::mouseDoubleClickEvent(event);
}
