#include "ViewerTestSupport.h"

#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <cmath>

namespace viewertest {

QString SystemFont(const QString& relativePath) {
    return kFontDir + QLatin1Char('/') + relativePath;
}

QString RenameFamily(const QString& src, const QString& dst, const QString& family) {
    static const char* script = R"(
import sys
from fontTools.ttLib import TTFont
font = TTFont(sys.argv[1])
for record in font['name'].names:
    if record.nameID in (1, 16):
        record.string = sys.argv[3]
font.save(sys.argv[2])
)";
    QProcess python;
    python.start(QStringLiteral("/usr/bin/python3"),
                 {QStringLiteral("-c"), QString::fromUtf8(script), src, dst, family});
    if (!python.waitForFinished(60000) || python.exitStatus() != QProcess::NormalExit ||
        python.exitCode() != 0)
        return QStringLiteral("fontTools failed: ") +
               QString::fromUtf8(python.readAllStandardError());
    return {};
}

ProcessResult RunGlyphsee(const QStringList& args) {
    QProcess process;
    process.setProgram(QStringLiteral(GLYPHSEE_PATH));
    process.setArguments(args);
    process.start();
    ProcessResult result;
    if (!process.waitForStarted(30000) || !process.waitForFinished(120000)) {
        process.kill();
        process.waitForFinished();
        result.crashed = true;
        return result;
    }
    result.crashed = process.exitStatus() != QProcess::NormalExit;
    result.exitCode = process.exitCode();
    result.out = QString::fromUtf8(process.readAllStandardOutput());
    result.err = QString::fromUtf8(process.readAllStandardError());
    return result;
}

QImage RenderPdfPage(const QString& pdf, int dpi) {
    QTemporaryDir dir;
    const QString prefix = dir.filePath(QStringLiteral("page"));
    QProcess pdftoppm;
    pdftoppm.start(QStringLiteral("pdftoppm"),
                   {QStringLiteral("-png"), QStringLiteral("-r"), QString::number(dpi),
                    QStringLiteral("-f"), QStringLiteral("1"), QStringLiteral("-l"),
                    QStringLiteral("1"), QStringLiteral("-singlefile"), pdf, prefix});
    if (!pdftoppm.waitForFinished(60000) || pdftoppm.exitCode() != 0)
        return {};
    return QImage(prefix + QStringLiteral(".png")).convertToFormat(QImage::Format_RGB32);
}

double InkFraction(const QImage& image, const QRect& rect) {
    const QRect area = rect.intersected(image.rect());
    if (area.isEmpty())
        return 0;
    qint64 ink = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (qGray(image.pixel(x, y)) < 160)
                ++ink;
    return double(ink) / (qint64(area.width()) * area.height());
}

int DifferingPixels(const QImage& a, const QImage& b, const QRect& rect) {
    const QRect area = rect.intersected(a.rect()).intersected(b.rect());
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (std::abs(qGray(a.pixel(x, y)) - qGray(b.pixel(x, y))) > 48)
                ++count;
    return count;
}

QRect ToPixels(const QRectF& points, int dpi) {
    const qreal scale = dpi / 72.0;
    return QRectF(points.topLeft() * scale, points.size() * scale).toAlignedRect();
}

} // namespace viewertest
