#include "viewer/SampleSheet.h"

#include <QFont>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QGlyphRun>
#include <QPainter>
#include <QTextLayout>

#include <algorithm>
#include <cmath>

namespace qm::viewer {

namespace {

constexpr qreal kTitleHeight = 52.0;
constexpr qreal kNameRowHeight = 12.0;
constexpr qreal kLabelColumn = 92.0;
constexpr qreal kHeadingHeight = 16.0;
constexpr qreal kSectionGap = 10.0;
constexpr qreal kWaterfallLeading = 1.3;
constexpr qreal kSizeColumn = 34.0;
// Left free before the right margin, so that smoothing at any scale stays inside it.
constexpr qreal kMarginAir = 1.0;
constexpr qreal kCellHeight = 22.0;
constexpr qreal kTitleSize = 26.0;
constexpr qreal kSmallestTitleSize = 14.0;
constexpr qreal kCellGlyphSize = 15.0;

// Copyright and trademark texts run up to 127 characters and need a second line.
constexpr int kNameRowLines[] = {1, 1, 1, 1, 1, 1, 2, 2, 1};
// The text is drawn this far below its row's top.
constexpr qreal kNameTextDrop = 1.0;
constexpr int kNameTextFlags = Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap;

// The sheet's own texts use the desktop's face, never the sample's, at sizes in sheet points.
QFont sheetFont(int pixelSize, bool bold = false) {
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    // Unhinted metrics stay true when the page is scaled for the screen or a printer.
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

QFont nameLabelFont() {
    return sheetFont(8, true);
}
QFont nameTextFont() {
    return sheetFont(8);
}

qreal nameTextWidth() {
    return kSheetSize.width() - 2 * kSheetMargin - kLabelColumn;
}

// How many rows of kNameRowHeight the text takes when wrapped as paintNames() draws it.
int rowsNeeded(const QString& text) {
    const QRectF bounds =
        QFontMetricsF(nameTextFont())
            .boundingRect(QRectF(0, 0, nameTextWidth(), 1e6), kNameTextFlags, text);
    return std::max(1, int(std::ceil((bounds.height() + kNameTextDrop) / kNameRowHeight - 1e-6)));
}

// The text cut after the last whole line that fits in rows, that line ending in an ellipsis.
QString fitRows(const QString& text, int rows) {
    if (rowsNeeded(text) <= rows)
        return text;
    const QFont font = nameTextFont();
    QTextLayout wrapped(text, font);
    QTextOption option;
    option.setWrapMode(QTextOption::WordWrap);
    wrapped.setTextOption(option);
    QList<int> starts;
    wrapped.beginLayout();
    for (QTextLine line = wrapped.createLine(); line.isValid(); line = wrapped.createLine()) {
        line.setLineWidth(nameTextWidth());
        starts.append(line.textStart());
    }
    wrapped.endLayout();
    const QFontMetricsF metrics(font);
    for (int lines = int(starts.size()) - 1; lines > 0; --lines) {
        const QString rest = text.mid(starts[lines - 1]).simplified();
        const QString shown =
            text.left(starts[lines - 1]) +
            metrics.elidedText(rest + QChar(u'\u2026'), Qt::ElideRight, nameTextWidth());
        if (rowsNeeded(shown) <= rows)
            return shown;
    }
    return metrics.elidedText(text.simplified(), Qt::ElideRight, nameTextWidth());
}

std::vector<std::pair<QString, QString>> nameRowTexts(const FontSample& sample) {
    std::vector<std::pair<QString, QString>> rows = sample.names;
    rows.emplace_back(QStringLiteral("Style flags"),
                      QStringLiteral("Bold: %1     Italic: %2")
                          .arg(sample.bold ? QStringLiteral("yes") : QStringLiteral("no"),
                               sample.italic ? QStringLiteral("yes") : QStringLiteral("no")));
    return rows;
}

// Lays the sheet out with the name rows this many rows of kNameRowHeight tall.
SheetLayout placeParts(const QList<int>& rowLines) {
    SheetLayout layout;
    const qreal left = kSheetMargin;
    const qreal width = kSheetSize.width() - 2 * kSheetMargin;
    qreal top = kSheetMargin;

    layout.title = QRectF(left, top, width, kTitleHeight);
    top = layout.title.bottom() + kSectionGap;

    const qreal namesTop = top;
    for (int lines : rowLines) {
        layout.nameRows.append({QRectF(left, top, width, lines * kNameRowHeight), {}, {}});
        top += lines * kNameRowHeight;
    }
    layout.names = QRectF(left, namesTop, width, top - namesTop);
    top = layout.names.bottom() + kSectionGap;

    layout.waterfallHeading = QRectF(left, top, width, kHeadingHeight);
    top = layout.waterfallHeading.bottom();
    for (int size : waterfallSizes()) {
        layout.waterfall.append(QRectF(left, top, width, size * kWaterfallLeading));
        top += size * kWaterfallLeading;
    }
    top += kSectionGap;

    layout.gridHeading = QRectF(left, top, width, kHeadingHeight);
    top = layout.gridHeading.bottom();
    const int count = kGridLastCode - kGridFirstCode + 1;
    const int rows = (count + kGridColumns - 1) / kGridColumns;
    const qreal cellWidth = width / kGridColumns;
    layout.grid = QRectF(left, top, width, rows * kCellHeight);
    for (int i = 0; i < count; ++i)
        layout.cells.append(QRectF(left + (i % kGridColumns) * cellWidth,
                                   top + (i / kGridColumns) * kCellHeight, cellWidth, kCellHeight));
    return layout;
}

QList<int> usualRowLines() {
    return QList<int>(std::begin(kNameRowLines), std::end(kNameRowLines));
}

// Lays the text out with the face's own advances; the Latin samples need no shaping.
QGlyphRun faceRun(QRawFont face, qreal size, const QString& text) {
    face.setPixelSize(size);
    const QList<quint32> glyphs = face.glyphIndexesForString(text);
    const QList<QPointF> advances = face.advancesForGlyphIndexes(glyphs, QRawFont::KernedAdvances);
    QList<QPointF> positions;
    positions.reserve(advances.size());
    QPointF pen;
    for (const QPointF& advance : advances) {
        positions.append(pen);
        pen += advance;
    }
    QGlyphRun run;
    run.setRawFont(face);
    run.setGlyphIndexes(glyphs);
    run.setPositions(positions);
    return run;
}

qreal runWidth(const QRawFont& face, qreal size, const QString& text) {
    QRawFont sized = face;
    sized.setPixelSize(size);
    qreal width = 0;
    for (const QPointF& advance :
         sized.advancesForGlyphIndexes(sized.glyphIndexesForString(text), QRawFont::KernedAdvances))
        width += advance.x();
    return width;
}

// How far right the text reaches after each of its glyphs: the pen or the ink (an italic's
// overhang), whichever is further. The samples are laid out one glyph per character, as
// faceRun() does.
QList<qreal> rightEdges(QRawFont face, qreal size, const QString& text) {
    face.setPixelSize(size);
    const QList<quint32> glyphs = face.glyphIndexesForString(text);
    const QList<QPointF> advances = face.advancesForGlyphIndexes(glyphs, QRawFont::KernedAdvances);
    QList<qreal> edges;
    qreal pen = 0;
    qreal inkRight = 0;
    for (int i = 0; i < std::min(glyphs.size(), text.size()); ++i) {
        const QRectF ink = face.boundingRect(glyphs[i]);
        if (!ink.isEmpty())
            inkRight = std::max(inkRight, pen + ink.right());
        pen += advances[i].x();
        edges.append(std::max(inkRight, pen));
    }
    return edges;
}

// The longest start of text whose ink stays within width at this size: it ends after a whole
// word, or, when not even the first word fits, after the last whole glyph that does. A glyph
// is never drawn in part.
QString fittingStart(const QRawFont& face, qreal size, const QString& text, qreal width) {
    const QList<qreal> edges = rightEdges(face, size, text);
    int fittingGlyphs = 0;
    int fittingWords = 0;
    for (int i = 0; i < edges.size() && edges[i] <= width; ++i) {
        fittingGlyphs = i + 1;
        if (i + 1 == edges.size() || text[i + 1].isSpace())
            fittingWords = i + 1;
    }
    if (fittingGlyphs == edges.size())
        return text;
    return text.left(fittingWords > 0 ? fittingWords : fittingGlyphs);
}

qreal faceAscent(QRawFont face, qreal size) {
    face.setPixelSize(size);
    return face.ascent();
}

void paintHeading(QPainter& painter, const QRectF& rect, const QString& text) {
    painter.setFont(sheetFont(10, true));
    painter.setPen(Qt::black);
    painter.drawText(rect, Qt::AlignLeft | Qt::AlignTop, text);
    painter.setPen(QPen(QColor(160, 160, 160), 0.5));
    painter.drawLine(rect.bottomLeft() - QPointF(0, 2), rect.bottomRight() - QPointF(0, 2));
}

void paintTitle(QPainter& painter, const SheetLayout& layout, const FontSample& sample) {
    painter.save();
    // A long full name is set smaller until it fits; what still does not is left off whole.
    const qreal room = layout.title.width() - kMarginAir;
    const QList<qreal> edges = rightEdges(sample.face, kTitleSize, sample.fullName);
    const qreal wanted = edges.isEmpty() ? 0 : edges.last();
    const qreal size =
        wanted > room ? std::max(kSmallestTitleSize, kTitleSize * room / wanted) : kTitleSize;
    const QPointF baseline(layout.title.left(), layout.title.top() + faceAscent(sample.face, size));
    painter.setPen(Qt::black);
    painter.drawGlyphRun(baseline, faceRun(sample.face, size,
                                           fittingStart(sample.face, size, sample.fullName, room)));
    painter.setClipRect(layout.title);

    const QFont pathFont = sheetFont(8);
    painter.setFont(pathFont);
    painter.setPen(QColor(90, 90, 90));
    const QString path =
        QFontMetricsF(pathFont).elidedText(sample.path, Qt::ElideMiddle, layout.title.width());
    painter.drawText(layout.title, Qt::AlignLeft | Qt::AlignBottom, path);
    painter.restore();
}

void paintNames(QPainter& painter, const SheetLayout& layout) {
    for (const NameRow& row : layout.nameRows) {
        painter.setFont(nameLabelFont());
        painter.setPen(QColor(70, 70, 70));
        painter.drawText(QRectF(row.rect.left(), row.rect.top(), kLabelColumn, kNameRowHeight),
                         Qt::AlignLeft | Qt::AlignVCenter, row.label);
        painter.setFont(nameTextFont());
        painter.setPen(Qt::black);
        const QRectF value(row.rect.left() + kLabelColumn, row.rect.top(),
                           row.rect.width() - kLabelColumn, row.rect.height());
        painter.save();
        painter.setClipRect(value);
        painter.drawText(value.adjusted(0, kNameTextDrop, 0, 0), kNameTextFlags, row.text);
        painter.restore();
    }
}

void paintWaterfall(QPainter& painter, const SheetLayout& layout, const FontSample& sample) {
    paintHeading(painter, layout.waterfallHeading, QStringLiteral("Waterfall"));
    const QList<int> sizes = waterfallSizes();
    const QString sentence = sampleSentence();
    for (int i = 0; i < sizes.size(); ++i) {
        const QRectF line = layout.waterfall[i];
        const qreal baseline = line.top() + faceAscent(sample.face, sizes[i]);
        painter.setFont(sheetFont(7));
        painter.setPen(QColor(110, 110, 110));
        painter.drawText(QPointF(line.left(), baseline), QStringLiteral("%1 pt").arg(sizes[i]));
        // Large sizes hold fewer words: a line ends at a word before the margin.
        const QString shown =
            fittingStart(sample.face, sizes[i], sentence, line.width() - kSizeColumn - kMarginAir);
        painter.setPen(Qt::black);
        painter.drawGlyphRun(QPointF(line.left() + kSizeColumn, baseline),
                             faceRun(sample.face, sizes[i], shown));
    }
}

void paintGrid(QPainter& painter, const SheetLayout& layout, const FontSample& sample) {
    paintHeading(painter, layout.gridHeading,
                 QStringLiteral("Character set, codes %1 to %2 (Windows-1252)")
                     .arg(kGridFirstCode)
                     .arg(kGridLastCode));
    const QString chars = characterSet();
    QRawFont face = sample.face;
    face.setPixelSize(kCellGlyphSize);
    const qreal ascent = face.ascent();
    const QFont codeFont = sheetFont(6);
    for (int i = 0; i < layout.cells.size() && i < chars.size(); ++i) {
        const QRectF cell = layout.cells[i];
        const QString ch = chars.mid(i, 1);
        const QList<quint32> glyphs = face.glyphIndexesForString(ch);
        const bool missing = glyphs.isEmpty() || glyphs.first() == 0;
        // Shaded cells are codes this font has no glyph for; they show its fallback glyph.
        painter.fillRect(cell, missing ? QColor(232, 232, 232) : QColor(Qt::white));
        painter.setPen(QPen(QColor(170, 170, 170), 0.4));
        painter.drawRect(cell);
        painter.setFont(codeFont);
        painter.setPen(QColor(120, 120, 120));
        painter.drawText(
            cell.adjusted(1.5, 0.5, 0, 0), Qt::AlignLeft | Qt::AlignTop,
            QStringLiteral("%1").arg(kGridFirstCode + i, 2, 16, QChar(u'0')).toUpper());
        const qreal width = runWidth(sample.face, kCellGlyphSize, ch);
        const QPointF baseline(cell.center().x() - width / 2,
                               cell.bottom() - (cell.height() - ascent) / 2 - 2);
        painter.save();
        painter.setClipRect(cell);
        painter.setPen(Qt::black);
        painter.drawGlyphRun(baseline, faceRun(sample.face, kCellGlyphSize, ch));
        painter.restore();
    }
}

} // namespace

QList<int> waterfallSizes() {
    return {8, 10, 12, 14, 18, 24, 30, 36};
}

QString sampleSentence() {
    return QStringLiteral("The quick brown fox jumps over the lazy dog. 0123456789");
}

SheetLayout layoutSampleSheet() {
    return placeParts(usualRowLines());
}

SheetLayout layoutSampleSheet(const FontSample& sample) {
    const std::vector<std::pair<QString, QString>> texts = nameRowTexts(sample);
    QList<int> lines = usualRowLines();
    lines.resize(qsizetype(texts.size()), 1);
    // Rows the page has room for below the grid; they go to the first rows that need them.
    const SheetLayout usual = placeParts(lines);
    int spare = int(std::floor(
        (kSheetSize.height() - kSheetMargin - usual.grid.bottom()) / kNameRowHeight + 1e-9));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const int more =
            std::min(spare, std::max(0, rowsNeeded(texts[size_t(i)].second) - lines[i]));
        lines[i] += more;
        spare -= more;
    }
    SheetLayout layout = placeParts(lines);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        layout.nameRows[i].label = texts[size_t(i)].first;
        layout.nameRows[i].text = fitRows(texts[size_t(i)].second, lines[i]);
    }
    return layout;
}

QRectF fitSheet(const QRectF& target) {
    const qreal scale =
        std::min(target.width() / kSheetSize.width(), target.height() / kSheetSize.height());
    const QSizeF size = kSheetSize * scale;
    return QRectF(target.center() - QPointF(size.width() / 2, size.height() / 2), size);
}

void paintSampleSheet(QPainter& painter, const QRectF& target, const FontSample& sample) {
    const QRectF page = fitSheet(target);
    painter.save();
    painter.translate(page.topLeft());
    painter.scale(page.width() / kSheetSize.width(), page.height() / kSheetSize.height());
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.fillRect(QRectF(QPointF(0, 0), kSheetSize), Qt::white);

    const SheetLayout layout = layoutSampleSheet(sample);
    if (sample.face.isValid()) {
        paintTitle(painter, layout, sample);
        paintNames(painter, layout);
        paintWaterfall(painter, layout, sample);
        paintGrid(painter, layout, sample);
    }
    painter.restore();
}

} // namespace qm::viewer
