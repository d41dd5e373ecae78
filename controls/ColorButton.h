#pragma once

// TColorButton: a flat push button in any colour, bevelled with lighter and darker shades of
// it, with an optional picture and a word-wrapped caption. Pressed it looks pushed in;
// disabled it shows its caption engraved. With the focus, Space presses it (the click comes
// when the key is let go) and Enter clicks it at once.

#include <QColor>
#include <QPixmap>
#include <QWidget>

namespace qm::controls {
class DeviceCanvas;
}

class TColorButton : public QWidget {
    Q_OBJECT
public:
    enum TBevelStyle { bvRaised, bvLowered, bvNone };
    Q_ENUM(TBevelStyle)
    enum TBevelType { ctPlain, ctWin95 };
    Q_ENUM(TBevelType)
    enum TAlignment {
        alTopLeft,
        alTopCenter,
        alTopRight,
        alMiddleLeft,
        alMiddleCenter,
        alMiddleRight,
        alBottomLeft,
        alBottomCenter,
        alBottomRight
    };
    Q_ENUM(TAlignment)
    enum TPictureMode { pmAlign, pmAutoSize, pmStretch };
    Q_ENUM(TPictureMode)
    enum TButtonState { bsUp, bsPressed, bsDisabled };
    Q_ENUM(TButtonState)

    Q_PROPERTY(int BevelSize READ bevelSize WRITE setBevelSize NOTIFY bevelSizeChanged)
    Q_PROPERTY(TBevelStyle BevelStyle READ bevelStyle WRITE setBevelStyle NOTIFY bevelStyleChanged)
    Q_PROPERTY(TBevelType BevelType READ bevelType WRITE setBevelType NOTIFY bevelTypeChanged)
    Q_PROPERTY(int BorderSize READ borderSize WRITE setBorderSize NOTIFY borderSizeChanged)
    Q_PROPERTY(QString Caption READ caption WRITE setCaption NOTIFY captionChanged)
    Q_PROPERTY(TAlignment CaptionAlignment READ captionAlignment WRITE setCaptionAlignment NOTIFY
                   captionAlignmentChanged)
    Q_PROPERTY(QColor Color READ color WRITE setColor NOTIFY colorChanged)
    Q_PROPERTY(QColor FontColor READ fontColor WRITE setFontColor NOTIFY fontColorChanged)
    Q_PROPERTY(QPixmap Picture READ picture WRITE setPicture NOTIFY pictureChanged)
    Q_PROPERTY(TAlignment PictureAlignment READ pictureAlignment WRITE setPictureAlignment NOTIFY
                   pictureAlignmentChanged)
    Q_PROPERTY(
        TPictureMode PictureMode READ pictureMode WRITE setPictureMode NOTIFY pictureModeChanged)

public:
    explicit TColorButton(QWidget* parent = nullptr);
    ~TColorButton() override;

    // 0 to 127; other values are ignored.
    int bevelSize() const { return bevelSize_; }
    void setBevelSize(int v);
    TBevelStyle bevelStyle() const { return bevelStyle_; }
    void setBevelStyle(TBevelStyle s);
    TBevelType bevelType() const { return bevelType_; }
    void setBevelType(TBevelType t);
    // 0 to 127; other values are ignored.
    int borderSize() const { return borderSize_; }
    void setBorderSize(int v);
    QString caption() const { return caption_; }
    void setCaption(const QString& text);
    TAlignment captionAlignment() const { return captionAlignment_; }
    void setCaptionAlignment(TAlignment a);
    QColor color() const { return color_; }
    void setColor(const QColor& c);
    // The caption's colour (the font colour of the original design).
    QColor fontColor() const { return fontColor_; }
    void setFontColor(const QColor& c);
    QPixmap picture() const { return picture_; }
    void setPicture(const QPixmap& p);
    TAlignment pictureAlignment() const { return pictureAlignment_; }
    void setPictureAlignment(TAlignment a);
    TPictureMode pictureMode() const { return pictureMode_; }
    void setPictureMode(TPictureMode m);

    QColor highlightColor() const { return highlight_; }
    QColor shadowColor() const { return shadow_; }
    TButtonState state() const { return state_; }

    // A click, as the mouse would give it, when the button is enabled.
    void click();

    // After a whole set of settings was applied: state from Enabled, auto-size, colours.
    void Loaded();

    // The picture and the caption on one line, which share one area as they are drawn, inside
    // bevel and border; an auto-sized picture gives the auto-size rule's size.
    QSize sizeHint() const override;

signals:
    void bevelSizeChanged(int bevelSize);
    void bevelStyleChanged(TBevelStyle bevelStyle);
    void bevelTypeChanged(TBevelType bevelType);
    void borderSizeChanged(int borderSize);
    void captionChanged(const QString& caption);
    void captionAlignmentChanged(TAlignment captionAlignment);
    void colorChanged(const QColor& color);
    void fontColorChanged(const QColor& fontColor);
    void pictureChanged(const QPixmap& picture);
    void pictureAlignmentChanged(TAlignment pictureAlignment);
    void pictureModeChanged(TPictureMode pictureMode);
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void deriveColors();
    void autoSize();
    void paintButton(class QPainter& p, const qm::controls::DeviceCanvas& canvas) const;

    TBevelStyle bevelStyle_ = bvRaised;
    int bevelSize_ = 2;
    TBevelType bevelType_ = ctPlain;
    int borderSize_ = 2;
    QPixmap picture_;
    QColor highlight_;
    QColor shadow_;
    QColor color_;
    QString caption_;
    QColor fontColor_{0, 0, 0};
    TAlignment captionAlignment_ = alMiddleCenter;
    TAlignment pictureAlignment_ = alMiddleCenter;
    TPictureMode pictureMode_ = pmAlign;
    TButtonState state_ = bsUp;
    bool spaceDown_ = false; // the press shown comes from Space, not the mouse
};
