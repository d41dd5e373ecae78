#pragma once

// The frame the window draws around itself: the window is frameless, so its border, caption
// bar and caption buttons are the program's own, measured with the classic system metrics.

#include <QMargins>
#include <QRect>
#include <stdexcept>

class QObject;
class QPainter;
class QWidget;

// Raised when a window component is given an owner that is not a main window.
class EOwnerError : public std::runtime_error {
public:
    EOwnerError() : std::runtime_error("Class of the owner is not a TForm!") {}
};

namespace qm::controls {

struct DeviceGrid;

// Classic metrics at 96 pixels per inch.
struct TSystemMetrics {
    int cxBorder = 1;
    int cyBorder = 1;
    int cxFixedFrame = 3;
    int cyFixedFrame = 3;
    int cxSizeFrame = 4;
    int cySizeFrame = 4;
    int cyCaption = 19;
    int cySmCaption = 15;
    int cxSize = 18;
    int cySize = 18;
    int cxSmSize = 12;
    int cySmSize = 14;
    int cxSmIcon = 16;
    int cySmIcon = 16;
};

enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };

struct TFormStyle {
    TFormBorderStyle border = bsSingle;
    bool systemMenu = true;
    bool minimize = true;
    bool maximize = false;
    bool help = false;
};

// A main window here is a top-level QWidget of window or dialog type.
bool isForm(const QObject* owner);

// Border and caption buttons as the window declares them: a fixed-size window has a single
// (dialog type: dialog) border, a resizable one a sizeable border, Qt::Tool makes a tool
// window; the buttons follow the window's system-menu, minimise, maximise and help hints.
TFormStyle formStyleOf(const QWidget* form);

bool isToolWindow(TFormBorderStyle b);
bool hasFixedFrame(TFormBorderStyle b); // single, dialog and fixed tool windows

// Width of the border on each side.
int frameWidth(const TFormStyle& style, const TSystemMetrics& m);
// Height of the caption, including its bottom line.
int captionHeight(const TFormStyle& style, const TSystemMetrics& m);
// Where the client area starts inside the window.
QMargins nonClientMargins(const TFormStyle& style, const TSystemMetrics& m);

// The classic three-pixel window border: a raised edge and a line of button face.
void drawWindowFrame(QPainter& p, const QRect& window, const TFormStyle& style,
                     const TSystemMetrics& m);
// Two-pixel edges, light at the top-left and dark at the bottom-right (or the other way).
// With a grid, in device pixels: each line of the edge a whole device line.
void drawRaisedEdge(QPainter& p, const QRect& r, bool left = true, bool top = true,
                    bool right = true, bool bottom = true, const DeviceGrid* grid = nullptr);
void drawSunkenEdge(QPainter& p, const QRect& r, const DeviceGrid* grid = nullptr);
// A push button's face and edges, pushed in or not.
void drawButtonFrame(QPainter& p, const QRect& r, bool pushed, const DeviceGrid* grid = nullptr);

} // namespace qm::controls
