#pragma once

// Balloon maths, kept apart from the window so that tests can call it directly: the size
// rule, the placement with its flip to fit the screen, the body, tail and shadow shapes, and
// the off-screen rendering of a balloon over a saved background.

#include <QBitmap>
#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainterPath>
#include <QPoint>
#include <QPolygon>
#include <QRect>
#include <QSize>
#include <QString>

enum TBalloonPosition { bpAboveLeft, bpAboveRight, bpBelowLeft, bpBelowRight };
enum TBalloonShape { bsRoundRect, bsRectangle };
enum TBalloonShadowStyle { ssShaded, ssSolid };

class QPainter;

namespace qm::controls {

constexpr int kMaxShadowDepth = 16;

// The balloon's frame around its text: 33 pixels across, 38 down, plus the shadow.
constexpr int kBalloonExtraWidth = 33;
constexpr int kBalloonExtraHeight = 38;
constexpr int kBalloonMinWidth = 59;

// MaxWidth in pixels: positive values are pixels (at most the screen width), -n is the screen
// width divided by n. Zero would divide by zero; it means the whole screen width.
int effectiveMaxWidth(int maxWidth, int screenWidth);

// Width the text is wrapped in for a pointer at pointerX (screen coordinates). Never below 1,
// so a tiny limit still measures one word per line instead of failing.
int balloonTextWidthLimit(int pointerX, const QRect& screen, int effectiveMax, int shadowDepth);

// Window size for a measured text block.
QSize balloonWindowSize(const QSize& textSize, int shadowDepth);

// Measures text word-wrapped in at most `limit` pixels, without mnemonic processing.
QSize measureBalloonText(const QFont& font, const QString& text, int limit);

bool isBelow(TBalloonPosition p);
bool isRight(TBalloonPosition p);
TBalloonPosition balloonPosition(bool below, bool right);

// Top-left of a window of `size` for direction p with the tail's tip at the pointer.
QPoint balloonOrigin(TBalloonPosition p, const QPoint& pointer, const QSize& size);

struct BalloonPlacement {
    QPoint topLeft;
    TBalloonPosition direction;
};

// Places the window for the preferred direction, then flips it to fit the screen.
BalloonPlacement placeBalloon(TBalloonPosition preferred, const QPoint& pointer, const QSize& size,
                              const QRect& screen);

// Shapes in window coordinates for a window of `size`.
QRect balloonBody(const QSize& size, TBalloonPosition p, int shadowDepth);
QPolygon balloonTail(const QSize& size, TBalloonPosition p, int shadowDepth);
QRect balloonTextRect(const QSize& size, TBalloonPosition p, int shadowDepth);
QPainterPath balloonShape(const QSize& size, TBalloonPosition p, int shadowDepth,
                          TBalloonShape shape);

// Balloon plus its shadow: the part of the window that is shown when regions are used.
QBitmap balloonMask(const QSize& size, TBalloonPosition p, int shadowDepth, TBalloonShape shape);

struct BalloonLook {
    TBalloonShape shape = bsRoundRect;
    TBalloonShadowStyle shadowStyle = ssShaded;
    int shadowDepth = 8;
    QColor fill;
    QColor outline;
    QColor textColor;
    QFont font;
};

// Paints a balloon over `background` (the pixels behind the window; may be null), in one
// image of `size`.
QImage renderBalloon(const QSize& size, TBalloonPosition p, const BalloonLook& look,
                     const QString& text, const QImage& background);

// The two steps of renderBalloon: the shape with its shadow, and the text over it (the text
// apart, so a scaled screen can have it at its own resolution). For a scaled screen the shape
// is drawn `device` pixels large (default: `size`): the 1x shape laid on the device pixels,
// its outline one `line` of device pixels thick and the shaded shadow's dots `line` across.
QImage renderBalloonShape(const QSize& size, TBalloonPosition p, const BalloonLook& look,
                          const QImage& background, const QSize& device = QSize(), int line = 1);
void drawBalloonText(QPainter& painter, const QSize& size, TBalloonPosition p,
                     const BalloonLook& look, const QString& text);

} // namespace qm::controls
