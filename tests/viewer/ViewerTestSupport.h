#pragma once

// Helpers shared by the viewer suites: real fonts, fontTools edits, the glyphsee process and
// pdftoppm.

#include <QImage>
#include <QRect>
#include <QRectF>
#include <QString>
#include <QStringList>

namespace viewertest {

inline const QString kFontDir = QStringLiteral("/usr/share/fonts/truetype");
QString SystemFont(const QString& relativePath);

// Copies src to dst with name IDs 1 and 16 set to family (fontTools, Debian's python).
// Returns fontTools' complaint, empty on success.
QString RenameFamily(const QString& src, const QString& dst, const QString& family);

struct ProcessResult {
    int exitCode = -1;
    bool crashed = false;
    QString out;
    QString err;
};
// Runs the built glyphsee with these arguments, each its own argv entry.
ProcessResult RunGlyphsee(const QStringList& args);

// First page of a PDF, rendered by pdftoppm at dpi; a null image when that fails.
QImage RenderPdfPage(const QString& pdf, int dpi);

// Fraction of pixels inside rect that are clearly not white.
double InkFraction(const QImage& image, const QRect& rect);
// Pixels of rect that differ between two images of the same size.
int DifferingPixels(const QImage& a, const QImage& b, const QRect& rect);

// A sheet rectangle in points to pixels of a page rendered at dpi.
QRect ToPixels(const QRectF& points, int dpi);

} // namespace viewertest
