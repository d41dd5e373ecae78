#include "app/MainLayout.h"

#include "controls/SystemColors.h"

#include <QPalette>
#include <QWidget>

#include <string_view>

namespace qm::app {

namespace {

using K = ControlKind;
namespace C = qm::controls::classic;

const QColor kPaleGreen(192, 220, 192);
const QColor kYellowBox(255, 255, 0);
const Qt::Alignment kCentre = Qt::AlignHCenter | Qt::AlignTop;
const Qt::Alignment kMiddle = Qt::AlignCenter;

const char* const kEditOnlyByProgram =
    "You can not change this field. It is created by the program and displayed for reference only.";

// The window itself as a row's parent.
const char* parentName(const char* parent) {
    return std::string_view(parent) == "TFrmMain" ? nullptr : parent;
}

std::vector<LayoutRow> makeLayout() {
    return {
#define QM_CONTROL(kind_, name_, parent_, x, y, width, height, ...)                                \
    LayoutRow{.kind = K::kind_,                                                                    \
              .name = #name_,                                                                      \
              .parent = parentName(#parent_),                                                      \
              .place = {x, y, width, height} __VA_OPT__(, ) __VA_ARGS__},
#include "app/MainControls.def"
#undef QM_CONTROL
    };
}

QFont rowFont(const QFont& uiFont, const LayoutRow& row) {
    QFont font = uiFont;
    if (row.pixels > 0)
        font.setPixelSize(row.pixels);
    font.setBold(row.bold);
    return font;
}

} // namespace

QColor rowText(const LayoutRow& row) {
    return row.text.isValid() ? row.text : qm::controls::classic::black();
}

void dressControl(QWidget* w, const LayoutRow& row, const QFont& uiFont) {
    QPalette pal = w->palette();
    const QColor text = rowText(row);
    pal.setColor(QPalette::WindowText, text);
    pal.setColor(QPalette::Text, text);
    pal.setColor(QPalette::ButtonText, text);
    if (row.color.isValid()) {
        pal.setColor(QPalette::Window, row.color);
        pal.setColor(QPalette::Base, row.color);
        pal.setColor(QPalette::Button, row.color);
        w->setAutoFillBackground(true);
    }
    w->setPalette(pal);
    w->setFont(rowFont(uiFont, row));
}

const std::vector<LayoutRow>& mainLayout() {
    static const std::vector<LayoutRow> rows = makeLayout();
    return rows;
}

const char* whatsNewText() {
    return "\n"
           "  1.  Added this \"What's New\" information panel.\n"
           "\n"
           "  2.  Fixed small bug which didn't update displayed font totals when a\n"
           "       new font file was created.\n"
           "\n"
           "  3.  Added convenience features (the Advanced button).\n"
           "\n"
           "  4.  Cleaned up the Help instructions (now easier to read).\n"
           "\n"
           "\n"
           "                        --  No other pending or known issues  --";
}

const char* windowCaption() {
    return "Quillmark 2.3 - Copyright \xc2\xa9 Solvane Type Works. All rights reserved.";
}

const char* reminderText() {
    return "Just A Quick Reminder:\r"
           "\r"
           "There may be a newer version of\r"
           "Quillmark available on our web site:\r"
           "\r"
           "https://www.solvane.example\r"
           "\r"
           "(This message will not be shown again).";
}

} // namespace qm::app
