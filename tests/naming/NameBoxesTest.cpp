// The naming boxes as a user types into them: what each box takes, what Enter does, the
// clipboard shortcuts, and the names derived when the family or style box is left.

#include "tests/naming/NamingFixture.h"

#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QTest>

namespace namingtest {
namespace {

const QString kDing = QStringLiteral("MyDing");

// ---- What each box takes ----------------------------------------------------------------

struct TypingRow {
    const char* name;
    const char* box;
    QString typed;
    QString shown;
    int dings;
};

void PrintTo(const TypingRow& row, std::ostream* os) {
    *os << row.name;
}

class TypingTest : public NamingTest, public ::testing::WithParamInterface<TypingRow> {};

TEST_P(TypingTest, boxKeepsOnlyTheCharactersItTakes) {
    const TypingRow& row = GetParam();
    const QString box = QString::fromLatin1(row.box);
    addFont(QStringLiteral("SOURCE.TTF"));
    pickFont(QStringLiteral("SOURCE.TTF"));
    if (box == QLatin1String("D_FileName"))
        click(QStringLiteral("B_CreateFontNow"));
    findAs<QLineEdit>(box)->clear();
    clearCues();

    typeInto(box, row.typed);

    EXPECT_EQ(textOf(box), row.shown);
    EXPECT_EQ(cueCount(kDing), row.dings);
}

INSTANTIATE_TEST_SUITE_P(
    Boxes, TypingTest,
    ::testing::Values(
        TypingRow{"FamilyTakesLettersDigitsBlank", "E_FamilyName", "Ab 9z", "Ab 9z", 0},
        TypingRow{"FamilyRefusesBang", "E_FamilyName", "A!b", "Ab", 1},
        TypingRow{"FamilyRefusesDash", "E_FamilyName", "a-b", "ab", 1},
        TypingRow{"FamilyRefusesAccent", "E_FamilyName", QStringLiteral("x\u00e9"), "x", 1},
        TypingRow{"StyleRefusesDot", "E_Style", "Bold.", "Bold", 1},
        TypingRow{"VersionTakesAnything", "E_Version", QStringLiteral("v-1!\u00e9"),
                  QStringLiteral("v-1!\u00e9"), 0},
        TypingRow{"FontIDTakesEuro", "E_FontID", QStringLiteral("a&b\u20ac"),
                  QStringLiteral("a&b\u20ac"), 0},
        TypingRow{"CopyrightTakesSymbols", "E_Copyright", QStringLiteral("(c) \u00a9"),
                  QStringLiteral("(c) \u00a9"), 0},
        TypingRow{"TradeMarkTakesTheSign", "E_TradeMark", QStringLiteral("X\u2122"),
                  QStringLiteral("X\u2122"), 0},
        TypingRow{"FileNameTakesDot", "D_FileName", "abc.ttf", "abc.ttf", 0},
        TypingRow{"FileNameRefusesBlank", "D_FileName", "a b", "ab", 1},
        TypingRow{"FileNameRefusesDashAndAccent", "D_FileName", QStringLiteral("a-\u00e9b"), "ab",
                  2}),
    [](const auto& info) { return std::string(info.param.name); });

// Characters composed by an input method or a dead key obey the same rules.
struct ComposeRow {
    const char* box;
    QString shown;
    int dings;
};

void PrintTo(const ComposeRow& row, std::ostream* os) {
    *os << row.box;
}

class ComposeTest : public NamingTest, public ::testing::WithParamInterface<ComposeRow> {};

TEST_P(ComposeTest, composedCharacterFollowsTheBoxRules) {
    const QString name = QString::fromLatin1(GetParam().box);
    addFont(QStringLiteral("SOURCE.TTF"));
    pickFont(QStringLiteral("SOURCE.TTF"));
    QLineEdit* target = box(name);
    target->clear();
    target->setFocus(Qt::MouseFocusReason);
    clearCues();

    QInputMethodEvent composed;
    composed.setCommitString(QStringLiteral("\u00e9"));
    QApplication::sendEvent(target, &composed);
    settle();

    EXPECT_EQ(textOf(name), GetParam().shown);
    EXPECT_EQ(cueCount(kDing), GetParam().dings);
}

INSTANTIATE_TEST_SUITE_P(Boxes, ComposeTest,
                         ::testing::Values(ComposeRow{"E_FamilyName", "", 1},
                                           ComposeRow{"E_Style", "", 1},
                                           ComposeRow{"E_Version", QStringLiteral("\u00e9"), 0}),
                         [](const auto& info) { return std::string(info.param.box); });

// ---- Typing limits --------------------------------------------------------------------------

struct LimitRow {
    const char* box;
    int limit;
};

void PrintTo(const LimitRow& row, std::ostream* os) {
    *os << row.box;
}

class TypingLimitTest : public NamingTest, public ::testing::WithParamInterface<LimitRow> {};

TEST_P(TypingLimitTest, typingStopsAtTheBoxLimit) {
    const QString box = QString::fromLatin1(GetParam().box);
    addFont(QStringLiteral("SOURCE.TTF"));
    pickFont(QStringLiteral("SOURCE.TTF"));
    findAs<QLineEdit>(box)->clear();

    typeInto(box, QString(GetParam().limit + 5, u'w'));

    EXPECT_EQ(textOf(box), QString(GetParam().limit, u'w'));
}

INSTANTIATE_TEST_SUITE_P(Boxes, TypingLimitTest,
                         ::testing::Values(LimitRow{"E_FamilyName", 30}, LimitRow{"E_Style", 30},
                                           LimitRow{"E_Version", 62}, LimitRow{"E_FontID", 62},
                                           LimitRow{"E_Copyright", 125},
                                           LimitRow{"E_TradeMark", 125}),
                         [](const auto& info) { return std::string(info.param.box); });

// ---- Clipboard shortcuts and Escape -----------------------------------------------------------

struct ShortcutRow {
    const char* name;
    const char* box;
    Qt::Key key;
    Qt::KeyboardModifiers mods;
    QString shown;     // after the key, with "abc" typed and selected before it
    QString clipboard; // "XYZ" before the key
    int dings;
};

void PrintTo(const ShortcutRow& row, std::ostream* os) {
    *os << row.name;
}

class ShortcutTest : public NamingTest, public ::testing::WithParamInterface<ShortcutRow> {};

TEST_P(ShortcutTest, shortcutsWorkOnlyInTheFreeTextBoxes) {
    const ShortcutRow& row = GetParam();
    const QString box = QString::fromLatin1(row.box);
    addFont(QStringLiteral("SOURCE.TTF"));
    pickFont(QStringLiteral("SOURCE.TTF"));
    if (box == QLatin1String("D_FileName"))
        click(QStringLiteral("B_CreateFontNow"));
    findAs<QLineEdit>(box)->clear();
    typeInto(box, QStringLiteral("abc"));
    pressKey(box, Qt::Key_Home, Qt::ShiftModifier); // selects; types nothing
    QApplication::clipboard()->setText(QStringLiteral("XYZ"));
    clearCues();

    pressKey(box, row.key, row.mods);

    EXPECT_EQ(textOf(box), row.shown);
    EXPECT_EQ(QApplication::clipboard()->text(), row.clipboard);
    EXPECT_EQ(cueCount(kDing), row.dings);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, ShortcutTest,
    ::testing::Values(
        ShortcutRow{"FamilyPasteRefused", "E_FamilyName", Qt::Key_V, Qt::ControlModifier, "abc",
                    "XYZ", 1},
        ShortcutRow{"FamilyCopyRefused", "E_FamilyName", Qt::Key_C, Qt::ControlModifier, "abc",
                    "XYZ", 1},
        ShortcutRow{"StyleCutRefused", "E_Style", Qt::Key_X, Qt::ControlModifier, "abc", "XYZ", 1},
        ShortcutRow{"StyleEscapeRefused", "E_Style", Qt::Key_Escape, {}, "abc", "XYZ", 1},
        ShortcutRow{"FileNamePasteRefused", "D_FileName", Qt::Key_V, Qt::ControlModifier, "abc",
                    "XYZ", 1},
        ShortcutRow{"VersionPastes", "E_Version", Qt::Key_V, Qt::ControlModifier, "XYZ", "XYZ", 0},
        ShortcutRow{"FontIDCopies", "E_FontID", Qt::Key_C, Qt::ControlModifier, "abc", "abc", 0},
        ShortcutRow{"CopyrightCuts", "E_Copyright", Qt::Key_X, Qt::ControlModifier, "", "abc", 0},
        ShortcutRow{"TradeMarkEscapePasses", "E_TradeMark", Qt::Key_Escape, {}, "abc", "XYZ", 0}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- Enter walks through the boxes ------------------------------------------------------------

struct EnterRow {
    const char* from;
    const char* to;
};

void PrintTo(const EnterRow& row, std::ostream* os) {
    *os << row.from;
}

class EnterTest : public NamingTest, public ::testing::WithParamInterface<EnterRow> {};

TEST_P(EnterTest, enterMovesToTheNextEditableBox) {
    addFont(QStringLiteral("SOURCE.TTF"));
    pickFont(QStringLiteral("SOURCE.TTF"));
    const QString from = QString::fromLatin1(GetParam().from);
    find(from)->setFocus(Qt::MouseFocusReason);
    settle();
    ASSERT_EQ(focusedName(), from);

    pressKey(from, Qt::Key_Return);

    EXPECT_EQ(focusedName(), QString::fromLatin1(GetParam().to));
}

INSTANTIATE_TEST_SUITE_P(Order, EnterTest,
                         ::testing::Values(EnterRow{"E_FamilyName", "E_Style"},
                                           EnterRow{"E_Style", "E_Version"},
                                           EnterRow{"E_Version", "E_FontID"},
                                           EnterRow{"E_FontID", "E_Copyright"},
                                           EnterRow{"E_Copyright", "E_TradeMark"}),
                         [](const auto& info) { return std::string(info.param.from); });

TEST_F(NamingTest, enterInTheFamilyBoxDerivesTheNames) {
    addFont(QStringLiteral("SOURCE.TTF"));
    pickFont(QStringLiteral("SOURCE.TTF"));
    box(QStringLiteral("E_FamilyName"))->clear();
    typeInto(QStringLiteral("E_FamilyName"), QStringLiteral("Nova Serif"));

    pressKey(QStringLiteral("E_FamilyName"), Qt::Key_Return);

    EXPECT_EQ(focusedName(), QStringLiteral("E_Style"));
    EXPECT_EQ(textOf(QStringLiteral("E_FullName")), QStringLiteral("Nova Serif"));
    EXPECT_EQ(textOf(QStringLiteral("E_Postscript")), QStringLiteral("NovaSerif"));
}

// ---- Derived names ------------------------------------------------------------------------------

struct DeriveRow {
    const char* name;
    QString family, style;                       // typed
    QString shownFamily, shownStyle, full, post; // after leaving the style box
};

void PrintTo(const DeriveRow& row, std::ostream* os) {
    *os << row.name;
}

class DeriveTest : public NamingTest, public ::testing::WithParamInterface<DeriveRow> {};

TEST_P(DeriveTest, leavingTheBoxesDerivesFullAndPostscriptNames) {
    const DeriveRow& row = GetParam();
    addFont(QStringLiteral("SOURCE.TTF"));
    pickFont(QStringLiteral("SOURCE.TTF"));
    box(QStringLiteral("E_FamilyName"))->clear();
    box(QStringLiteral("E_Style"))->clear();

    typeInto(QStringLiteral("E_FamilyName"), row.family);
    typeInto(QStringLiteral("E_Style"), row.style);
    typeInto(QStringLiteral("E_Version"), QString()); // the focus leaves the style box

    EXPECT_EQ(textOf(QStringLiteral("E_FamilyName")), row.shownFamily);
    EXPECT_EQ(textOf(QStringLiteral("E_Style")), row.shownStyle);
    EXPECT_EQ(textOf(QStringLiteral("E_FullName")), row.full);
    EXPECT_EQ(textOf(QStringLiteral("E_Postscript")), row.post);
}

INSTANTIATE_TEST_SUITE_P(
    Examples, DeriveTest,
    ::testing::Values(DeriveRow{"BoldItalic", "Times New", "bold italic", "Times New",
                                "Bold Italic", "Times New Bold Italic", "TimesNew-BoldItalic"},
                      DeriveRow{"RegularIsPlain", "Times New", "REGULAR", "Times New", "Regular",
                                "Times New", "TimesNew"},
                      DeriveRow{"NormalIsPlain", "Sans", "normal", "Sans", "Normal", "Sans",
                                "Sans"},
                      DeriveRow{"RegularObliqueIsNot", "Sans", "Regular Oblique", "Sans",
                                "Regular Oblique", "Sans Regular Oblique", "Sans-RegularOblique"},
                      DeriveRow{"EmptyStyle", "Sans", "", "Sans", "", "Sans", "Sans"},
                      DeriveRow{"BlanksTrimmedInnerRunsKept", "  Arial  ", "bold  ITALIC", "Arial",
                                "Bold  Italic", "Arial Bold  Italic", "Arial-BoldItalic"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(NamingTest, emptiedFamilyComesBackFromTheFontAndLeavesDerivedNames) {
    testfonts::FontSpec fontSpec;
    fontSpec.FamilyName = "Test Sans";
    addFont(QStringLiteral("SOURCE.TTF"), fontSpec);
    pickFont(QStringLiteral("SOURCE.TTF"));
    box(QStringLiteral("E_FamilyName"))->clear();
    typeInto(QStringLiteral("E_FamilyName"), QStringLiteral("Other"));
    typeInto(QStringLiteral("E_Version"), QString());
    ASSERT_EQ(textOf(QStringLiteral("E_FullName")), QStringLiteral("Other"));

    box(QStringLiteral("E_FamilyName"))->setFocus(Qt::MouseFocusReason);
    pressKey(QStringLiteral("E_FamilyName"), Qt::Key_End);
    for (int i = 0; i < 5; ++i)
        pressKey(QStringLiteral("E_FamilyName"), Qt::Key_Backspace);
    ASSERT_EQ(textOf(QStringLiteral("E_FamilyName")), QString());
    typeInto(QStringLiteral("E_Version"), QString());

    EXPECT_EQ(textOf(QStringLiteral("E_FamilyName")), QStringLiteral("Test Sans"));
    EXPECT_EQ(textOf(QStringLiteral("E_FullName")), QStringLiteral("Other"));
    EXPECT_EQ(textOf(QStringLiteral("E_Postscript")), QStringLiteral("Other"));
}

// ---- No current font
// -----------------------------------------------------------------------------

TEST_F(NamingTest, startsWithEmptyBoxesAndTheActionButtonsOff) {
    addFont(QStringLiteral("SOURCE.TTF"));
    start();
    for (const char* name : {"E_FamilyName", "E_Style", "E_FullName", "E_Postscript", "E_Version",
                             "E_FontID", "E_Copyright", "E_TradeMark"})
        EXPECT_EQ(textOf(QString::fromLatin1(name)), QString()) << name;
    for (const char* name : {"B_CreateFontNow", "B_ViewPrint", "B_RestoreNames"})
        EXPECT_FALSE(isEnabled(QString::fromLatin1(name))) << name;
}

TEST_F(NamingTest, failedLoadEmptiesTheBoxesAndTurnsTheButtonsOff) {
    addFont(QStringLiteral("GOOD.TTF"));
    writeFont(QStringLiteral("JUNK.TTF"), testfonts::Bytes(200, 0x41));
    pickFont(QStringLiteral("GOOD.TTF"));
    ASSERT_TRUE(isEnabled(QStringLiteral("B_CreateFontNow")));
    ASSERT_FALSE(textOf(QStringLiteral("E_Version")).isEmpty());

    pickFont(QStringLiteral("JUNK.TTF"));

    for (const char* name : {"E_FamilyName", "E_Style", "E_FullName", "E_Postscript", "E_Version",
                             "E_FontID", "E_Copyright", "E_TradeMark"})
        EXPECT_EQ(textOf(QString::fromLatin1(name)), QString()) << name;
    for (const char* name : {"B_CreateFontNow", "B_ViewPrint", "B_RestoreNames"})
        EXPECT_FALSE(isEnabled(QString::fromLatin1(name))) << name;
    EXPECT_EQ(textOf(QStringLiteral("LB_CurrentFont")), QString());
}

TEST_F(NamingTest, fontWithoutVersionShowsThePlaceholder) {
    testfonts::FontSpec fontSpec;
    fontSpec.Version.clear();
    addFont(QStringLiteral("NOVER.TTF"), fontSpec);
    pickFont(QStringLiteral("NOVER.TTF"));
    EXPECT_EQ(textOf(QStringLiteral("E_Version")), QStringLiteral("*** No Ver. I.D. Found ***"));
}

TEST_F(NamingTest, longTextsShowTheirBeginning) {
    testfonts::FontSpec fontSpec;
    fontSpec.Copyright = "Copyright (c) 2026 The Long Foundry. " + std::string(80, 'x');
    addFont(QStringLiteral("LONGCOPY.TTF"), fontSpec);
    pickFont(QStringLiteral("LONGCOPY.TTF"));
    EXPECT_EQ(box(QStringLiteral("E_Copyright"))->cursorPosition(), 0);
}

} // namespace
} // namespace namingtest
