#pragma once

// The sample sheet: one A4 page, laid out in points, drawn the same way on screen, on paper and
// into a PDF. The painter is scaled so that one unit is one point of the page.

#include "viewer/FontSample.h"

#include <QList>
#include <QRectF>
#include <QSizeF>

class QPainter;

namespace qm::viewer {

// The sheet's page in points (A4).
inline constexpr QSizeF kSheetSize{595.0, 842.0};
inline constexpr qreal kSheetMargin = 36.0;

// Point sizes of the waterfall, smallest first.
QList<int> waterfallSizes();
QString sampleSentence();

inline constexpr int kGridColumns = 16;
inline constexpr int kGridFirstCode = 32;
inline constexpr int kGridLastCode = 255;

// One row of the names block: a label and the text beside it, wrapped within the row.
struct NameRow {
    QRectF rect;
    QString label;
    QString text; // ends with "\u2026" where the page had no room for all of it
};

// Where each part of the sheet goes, in points from the page's top left corner.
struct SheetLayout {
    QRectF title; // the full name drawn in the face itself, and the path
    QRectF names; // label / text rows and the style flags
    QList<NameRow> nameRows;
    QRectF waterfallHeading;
    QList<QRectF> waterfall; // one line per size of waterfallSizes()
    QRectF gridHeading;
    QRectF grid;
    QList<QRectF> cells; // one per code from kGridFirstCode to kGridLastCode
};

// The layout for names that fit their usual rows, and the labels of the rows.
SheetLayout layoutSampleSheet();
// The layout for this sample's names: a row whose text wraps to more lines than usual is made
// taller, and the parts below move down, as far as the page has room.
SheetLayout layoutSampleSheet(const FontSample& sample);

// The largest rectangle of the sheet's proportions centred in target.
QRectF fitSheet(const QRectF& target);

// Draws the sheet scaled into target (its proportions are kept, centred).
void paintSampleSheet(QPainter& painter, const QRectF& target, const FontSample& sample);

} // namespace qm::viewer
