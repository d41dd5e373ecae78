#pragma once

// The toggle family: TTogglerBase holds the mouse, keyboard and accelerator logic,
// TCheckBoxBase the check state, and TBWCCCheckBox draws a flat 13-pixel box with a
// coloured check mark and word-wrapped text through an off-screen image.

#include <QColor>
#include <QWidget>

namespace qm::controls {
class DeviceCanvas;
}

class TTogglerBase : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ caption WRITE setCaption NOTIFY captionChanged)
    Q_PROPERTY(bool TabStop READ tabStop WRITE setTabStop NOTIFY tabStopChanged)

public:
    explicit TTogglerBase(QWidget* parent = nullptr);
    ~TTogglerBase() override;

    QString caption() const { return caption_; }
    void setCaption(const QString& text);
    // The character after the first '&', unless it is the last one or a doubled "&&".
    QChar accelerator() const { return accel_; }
    bool pressed() const { return pressed_; }

    bool tabStop() const { return focusPolicy() == Qt::StrongFocus; }
    void setTabStop(bool on);

    // The click action.
    virtual void toggle() = 0;

signals:
    void captionChanged(const QString& caption);
    void tabStopChanged(bool tabStop);

protected:
    bool canFocus() const;
    void setPressed(bool on);

    bool event(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void buttonDown(QMouseEvent* event);

    QString caption_;
    QChar accel_;
    int shortcutId_ = 0;
    bool pressed_ = false;
    bool clicking_ = false; // a left press on the control awaits its release
};

class TCheckBoxBase : public TTogglerBase {
    Q_OBJECT
public:
    enum TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };
    Q_ENUM(TCheckBoxState)

    Q_PROPERTY(TCheckBoxState State READ state WRITE setState NOTIFY stateChanged)
    Q_PROPERTY(bool Checked READ checked WRITE setChecked NOTIFY checkedChanged)

public:
    explicit TCheckBoxBase(QWidget* parent = nullptr);

    TCheckBoxState state() const { return state_; }
    // A different state is stored, repainted and then announced by clicked(), whoever set it.
    void setState(TCheckBoxState s);
    bool checked() const { return state_ == cbChecked; }
    void setChecked(bool on) { setState(on ? cbChecked : cbUnchecked); }

    void toggle() override { setChecked(!checked()); }

signals:
    void stateChanged(TCheckBoxState state);
    void checkedChanged(bool checked);
    void clicked();

private:
    TCheckBoxState state_ = cbUnchecked;
};

class TBWCCCheckBox : public TCheckBoxBase {
    Q_OBJECT
    Q_PROPERTY(QColor CheckColor READ checkColor WRITE setCheckColor NOTIFY checkColorChanged)
    Q_PROPERTY(QColor Color READ color WRITE setColor NOTIFY colorChanged)
    Q_PROPERTY(QColor FontColor READ fontColor WRITE setFontColor NOTIFY fontColorChanged)

public:
    explicit TBWCCCheckBox(QWidget* parent = nullptr);

    QColor checkColor() const { return checkColor_; }
    void setCheckColor(const QColor& c);
    // The fill behind box and text.
    QColor color() const { return color_; }
    void setColor(const QColor& c);
    QColor fontColor() const { return fontColor_; }
    void setFontColor(const QColor& c);

    // The caption on one line right of the box, and the box with its pushed frame.
    QSize sizeHint() const override;

signals:
    void checkColorChanged(const QColor& checkColor);
    void colorChanged(const QColor& color);
    void fontColorChanged(const QColor& fontColor);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void paintBox(class QPainter& p, const qm::controls::DeviceCanvas& canvas) const;

    QColor checkColor_;
    QColor color_;
    QColor fontColor_;
};
