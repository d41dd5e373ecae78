#pragma once

// Caption bar maths: the gradient bands, where the caption and its text go, which text parts
// fit, and the window caption built from the parts.

#include "controls/FormFrame.h"

#include <QColor>
#include <QFont>
#include <QRect>
#include <QString>
#include <array>
#include <vector>

enum TGradEnabled { geAlways, geNever, geWhenActive, geSmart };
enum TJustification { jAuto, jLeft, jCenter, jRight };

namespace qm::controls {

constexpr int kMaxGradientColors = 256;

// a * b / c rounded to the nearest integer, halves away from zero; -1 when c is 0.
int mulDiv(int a, int b, int c);

struct GradientBand {
    QRect rect;
    QColor color;
};

// numColors bands across `area` from `start` on the left to `end` on the right.
std::vector<GradientBand> gradientBands(const QRect& area, const QColor& start, const QColor& end,
                                        int numColors);

// Whether the bar shows the gradient (else a solid bar) for a display of `depth` bits.
bool gradientShown(TGradEnabled enabled, bool active, int depth);

// The caption bar in window coordinates, and its text area (less the caption buttons, at
// least 2 pixels wide).
QRect captionRect(int windowWidth, const TFormStyle& style, const TSystemMetrics& m);
QRect captionTextArea(int windowWidth, const TFormStyle& style, const TSystemMetrics& m);
// Whether the bar draws the window's small icon.
bool captionHasIcon(const TFormStyle& style);

// The parts in drawing order: company, application name, caption.
enum { CompanyPart = 0, AppNamePart = 1, CaptionPart = 2 };

struct CaptionPartText {
    QString text;
    QFont font;
    bool visible = true;
};

struct DrawnCaptionPart {
    int part;     // CompanyPart, AppNamePart or CaptionPart
    QRect rect;   // where its text goes
    QString text; // as drawn, cut with an ellipsis when it does not fit
};

// Chooses the parts that fit (dropping the company part first, then the application name),
// places them by `justification` and cuts what still does not fit.
std::vector<DrawnCaptionPart> layoutCaptionParts(const QRect& area,
                                                 const std::array<CaptionPartText, 3>& parts,
                                                 TJustification justification);

// The window caption made of the visible parts, a blank after each non-empty one that has a
// visible part to its right.
QString joinCaptionParts(const std::array<QString, 3>& captions,
                         const std::array<bool, 3>& visible);

// The caption part of a window caption: what follows the visible company and application
// name texts.
QString captionPartOf(const QString& windowCaption, const QString& company, bool companyVisible,
                      const QString& appName, bool appNameVisible);

// `font` resized so that its ascent and descent fit those of `reference`.
QFont fontFittingHeight(const QFont& font, const QFont& reference);

} // namespace qm::controls
