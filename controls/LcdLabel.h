#pragma once

// TLCDLabel: text drawn as grids of dots inside a bevelled frame, like a character LCD.
// It sizes itself from its counts (rule B) unless it was resized from outside, in which case
// the counts are fitted to the new size first (rule A).

#include <QColor>
#include <QSize>
#include <QWidget>

class TLCDLabel : public QWidget {
    Q_OBJECT
public:
    enum TPixelSize {
        pix2x2,
        pix3x3,
        pix4x4,
        pix5x5,
        pix6x6,
        pix7x7,
        pix8x8,
        pix9x9,
        pix10x10,
        pix11x11,
        pix12x12
    };
    Q_ENUM(TPixelSize)
    enum TPixelShape { Square, Shaped, Round };
    Q_ENUM(TPixelShape)
    enum TDotMatrix { mat5x7, mat5x8, mat7x9, mat9x12, Hitachi, Hitachi2 };
    Q_ENUM(TDotMatrix)
    enum TBorderStyle { Raised, Lowered, Single, None };
    Q_ENUM(TBorderStyle)

    Q_PROPERTY(QString Caption READ caption WRITE setCaption NOTIFY captionChanged)
    Q_PROPERTY(TDotMatrix DotMatrix READ dotMatrix WRITE setDotMatrix NOTIFY dotMatrixChanged)
    Q_PROPERTY(TPixelSize PixelSize READ pixelSize WRITE setPixelSize NOTIFY pixelSizeChanged)
    Q_PROPERTY(int PixelSpacing READ pixelSpacing WRITE setPixelSpacing NOTIFY pixelSpacingChanged)
    Q_PROPERTY(TPixelShape PixelShape READ pixelShape WRITE setPixelShape NOTIFY pixelShapeChanged)
    Q_PROPERTY(int CharSpacing READ charSpacing WRITE setCharSpacing NOTIFY charSpacingChanged)
    Q_PROPERTY(int LineSpacing READ lineSpacing WRITE setLineSpacing NOTIFY lineSpacingChanged)
    Q_PROPERTY(int BorderSpace READ borderSpace WRITE setBorderSpace NOTIFY borderSpaceChanged)
    Q_PROPERTY(int TextLines READ textLines WRITE setTextLines NOTIFY textLinesChanged)
    Q_PROPERTY(int NoOfChars READ noOfChars WRITE setNoOfChars NOTIFY noOfCharsChanged)
    Q_PROPERTY(QColor BackGround READ backGround WRITE setBackGround NOTIFY backGroundChanged)
    Q_PROPERTY(
        TBorderStyle BorderStyle READ borderStyle WRITE setBorderStyle NOTIFY borderStyleChanged)
    Q_PROPERTY(QColor BorderColor READ borderColor WRITE setBorderColor NOTIFY borderColorChanged)
    Q_PROPERTY(QColor PixelOn READ pixelOn WRITE setPixelOn NOTIFY pixelOnChanged)
    Q_PROPERTY(QColor PixelOff READ pixelOff WRITE setPixelOff NOTIFY pixelOffChanged)

public:
    explicit TLCDLabel(QWidget* parent = nullptr);
    ~TLCDLabel() override;

    // At most 255 characters are kept, as the text buffer holds.
    QString caption() const { return caption_; }
    void setCaption(const QString& text);

    TDotMatrix dotMatrix() const { return dotMatrix_; }
    void setDotMatrix(TDotMatrix m);
    TPixelSize pixelSize() const { return pixelSize_; }
    void setPixelSize(TPixelSize p);
    TPixelShape pixelShape() const { return pixelShape_; }
    void setPixelShape(TPixelShape s);

    // Negative spacings and counts below 1 are refused: settingRefused() says why.
    int pixelSpacing() const { return pixelSpacing_; }
    void setPixelSpacing(int v);
    int charSpacing() const { return charSpacing_; }
    void setCharSpacing(int v);
    int lineSpacing() const { return lineSpacing_; }
    void setLineSpacing(int v);
    int borderSpace() const { return borderSpace_; }
    void setBorderSpace(int v);
    int textLines() const { return textLines_; }
    void setTextLines(int v);
    int noOfChars() const { return noOfChars_; }
    void setNoOfChars(int v);

    QColor backGround() const { return backGround_; }
    void setBackGround(const QColor& c);
    TBorderStyle borderStyle() const { return borderStyle_; }
    void setBorderStyle(TBorderStyle b);
    QColor borderColor() const { return borderColor_; }
    void setBorderColor(const QColor& c);
    QColor pixelOn() const { return pixelOn_; }
    void setPixelOn(const QColor& c);
    QColor pixelOff() const { return pixelOff_; }
    void setPixelOff(const QColor& c);

    // Derived from PixelOn: each colour byte halved; the Shaped dots' rim.
    QColor shadeColor() const { return shade_; }

    // Applies the sizing of the next paint now, so callers can read the final size.
    void updateSize();

    // Where the dot (row, column) of the cell (line, index) starts, for the current settings.
    QPoint dotOrigin(int line, int index, int row, int column) const;
    int dotSize() const { return static_cast<int>(pixelSize_) + 2; }

    QSize sizeHint() const override;

signals:
    void captionChanged(const QString& caption);
    void dotMatrixChanged(TDotMatrix dotMatrix);
    void pixelSizeChanged(TPixelSize pixelSize);
    void pixelSpacingChanged(int pixelSpacing);
    void pixelShapeChanged(TPixelShape pixelShape);
    void charSpacingChanged(int charSpacing);
    void lineSpacingChanged(int lineSpacing);
    void borderSpaceChanged(int borderSpace);
    void textLinesChanged(int textLines);
    void noOfCharsChanged(int noOfChars);
    void backGroundChanged(const QColor& backGround);
    void borderStyleChanged(TBorderStyle borderStyle);
    void borderColorChanged(const QColor& borderColor);
    void pixelOnChanged(const QColor& pixelOn);
    void pixelOffChanged(const QColor& pixelOff);
    // A refused setting: the value stays, and the message says why. The caller shows it.
    void settingRefused(const QString& message);
    void clicked();
    void doubleClicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    bool acceptSpacing(int v, const char* message);
    bool acceptCount(int v, const char* message);
    void setSizing(int& field, int v, void (TLCDLabel::*changed)(int));
    void applySizing();
    QSize cellSize() const;
    void drawGlyph(class QPainter& p, int x, int y, unsigned char code, int dot, int gap) const;

    QString caption_;
    TDotMatrix dotMatrix_ = mat5x8;
    TPixelSize pixelSize_ = pix2x2;
    TPixelShape pixelShape_ = Square;
    int pixelSpacing_ = 1;
    int charSpacing_ = 2;
    int lineSpacing_ = 2;
    int borderSpace_ = 5;
    int textLines_ = 1;
    int noOfChars_ = 8;
    QColor backGround_{0, 0, 0};
    QColor pixelOn_{0, 255, 0};
    QColor pixelOff_{0, 128, 0};
    QColor shade_;
    TBorderStyle borderStyle_ = Lowered;
    QColor borderColor_{0, 0, 0};
    QSize sizedSize_;
};
