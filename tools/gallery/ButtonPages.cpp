#include "Gallery.h"

#include "controls/CheckBox.h"
#include "controls/ColorButton.h"
#include "controls/SystemColors.h"

#include <QMetaEnum>
#include <QPainter>
#include <QTest>

namespace {

void windowButton(TColorButton& b, const QString& caption, int bevel) {
    b.setColor(qm::controls::classic::teal());
    b.setFontColor(qm::controls::classic::white());
    QFont f = b.font();
    f.setBold(true);
    b.setFont(f);
    b.setBevelSize(bevel);
    b.setCaption(caption);
}

void states(Gallery& g, const QString& name, TColorButton& b) {
    g.shot(name + QStringLiteral("-up"), b);
    Gallery::press(b, b.rect().center());
    g.shot(name + QStringLiteral("-pressed"), b);
    Gallery::release(b, b.rect().center());
    b.setEnabled(false);
    g.shot(name + QStringLiteral("-disabled"), b);
    b.setEnabled(true);
}

QPixmap samplePicture() {
    QPixmap pm(16, 16);
    pm.fill(qm::controls::classic::yellow());
    QPainter p(&pm);
    p.setPen(qm::controls::classic::navy());
    p.drawRect(0, 0, 15, 15);
    p.drawLine(0, 0, 15, 15);
    return pm;
}

} // namespace

void colorButtonPage(Gallery& g) {
    {
        TColorButton b;
        windowButton(b, QStringLiteral("Create New Font Now"), 4);
        b.resize(179, 27);
        states(g, QStringLiteral("button-large"), b);
    }
    {
        TColorButton b;
        windowButton(b, QStringLiteral("MAKE FONT"), 3);
        b.resize(90, 25);
        states(g, QStringLiteral("button-panel"), b);
    }
    {
        TColorButton b;
        windowButton(b, QStringLiteral("Click to Learn What's New in this Version"), 4);
        b.setFontColor(qm::controls::classic::yellow());
        b.resize(150, 40);
        states(g, QStringLiteral("button-wrapped"), b);
    }
    for (int style = TColorButton::bvRaised; style <= TColorButton::bvLowered; ++style) {
        const QString s = style == TColorButton::bvRaised ? "raised" : "lowered";
        TColorButton plain;
        plain.setBevelStyle(static_cast<TColorButton::TBevelStyle>(style));
        plain.setCaption(QStringLiteral("Plain"));
        plain.setBevelSize(3);
        states(g, QStringLiteral("button-plain-") + s, plain);
        TColorButton w95;
        w95.setBevelType(TColorButton::ctWin95);
        w95.setBevelStyle(static_cast<TColorButton::TBevelStyle>(style));
        w95.setCaption(QStringLiteral("Win95"));
        states(g, QStringLiteral("button-win95-") + s, w95);
    }
    // Pictures in the nine places and the two sizing modes.
    const QMetaEnum align = QMetaEnum::fromType<TColorButton::TAlignment>();
    for (int a = TColorButton::alTopLeft; a <= TColorButton::alBottomRight; ++a) {
        TColorButton b;
        b.resize(80, 50);
        b.setColor(qm::controls::classic::silver());
        b.setPicture(samplePicture());
        b.setPictureAlignment(static_cast<TColorButton::TAlignment>(a));
        b.setCaptionAlignment(static_cast<TColorButton::TAlignment>(8 - a));
        b.setCaption(QStringLiteral("Text"));
        g.shot(QStringLiteral("button-picture-%1").arg(align.valueToKey(a)), b);
    }
    TColorButton stretch;
    stretch.resize(60, 40);
    stretch.setPictureMode(TColorButton::pmStretch);
    stretch.setPicture(samplePicture());
    g.shot(QStringLiteral("button-picture-stretch"), stretch);
    TColorButton autosize;
    autosize.setPictureMode(TColorButton::pmAutoSize);
    autosize.setPicture(samplePicture());
    g.shot(QStringLiteral("button-picture-autosize"), autosize);
}

void checkBoxPage(Gallery& g) {
    const QMetaEnum states = QMetaEnum::fromType<TCheckBoxBase::TCheckBoxState>();
    for (int s = TCheckBoxBase::cbUnchecked; s <= TCheckBoxBase::cbGrayed; ++s) {
        TBWCCCheckBox box;
        box.setCaption(QStringLiteral("&Sound On"));
        box.setCheckColor(qm::controls::classic::red());
        box.setFontColor(qm::controls::classic::maroon());
        box.setColor(QColor(192, 220, 192));
        box.resize(69, 17);
        box.setState(static_cast<TCheckBoxBase::TCheckBoxState>(s));
        g.shot(QStringLiteral("checkbox-%1").arg(states.valueToKey(s)), box);
        if (s == TCheckBoxBase::cbChecked) {
            Gallery::press(box, QPoint(5, 8));
            g.shot(QStringLiteral("checkbox-pressed"), box);
            Gallery::release(box, QPoint(200, 8)); // released off the box: no toggle
            box.setEnabled(false);
            g.shot(QStringLiteral("checkbox-disabled"), box);
        }
    }
    {
        // Focused: the dotted rectangle around the text.
        QWidget window;
        window.resize(100, 30);
        auto* box = new TBWCCCheckBox(&window);
        box->setGeometry(5, 5, 69, 17);
        box->setCaption(QStringLiteral("Help &On"));
        box->setChecked(true);
        box->setCheckColor(qm::controls::classic::red());
        window.show();
        window.activateWindow();
        if (!QTest::qWaitForWindowActive(&window))
            return; // no focus to show without an active window
        box->setFocus();
        g.shot(QStringLiteral("checkbox-focused"), *box);
    }
    TBWCCCheckBox wrapped;
    wrapped.setCaption(QStringLiteral("Turns this balloon-style help on and off"));
    wrapped.setChecked(true);
    wrapped.resize(120, 34);
    g.shot(QStringLiteral("checkbox-wrapped"), wrapped);
}
