// Design-time: renders the window's five stored pictures with TMyFontImage's render step and
// writes them as PNG files (committed under resources/pictures).
//
//   title "TrueType Quillmark": Lobster Two Bold Italic (Debian fonts-lobster), 27 px cell
//     widened to fill the width, teal and red on 0xC0DCC0, 317 x 37 each
//   bullets 1, 2, 3: DejaVu Sans Bold's negative circled digits, navy, 24 px cell, 23 x 27
//
// Beside each picture go masters for high-density screens, NAME@2x.png and NAME@3x.png: the
// same caption, font and margins drawn at twice and three times the pixels, smoothed, on a
// transparent ground (the window picks one by the screen's pixel ratio).
//
// usage: fontpictures <output folder>

#include "controls/FontImageLabel.h"

#include <QApplication>
#include <QDir>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <cstdio>

namespace {

const QColor kPanel(192, 220, 192);

// The largest pixel size whose line height is at most `height` and leaves even margins
// in a picture `total` pixels high.
QFont fontWithHeight(const QString& family, const QString& style, int height, int total) {
    QFont f = QFontDatabase::font(family, style, 12);
    for (int px = height; px > 4; --px) {
        f.setPixelSize(px);
        const int h = QFontMetrics(f).height();
        if (h <= height && (total - h) % 2 == 0)
            break;
    }
    return f;
}

// A master at `scale` times the pixels: what the render step draws at 1x, without its ground.
bool renderMaster(const QString& path, const QString& caption, QFont font, const QColor& ink,
                  QPoint margins, QSize size, int scale) {
    QImage image(size * scale, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    image.setDevicePixelRatio(scale);
    {
        QPainter p(&image);
        font.setStyleStrategy(QFont::PreferAntialias);
        p.setRenderHint(QPainter::TextAntialiasing);
        p.setFont(font);
        p.setPen(ink);
        p.drawText(QRect(margins, size), Qt::AlignLeft | Qt::AlignTop, caption);
    }
    image.setDevicePixelRatio(1);
    return image.save(path, "PNG");
}

// The 1x picture and its masters.
bool renderAll(const QString& path, const QString& caption, const QFont& font, const QColor& ink,
               QSize want);

// Renders like the window's designer did: set every property, the last one triggers it.
bool renderTo(const QString& path, const QString& caption, const QFont& font, const QColor& ink,
              QSize want) {
    TMyFontImage image;
    image.setDesigning(true);
    const QFontMetrics fm(font);
    const int textWidth = fm.horizontalAdvance(caption);
    image.setHorzPos((want.width() - textWidth) / 2);
    image.setVertPos((want.height() - fm.height()) / 2);
    image.setFontToUse({font, ink});
    image.setFontCaption(caption);
    image.setFontBackColor(kPanel);
    if (image.picture().size() != want) {
        std::fprintf(stderr, "%s: %dx%d, want %dx%d\n", qPrintable(path), image.picture().width(),
                     image.picture().height(), want.width(), want.height());
        return false;
    }
    return image.picture().save(path, "PNG");
}

bool renderAll(const QString& path, const QString& caption, const QFont& font, const QColor& ink,
               QSize want) {
    bool ok = renderTo(path, caption, font, ink, want);
    const QFontMetrics fm(font);
    const QPoint margins((want.width() - fm.horizontalAdvance(caption)) / 2,
                         (want.height() - fm.height()) / 2);
    for (int scale : {2, 3}) {
        QString master = path;
        master.insert(master.lastIndexOf(QLatin1Char('.')), QStringLiteral("@%1x").arg(scale));
        ok &= renderMaster(master, caption, font, ink, margins, want, scale);
    }
    return ok;
}

// The title face widened until the caption fills the picture but for margins of 2 to 8 pixels
// (even, so that both sides match): the layout leaves 317 pixels for a 27-pixel face.
QFont titleFont(const QString& caption, int width, int height) {
    QFont f =
        fontWithHeight(QStringLiteral("Lobster Two"), QStringLiteral("Bold Italic"), height, 37);
    for (int stretch = 100; stretch <= 400; ++stretch) {
        f.setStretch(stretch);
        const int spare = width - QFontMetrics(f).horizontalAdvance(caption);
        if (spare >= 4 && spare <= 16 && spare % 4 == 0)
            return f;
    }
    return f;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: fontpictures <output folder>\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    const QString title = QStringLiteral("TrueType Quillmark");
    QFont face = titleFont(title, 317, 27);
    face.setStyleStrategy(QFont::NoAntialias); // a colour-keyed picture wants hard edges
    if (QFontInfo(face).family() != QStringLiteral("Lobster Two"))
        std::fprintf(stderr, "warning: title face is %s\n", qPrintable(QFontInfo(face).family()));

    QFont bullet = fontWithHeight(QStringLiteral("DejaVu Sans"), QStringLiteral("Bold"), 25, 27);
    bullet.setStyleStrategy(QFont::NoAntialias);

    bool ok = true;
    ok &= renderAll(out.filePath("TitleShadow.png"), title, face, QColor(0, 128, 128), {317, 37});
    ok &= renderAll(out.filePath("TitleText.png"), title, face, QColor(255, 0, 0), {317, 37});
    const QString digits[] = {QString(QChar(0x2776)), QString(QChar(0x2777)),
                              QString(QChar(0x2778))};
    for (int i = 0; i < 3; ++i)
        ok &= renderAll(out.filePath(QStringLiteral("Bullet%1.png").arg(i + 1)), digits[i], bullet,
                        QColor(0, 0, 128), {23, 27});
    return ok ? 0 : 1;
}
