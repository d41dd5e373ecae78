#pragma once

// The caption bar: the window is frameless and this bar, drawn by the program, takes the
// place of the system's. It paints a gradient from Color to the caption colour under the
// window's icon and up to three text parts, draws the border around the window, carries the
// minimise and close buttons, moves the window when dragged, and opens the system menu.

#include "controls/CaptionGeometry.h"
#include "controls/FormFrame.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPointer>
#include <QWidget>

class QMenu;
class QPainter;
class TMSOfficeCaption;
namespace qm::controls {
class DeviceCanvas;
}

enum TFontKind { fkCustom, fkSystem, fkSystemI, fkSystemB, fkSystemBI, fkAutoHeight };

// One text part of the caption. Changing its Caption or Visible rebuilds the window caption.
class TCompanyText : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE setCaption NOTIFY captionChanged)
    Q_PROPERTY(QColor ColorActive READ ColorActive WRITE setColorActive NOTIFY colorActiveChanged)
    Q_PROPERTY(
        QColor ColorInactive READ ColorInactive WRITE setColorInactive NOTIFY colorInactiveChanged)
    Q_PROPERTY(QFont Font READ Font WRITE setFont NOTIFY fontChanged)
    Q_PROPERTY(TFontKind FontKind READ FontKind WRITE setFontKind NOTIFY fontKindChanged)
    Q_PROPERTY(bool Visible READ Visible WRITE setVisible NOTIFY visibleChanged)

public:
    explicit TCompanyText(TMSOfficeCaption* owner);

    virtual QString Caption() const { return caption_; }
    void setCaption(const QString& text);
    QColor ColorActive() const { return colorActive_; }
    void setColorActive(const QColor& c);
    QColor ColorInactive() const { return colorInactive_; }
    void setColorInactive(const QColor& c);
    QFont Font() const { return font_; }
    void setFont(const QFont& f);
    TFontKind FontKind() const { return fontKind_; }
    void setFontKind(TFontKind k);
    bool Visible() const { return visible_; }
    void setVisible(bool on);

    // The font the part is drawn in, given the caption font.
    QFont drawingFont(const QFont& captionFont) const;

signals:
    // Also when the part changes because the window caption or another part did.
    void captionChanged(const QString& caption);
    void colorActiveChanged(const QColor& colorActive);
    void colorInactiveChanged(const QColor& colorInactive);
    void fontChanged(const QFont& font);
    void fontKindChanged(TFontKind fontKind);
    void visibleChanged(bool visible);

protected:
    friend class TMSOfficeCaption;
    TMSOfficeCaption* owner_;
    QString caption_;
    QString announced_; // Caption() as last announced by captionChanged

private:
    QColor colorActive_;
    QColor colorInactive_;
    QFont font_;
    TFontKind fontKind_ = fkSystem;
    bool visible_ = true;
};

class TAppNameText : public TCompanyText {
    Q_OBJECT

public:
    using TCompanyText::TCompanyText;
};

// The window's own caption: what is left of the window caption after the other two parts.
class TCaptionText : public TCompanyText {
    Q_OBJECT

public:
    using TCompanyText::TCompanyText;
    QString Caption() const override;
};

class TMSOfficeCaption : public QWidget {
    Q_OBJECT
    Q_PROPERTY(TAppNameText* AppNameText READ AppNameText CONSTANT)
    Q_PROPERTY(TCaptionText* CaptionText READ CaptionText CONSTANT)
    Q_PROPERTY(TCompanyText* CompanyText READ CompanyText CONSTANT)
    Q_PROPERTY(QColor Color READ Color WRITE setColor NOTIFY colorChanged)
    Q_PROPERTY(TGradEnabled Enabled READ gradientEnabled WRITE setGradientEnabled NOTIFY
                   gradientEnabledChanged)
    Q_PROPERTY(TJustification Justification READ Justification WRITE setJustification NOTIFY
                   justificationChanged)
    Q_PROPERTY(int NumColors READ NumColors WRITE setNumColors NOTIFY numColorsChanged)

public:
    // `owner` must be a main window (see isForm), otherwise EOwnerError. The window becomes
    // frameless; it grows by its border and caption, and what it holds moves down and right
    // by as much, so its client area keeps its size and layout.
    explicit TMSOfficeCaption(QObject* owner);
    ~TMSOfficeCaption() override;

    TAppNameText* AppNameText() const { return appNameText_; }
    TCaptionText* CaptionText() const { return captionText_; }
    TCompanyText* CompanyText() const { return companyText_; }
    QColor Color() const { return color_; }
    void setColor(const QColor& c);
    TGradEnabled gradientEnabled() const { return enabled_; }
    void setGradientEnabled(TGradEnabled e);
    TJustification Justification() const { return justification_; }
    void setJustification(TJustification j);
    int NumColors() const { return numColors_; }
    // Above 256 becomes 256; below 1 is ignored.
    void setNumColors(int n);

    const qm::controls::TSystemMetrics& metrics() const { return metrics_; }
    void setMetrics(const qm::controls::TSystemMetrics& m);
    QFont captionFont() const { return captionFont_; }
    QMargins clientMargins() const;
    bool isActive() const;
    // Colour depth the gradient decision uses (the screen's unless set, for tests).
    void setDisplayDepth(int bits) { displayDepth_ = bits; }

    // The bar as painted now (caption rectangle size), and the parts as last laid out.
    QImage captionImage();
    const std::vector<qm::controls::DrawnCaptionPart>& drawnParts() const { return drawn_; }
    QMenu* systemMenu() const { return systemMenu_; }

    // Rebuilds the window caption from the parts (called when a part changes).
    void updateCaption();

signals:
    void colorChanged(const QColor& color);
    void gradientEnabledChanged(TGradEnabled enabled);
    void justificationChanged(TJustification justification);
    void numColorsChanged(int numColors);
    // Lets the owner draw on the bar before the texts; `r` is the text area.
    void OnDrawCaption(QObject* sender, QPainter* canvas, QRect& r);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend class TCompanyText;
    friend class TCaptionText;
    void takeOverFrame();
    void relayout();
    // With a canvas above 1x, the painter is scaled to device pixels.
    void paintBar(QPainter& p, const qm::controls::DeviceCanvas* canvas = nullptr);
    void showSystemMenu(const QPoint& globalPos);
    int buttonAt(const QPoint& windowPos) const;
    void readCaptionFont();
    void announceCaptions();

    QPointer<QWidget> form_;
    TCompanyText* companyText_;
    TAppNameText* appNameText_;
    TCaptionText* captionText_;
    QColor color_;
    TGradEnabled enabled_ = geSmart;
    TJustification justification_ = jAuto;
    int numColors_ = 64;
    qm::controls::TSystemMetrics metrics_;
    QFont captionFont_;
    int displayDepth_ = 0;
    std::vector<qm::controls::DrawnCaptionPart> drawn_;
    QMenu* systemMenu_ = nullptr;
    int pressedButton_ = -1; // 0 close, 1 minimise, 2 maximise
    bool buttonDown_ = false;
    bool dragging_ = false;
    QPoint dragOffset_;
    bool formDying_ = false;
    bool updatingCaption_ = false;
};
