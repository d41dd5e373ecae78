// The window as laid out: captions and hints, the naming boxes' typing limits, tab order, and
// every control inside its parent.

#include "app/FindControl.h"
#include "tests/app/WindowFixture.h"

#include "app/MainLayout.h"
#include "controls/ColorButton.h"

#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QTest>

#include <cstdlib>

namespace qmtest {
namespace {

struct CaptionRow {
    const char* control;
    const char* caption;
    const char* hint;
};

class CaptionTest : public WindowTest, public ::testing::WithParamInterface<CaptionRow> {};

TEST_P(CaptionTest, controlShowsItsCaptionAndHint) {
    start();
    const CaptionRow& row = GetParam();
    ASSERT_NE(find(QLatin1String(row.control)), nullptr) << row.control;
    if (row.caption) {
        EXPECT_EQ(textOf(QLatin1String(row.control)), QString::fromUtf8(row.caption));
    }
    EXPECT_EQ(find(QLatin1String(row.control))->toolTip(), QString::fromUtf8(row.hint));
}

INSTANTIATE_TEST_SUITE_P(
    Controls, CaptionTest,
    ::testing::Values(
        CaptionRow{"B_CreateFontNow", "Create New Font Now",
                   "Makes a new font file containing the data you entered."},
        CaptionRow{"B_RestoreNames", "Restore Original Font Names",
                   "Changes all data back to the way it was."},
        CaptionRow{"B_Help", "HELP", "How to use this program."},
        CaptionRow{"B_ViewPrint", "View / Print", "Displays or prints a font sample."},
        CaptionRow{"B_Advanced", " Advanced", "Click for convenience features."},
        CaptionRow{"B_WhatsNew", "Click to Learn What's New in this Version", ""},
        CaptionRow{"C_AllowSounds", "Sound On", "Turns sound on / off."},
        CaptionRow{"C_ShowHelp", "Help On", "Turns this balloon-style help on / off."},
        CaptionRow{"B_WhatsNewClose", "Close Version Info", ""},
        CaptionRow{"B_HelpClose", "Close Help", ""}, CaptionRow{"B_MakeFont", "MAKE FONT", ""},
        CaptionRow{"B_CancelMake", "CANCEL", ""}, CaptionRow{"B_SetFolder", "SET", ""},
        CaptionRow{"B_SetFolderCancel", "CANCEL", ""}, CaptionRow{"LB_WarningOff", "OKAY", ""},
        CaptionRow{"Label28", " New Font will be saved here:", ""},
        CaptionRow{"P_DestinationFile", nullptr,
                   "Click here to ALWAYS use this folder to save newly renamed font files."},
        CaptionRow{"P_Scroll256", "065", "This is the ASCII number of the first character."},
        CaptionRow{"E_FamilyName", "",
                   "Enter up to 30 characters. This will be the name of the font."},
        CaptionRow{"E_FullName", "",
                   "You can not change this field. It is created by the program and displayed "
                   "for reference only."},
        CaptionRow{"E_Postscript", "",
                   "You can not change this field. It is created by the program and displayed "
                   "for reference only."},
        CaptionRow{"E_Version", "", "Enter up to 60 characters. Example: \"Version 1.0\"."},
        CaptionRow{"LB_FamilyNameCaption", "  Font Family Name:", ""},
        CaptionRow{"LB_FullNameCaption", "  Font Full Name:       (we handle this)", ""},
        CaptionRow{"LB_PostscriptCaption", "  Postscript Name:    (we handle this)", ""},
        CaptionRow{"LB_FontErrorTitle", "ERROR!      COULD NOT READ THIS FONT:", ""},
        CaptionRow{"LB_MakeStep4", "4. Install & use just like any other font.", ""},
        CaptionRow{"DRLabel1", "Easily changes TrueType Font names", ""},
        CaptionRow{"Label9", "\xc2\xae", ""}),
    [](const auto& info) { return std::string(info.param.control); });

struct LimitRow {
    const char* box;
    int limit;
    bool editable;
};

class NamingBoxTest : public WindowTest, public ::testing::WithParamInterface<LimitRow> {};

TEST_P(NamingBoxTest, typingStopsAtTheBoxLimit) {
    const LimitRow& row = GetParam();
    start();
    auto* box = findAs<QLineEdit>(QLatin1String(row.box));
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->maxLength(), row.limit);
    EXPECT_EQ(box->isReadOnly(), !row.editable);
    if (!row.editable) {
        // The program's own red text; the user types nothing into it.
        EXPECT_EQ(box->palette().color(QPalette::Text), QColor(255, 0, 0));
        QTest::mouseClick(box, Qt::LeftButton);
        QTest::keyClicks(box, QStringLiteral("abc"));
        EXPECT_TRUE(box->text().isEmpty());
        return;
    }
    typeInto(QLatin1String(row.box), QString(row.limit + 5, QLatin1Char('a')));
    EXPECT_EQ(box->text().size(), row.limit);
}

INSTANTIATE_TEST_SUITE_P(
    Boxes, NamingBoxTest,
    ::testing::Values(LimitRow{"E_FamilyName", 30, true}, LimitRow{"E_Style", 30, true},
                      LimitRow{"E_FullName", 62, false}, LimitRow{"E_Version", 62, true},
                      LimitRow{"E_FontID", 62, true}, LimitRow{"E_Postscript", 62, false},
                      LimitRow{"E_Copyright", 125, true}, LimitRow{"E_TradeMark", 125, true}),
    [](const auto& info) { return std::string(info.param.box); });

using LayoutTest = WindowTest;
using qm::app::LayoutRow;
using qm::app::mainLayout;
using qm::app::windowCaption;

TEST_F(LayoutTest, tabWalksTheEditableBoxesAndSkipsTheDerivedOnes) {
    TFrmMain& w = start();
    w.activateWindow();
    findAs<QLineEdit>(w, "E_FamilyName")->setFocus();
    QStringList walked{QApplication::focusWidget()->objectName()};
    for (int i = 0; i < 5; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        walked << QApplication::focusWidget()->objectName();
    }
    EXPECT_EQ(walked, (QStringList{"E_FamilyName", "E_Style", "E_Version", "E_FontID",
                                   "E_Copyright", "E_TradeMark"}));
}

TEST_F(LayoutTest, theWindowHasItsFixedClientSizeAndCaption) {
    TFrmMain& w = start();
    // The window draws its own frame and caption bar around the 621 x 432 client area.
    EXPECT_EQ(w.size(), QSize(627, 457));
    EXPECT_EQ(findAs<QFrame>(w, "Panel1")->geometry(), QRect(6 + 3, 8 + 22, 610, 418));
    EXPECT_EQ(w.minimumSize(), w.maximumSize());
    EXPECT_EQ(w.windowTitle(), QString::fromUtf8(windowCaption()));
}

TEST_F(LayoutTest, everyControlLiesInsideItsParent) {
    start();
    for (const LayoutRow& row : mainLayout()) {
        QWidget* w = find(QLatin1String(row.name));
        ASSERT_NE(w, nullptr) << row.name;
        const QRect inside = w->parentWidget()->rect();
        EXPECT_TRUE(inside.contains(w->geometry())) << row.name;
    }
}

TEST_F(LayoutTest, whatActsOnAClickShowsTheHandAndTheRestDoesNot) {
    start();
    const QCursor hand = find(QStringLiteral("B_MakeFont"))->cursor();
    ASSERT_EQ(hand.shape(), Qt::BitmapCursor) << "the program's own pointer";
    const auto showsHand = [&](const char* name) {
        const QCursor cursor = find(QLatin1String(name))->cursor();
        return cursor.shape() == Qt::BitmapCursor &&
               cursor.pixmap().toImage() == hand.pixmap().toImage() &&
               cursor.hotSpot() == hand.hotSpot();
    };
    for (const char* name :
         {"C_AllowSounds", "C_ShowHelp", "B_WhatsNew", "B_CreateFontNow", "B_RestoreNames",
          "B_Help", "B_ViewPrint", "B_Advanced", "P_DestinationFile", "Label28",
          "LB_DestinationFile", "B_SetFolder", "B_SetFolderCancel", "B_CancelMake",
          "SB_All256Chars", "B_WhatsNewClose", "B_HelpClose", "LB_WarnMask", "LB_WarningOff"})
        EXPECT_TRUE(showsHand(name)) << name;
    for (const char* name : {"Panel1", "E_FamilyName", "E_FullName", "LB_CurrentFont", "D_File",
                             "D_Dir", "D_FileName", "LB_All256Chars", "P_Scroll256", "M_WhatsNew"})
        EXPECT_FALSE(showsHand(name)) << name;
}

TEST_F(LayoutTest, theMakeFontPanelCoversEveryActionButton) {
    TFrmMain& w = start();
    findAs<QFrame>(w, "P_MakeFont")->show();
    findAs<QFrame>(w, "P_MakeFont")->raise();
    for (QWidget* button : std::initializer_list<QWidget*>{
             findAs<TColorButton>(w, "B_CreateFontNow"), findAs<TColorButton>(w, "B_RestoreNames"),
             findAs<TColorButton>(w, "B_Help"), findAs<TColorButton>(w, "B_ViewPrint"),
             findAs<TColorButton>(w, "B_Advanced")}) {
        const QPoint centre = button->mapTo(findAs<QFrame>(w, "Panel1"), button->rect().center());
        QWidget* top = findAs<QFrame>(w, "Panel1")->childAt(centre);
        EXPECT_TRUE(top == findAs<QFrame>(w, "P_MakeFont") ||
                    findAs<QFrame>(w, "P_MakeFont")->isAncestorOf(top))
            << button->objectName().toStdString();
    }
}

// Every wrapping text the user can open is read whole: none runs past the bottom of its label.
TEST_F(LayoutTest, everyOpenedWrappingTextFitsItsLabel) {
    start();
    click(QStringLiteral("B_Advanced"));
    click(QStringLiteral("B_Help"));
    click(QStringLiteral("LB_WarnMask"));
    click(QStringLiteral("B_WhatsNew"));
    int checked = 0;
    for (QLabel* label : window().findChildren<QLabel*>()) {
        if (!label->wordWrap() || label->text().isEmpty() || !label->isVisible())
            continue;
        ++checked;
        const QRect room = label->contentsRect();
        const QRect needed = label->fontMetrics().boundingRect(
            QRect(0, 0, room.width(), 10000), int(label->alignment()) | Qt::TextWordWrap,
            label->text());
        EXPECT_LE(needed.height(), room.height()) << label->objectName().toStdString();
        EXPECT_LE(needed.width(), room.width()) << label->objectName().toStdString();
    }
    EXPECT_GE(checked, 8);
}

// The pixels of a colour near c: the caption's own, apart from the antialiased edges.
int pixelsNear(const QImage& image, const QColor& c, QRect* box = nullptr) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor p = image.pixelColor(x, y);
            if (std::abs(p.red() - c.red()) + std::abs(p.green() - c.green()) +
                    std::abs(p.blue() - c.blue()) >
                60)
                continue;
            ++n;
            if (box)
                *box |= QRect(x, y, 1, 1);
        }
    return n;
}

// Every colour button paints its caption bold white (yellow on three of them), on one line
// inside its bevel.
TEST_F(LayoutTest, everyButtonPaintsItsCaptionInItsColourOnOneLine) {
    start();
    const QStringList yellow = {"B_WhatsNew", "B_WhatsNewClose", "B_HelpClose"};
    const QList<TColorButton*> buttons = window().findChildren<TColorButton*>();
    ASSERT_EQ(buttons.size(), 12);
    for (TColorButton* button : buttons) {
        const QString name = button->objectName();
        button->setEnabled(true); // a disabled caption is engraved, not coloured
        const QImage shown = button->grab().toImage();
        QRect caption;
        const QColor colour = yellow.contains(name) ? QColor(255, 255, 0) : QColor(255, 255, 255);
        EXPECT_GT(pixelsNear(shown, colour, &caption), 10) << name.toStdString();
        const int inset = button->bevelSize() + button->borderSize();
        EXPECT_TRUE(button->rect().adjusted(inset, inset, -inset, -inset).contains(caption))
            << name.toStdString();
        EXPECT_LE(caption.height(), QFontMetrics(button->font()).height()) << name.toStdString();
    }
}

TEST_F(LayoutTest, optionBoxesPaintTheirCaptionsMaroon) {
    start();
    for (const char* name : {"C_AllowSounds", "C_ShowHelp"}) {
        const QImage shown = find(QLatin1String(name))->grab().toImage();
        EXPECT_GT(pixelsNear(shown, QColor(128, 0, 0)), 8) << name;
    }
}

// The large buttons sit in black panels 6 pixels larger; the title has its picture; the
// warning's headings are centred in its column.
TEST_F(LayoutTest, currentFontBarTitlePictureAndWarningHeadings) {
    start();
    QWidget* bar = find(QStringLiteral("P_FileName"));
    const QImage shown = bar->grab().toImage();
    EXPECT_EQ(shown.pixelColor(2, bar->height() / 2), QColor(0, 0, 0));
    EXPECT_EQ(find(QStringLiteral("B_WhatsNew"))->geometry().adjusted(-3, -3, 3, 3), bar->rect());
    EXPECT_EQ(find(QStringLiteral("LB_CurrentFont"))->size(), QSize(355, 21));
    EXPECT_GT(pixelsNear(find(QStringLiteral("Image1"))->grab().toImage(), QColor(0, 128, 128)),
              200);
    for (const char* name : {"LB_WarningAbout", "LB_WarningTitle"}) {
        const QWidget* heading = find(QLatin1String(name));
        EXPECT_EQ(heading->geometry().center().x() * 2 + 1, 19 * 2 + 193) << name;
    }
    EXPECT_EQ(placeOf(QStringLiteral("LB_WarningAbout")), QPoint(81, 10));
    EXPECT_EQ(placeOf(QStringLiteral("LB_WarningTitle")), QPoint(38, 24));
}

TEST_F(LayoutTest, theCounterKeepsItsTenCharacterSize) {
    start();
    QWidget* counter = find(QStringLiteral("LCD_FontTotal"));
    EXPECT_EQ(counter->geometry(), QRect(10, 9, 170, 32));
}

} // namespace
} // namespace qmtest
