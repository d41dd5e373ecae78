#include "Gallery.h"

#include "controls/FlashingLabel.h"
#include "controls/FontImageLabel.h"
#include "controls/PathLabel.h"
#include "controls/SystemColors.h"
#include "controls/ThreeDLabel.h"

#include <QFile>
#include <QPixmap>

void pathLabelPage(Gallery& g) {
    const QString path = QStringLiteral("c:\\windows\\fonts\\truetype\\arial.ttf");
    for (int width : {400, 180, 150, 130, 90, 60, 40}) {
        for (int dir = TFileLabel::drFromLeft; dir <= TFileLabel::drFromRight; ++dir) {
            TFileLabel label;
            label.setStyleSheet(QStringLiteral("background: #FFFF00; color: #FF0000;"));
            QFont f = label.font();
            f.setBold(true);
            label.setFont(f);
            label.setDirection(static_cast<TFileLabel::TDirection>(dir));
            label.resize(width, 16);
            label.setFileName(path);
            g.shot(QStringLiteral("path-%1-%2").arg(dir == 0 ? "fromleft" : "fromright").arg(width),
                   label);
        }
    }
    TFileLabel slashed;
    slashed.setSeparator(QStringLiteral("/"));
    slashed.resize(170, 16);
    slashed.setFileName(QStringLiteral("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"));
    g.shot(QStringLiteral("path-slash-170"), slashed);
}

void flashingLabelPage(Gallery& g) {
    QWidget panel;
    panel.resize(200, 24);
    panel.setAutoFillBackground(true);
    QPalette pal = panel.palette();
    pal.setColor(QPalette::Window, QColor(192, 220, 192));
    panel.setPalette(pal);
    auto* label = new TFlashingLabel(&panel);
    label->setText(QStringLiteral("Click Me -- Important !"));
    label->setAlignment(Qt::AlignCenter);
    QFont f = label->font();
    f.setBold(true);
    label->setFont(f);
    label->setColor(QColor(0, 0, 255));
    label->setGeometry(0, 4, 200, 16);
    label->setFlashing(true);
    g.shot(QStringLiteral("flash-phase-shown"), panel);
    label->setHidden(true); // what the next tick does
    g.shot(QStringLiteral("flash-phase-hidden"), panel);
    label->setFlashing(false);
    g.shot(QStringLiteral("flash-stopped"), panel);
}

void fontImagePage(Gallery& g) {
    QWidget panel;
    panel.resize(420, 60);
    panel.setAutoFillBackground(true);
    QPalette pal = panel.palette();
    pal.setColor(QPalette::Window, QColor(192, 220, 192));
    panel.setPalette(pal);
    // The window's title: the red picture over the teal one, both colour-keyed.
    const char* pictures[] = {":/pictures/TitleShadow.png", ":/pictures/TitleText.png"};
    const QPoint places[] = {{59 - 40, 14}, {62 - 40, 12}};
    for (int i = 0; i < 2; ++i) {
        auto* image = new TMyFontImage(&panel);
        image->setTransparent(true);
        image->setPicture(QPixmap(QString::fromLatin1(pictures[i])));
        image->setGeometry(QRect(places[i], QSize(317, 37)));
    }
    g.shot(QStringLiteral("fontimage-title"), panel);

    QWidget bullets;
    bullets.resize(90, 30);
    bullets.setAutoFillBackground(true);
    bullets.setPalette(pal);
    for (int i = 0; i < 3; ++i) {
        auto* image = new TMyFontImage(&bullets);
        image->setTransparent(true);
        image->setPicture(QPixmap(QStringLiteral(":/pictures/Bullet%1.png").arg(i + 1)));
        image->setGeometry(4 + 28 * i, 2, 23, 27);
    }
    g.shot(QStringLiteral("fontimage-bullets"), bullets);

    // The render step with each frame, as the design-time tool runs it.
    const char* frames[] = {"none", "standard", "raised", "lowered"};
    for (int frame = TMyFontImage::caNone; frame <= TMyFontImage::ca3DLowered; ++frame) {
        TMyFontImage image;
        image.setDesigning(true);
        QFont font(QStringLiteral("DejaVu Serif"));
        font.setPixelSize(20);
        image.setFontToUse({font, QColor(128, 0, 0)});
        image.setFrame(static_cast<TMyFontImage::TFrameType>(frame));
        image.setFontCaption(QStringLiteral("Sample Ag"));
        image.setFontBackColor(QColor(255, 255, 225));
        g.shot(QStringLiteral("fontimage-frame-%1").arg(frames[frame]), image);
    }
}

void drLabelPage(Gallery& g) {
    struct Row {
        const char* name;
        TDRLabel::TDRBorder border;
        int deep;
        bool enabled;
    };
    const Row rows[] = {
        {"window", TDRLabel::boNone, 1, true},     {"deep2", TDRLabel::boNone, 2, true},
        {"single", TDRLabel::boSingle, 1, true},   {"raised", TDRLabel::boRaised, 1, true},
        {"lowered", TDRLabel::boLowered, 1, true}, {"disabled", TDRLabel::boNone, 1, false},
    };
    for (const Row& r : rows) {
        TDRLabel label;
        label.setText(QStringLiteral("Easily changes TrueType Font names"));
        QFont f = label.font();
        f.setBold(true);
        f.setPixelSize(13);
        label.setFont(f);
        label.setColor(QColor(192, 220, 192));
        label.setFontColor(QColor(0, 0, 255));
        label.setShadowColor(qm::controls::system::btnHighlight());
        label.setBorder(r.border);
        label.setDeep(r.deep);
        label.setEnabled(r.enabled);
        label.resize(250, 20);
        g.shot(QStringLiteral("drlabel-%1").arg(r.name), label);
    }
    // The two blink phases of each kind.
    TDRLabel label;
    label.setText(QStringLiteral("Blinking"));
    label.setColor(QColor(192, 220, 192));
    label.setFontColor(QColor(128, 0, 0));
    label.resize(80, 18);
    label.setBlink(TDRLabel::blBlink);
    label.blinkStep();
    g.shot(QStringLiteral("drlabel-blink-off"), label);
    label.blinkStep();
    g.shot(QStringLiteral("drlabel-blink-on"), label);
    label.setBlink(TDRLabel::blHiLo);
    label.blinkStep();
    g.shot(QStringLiteral("drlabel-hilo-hi"), label);
    label.blinkStep();
    g.shot(QStringLiteral("drlabel-hilo-lo"), label);
}
