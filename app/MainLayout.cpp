#include "app/MainLayout.h"

#include "app/Main.h"
#include "browse/DirectoryListBox.h"
#include "browse/DriveComboBox.h"
#include "browse/FileListBox.h"
#include "controls/CheckBox.h"
#include "controls/ColorButton.h"
#include "controls/FlashingLabel.h"
#include "controls/FontImageLabel.h"
#include "controls/LcdLabel.h"
#include "controls/PathLabel.h"
#include "controls/SystemColors.h"
#include "controls/ThreeDLabel.h"

#include <QFontMetrics>
#include <QFrame>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextDocument>

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>

namespace {

using K = ControlKind;
namespace C = ClassicColors;

const QColor kPaleGreen(192, 220, 192);
const QColor kYellowBox(255, 255, 0);
const Qt::Alignment kCentre = Qt::AlignHCenter | Qt::AlignTop;
const Qt::Alignment kMiddle = Qt::AlignCenter;

const char* const kEditOnlyByProgram =
    "You can not change this field. It is created by the program and displayed for reference only.";

// One naming field: the black caption strip, the white bevelled box and the edit inside it.
struct NamingField {
    const char* box;   // the edit box
    const char* strip; // its caption strip
    const char* panel; // its white panel
    const char* caption;
};

void addNamingField(std::vector<LayoutRow>& rows, NamingField f, int x, int y, int width,
                    int maxLength, bool editable, const char* hint) {
    const char* box = f.box;
    const char* strip = f.strip;
    const char* panel = f.panel;
    const char* caption = f.caption;
    rows.push_back({.kind = K::Label,
                    .name = strip,
                    .parent = "P_Edits",
                    .place = {x, y, width, 15},
                    .caption = caption,
                    .color = C::black(),
                    .text = C::white(),
                    .align = Qt::AlignLeft | Qt::AlignVCenter});
    rows.push_back({.kind = K::Panel,
                    .name = panel,
                    .parent = "P_Edits",
                    .place = {x, y + 15, width, 22},
                    .color = C::white(),
                    .bevel = Bevel::Lowered,
                    .bevelSize = 1});
    rows.push_back({.kind = K::Edit,
                    .name = box,
                    .parent = panel,
                    .place = {3, 3, width - 6, 16},
                    .hint = hint,
                    .color = C::white(),
                    .text = editable ? C::black() : C::red(),
                    .maxLength = maxLength,
                    .readOnly = !editable,
                    .tabStop = editable});
}

std::vector<LayoutRow> makeLayout() {
    std::vector<LayoutRow> r;
    // The window: black client area with the pale green main panel.
    r.push_back({.kind = K::Panel,
                 .name = "Panel1",
                 .parent = nullptr,
                 .place = {6, 8, 610, 418},
                 .color = kPaleGreen,
                 .bevel = Bevel::Lowered,
                 .bevelSize = 3});

    // Title artwork, tag line and option boxes.
    r.push_back({.kind = K::Picture,
                 .name = "Image1",
                 .parent = "Panel1",
                 .place = {20, 16, 33, 35},
                 .picture = "TitleImage"});
    r.push_back({.kind = K::FontImage,
                 .name = "MyFontImage2",
                 .parent = "Panel1",
                 .place = {59, 14, 317, 37},
                 .picture = "TitleShadow"});
    r.push_back({.kind = K::FontImage,
                 .name = "MyFontImage1",
                 .parent = "Panel1",
                 .place = {62, 12, 317, 37},
                 .picture = "TitleText"});
    r.push_back({.kind = K::Label,
                 .name = "Label9",
                 .parent = "Panel1",
                 .place = {378, 18, 12, 14},
                 .caption = "\xc2\xae",
                 .bold = true});
    r.push_back({.kind = K::Rule, .name = "Bevel1", .parent = "Panel1", .place = {19, 54, 367, 2}});
    r.push_back({.kind = K::Label3D,
                 .name = "DRLabel1",
                 .parent = "Panel1",
                 .place = {19, 60, 230, 17},
                 .caption = "Easily changes TrueType Font names",
                 .text = C::blue(),
                 .bold = true});
    r.push_back({.kind = K::Toggle,
                 .name = "C_AllowSounds",
                 .parent = "Panel1",
                 .place = {256, 60, 69, 17},
                 .caption = "Sound On",
                 .hint = "Turns sound on / off.",
                 .color = kPaleGreen,
                 .text = C::maroon(),
                 .hand = true});
    r.push_back({.kind = K::Toggle,
                 .name = "C_ShowHelp",
                 .parent = "Panel1",
                 .place = {328, 60, 61, 17},
                 .caption = "Help On",
                 .hint = "Turns this balloon-style help on / off.",
                 .color = kPaleGreen,
                 .text = C::maroon(),
                 .hand = true});

    // Current-font bar: the path label under the what's-new button.
    r.push_back({.kind = K::Panel,
                 .name = "P_FileName",
                 .parent = "Panel1",
                 .place = {20, 85, 367, 33},
                 .color = C::black(),
                 .bevel = Bevel::Lowered,
                 .bevelSize = 1});
    r.push_back({.kind = K::PathLabel,
                 .name = "LB_CurrentFont",
                 .parent = "P_FileName",
                 .place = {6, 6, 355, 21},
                 .color = kPaleGreen,
                 .text = C::maroon(),
                 .pixels = 13,
                 .bold = true,
                 .align = kMiddle});
    r.push_back({.kind = K::PathLabel,
                 .name = "D_FilePath",
                 .parent = "P_FileName",
                 .place = {3, 3, 361, 13},
                 .hidden = true});
    r.push_back({.kind = K::Button,
                 .name = "B_WhatsNew",
                 .parent = "P_FileName",
                 .place = {3, 3, 361, 27},
                 .caption = "Click to Learn What's New in this Version",
                 .color = C::teal(),
                 .text = C::yellow(),
                 .bold = true,
                 .bevelSize = 4,
                 .hand = true});

    // Naming fields: left column, right column, then the two wide boxes.
    r.push_back({.kind = K::Panel,
                 .name = "P_Edits",
                 .parent = "Panel1",
                 .place = {16, 122, 377, 211},
                 .color = kPaleGreen});
    constexpr int left = 3, right = 189, column = 185, wide = 371;
    addNamingField(
        r, {"E_FamilyName", "LB_FamilyNameCaption", "P_FamilyName", "  Font Family Name:"}, left, 4,
        column, 30, true, "Enter up to 30 characters. This will be the name of the font.");
    addNamingField(r, {"E_Style", "LB_StyleCaption", "P_Style", "  Font Style:"}, left, 45, column,
                   30, true,
                   "Enter up to 30 characters. Examples: Normal, Regular, Bold, Italic, Bold "
                   "Italic.");
    addNamingField(r,
                   {"E_FullName", "LB_FullNameCaption", "P_FullName",
                    "  Font Full Name:       (we handle this)"},
                   left, 86, column, 62, false, kEditOnlyByProgram);
    addNamingField(r, {"E_Version", "LB_VersionCaption", "P_Version", "  Version I.D.:"}, right, 4,
                   column, 62, true, "Enter up to 60 characters. Example: \"Version 1.0\".");
    addNamingField(r, {"E_FontID", "LB_FontIDCaption", "P_FontID", "  Font I.D.:"}, right, 45,
                   column, 62, true, "Enter up to 60 characters. Example: \"The Font Company\".");
    addNamingField(r,
                   {"E_Postscript", "LB_PostscriptCaption", "P_Postscript",
                    "  Postscript Name:    (we handle this)"},
                   right, 86, column, 62, false, kEditOnlyByProgram);
    addNamingField(r, {"E_Copyright", "LB_CopyrightCaption", "P_Copyright", "  Copyright:"}, left,
                   127, wide, 125, true,
                   "Enter up to 125 characters. Example: \"Copyright (c) 1998 The Font "
                   "Company\".");
    addNamingField(r, {"E_TradeMark", "LB_TradeMarkCaption", "P_TradeMark", "  Trade Mark:"}, left,
                   168, wide, 125, true,
                   "Enter up to 125 characters. Example: \"Registered Trademark of The Font "
                   "Company\".");

    // Button rows: black panels with the teal buttons.
    auto buttonRow = [&r](const char* panel, int x, int y) {
        r.push_back({.kind = K::Panel,
                     .name = panel,
                     .parent = "Panel1",
                     .place = {x, y, 185, 33},
                     .color = C::black(),
                     .bevel = Bevel::Lowered,
                     .bevelSize = 1});
    };
    auto button = [&r](const char* name, const char* panel, QRect place, const char* caption,
                       const char* hint) {
        r.push_back({.kind = K::Button,
                     .name = name,
                     .parent = panel,
                     .place = place,
                     .caption = caption,
                     .hint = hint,
                     .color = C::teal(),
                     .text = C::white(),
                     .bold = true,
                     .bevelSize = 4,
                     .hand = true});
    };
    buttonRow("Panel11", 19, 337);
    button("B_CreateFontNow", "Panel11", {3, 3, 179, 27}, "Create New Font Now",
           "Makes a new font file containing the data you entered.");
    buttonRow("Panel12", 203, 337);
    button("B_RestoreNames", "Panel12", {3, 3, 179, 27}, "Restore Original Font Names",
           "Changes all data back to the way it was.");
    buttonRow("Panel13", 19, 368);
    button("B_Help", "Panel13", {3, 3, 79, 27}, "HELP", "How to use this program.");
    button("B_ViewPrint", "Panel13", {85, 3, 97, 27}, "View / Print",
           "Displays or prints a font sample.");
    buttonRow("Panel14", 203, 368);
    button("B_Advanced", "Panel14", {3, 3, 79, 27}, " Advanced", "Click for convenience features.");

    // Font folder panel: counter, file list, destination box, drive box, folder list.
    r.push_back({.kind = K::Panel,
                 .name = "P_FontFolder",
                 .parent = "Panel1",
                 .place = {400, 19, 190, 382},
                 .color = kPaleGreen,
                 .bevel = Bevel::Lowered,
                 .bevelSize = 1});
    r.push_back({.kind = K::Counter,
                 .name = "LCD_FontTotal",
                 .parent = "P_FontFolder",
                 .place = {10, 9, 170, 32},
                 .caption = "9999 Fonts"});
    r.push_back({.kind = K::FileList,
                 .name = "D_File",
                 .parent = "P_FontFolder",
                 .place = {10, 46, 170, 165},
                 .text = C::red(),
                 .tabStop = true});
    r.push_back({.kind = K::Panel,
                 .name = "P_DestinationFile",
                 .parent = "P_FontFolder",
                 .place = {10, 216, 170, 35},
                 .hint = "Click here to ALWAYS use this folder to save newly renamed font files.",
                 .color = kYellowBox,
                 .bevel = Bevel::Lowered,
                 .bevelSize = 1,
                 .hand = true});
    r.push_back({.kind = K::Label,
                 .name = "Label28",
                 .parent = "P_DestinationFile",
                 .place = {2, 2, 166, 15},
                 .caption = " New Font will be saved here:",
                 .color = C::black(),
                 .text = C::white(),
                 .hand = true});
    r.push_back({.kind = K::PathLabel,
                 .name = "LB_DestinationFile",
                 .parent = "P_DestinationFile",
                 .place = {5, 17, 163, 16},
                 .color = kYellowBox,
                 .text = C::red(),
                 .bold = true,
                 .hand = true});
    r.push_back({.kind = K::DriveBox,
                 .name = "D_Drive",
                 .parent = "P_FontFolder",
                 .place = {10, 256, 170, 19}});
    r.push_back({.kind = K::FolderList,
                 .name = "D_Dir",
                 .parent = "P_FontFolder",
                 .place = {10, 282, 170, 91},
                 .tabStop = true});

    // Overlay panels, in the order FormCreate brings them to the front.
    r.push_back({.kind = K::Panel,
                 .name = "P_Advanced",
                 .parent = "Panel1",
                 .place = {19, 337, 369, 64},
                 .color = C::teal(),
                 .bevel = Bevel::Lowered,
                 .bevelSize = 1,
                 .hidden = true});
    r.push_back({.kind = K::Label,
                 .name = "LB_AdvancedInfo",
                 .parent = "P_Advanced",
                 .place = {7, 5, 357, 27},
                 .caption = "Instead of setting your destination folder each time you save a new "
                            "font file, you can set it here and it will be used every time -- "
                            "until you change it again.",
                 .text = C::white(),
                 .wrap = true});
    r.push_back({.kind = K::Label,
                 .name = "LB_AdvancedHowTo",
                 .parent = "P_Advanced",
                 .place = {7, 32, 252, 27},
                 .caption = "Use navigation controls, open destination folder then click \"Set\". "
                            "To stop using folder click \"Cancel\".",
                 .text = C::white(),
                 .wrap = true});
    r.push_back({.kind = K::Button,
                 .name = "B_SetFolder",
                 .parent = "P_Advanced",
                 .place = {260, 35, 40, 23},
                 .caption = "SET",
                 .color = C::teal(),
                 .text = C::white(),
                 .bold = true,
                 .bevelSize = 3,
                 .hand = true});
    r.push_back({.kind = K::Button,
                 .name = "B_SetFolderCancel",
                 .parent = "P_Advanced",
                 .place = {300, 35, 61, 23},
                 .caption = "CANCEL",
                 .color = C::teal(),
                 .text = C::white(),
                 .bold = true,
                 .bevelSize = 3,
                 .hand = true});

    r.push_back({.kind = K::Panel,
                 .name = "P_MakeFont",
                 .parent = "Panel1",
                 .place = {19, 337, 369, 64},
                 .color = C::teal(),
                 .bevel = Bevel::Lowered,
                 .bevelSize = 1,
                 .hidden = true});
    const char* steps[] = {
        "1. Select a folder for your new font.", "2. Enter the file name you want to use.",
        "3. Click on MAKE FONT to save it.", "4. Install && use just like any other font."};
    const char* stepNames[] = {"LB_MakeStep1", "LB_MakeStep2", "LB_MakeStep3", "LB_MakeStep4"};
    for (int i = 0; i < 4; ++i)
        r.push_back({.kind = K::Label,
                     .name = stepNames[i],
                     .parent = "P_MakeFont",
                     .place = {8, 4 + 14 * i, 220, 14},
                     .caption = steps[i],
                     .text = C::white()});
    r.push_back({.kind = K::Edit,
                 .name = "D_FileName",
                 .parent = "P_MakeFont",
                 .place = {234, 6, 128, 21},
                 .caption = "*.TTF",
                 .color = C::white(),
                 .bold = true,
                 .tabStop = true});
    r.push_back({.kind = K::Button,
                 .name = "B_MakeFont",
                 .parent = "P_MakeFont",
                 .place = {234, 33, 72, 25},
                 .caption = "MAKE FONT",
                 .color = C::teal(),
                 .text = C::white(),
                 .bold = true,
                 .bevelSize = 3,
                 .hand = true});
    r.push_back({.kind = K::Button,
                 .name = "B_CancelMake",
                 .parent = "P_MakeFont",
                 .place = {308, 33, 54, 25},
                 .caption = "CANCEL",
                 .color = C::teal(),
                 .text = C::white(),
                 .bold = true,
                 .bevelSize = 3,
                 .hand = true});

    r.push_back({.kind = K::Panel,
                 .name = "P_All256Chars",
                 .parent = "Panel1",
                 .place = {19, 19, 369, 67},
                 .color = C::white(),
                 .bevel = Bevel::Lowered,
                 .bevelSize = 1,
                 .hidden = true});
    r.push_back({.kind = K::Label,
                 .name = "LB_All256Chars",
                 .parent = "P_All256Chars",
                 .place = {2, 2, 365, 46},
                 .pixels = 40,
                 .align = Qt::AlignLeft | Qt::AlignVCenter});
    r.push_back({.kind = K::ScrollBar,
                 .name = "SB_All256Chars",
                 .parent = "P_All256Chars",
                 .place = {37, 49, 329, 16},
                 .hand = true});
    r.push_back({.kind = K::Label,
                 .name = "P_Scroll256",
                 .parent = "P_All256Chars",
                 .place = {2, 48, 36, 17},
                 .caption = "065",
                 .hint = "This is the ASCII number of the first character.",
                 .color = C::black(),
                 .text = C::white(),
                 .bold = true,
                 .align = kMiddle,
                 .bevel = Bevel::Single});

    r.push_back({.kind = K::Panel,
                 .name = "P_FontError",
                 .parent = "Panel1",
                 .place = {19, 19, 369, 50},
                 .color = C::red(),
                 .bevel = Bevel::Lowered,
                 .bevelSize = 1,
                 .hidden = true});
    r.push_back({.kind = K::Label,
                 .name = "LB_FontErrorTitle",
                 .parent = "P_FontError",
                 .place = {8, 3, 355, 15},
                 .caption = "ERROR!      COULD NOT READ THIS FONT:",
                 .text = C::white(),
                 .pixels = 13,
                 .bold = true});
    r.push_back({.kind = K::Label,
                 .name = "LB_FontLocationCaption",
                 .parent = "P_FontError",
                 .place = {8, 18, 80, 13},
                 .caption = "Font Location",
                 .text = C::white()});
    r.push_back({.kind = K::Label,
                 .name = "LB_ReasonCaption",
                 .parent = "P_FontError",
                 .place = {8, 32, 80, 13},
                 .caption = "Reason",
                 .text = C::white()});
    r.push_back({.kind = K::PathLabel,
                 .name = "LB_FontFileError",
                 .parent = "P_FontError",
                 .place = {91, 18, 259, 13},
                 .text = C::yellow(),
                 .bold = true});
    r.push_back({.kind = K::Label,
                 .name = "LB_FontError",
                 .parent = "P_FontError",
                 .place = {91, 32, 259, 13},
                 .text = C::yellow(),
                 .bold = true});

    r.push_back({.kind = K::Panel,
                 .name = "P_WhatsNew",
                 .parent = "Panel1",
                 .place = {19, 54, 369, 285},
                 .color = kPaleGreen,
                 .bevel = Bevel::Lowered,
                 .bevelSize = 1,
                 .hidden = true});
    r.push_back({.kind = K::Label,
                 .name = "LB_WhatsNewTitle",
                 .parent = "P_WhatsNew",
                 .place = {16, 10, 193, 35},
                 .caption = "With this version, we have made these changes:",
                 .pixels = 13,
                 .bold = true,
                 .wrap = true});
    r.push_back({.kind = K::Button,
                 .name = "B_WhatsNewClose",
                 .parent = "P_WhatsNew",
                 .place = {218, 13, 134, 21},
                 .caption = "Close Version Info",
                 .color = C::teal(),
                 .text = C::yellow(),
                 .bold = true,
                 .bevelSize = 3,
                 .hand = true});
    r.push_back({.kind = K::Memo,
                 .name = "M_WhatsNew",
                 .parent = "P_WhatsNew",
                 .place = {16, 48, 337, 221},
                 .caption = whatsNewText(),
                 .color = kPaleGreen,
                 .readOnly = true});

    r.push_back({.kind = K::Panel,
                 .name = "P_Help",
                 .parent = "Panel1",
                 .place = {19, 54, 369, 285},
                 .color = kPaleGreen,
                 .bevel = Bevel::Lowered,
                 .bevelSize = 1,
                 .hidden = true});
    r.push_back({.kind = K::Label,
                 .name = "Label16",
                 .parent = "P_Help",
                 .place = {16, 10, 345, 27},
                 .caption = "With this program, changing font names is as easy as 1-2-3. "
                            "Here's how to do it:",
                 .text = C::red(),
                 .bold = true,
                 .wrap = true});
    r.push_back({.kind = K::FontImage,
                 .name = "MyFontImage3",
                 .parent = "P_Help",
                 .place = {5, 34, 23, 27},
                 .picture = "Bullet1"});
    r.push_back({.kind = K::Label,
                 .name = "Label14",
                 .parent = "P_Help",
                 .place = {27, 39, 337, 41},
                 .caption = "Select the font file name to work with from the navigation controls "
                            "on the right side of the screen. All the characters within the font "
                            "will be displayed --- the font does NOT have to be installed.",
                 .wrap = true});
    r.push_back({.kind = K::FontImage,
                 .name = "MyFontImage4",
                 .parent = "P_Help",
                 .place = {5, 77, 23, 27},
                 .picture = "Bullet2"});
    r.push_back({.kind = K::Label,
                 .name = "Label15",
                 .parent = "P_Help",
                 .place = {27, 82, 337, 55},
                 .caption = "Simply change any of the data fields to whatever you want them to "
                            "be, then click the \"Create New Font Now\" button to save your new "
                            "font. You must save your new font file using a file name which is "
                            "different from the original (for safety).",
                 .wrap = true});
    r.push_back({.kind = K::FontImage,
                 .name = "MyFontImage5",
                 .parent = "P_Help",
                 .place = {5, 132, 23, 27},
                 .picture = "Bullet3"});
    r.push_back({.kind = K::Label,
                 .name = "Label17",
                 .parent = "P_Help",
                 .place = {27, 137, 337, 43},
                 .caption = "Install your new font as you normally would. To keep your fonts in "
                            "order, we recommend Tessaly, our font manager, free to download "
                            "from our web site.",
                 .wrap = true});
    r.push_back({.kind = K::Label,
                 .name = "Label18",
                 .parent = "P_Help",
                 .place = {27, 179, 337, 43},
                 .caption = "Valid Characters: the Family Name and Font Style data fields are "
                            "limited to the alphabet, numbers, and the space character. All other "
                            "data fields will accept any character.",
                 .wrap = true});
    r.push_back({.kind = K::Label,
                 .name = "Label19",
                 .parent = "P_Help",
                 .place = {27, 221, 130, 15},
                 .caption = "How to contact us:",
                 .text = C::red(),
                 .bold = true});
    r.push_back({.kind = K::Label,
                 .name = "LB_ContactPhone",
                 .parent = "P_Help",
                 .place = {27, 236, 130, 15},
                 .caption = "Phone: (555) 010-4477"});
    const char* contact[] = {"support@solvane.example", "Solvane Type Works", "1200 Harbour Road",
                             "Port Elwin, OR 97000"};
    const char* contactNames[] = {"LB_ContactMail", "LB_ContactAddress1", "LB_ContactAddress2",
                                  "LB_ContactAddress3"};
    for (int i = 0; i < 4; ++i)
        r.push_back({.kind = K::Label,
                     .name = contactNames[i],
                     .parent = "P_Help",
                     .place = {166, 221 + 11 * i, 190, 13},
                     .caption = contact[i]});
    r.push_back({.kind = K::Button,
                 .name = "B_HelpClose",
                 .parent = "P_Help",
                 .place = {27, 254, 106, 21},
                 .caption = "Close Help",
                 .color = C::teal(),
                 .text = C::yellow(),
                 .bold = true,
                 .bevelSize = 3,
                 .hand = true});
    r.push_back({.kind = K::Flashing,
                 .name = "LB_Warning",
                 .parent = "P_Help",
                 .place = {167, 23, 138, 15},
                 .caption = "Click Me -- Important !",
                 .text = C::blue(),
                 .bold = true,
                 .align = kCentre,
                 .hidden = true});
    r.push_back({.kind = K::Label,
                 .name = "LB_WarnMask",
                 .parent = "P_Help",
                 .place = {162, 23, 148, 15},
                 .hand = true,
                 .hidden = true});
    r.push_back({.kind = K::Panel,
                 .name = "P_Warning",
                 .parent = "P_Help",
                 .place = {72, 39, 231, 213},
                 .color = C::white(),
                 .bevel = Bevel::Lowered,
                 .bevelSize = 1,
                 .hidden = true});
    r.push_back({.kind = K::Label,
                 .name = "LB_WarningAbout",
                 .parent = "P_Warning",
                 .place = {81, 10, 69, 14},
                 .caption = "A word about",
                 .align = kCentre});
    r.push_back({.kind = K::Label,
                 .name = "LB_WarningTitle",
                 .parent = "P_Warning",
                 .place = {38, 24, 155, 14},
                 .caption = "Copyrights and Trademarks",
                 .bold = true,
                 .align = kCentre});
    r.push_back({.kind = K::Label,
                 .name = "LB_WarningUse",
                 .parent = "P_Warning",
                 .place = {19, 42, 193, 59},
                 .caption = "Although this program allows you to change the copyright and "
                            "trademark fields for your own use, please do not attempt to "
                            "misrepresent the font's origin.",
                 .wrap = true,
                 .align = kCentre});
    r.push_back({.kind = K::Label,
                 .name = "LB_WarningOrigin",
                 .parent = "P_Warning",
                 .place = {19, 100, 193, 31},
                 .caption = "The font's true origin is never changed and is still present in "
                            "your new font.",
                 .text = C::red(),
                 .wrap = true,
                 .align = kCentre});
    r.push_back({.kind = K::Label,
                 .name = "LB_WarningRespect",
                 .parent = "P_Warning",
                 .place = {19, 132, 193, 55},
                 .caption = "Please respect the work of others and do not attempt to "
                            "redistribute fonts as your own after making changes to them. It is "
                            "illegal and you will get caught.",
                 .wrap = true,
                 .align = kCentre});
    r.push_back({.kind = K::Label,
                 .name = "LB_WarningOff",
                 .parent = "P_Warning",
                 .place = {99, 190, 34, 15},
                 .caption = "OKAY",
                 .text = C::blue(),
                 .bold = true,
                 .hand = true});
    return r;
}

QFont rowFont(const LayoutRow& row) {
    QFont font = defaultUiFont();
    if (row.pixels > 0)
        font.setPixelSize(row.pixels);
    font.setBold(row.bold);
    return font;
}

QColor rowText(const LayoutRow& row) {
    return row.text.isValid() ? row.text : ClassicColors::black();
}

void paint(QWidget* w, const LayoutRow& row) {
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
    w->setFont(rowFont(row));
}

// A wrapping text that the system's face draws wider than the layout allows would lose its last
// words below the label; the face shrinks a pixel at a time until the whole text is read.
void fitWrappedText(QLabel* label) {
    constexpr int smallestPixels = 8;
    QFont font = label->font();
    const QRect room = label->contentsRect();
    const int flags = int(label->alignment()) | Qt::TextWordWrap;
    while (font.pixelSize() > smallestPixels) {
        const QRect needed =
            QFontMetrics(font).boundingRect(QRect(0, 0, room.width(), 10000), flags, label->text());
        if (needed.height() <= room.height() && needed.width() <= room.width())
            break;
        font.setPixelSize(font.pixelSize() - 1);
    }
    label->setFont(font);
}

// A one-line text that the system's face draws wider than its place would be cut or wrapped;
// the face shrinks a pixel at a time until the text fits on one line.
QFont fitOneLine(QFont font, const QString& text, int room) {
    constexpr int smallestPixels = 8;
    while (font.pixelSize() > smallestPixels && QFontMetrics(font).horizontalAdvance(text) > room)
        font.setPixelSize(font.pixelSize() - 1);
    return font;
}

// A read-only list is written one row a line; where the system's face draws a row wider than
// the box, the face shrinks a pixel at a time until the widest row fits on its line.
void fitListRows(QPlainTextEdit* list) {
    constexpr int smallestPixels = 8;
    QFont font = list->font();
    const int room = list->contentsRect().width() -
                     2 * int(std::ceil(list->document()->documentMargin())) - list->cursorWidth();
    const QStringList rows = list->toPlainText().split(QLatin1Char('\n'));
    while (font.pixelSize() > smallestPixels) {
        const QFontMetrics metrics(font);
        int widest = 0;
        for (const QString& row : rows)
            widest = std::max(widest, metrics.horizontalAdvance(row));
        if (widest < room)
            break;
        font.setPixelSize(font.pixelSize() - 1);
    }
    list->setFont(font);
}

void applyBevel(QFrame* frame, const LayoutRow& row) {
    switch (row.bevel) {
    case Bevel::None:
        frame->setFrameStyle(QFrame::NoFrame);
        break;
    case Bevel::Lowered:
        frame->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        break;
    case Bevel::Raised:
        frame->setFrameStyle(QFrame::Panel | QFrame::Raised);
        break;
    case Bevel::Single:
        frame->setFrameStyle(QFrame::Box | QFrame::Plain);
        break;
    }
    frame->setLineWidth(row.bevelSize > 0 ? row.bevelSize : 1);
}

// The stored picture a row names; none where it names none.
QPixmap storedPicture(const LayoutRow& row) {
    return row.picture
               ? QPixmap(QStringLiteral(":/pictures/%1.png").arg(QLatin1String(row.picture)))
               : QPixmap();
}

QWidget* createControl(const LayoutRow& row, QWidget* parent) {
    const QString caption = QString::fromUtf8(row.caption);
    switch (row.kind) {
    case K::Panel: {
        auto* w = new QFrame(parent);
        applyBevel(w, row);
        return w;
    }
    case K::Label: {
        // A doubled ampersand in a caption shows as one.
        auto* w =
            new QLabel(QString(caption).replace(QStringLiteral("&&"), QStringLiteral("&")), parent);
        w->setWordWrap(row.wrap);
        w->setAlignment(row.align);
        w->setTextFormat(Qt::PlainText);
        applyBevel(w, row);
        return w;
    }
    case K::Picture: {
        auto* w = new QLabel(parent);
        w->setPixmap(storedPicture(row));
        return w;
    }
    case K::Rule: {
        auto* w = new QFrame(parent);
        w->setFrameStyle(QFrame::HLine | QFrame::Sunken);
        return w;
    }
    case K::Edit: {
        auto* w = new QLineEdit(caption, parent);
        w->setFrame(false);
        if (row.maxLength > 0)
            w->setMaxLength(row.maxLength);
        w->setReadOnly(row.readOnly);
        return w;
    }
    case K::Memo: {
        auto* w = new QPlainTextEdit(caption, parent);
        w->setReadOnly(row.readOnly);
        w->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        return w;
    }
    case K::Button: {
        auto* w = new TColorButton(parent);
        w->setCaption(caption);
        w->setColor(row.color);
        w->setFontColor(rowText(row)); // it paints with its own colour, not the palette's
        if (row.bevelSize > 0)
            w->setBevelSize(row.bevelSize);
        return w;
    }
    case K::Toggle: {
        auto* w = new TBWCCCheckBox(parent);
        w->setCaption(caption);
        w->setCheckColor(ClassicColors::red());
        w->setColor(row.color);
        w->setFontColor(rowText(row));
        w->setTabStop(false);
        return w;
    }
    case K::PathLabel: {
        auto* w = new TFileLabel(parent);
        w->setSeparator(QStringLiteral("/"));
        w->setAlignment(row.align);
        w->setFileName(caption);
        return w;
    }
    case K::Counter: {
        auto* w = new TLCDLabel(parent);
        w->setDotMatrix(TLCDLabel::mat5x7);
        w->setTextLines(1);
        w->setNoOfChars(10);
        w->setCaption(caption);
        w->updateSize();
        return w;
    }
    case K::FontImage: {
        auto* w = new TMyFontImage(parent);
        w->setPicture(storedPicture(row));
        w->setTransparent(true);
        return w;
    }
    case K::Flashing: {
        auto* w = new TFlashingLabel(parent);
        w->setText(caption);
        w->setAlignment(row.align);
        w->setColor(row.text);
        w->setInterval(500);
        return w;
    }
    case K::Label3D: {
        auto* w = new TDRLabel(parent);
        w->setText(caption);
        w->setTransparent(true);
        w->setShadowColor(SystemColors::btnHighlight());
        w->setDeep(1);
        return w;
    }
    case K::ScrollBar: {
        auto* w = new QScrollBar(Qt::Horizontal, parent);
        w->setRange(1, 224);
        w->setValue(34);
        return w;
    }
    case K::DriveBox:
        return new TDriveComboBox(parent);
    case K::FolderList:
        return new TDirectoryListBox(parent);
    case K::FileList:
        return new TFileListBox(parent);
    }
    return nullptr;
}

// A member without its control, or of another class, would crash at first use: refuse to build
// the window instead, in every build.
template <class T> void bind(QWidget* root, T*& member, const char* name) {
    member = root->findChild<T*>(QLatin1String(name));
    if (!member)
        throw std::logic_error(std::string("the layout has no control ") + name);
}

} // namespace

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

void buildMainLayout(TFrmMain& form) {
    QHash<QString, QWidget*> made;
    QWidget* previousStop = nullptr;
    for (const LayoutRow& row : mainLayout()) {
        QWidget* parent = row.parent ? made.value(QLatin1String(row.parent)) : &form;
        if (!parent)
            throw std::logic_error(std::string("no parent made before ") + row.name);
        QWidget* w = createControl(row, parent);
        w->setObjectName(QLatin1String(row.name));
        paint(w, row);
        w->setGeometry(row.place);
        if (row.kind == K::Label && row.wrap)
            fitWrappedText(static_cast<QLabel*>(w));
        if (row.kind == K::Label && !row.wrap) {
            auto* label = static_cast<QLabel*>(w);
            label->setFont(fitOneLine(label->font(), label->text(), label->contentsRect().width()));
        }
        if (row.kind == K::Button) {
            auto* button = static_cast<TColorButton*>(w);
            const int margin = 2 * (button->bevelSize() + button->borderSize());
            button->setFont(
                fitOneLine(button->font(), button->caption(), row.place.width() - margin));
        }
        if (row.kind == K::Memo && row.readOnly)
            fitListRows(static_cast<QPlainTextEdit*>(w));
        if (row.kind == K::Counter)
            static_cast<TLCDLabel*>(w)->updateSize(); // keeps its own snapped size
        if (*row.hint)
            w->setToolTip(QString::fromUtf8(row.hint));
        // Not a tab stop still takes the focus by mouse where the control needs it to act.
        const bool clickFocus = row.kind == K::Edit || row.kind == K::Memo ||
                                row.kind == K::Toggle || row.kind == K::DriveBox;
        w->setFocusPolicy(row.tabStop ? Qt::StrongFocus
                                      : (clickFocus ? Qt::ClickFocus : Qt::NoFocus));
        w->setVisible(!row.hidden);
        made.insert(QLatin1String(row.name), w);
        // Tab walks the tab stops in table order.
        if (row.tabStop) {
            if (previousStop)
                QWidget::setTabOrder(previousStop, w);
            previousStop = w;
        }
    }

    QWidget* root = &form;
    bind(root, form.Panel1, "Panel1");
    bind(root, form.Image1, "Image1");
    bind(root, form.MyFontImage1, "MyFontImage1");
    bind(root, form.MyFontImage2, "MyFontImage2");
    bind(root, form.Label9, "Label9");
    bind(root, form.Bevel1, "Bevel1");
    bind(root, form.DRLabel1, "DRLabel1");
    bind(root, form.C_AllowSounds, "C_AllowSounds");
    bind(root, form.C_ShowHelp, "C_ShowHelp");
    bind(root, form.P_FileName, "P_FileName");
    bind(root, form.LB_CurrentFont, "LB_CurrentFont");
    bind(root, form.D_FilePath, "D_FilePath");
    bind(root, form.B_WhatsNew, "B_WhatsNew");
    bind(root, form.P_Edits, "P_Edits");
    bind(root, form.E_FamilyName, "E_FamilyName");
    bind(root, form.E_Style, "E_Style");
    bind(root, form.E_FullName, "E_FullName");
    bind(root, form.E_Version, "E_Version");
    bind(root, form.E_FontID, "E_FontID");
    bind(root, form.E_Postscript, "E_Postscript");
    bind(root, form.E_Copyright, "E_Copyright");
    bind(root, form.E_TradeMark, "E_TradeMark");
    bind(root, form.Panel11, "Panel11");
    bind(root, form.Panel12, "Panel12");
    bind(root, form.Panel13, "Panel13");
    bind(root, form.Panel14, "Panel14");
    bind(root, form.B_CreateFontNow, "B_CreateFontNow");
    bind(root, form.B_RestoreNames, "B_RestoreNames");
    bind(root, form.B_Help, "B_Help");
    bind(root, form.B_ViewPrint, "B_ViewPrint");
    bind(root, form.B_Advanced, "B_Advanced");
    bind(root, form.P_FontFolder, "P_FontFolder");
    bind(root, form.LCD_FontTotal, "LCD_FontTotal");
    bind(root, form.D_File, "D_File");
    bind(root, form.P_DestinationFile, "P_DestinationFile");
    bind(root, form.Label28, "Label28");
    bind(root, form.LB_DestinationFile, "LB_DestinationFile");
    bind(root, form.D_Drive, "D_Drive");
    bind(root, form.D_Dir, "D_Dir");
    bind(root, form.P_All256Chars, "P_All256Chars");
    bind(root, form.LB_All256Chars, "LB_All256Chars");
    bind(root, form.SB_All256Chars, "SB_All256Chars");
    bind(root, form.P_Scroll256, "P_Scroll256");
    bind(root, form.P_FontError, "P_FontError");
    bind(root, form.LB_FontFileError, "LB_FontFileError");
    bind(root, form.LB_FontError, "LB_FontError");
    bind(root, form.P_MakeFont, "P_MakeFont");
    bind(root, form.B_MakeFont, "B_MakeFont");
    bind(root, form.B_CancelMake, "B_CancelMake");
    bind(root, form.D_FileName, "D_FileName");
    bind(root, form.P_Advanced, "P_Advanced");
    bind(root, form.B_SetFolder, "B_SetFolder");
    bind(root, form.B_SetFolderCancel, "B_SetFolderCancel");
    bind(root, form.P_WhatsNew, "P_WhatsNew");
    bind(root, form.B_WhatsNewClose, "B_WhatsNewClose");
    bind(root, form.M_WhatsNew, "M_WhatsNew");
    bind(root, form.P_Help, "P_Help");
    bind(root, form.MyFontImage3, "MyFontImage3");
    bind(root, form.MyFontImage4, "MyFontImage4");
    bind(root, form.MyFontImage5, "MyFontImage5");
    bind(root, form.B_HelpClose, "B_HelpClose");
    bind(root, form.LB_Warning, "LB_Warning");
    bind(root, form.LB_WarnMask, "LB_WarnMask");
    bind(root, form.P_Warning, "P_Warning");
    bind(root, form.LB_WarningOff, "LB_WarningOff");
}
