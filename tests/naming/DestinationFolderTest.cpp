// The fixed destination folder: " Advanced", "SET", "CANCEL", a click on the destination box,
// new fonts going there whatever is browsed, and "Save To" across restarts.

#include "tests/naming/NamingFixture.h"

#include <QDir>
#include <QFileInfo>

namespace namingtest {
namespace {

const QString kSource = QStringLiteral("SOURCE.TTF");

class DestinationTest : public NamingTest {
protected:
    QString destination() {
        const QString folder = fontsFolder() + QStringLiteral("/Made Here");
        QDir().mkpath(folder);
        return folder;
    }
};

struct FixRow {
    const char* name;
    const char* control; // what the user clicks to fix the folder
    bool viaAdvanced;
};

void PrintTo(const FixRow& row, std::ostream* os) {
    *os << row.name;
}

class FixFolderTest : public DestinationTest, public ::testing::WithParamInterface<FixRow> {};

TEST_P(FixFolderTest, fixedFolderIsShownAndTakesTheNewFont) {
    const QString fixed = destination();
    addFont(kSource);
    openFolder(fixed);
    if (GetParam().viaAdvanced) {
        click(QStringLiteral("B_Advanced"));
        ASSERT_TRUE(isShown(QStringLiteral("P_Advanced")));
    }
    clearCues();

    click(QString::fromLatin1(GetParam().control));

    EXPECT_EQ(cues(), QStringList{"MyOK"});
    EXPECT_FALSE(isShown(QStringLiteral("P_Advanced")));
    EXPECT_EQ(textOf(QStringLiteral("LB_DestinationFile")), fixed + QLatin1Char('/'));

    // Browsing elsewhere leaves the box showing the fixed folder, and the font goes there.
    openFolder(fontsFolder());
    EXPECT_EQ(textOf(QStringLiteral("LB_DestinationFile")), fixed + QLatin1Char('/'));
    pickFont(kSource);
    makeFont(QStringLiteral("abc"));
    EXPECT_TRUE(QFileInfo::exists(fixed + QStringLiteral("/ABC.TTF")));
    EXPECT_FALSE(QFileInfo::exists(fontsFolder() + QStringLiteral("/ABC.TTF")));
    EXPECT_EQ(textOf(QStringLiteral("LB_CurrentFont")), fixed + QStringLiteral("/ABC.TTF"));
    // The counter still counts the browsed folder.
    EXPECT_EQ(textOf(QStringLiteral("LCD_FontTotal")), QStringLiteral("0001 Fonts"));
}

INSTANTIATE_TEST_SUITE_P(Ways, FixFolderTest,
                         ::testing::Values(FixRow{"SetButton", "B_SetFolder", true},
                                           FixRow{"DestinationBox", "LB_DestinationFile", false},
                                           FixRow{"DestinationCaption", "Label28", false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(DestinationTest, advancedOpensThePanelWithADing) {
    start();
    clearCues();
    click(QStringLiteral("B_Advanced"));
    EXPECT_TRUE(isShown(QStringLiteral("P_Advanced")));
    EXPECT_EQ(cues(), QStringList{"MyDing"});
}

TEST_F(DestinationTest, cancelFollowsTheBrowsedFolderAgain) {
    const QString fixed = destination();
    addFont(kSource);
    openFolder(fixed);
    click(QStringLiteral("LB_DestinationFile"));
    openFolder(fontsFolder());
    click(QStringLiteral("B_Advanced"));
    clearCues();

    click(QStringLiteral("B_SetFolderCancel"));

    EXPECT_EQ(cues(), QStringList{"MyOK"});
    EXPECT_FALSE(isShown(QStringLiteral("P_Advanced")));
    EXPECT_EQ(textOf(QStringLiteral("LB_DestinationFile")), fontsFolder() + QLatin1Char('/'));
    pickFont(kSource);
    makeFont(QStringLiteral("abc"));
    EXPECT_TRUE(QFileInfo::exists(fontsFolder() + QStringLiteral("/ABC.TTF")));
    EXPECT_FALSE(QFileInfo::exists(fixed + QStringLiteral("/ABC.TTF")));
}

TEST_F(DestinationTest, fixedFolderIsKeptAcrossARestart) {
    const QString fixed = destination();
    openFolder(fixed);
    click(QStringLiteral("LB_DestinationFile"));
    ASSERT_TRUE(closeWindow());

    EXPECT_EQ(readSetting(QStringLiteral("Save To")).toString(), fixed + QLatin1Char('/'));

    start();
    EXPECT_EQ(textOf(QStringLiteral("LB_DestinationFile")), fixed + QLatin1Char('/'));
    // Fixed, not browsed: it stays while the user browses elsewhere.
    openFolder(fontsFolder());
    EXPECT_EQ(textOf(QStringLiteral("LB_DestinationFile")), fixed + QLatin1Char('/'));
}

TEST_F(DestinationTest, rootFolderIsStoredWithOneSlash) {
    start();
    openFolder(QStringLiteral("/"));
    click(QStringLiteral("Label28"));
    EXPECT_EQ(textOf(QStringLiteral("LB_DestinationFile")), QStringLiteral("/"));
}

} // namespace
} // namespace namingtest
