#pragma once

// The main window's layout as data: every control of every region and overlay panel with its
// place at 96 pixels per inch, colours, caption, hint and font, created in table order (which
// is also the stacking and tab order).

#include "app/ControlKind.h"

#include <QColor>
#include <QRect>
#include <vector>

class QCursor;
class QFont;
class QWidget;
class TFrmMain;

namespace qm::app {

enum class Bevel { None, Lowered, Raised, Single };

struct LayoutRow {
    ControlKind kind;
    const char* name;
    const char* parent; // nullptr: the window itself
    QRect place;
    const char* picture = nullptr; // a stored picture of resources/pictures, without ".png"
    const char* caption = "";
    const char* hint = "";
    QColor color = {}; // face or background; invalid: the parent's shows through
    QColor text = {};  // text colour; invalid: black
    int pixels = 0;    // font size in pixels; 0: the window's 11
    bool bold = false;
    bool wrap = false;
    Qt::Alignment align = Qt::AlignLeft | Qt::AlignTop;
    Bevel bevel = Bevel::None;
    int bevelSize = 0; // 0: the control's default
    int maxLength = 0; // typing limit of an edit box
    bool readOnly = false;
    bool tabStop = false;
    bool hand = false; // cursor 50, set once the cursor is loaded
    bool hidden = false;
    // A panel hidden at start whose texts never change: its labels and lists are fitted to their
    // places when it first shows, not during start-up.
    bool fitWhenShown = false;
};

// The window's rows in creation order (LayoutRows.cpp, with the texts below).
const std::vector<LayoutRow>& mainLayout();
// The colour of a row's text: black unless the row names one.
QColor rowText(const LayoutRow& row);
// Gives w the row's colours, and the UI face at the row's size and weight.
void dressControl(QWidget* w, const LayoutRow& row, const QFont& uiFont);

// The what's-new list and the window's caption.
const char* whatsNewText();
const char* windowCaption();
const char* reminderText();

// Creates every control of the table on form and sets the form's members to them.
void buildMainLayout(TFrmMain& form);
// Gives cursor to every control whose row asks for the hand.
void applyHandCursor(TFrmMain& form, const QCursor& cursor);

} // namespace qm::app
