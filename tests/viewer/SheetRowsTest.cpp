// No two text rows of the sheet overlap, for every font of this machine: by the layout's own
// rectangles, and by where the text really lands in the PDF (poppler's pdftotext).

#include "viewer/SampleSheet.h"
#include "viewer/SheetOutput.h"

#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace qm::viewer;

namespace {

QStringList MachineFonts() {
    QStringList fonts;
    QDirIterator it(QStringLiteral("/usr/share/fonts"),
                    {QStringLiteral("*.ttf"), QStringLiteral("*.otf")}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        fonts.append(it.next());
    fonts.sort();
    return fonts;
}

// The text rows of the sheet from top to bottom.
QList<QRectF> TextRows(const SheetLayout& layout) {
    QList<QRectF> rows = {layout.title};
    for (const NameRow& row : layout.nameRows)
        rows.append(row.rect);
    rows.append(layout.waterfallHeading);
    rows.append(layout.waterfall);
    rows.append(layout.gridHeading);
    rows.append(layout.grid);
    return rows;
}

// The words pdftotext finds on the first page, in points from the page's top left corner.
QList<QRectF> PdfWords(const QString& pdf) {
    QProcess pdftotext;
    pdftotext.start(QStringLiteral("pdftotext"),
                    {QStringLiteral("-bbox"), QStringLiteral("-f"), QStringLiteral("1"),
                     QStringLiteral("-l"), QStringLiteral("1"), pdf, QStringLiteral("-")});
    if (!pdftotext.waitForFinished(60000) || pdftotext.exitCode() != 0)
        return {};
    static const QRegularExpression word(QStringLiteral(
        R"re(<word xMin="([0-9.]+)" yMin="([0-9.]+)" xMax="([0-9.]+)" yMax="([0-9.]+)">)re"));
    QList<QRectF> words;
    for (auto it = word.globalMatch(QString::fromUtf8(pdftotext.readAllStandardOutput()));
         it.hasNext();) {
        const auto m = it.next();
        words.append(QRectF(QPointF(m.captured(1).toDouble(), m.captured(2).toDouble()),
                            QPointF(m.captured(3).toDouble(), m.captured(4).toDouble())));
    }
    return words;
}

} // namespace

TEST(SheetRowsTest, noTwoTextRowsOverlapForAnyFontOfThisMachine) {
    const QStringList fonts = MachineFonts();
    ASSERT_FALSE(fonts.isEmpty());
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("sheet.pdf"));
    const SheetLayout usual = layoutSampleSheet();
    const QRectF content(kSheetMargin, kSheetMargin, kSheetSize.width() - 2 * kSheetMargin,
                         kSheetSize.height() - 2 * kSheetMargin);
    int shown = 0;
    int grown = 0;
    for (const QString& font : fonts) {
        SCOPED_TRACE(font.toStdString());
        const FontSample sample = loadFontSample(font);
        if (!sample.ok())
            continue;
        ++shown;
        const SheetLayout layout = layoutSampleSheet(sample);
        const QList<QRectF> rows = TextRows(layout);
        for (int i = 0; i < rows.size(); ++i) {
            EXPECT_TRUE(content.adjusted(-1e-6, -1e-6, 1e-6, 1e-6).contains(rows[i]))
                << "row " << i;
            if (i > 0) {
                EXPECT_LE(rows[i - 1].bottom(), rows[i].top() + 1e-9) << "row " << i;
            }
        }
        if (layout.names.height() > usual.names.height())
            ++grown;

        // In the PDF every word of the names block stays within the block, and no two words
        // there share ink.
        ASSERT_EQ(writeSampleSheetPdf(sample, pdf), QString());
        const QList<QRectF> words = PdfWords(pdf);
        ASSERT_FALSE(words.isEmpty());
        const qreal scale = 595.276 / kSheetSize.width();
        const QRectF names(layout.names.topLeft() * scale, layout.names.size() * scale);
        QList<QRectF> inNames;
        for (const QRectF& w : words)
            if (w.center().y() > names.top() && w.center().y() < names.bottom())
                inNames.append(w);
        ASSERT_GE(inNames.size(), 9);
        for (int i = 0; i < inNames.size(); ++i) {
            EXPECT_GE(inNames[i].top(), names.top() - 0.5);
            EXPECT_LE(inNames[i].bottom(), names.bottom() + 0.5);
            for (int j = i + 1; j < inNames.size(); ++j)
                EXPECT_FALSE(inNames[i].adjusted(0.1, 0.1, -0.1, -0.1).intersects(inNames[j]))
                    << "words " << i << " and " << j;
        }
    }
    EXPECT_GT(shown, 20);
    // The machine's fonts include a copyright that wraps to three lines or more.
    EXPECT_GT(grown, 0);
}
