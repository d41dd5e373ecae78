// "Create New Font Now" and "MAKE FONT": the new file's name, where it goes, what it holds,
// and what the window shows afterwards.

#include "tests/naming/NamingFixture.h"

#include "browse/FileListBox.h"
#include "controls/CheckBox.h"
#include "controls/LcdLabel.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLineEdit>
#include <QTest>

using qm::browse::FileListBox;

namespace namingtest {
namespace {

const QString kSource = QStringLiteral("SOURCE.TTF");

const QString kBadNameText = QStringLiteral("A TrueType font file name\r"
                                            "can be up to 8 characters,\r"
                                            "plus an extension of \".TTF\".\r"
                                            "\r"
                                            "Please use a different file name.");

QStringList filesIn(const QString& folder) {
    return QDir(folder).entryList(QDir::Files, QDir::Name);
}

std::string Bytes(const char* text) {
    return std::string(text);
}

TEST_F(NamingTest, typedNameAndEnterMakeTheFontWithTheTypedNames) {
    addFont(kSource);
    pickFont(kSource);
    box(QStringLiteral("E_FamilyName"))->clear();
    typeInto(QStringLiteral("E_FamilyName"), QStringLiteral("My Family"));
    box(QStringLiteral("E_Style"))->clear();
    typeInto(QStringLiteral("E_Style"), QStringLiteral("bold"));
    box(QStringLiteral("E_Version"))->clear();
    typeInto(QStringLiteral("E_Version"), QStringLiteral("Version 2.5"));
    clearCues();

    makeFont(QStringLiteral("myfont"));

    const QString made = fontsFolder() + QStringLiteral("/MYFONT.TTF");
    ASSERT_TRUE(QFileInfo::exists(made));
    const ReadBack back = readFontFile(made);
    ASSERT_FALSE(back.ReadFailed) << back.ErrorText;
    EXPECT_EQ(back.Names.FamilyName, "My Family");
    EXPECT_EQ(back.Names.Style, "Bold");
    EXPECT_EQ(back.Names.FullName, "My Family Bold");
    EXPECT_EQ(back.Names.Postscript, "MyFamily-Bold");
    EXPECT_EQ(back.Names.Version, "Version 2.5");
    EXPECT_EQ(back.Names.Copyright, testfonts::FontSpec{}.Copyright);
    EXPECT_TRUE(back.IsRenamed);

    // The new file is the current font, and the window is back to browsing.
    EXPECT_EQ(textOf(QStringLiteral("LB_CurrentFont")), made);
    EXPECT_EQ(textOf(QStringLiteral("D_FilePath")), made);
    EXPECT_TRUE(isEnabled(QStringLiteral("B_RestoreNames")));
    EXPECT_TRUE(isEnabled(QStringLiteral("B_CreateFontNow")));
    EXPECT_FALSE(isShown(QStringLiteral("P_MakeFont")));
    EXPECT_FALSE(findAs<FileListBox>(QStringLiteral("D_File"))->isLocked());
    EXPECT_EQ(textOf(QStringLiteral("LCD_FontTotal")), QStringLiteral("0002 Fonts"));
    EXPECT_EQ(cues(), (QStringList{"MyTock", "MyTock", "MyOK"}));
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_TRUE(messages().empty());
}

// With "Sound On" off the cues are silent, so the counter shows what happened for a moment,
// then the count again (the new one, after a make); with sound on it only counts.
TEST_F(NamingTest, successAndRefusalShowOnTheCounterWhenSoundIsOff) {
    addFont(kSource);
    pickFont(kSource);
    auto* counter = findAs<TLCDLabel>(QStringLiteral("LCD_FontTotal"));
    const QImage counting = counter->grab().toImage();
    makeFont(QStringLiteral("heard"));
    EXPECT_EQ(counter->caption(), QStringLiteral("0002 Fonts"));

    click(QStringLiteral("C_AllowSounds"));
    ASSERT_FALSE(findAs<TBWCCCheckBox>(QStringLiteral("C_AllowSounds"))->checked());
    makeFont(QStringLiteral("seen"));
    ASSERT_TRUE(QFileInfo::exists(fontsFolder() + QStringLiteral("/SEEN.TTF")));
    EXPECT_EQ(counter->caption().trimmed(), QStringLiteral("DONE"));
    EXPECT_NE(counter->grab().toImage(), counting);
    EXPECT_TRUE(QTest::qWaitFor(
        [counter] { return counter->caption() == QStringLiteral("0003 Fonts"); }, 5000))
        << counter->caption().toStdString();

    // A refused name: the box says why, the counter that it was refused.
    makeFont(QStringLiteral("too long a name"));
    EXPECT_EQ(counter->caption().trimmed(), QStringLiteral("REFUSED"));
    EXPECT_FALSE(messages().empty());
    EXPECT_TRUE(QTest::qWaitFor(
        [counter] { return counter->caption() == QStringLiteral("0003 Fonts"); }, 5000));
}

TEST_F(NamingTest, createOpensThePanelAndLocksTheList) {
    addFont(kSource);
    addFont(QStringLiteral("OTHER.TTF"));
    pickFont(kSource);

    click(QStringLiteral("B_CreateFontNow"));

    auto* list = findAs<FileListBox>(QStringLiteral("D_File"));
    EXPECT_TRUE(isShown(QStringLiteral("P_MakeFont")));
    EXPECT_TRUE(list->isLocked());
    EXPECT_EQ(list->cursor().shape(), Qt::ForbiddenCursor);
    EXPECT_TRUE(list->selectedItems().isEmpty());
    EXPECT_EQ(textOf(QStringLiteral("D_FileName")), QString());
    EXPECT_EQ(focusedName(), QStringLiteral("D_FileName"));

    // A click in the locked list loads nothing and hands the focus back.
    pickFont(QStringLiteral("OTHER.TTF"));
    EXPECT_EQ(textOf(QStringLiteral("LB_CurrentFont")), fontsFolder() + QLatin1Char('/') + kSource);
    EXPECT_TRUE(list->selectedItems().isEmpty());
    EXPECT_EQ(focusedName(), QStringLiteral("D_FileName"));
}

TEST_F(NamingTest, cancelUnlocksTheListAndALoadWorksAgain) {
    addFont(kSource);
    addFont(QStringLiteral("OTHER.TTF"));
    pickFont(kSource);
    click(QStringLiteral("B_CreateFontNow"));
    typeInto(QStringLiteral("D_FileName"), QStringLiteral("abc"));
    clearCues();

    click(QStringLiteral("B_CancelMake"));

    auto* list = findAs<FileListBox>(QStringLiteral("D_File"));
    EXPECT_FALSE(isShown(QStringLiteral("P_MakeFont")));
    EXPECT_FALSE(list->isLocked());
    EXPECT_EQ(textOf(QStringLiteral("D_FileName")), QStringLiteral("*.TTF"));
    EXPECT_EQ(cues(), QStringList{"MyTock"});
    EXPECT_EQ(filesIn(fontsFolder()), (QStringList{"OTHER.TTF", kSource}));

    pickFont(QStringLiteral("OTHER.TTF"));
    EXPECT_EQ(textOf(QStringLiteral("LB_CurrentFont")),
              fontsFolder() + QStringLiteral("/OTHER.TTF"));
}

// ---- The new file's name ------------------------------------------------------------------------

struct NameRow {
    const char* name;
    QString typed;
    QString file; // empty: refused with the five-line box
};

void PrintTo(const NameRow& row, std::ostream* os) {
    *os << row.name;
}

class NewNameTest : public NamingTest, public ::testing::WithParamInterface<NameRow> {};

TEST_P(NewNameTest, typedNameGivesTheFileOrTheFiveLineBox) {
    const NameRow& row = GetParam();
    addFont(kSource);
    pickFont(kSource);
    clearCues();

    makeFont(row.typed);

    if (row.file.isEmpty()) {
        ASSERT_EQ(messages().size(), 1u);
        EXPECT_EQ(messages()[0].title, QStringLiteral("Information"));
        EXPECT_EQ(messages()[0].text, kBadNameText);
        EXPECT_TRUE(cues().contains(QStringLiteral("MyDing")));
        EXPECT_TRUE(isShown(QStringLiteral("P_MakeFont")));
        EXPECT_EQ(textOf(QStringLiteral("D_FileName")), row.typed.toUpper());
        EXPECT_EQ(filesIn(fontsFolder()), QStringList{kSource});
    } else {
        EXPECT_TRUE(messages().empty());
        EXPECT_EQ(filesIn(fontsFolder()), (QStringList{row.file, kSource}));
        EXPECT_FALSE(isShown(QStringLiteral("P_MakeFont")));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Names, NewNameTest,
    ::testing::Values(NameRow{"EightCharacters", "ABCDEFGH", "ABCDEFGH.TTF"},
                      NameRow{"EightWithExtension", "ABCDEFGH.TTF", "ABCDEFGH.TTF"},
                      NameRow{"LowerCaseUpperCased", "myfont", "MYFONT.TTF"},
                      NameRow{"OtherExtensionReplaced", "ABC.XYZ", "ABC.TTF"},
                      NameRow{"InnerDotKept", "A.B.TTF", "A.B.TTF"},
                      NameRow{"NineCharactersRefused", "abcdefghi", ""},
                      NameRow{"EmptyRefused", "", ""}, NameRow{"DotAloneRefused", ".", ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(NamingTest, pastedFolderPartIsRefused) {
    addFont(kSource);
    pickFont(kSource);
    click(QStringLiteral("B_CreateFontNow"));
    box(QStringLiteral("D_FileName"))->setText(QStringLiteral("../ESCAPE")); // as a paste would

    pressKey(QStringLiteral("D_FileName"), Qt::Key_Return);

    ASSERT_EQ(messages().size(), 1u);
    EXPECT_EQ(messages()[0].text, kBadNameText);
    EXPECT_FALSE(QFileInfo::exists(windowsFolder() + QStringLiteral("/ESCAPE.TTF")));
    EXPECT_EQ(filesIn(fontsFolder()), QStringList{kSource});
}

TEST_F(NamingTest, sourcesOwnNameIsRefusedAndTheSourceStaysAsItWas) {
    const QString source = addFont(kSource);
    const testfonts::Bytes before = testfonts::ReadFile(source.toStdString());
    pickFont(kSource);
    clearCues();

    makeFont(QStringLiteral("source"));

    ASSERT_EQ(messages().size(), 1u);
    EXPECT_EQ(messages()[0].title, QStringLiteral("Error"));
    EXPECT_EQ(messages()[0].text, QStringLiteral("A TrueType font file with this name\r"
                                                 "already exists.\r"
                                                 "\r"
                                                 "Please use a different file name."));
    EXPECT_TRUE(cues().contains(QStringLiteral("MyOhOh")));
    EXPECT_TRUE(isShown(QStringLiteral("P_MakeFont")));
    EXPECT_EQ(testfonts::ReadFile(source.toStdString()), before);
    EXPECT_EQ(textOf(QStringLiteral("LB_CurrentFont")), source);
}

// ---- What the new file holds ------------------------------------------------------------------

TEST_F(NamingTest, trademarkSignGoesInAs0x99AndUnheldCharactersAsQuestionMarks) {
    addFont(kSource);
    pickFont(kSource);
    box(QStringLiteral("E_TradeMark"))->clear();
    typeInto(QStringLiteral("E_TradeMark"), QStringLiteral("Zeta\u2122"));
    box(QStringLiteral("E_Copyright"))->clear();
    typeInto(QStringLiteral("E_Copyright"), QStringLiteral("\u00a9 \u03a9 Foundry"));

    makeFont(QStringLiteral("signs"));

    const ReadBack back = readFontFile(fontsFolder() + QStringLiteral("/SIGNS.TTF"));
    ASSERT_FALSE(back.ReadFailed) << back.ErrorText;
    EXPECT_EQ(back.Names.TradeMark, Bytes("Zeta\x99"));
    EXPECT_EQ(back.Names.Copyright, Bytes("\xa9 ? Foundry"));
    // The boxes keep what the user typed, and show 0x99 as the sign when the file is read.
    EXPECT_EQ(textOf(QStringLiteral("E_TradeMark")), QStringLiteral("Zeta\u2122"));
    pickFont(QStringLiteral("SIGNS.TTF"));
    EXPECT_EQ(textOf(QStringLiteral("E_TradeMark")), QStringLiteral("Zeta\u2122"));
    EXPECT_EQ(textOf(QStringLiteral("E_Copyright")), QStringLiteral("\u00a9 ? Foundry"));
}

TEST_F(NamingTest, onlyTheNewFilesOwnNameIsUpperCased) {
    const QString mixed = fontsFolder() + QStringLiteral("/Mixed Case");
    ASSERT_TRUE(QDir().mkpath(mixed));
    writeFont(kSource, testfonts::SimpleFont(), mixed);
    openFolder(mixed);
    pickFont(kSource);

    makeFont(QStringLiteral("lower"));

    EXPECT_EQ(filesIn(mixed), (QStringList{"LOWER.TTF", kSource}));
    EXPECT_EQ(textOf(QStringLiteral("LB_CurrentFont")), mixed + QStringLiteral("/LOWER.TTF"));
}

TEST_F(NamingTest, longFamilyFromTheFileIsShownWholeAndStoredCut) {
    testfonts::FontSpec fontSpec;
    fontSpec.FamilyName = std::string(64, 'F');
    fontSpec.Style = "Bold";
    addFont(kSource, fontSpec);
    pickFont(kSource);
    typeInto(QStringLiteral("E_FamilyName"), QString());
    typeInto(QStringLiteral("E_Version"), QString()); // leaves the family box

    const QString full = QString(64, u'F') + QStringLiteral(" Bold");
    EXPECT_EQ(textOf(QStringLiteral("E_FamilyName")), QString(64, u'F'));
    EXPECT_EQ(textOf(QStringLiteral("E_FullName")), full);
    // Past its typing limit the box takes no more typing, but keeps what it was given.
    pressKey(QStringLiteral("E_FamilyName"), Qt::Key_End);
    typeInto(QStringLiteral("E_FamilyName"), QStringLiteral("G"));
    EXPECT_EQ(textOf(QStringLiteral("E_FamilyName")), QString(64, u'F'));

    makeFont(QStringLiteral("long"));
    const ReadBack back = readFontFile(fontsFolder() + QStringLiteral("/LONG.TTF"));
    ASSERT_FALSE(back.ReadFailed) << back.ErrorText;
    EXPECT_EQ(back.Names.FamilyName, std::string(64, 'F'));
    EXPECT_EQ(back.Names.FullName, std::string(64, 'F'));
    // A PostScript name holds at most 63 characters.
    EXPECT_EQ(back.Names.Postscript, std::string(63, 'F'));

    // The new file, now the current font, is the source of a further copy as it reads.
    makeFont(QStringLiteral("again"));
    EXPECT_FALSE(readFontFile(fontsFolder() + QStringLiteral("/AGAIN.TTF")).ReadFailed);
}

TEST_F(NamingTest, namesAreDerivedOnMakeEvenWhenTheFocusNeverLeft) {
    addFont(kSource);
    pickFont(kSource);
    box(QStringLiteral("E_Style"))->clear();
    typeInto(QStringLiteral("E_Style"), QStringLiteral("heavy"));
    // Straight to the button: the style box is still focused.
    click(QStringLiteral("B_CreateFontNow"));
    typeInto(QStringLiteral("D_FileName"), QStringLiteral("heavy"));
    pressKey(QStringLiteral("D_FileName"), Qt::Key_Return);

    const ReadBack back = readFontFile(fontsFolder() + QStringLiteral("/HEAVY.TTF"));
    ASSERT_FALSE(back.ReadFailed) << back.ErrorText;
    EXPECT_EQ(back.Names.Style, "Heavy");
    EXPECT_EQ(back.Names.FullName, "Test Sans Heavy");
}

// ---- A write that fails ----------------------------------------------------------------------

TEST_F(NamingTest, failedWriteIsShownAndLeavesThePanelOpenAndThePathAsItWas) {
    const QString source = addFont(kSource);
    const QString gone = fontsFolder() + QStringLiteral("/gone");
    ASSERT_TRUE(QDir().mkpath(gone));
    // Fix the destination on a folder that then disappears.
    openFolder(gone);
    click(QStringLiteral("LB_DestinationFile"));
    openFolder(fontsFolder());
    ASSERT_TRUE(QDir(gone).removeRecursively());
    pickFont(kSource);
    clearMessages();

    makeFont(QStringLiteral("lost"));

    ASSERT_EQ(messages().size(), 1u);
    EXPECT_EQ(messages()[0].title, QStringLiteral("Error"));
    EXPECT_FALSE(messages()[0].text.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(gone + QStringLiteral("/LOST.TTF")));
    EXPECT_TRUE(isShown(QStringLiteral("P_MakeFont")));
    EXPECT_EQ(textOf(QStringLiteral("D_FilePath")), source);
    EXPECT_EQ(textOf(QStringLiteral("LB_CurrentFont")), source);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_FALSE(isEnabled(QStringLiteral("B_RestoreNames")));
}

} // namespace
} // namespace namingtest
