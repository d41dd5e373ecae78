#pragma once

// TMyFontImage: shows a caption set in a chosen font as a stored picture, so the text looks
// right on machines without that font. The render step that makes the picture runs only at
// design time (setDesigning(true), as the picture tool does); at run time the control only
// displays its picture and the setters merely store their values.

#include <QColor>
#include <QFont>
#include <QMetaType>
#include <QPixmap>
#include <QWidget>

// The caption's font: face, size, style and colour.
struct TFIFont {
    QFont font;
    QColor color{0, 0, 0};
    bool operator==(const TFIFont& o) const { return font == o.font && color == o.color; }
};
Q_DECLARE_METATYPE(TFIFont)

class TMyFontImage : public QWidget {
    Q_OBJECT
public:
    enum TFrameType { caNone, caStandard, ca3DRaised, ca3DLowered };
    Q_ENUM(TFrameType)

    Q_PROPERTY(QString FontCaption READ fontCaption WRITE setFontCaption NOTIFY fontCaptionChanged)
    Q_PROPERTY(TFIFont FontToUse READ fontToUse WRITE setFontToUse NOTIFY fontToUseChanged)
    Q_PROPERTY(
        QColor FontBackColor READ fontBackColor WRITE setFontBackColor NOTIFY fontBackColorChanged)
    Q_PROPERTY(TFrameType Frame READ frame WRITE setFrame NOTIFY frameChanged)
    Q_PROPERTY(int HorzPos READ horzPos WRITE setHorzPos NOTIFY horzPosChanged)
    Q_PROPERTY(int VertPos READ vertPos WRITE setVertPos NOTIFY vertPosChanged)
    Q_PROPERTY(QPixmap Picture READ picture WRITE setPicture NOTIFY pictureChanged)
    Q_PROPERTY(bool Transparent READ transparent WRITE setTransparent NOTIFY transparentChanged)
    Q_PROPERTY(bool Center READ center WRITE setCenter NOTIFY centerChanged)

public:
    explicit TMyFontImage(QWidget* parent = nullptr);
    ~TMyFontImage() override;

    QString fontCaption() const { return fontCaption_; }
    void setFontCaption(const QString& text);
    TFIFont fontToUse() const { return fontToUse_; }
    void setFontToUse(const TFIFont& f);
    // An invalid QColor is the "none" colour: nothing is rendered while it is set.
    QColor fontBackColor() const { return fontBackColor_; }
    void setFontBackColor(const QColor& c);
    TFrameType frame() const { return frame_; }
    void setFrame(TFrameType f);
    int horzPos() const { return horzPos_; }
    void setHorzPos(int px);
    int vertPos() const { return vertPos_; }
    void setVertPos(int px);

    // The image control's own properties.
    QPixmap picture() const { return picture_; }
    void setPicture(const QPixmap& p);
    // Pixels of the picture's bottom-left colour are left out when drawn.
    bool transparent() const { return transparent_; }
    void setTransparent(bool on);
    bool center() const { return center_; }
    void setCenter(bool on);

    // Design time only: setters then re-render the picture.
    bool designing() const { return designing_; }
    void setDesigning(bool on) { designing_ = on; }
    void render();

    // The picture's size; none without a picture.
    QSize sizeHint() const override;

signals:
    void fontCaptionChanged(const QString& fontCaption);
    void fontToUseChanged(const TFIFont& fontToUse);
    void fontBackColorChanged(const QColor& fontBackColor);
    void frameChanged(TFrameType frame);
    void horzPosChanged(int horzPos);
    void vertPosChanged(int vertPos);
    void pictureChanged(const QPixmap& picture);
    void transparentChanged(bool transparent);
    void centerChanged(bool center);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void changed();

    QString fontCaption_;
    TFIFont fontToUse_;
    QColor fontBackColor_; // invalid = none
    TFrameType frame_ = caNone;
    int horzPos_ = 2;
    int vertPos_ = 2;
    QPixmap picture_;
    QPixmap masked_; // picture_ with its transparent colour cut out
    bool transparent_ = false;
    bool center_ = false;
    bool designing_ = false;
};

namespace qm::controls {

// The render step as a plain function: the picture for a caption in a font with margins.
QImage renderFontCaption(const QString& caption, const TFIFont& font, const QColor& back,
                         TMyFontImage::TFrameType frame, int horzPos, int vertPos);

} // namespace qm::controls
