// Design-time: drafts the 7 x 9 and 9 x 12 dot tables of the counter from a monospaced face
// rendered without smoothing, then writes them as glyph sources for tools/glyphs. The drafts
// are reviewed (and touched up by hand) in the gallery before they are committed.
//
// usage: lcdglyphs <output folder>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QTextStream>
#include <cstdio>

namespace {

struct Matrix {
    const char* file;
    int columns;
    int rows;
    int capRows; // rows above the baseline; the rest carry descenders
};

QFont faceWithCapHeight(int capRows) {
    QFont f(QStringLiteral("DejaVu Sans Mono"));
    f.setStyleStrategy(QFont::NoAntialias);
    f.setHintingPreference(QFont::PreferFullHinting);
    for (int px = 6; px < 40; ++px) {
        f.setPixelSize(px);
        QImage probe(64, 64, QImage::Format_RGB32);
        probe.fill(Qt::white);
        QPainter p(&probe);
        p.setFont(f);
        p.setPen(Qt::black);
        p.drawText(10, 50, QStringLiteral("H"));
        p.end();
        int top = 64, bottom = -1;
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 64; ++x)
                if (qRed(probe.pixel(x, y)) < 128) {
                    top = std::min(top, y);
                    bottom = std::max(bottom, y);
                }
        if (bottom - top + 1 >= capRows)
            return f;
    }
    return f;
}

void draft(const Matrix& m, const QDir& out) {
    const QFont f = faceWithCapHeight(m.capRows);
    QFile file(out.filePath(QString::fromLatin1(m.file)));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text)) {
        std::fprintf(stderr, "cannot write %s\n", m.file);
        return;
    }
    QTextStream ts(&file);
    ts << "# " << m.columns << " x " << m.rows << " dot glyphs, codes 32..126, drafted from "
       << f.family() << " " << f.pixelSize() << " px; one hex number per row\n";
    for (int code = 32; code <= 126; ++code) {
        const QString ch = QString(QChar(code));
        // Render wide and with room above, then centre the ink (not the advance) in the grid;
        // ink that rises above the top row (the dots of i and j) moves down into the cell.
        const int pad = 3 * m.columns;
        const int above = 4;
        QImage wide(pad * 3, m.rows + above, QImage::Format_RGB32);
        wide.fill(Qt::white);
        QPainter p(&wide);
        p.setFont(f);
        p.setPen(Qt::black);
        p.drawText(pad, above + m.capRows, ch); // baseline just below the capital rows
        p.end();
        int inkLeft = wide.width(), inkRight = -1, inkTop = wide.height(), inkBottom = -1;
        for (int y = 0; y < wide.height(); ++y)
            for (int x = 0; x < wide.width(); ++x)
                if (qRed(wide.pixel(x, y)) < 128) {
                    inkLeft = std::min(inkLeft, x);
                    inkRight = std::max(inkRight, x);
                    inkTop = std::min(inkTop, y);
                    inkBottom = std::max(inkBottom, y);
                }
        const int inkWidth = inkRight - inkLeft + 1;
        const int shiftX = inkRight < 0 ? 0 : inkLeft - (m.columns - inkWidth) / 2;
        int top = above;
        if (inkRight >= 0 && inkTop < above)
            top = std::max(inkTop, inkBottom - m.rows + 1);
        const QImage img = wide.copy(shiftX, top, m.columns, m.rows);
        ts << code;
        for (int r = 0; r < m.rows; ++r) {
            unsigned bits = 0;
            for (int c = 0; c < m.columns; ++c)
                bits = (bits << 1) | (qRed(img.pixel(c, r)) < 128 ? 1u : 0u);
            ts << ' ' << QString::number(bits, 16).toUpper().rightJustified(3, QLatin1Char('0'));
        }
        ts << '\n';
    }
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: lcdglyphs <output folder>\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    draft({"mat7x9.txt", 7, 9, 7}, out);
    draft({"mat9x12.txt", 9, 12, 9}, out);
    return 0;
}
