#include "Gallery.h"

#include "../chromedemo/SampleWindow.h"

#include "controls/BalloonHint.h"
#include "controls/CaptionBar.h"
#include "controls/SystemColors.h"
#include "controls/WindowRoller.h"

#include "app/FindControl.h"
#include "app/Main.h"
#include "controls/ColorButton.h"
#include "platform/RegistryStore.h"
#include "platform/SoundPlayer.h"

#include <QFile>
#include <QTemporaryDir>

#include <QApplication>
#include <QLabel>
#include <QPainter>
#include <QPushButton>

using qm::app::findAs;
using qm::app::MainWindowSetup;
using qm::controls::BalloonLook;
using qm::controls::balloonMask;
using qm::controls::BalloonPlacement;
using qm::controls::balloonTextWidthLimit;
using qm::controls::balloonWindowSize;
using qm::controls::effectiveMaxWidth;
using qm::controls::measureBalloonText;
using qm::controls::placeBalloon;
using qm::controls::renderBalloon;

namespace {

const QString kCreateHint =
    QStringLiteral("Makes a new font file containing the data you entered.");

void shotImage(Gallery& g, const QString& name, const QImage& image) {
    QLabel label;
    label.setPixmap(QPixmap::fromImage(image));
    label.resize(image.size());
    g.shot(name, label);
}

// A patterned backdrop, so that the half-tone shadow shows what lies behind it.
QImage backdrop(const QSize& size) {
    QImage img(size, QImage::Format_RGB32);
    QPainter p(&img);
    p.fillRect(img.rect(), QColor(192, 220, 192));
    p.setPen(QColor(0, 128, 128));
    for (int x = -size.height(); x < size.width(); x += 12)
        p.drawLine(x, 0, x + size.height(), size.height());
    return img;
}

QImage balloonOver(const QImage& behind, const QPoint& pointer, const QString& text,
                   const TBalloonBase& settings, QPoint* topLeft = nullptr,
                   TBalloonPosition* direction = nullptr) {
    const BalloonLook look = settings.look();
    const QRect screen = behind.rect();
    const int d = look.shadowDepth;
    const int limit = balloonTextWidthLimit(
        pointer.x(), screen, effectiveMaxWidth(settings.MaxWidth(), screen.width()), d);
    const QSize size = balloonWindowSize(measureBalloonText(look.font, text, limit), d);
    const BalloonPlacement place = placeBalloon(settings.Position(), pointer, size, screen);
    if (topLeft)
        *topLeft = place.topLeft;
    if (direction)
        *direction = place.direction;
    return renderBalloon(size, place.direction, look, text,
                         behind.copy(QRect(place.topLeft, size)));
}

// Draws a balloon onto `canvas` as the shaped window would show it.
void showBalloon(QImage& canvas, const QPoint& pointer, const QString& text,
                 const TBalloonBase& settings) {
    QPoint at;
    TBalloonPosition dir;
    const QImage balloon = balloonOver(canvas, pointer, text, settings, &at, &dir);
    QPainter p(&canvas);
    p.setClipRegion(
        QRegion(balloonMask(balloon.size(), dir, settings.ShadowDepth(), settings.Shape()))
            .translated(at));
    p.drawImage(at, balloon);
}

void activate(QWidget* form) {
    form->show();
    form->activateWindow();
    QApplication::setActiveWindow(form);
    QApplication::processEvents();
}

} // namespace

void balloonPage(Gallery& g) {
    const QImage behind = backdrop(QSize(640, 480));
    const struct {
        const char* name;
        TBalloonPosition position;
    } directions[] = {{"above-left", bpAboveLeft},
                      {"above-right", bpAboveRight},
                      {"below-left", bpBelowLeft},
                      {"below-right", bpBelowRight}};
    for (const auto& row : directions) {
        TBalloonBase settings;
        settings.setPosition(row.position);
        shotImage(g, QStringLiteral("balloon-%1").arg(QLatin1String(row.name)),
                  balloonOver(behind, QPoint(320, 240), kCreateHint, settings));
    }
    TBalloonBase settings;
    shotImage(g, QStringLiteral("balloon-one-word-59"),
              balloonOver(behind, QPoint(320, 240), QStringLiteral("OK"), settings));
    settings.setShadowStyle(ssSolid);
    shotImage(g, QStringLiteral("balloon-solid-shadow"),
              balloonOver(behind, QPoint(320, 240), kCreateHint, settings));
    settings.setShadowStyle(ssShaded);
    settings.setShape(bsRectangle);
    shotImage(g, QStringLiteral("balloon-rectangle"),
              balloonOver(behind, QPoint(320, 240), kCreateHint, settings));
    settings.setShape(bsRoundRect);
    settings.setShadowDepth(0);
    shotImage(g, QStringLiteral("balloon-no-shadow"),
              balloonOver(behind, QPoint(320, 240), kCreateHint, settings));
    settings.setShadowDepth(8);
    settings.setStyle(hsCustom);
    settings.setColor(QColor(255, 255, 160));
    settings.setBorderColor(qm::controls::classic::navy());
    settings.setFontColor(qm::controls::classic::maroon());
    shotImage(g, QStringLiteral("balloon-custom-style"),
              balloonOver(behind, QPoint(320, 240), kCreateHint, settings));

    // The screen's four edges: each balloon flips to stay on the screen.
    QImage edges = backdrop(QSize(640, 480));
    TBalloonBase plain;
    showBalloon(edges, QPoint(630, 240), QStringLiteral("Right edge: flipped left."), plain);
    showBalloon(edges, QPoint(320, 4), QStringLiteral("Top edge: flipped below."), plain);
    showBalloon(edges, QPoint(4, 300), QStringLiteral("Left edge."), plain);
    showBalloon(edges, QPoint(320, 478), QStringLiteral("Bottom edge: stays above."), plain);
    shotImage(g, QStringLiteral("balloon-screen-edges-640"), edges);
}

void rollerPage(Gallery& g) {
    ChromeSample s = buildChromeSample();
    activate(s.form.get());
    shotImage(g, QStringLiteral("roller-rolled-down"), s.roller->buttonImage());
    s.roller->pressButton();
    shotImage(g, QStringLiteral("roller-pressed"), s.roller->buttonImage());
    s.roller->releaseAt(QPoint(-10, -10));
    s.roller->setRoller(true);
    shotImage(g, QStringLiteral("roller-rolled-up"), s.roller->buttonImage());
    s.roller->setRoller(false);
    s.roller->setEnabled(false);
    shotImage(g, QStringLiteral("roller-disabled"), s.roller->buttonImage());
}

void captionPage(Gallery& g) {
    ChromeSample s = buildChromeSample();
    activate(s.form.get());
    g.shot(QStringLiteral("caption-window-active"), *s.form);
    shotImage(g, QStringLiteral("caption-bar-active"), s.bar->captionImage());
    s.bar->setNumColors(1);
    shotImage(g, QStringLiteral("caption-numcolors-1"), s.bar->captionImage());
    s.bar->setNumColors(8);
    shotImage(g, QStringLiteral("caption-numcolors-8"), s.bar->captionImage());
    s.bar->setNumColors(64);
    s.bar->setColor(qm::controls::classic::maroon());
    s.bar->setJustification(jCenter);
    s.form->setWindowTitle(QStringLiteral("Quillmark 2.3"));
    shotImage(g, QStringLiteral("caption-centred-maroon"), s.bar->captionImage());
    s.bar->setJustification(jAuto);
    s.bar->setColor(qm::controls::classic::black());
    s.bar->CaptionText()->setCaption(QStringLiteral("2.3"));
    s.bar->CompanyText()->setCaption(QStringLiteral("Solvane Type Works"));
    s.bar->AppNameText()->setCaption(QStringLiteral("Quillmark"));
    shotImage(g, QStringLiteral("caption-three-parts"), s.bar->captionImage());
    s.bar->CaptionText()->setCaption(
        QStringLiteral("Copyright \u00a9 Solvane Type Works. All rights reserved."));
    shotImage(g, QStringLiteral("caption-company-dropped"), s.bar->captionImage());
    s.bar->CaptionText()->setCaption(QStringLiteral(
        "Copyright \u00a9 Solvane Type Works. All rights reserved. A caption far too long."));
    shotImage(g, QStringLiteral("caption-ellipsis"), s.bar->captionImage());

    QWidget other;
    activate(&other);
    shotImage(g, QStringLiteral("caption-bar-inactive"), s.bar->captionImage());
}

void chromeWindowPage(Gallery& g) {
    ChromeSample s = buildChromeSample();
    s.form->move(60, 60);
    activate(s.form.get());
    // The window on a desktop with the "Create New Font Now" balloon showing.
    QImage desktop(QSize(640, 400), QImage::Format_RGB32);
    desktop.fill(QColor(0, 128, 128));
    {
        QPainter p(&desktop);
        p.drawImage(s.form->pos(), s.form->grab().toImage());
    }
    const QPoint pointer = s.form->pos() + s.create->mapTo(s.form.get(), QPoint(60, 12));
    showBalloon(desktop, pointer, s.create->toolTip(), *s.hint);
    shotImage(g, QStringLiteral("window-with-balloon"), desktop);

    // Rolled up: only the caption bar and the bottom edge stay.
    s.roller->setRoller(true);
    QApplication::processEvents();
    QImage rolled(QSize(640, 200), QImage::Format_RGB32);
    rolled.fill(QColor(0, 128, 128));
    {
        QPainter p(&rolled);
        p.setClipRegion(s.form->mask().translated(s.form->pos()));
        p.drawImage(s.form->pos(), s.form->grab().toImage());
    }
    shotImage(g, QStringLiteral("window-rolled-up"), rolled);
}

namespace {

// A gallery makes no sound.
class NoSoundDevice : public qm::platform::SoundDevice {
public:
    bool available() override { return false; }
    bool start(const qm::platform::WaveData&, bool) override { return false; }
    bool playing() override { return false; }
    void stop() override {}
};

} // namespace

// The program's own window, with its settings kept in a scratch folder.
void mainWindowPage(Gallery& g) {
    QTemporaryDir settings;
    MainWindowSetup setup;
    setup.registry = std::make_shared<qm::platform::RegistryStore>(
        QFile::encodeName(settings.path()).toStdString());
    setup.sound = std::make_shared<qm::platform::SoundPlayer>(std::make_unique<NoSoundDevice>());
    TFrmMain w(nullptr, std::move(setup));
    w.move(20, 20);
    activate(&w);
    QImage desktop(w.size() + QSize(40, 40), QImage::Format_RGB32);
    desktop.fill(QColor(0, 128, 128));
    {
        QPainter p(&desktop);
        p.drawImage(w.pos(), w.grab().toImage());
    }
    shotImage(g, QStringLiteral("main-window"), desktop);
    const QPoint pointer =
        w.pos() + findAs<TColorButton>(w, "B_Help")
                      ->mapTo(&w, findAs<TColorButton>(w, "B_Help")->rect().center());
    showBalloon(desktop, pointer, findAs<TColorButton>(w, "B_Help")->toolTip(),
                *findAs<TBalloonHint>(w, "BalloonHint1"));
    shotImage(g, QStringLiteral("main-window-with-balloon"), desktop);
}
