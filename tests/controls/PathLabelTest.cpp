#include "ControlTestUtil.h"

#include "controls/PathLabel.h"

#include <QDirIterator>
#include <QFontMetrics>
#include <gtest/gtest.h>

namespace {

const QString kPath = QStringLiteral("c:\\windows\\fonts\\arial.ttf");

int textWidth(const TFileLabel& label, const QString& s) {
    return QFontMetrics(label.font()).horizontalAdvance(s);
}

// The width of a shown text as the label measures its parts.
int partsWidth(const TFileLabel& label, std::initializer_list<const char*> parts) {
    int w = 0;
    for (const char* p : parts)
        w += textWidth(label, QString::fromLatin1(p));
    return w;
}

} // namespace

struct SplitRow {
    const char* name;
    const char* path;
    std::vector<const char*> pieces;
    bool drive;
};

class PathSplit : public ::testing::TestWithParam<SplitRow> {};

TEST_P(PathSplit, cutsAtEverySeparator) {
    const SplitRow& r = GetParam();
    TFileLabel label;
    label.setFileName(QString::fromLatin1(r.path));
    QStringList want;
    for (const char* p : r.pieces)
        want << QString::fromLatin1(p);
    EXPECT_EQ(label.pieces().pieces, want);
    EXPECT_EQ(label.pieces().hasDrive, r.drive);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, PathSplit,
    ::testing::Values(
        SplitRow{"fontFile",
                 "c:\\windows\\fonts\\arial.ttf",
                 {"c:", "windows", "fonts", "arial.ttf"},
                 true},
        SplitRow{"folderEndingInSeparator", "c:\\windows\\", {"c:", "windows", ""}, true},
        SplitRow{
            "networkPath", "\\\\server\\share\\a.ttf", {"", "", "server", "share", "a.ttf"}, false},
        SplitRow{"loneColonIsNoDrive", ":\\a", {":", "a"}, false},
        SplitRow{"noSeparator", "arial.ttf", {"arial.ttf"}, false}),
    [](const auto& info) { return std::string(info.param.name); });

struct FitRow {
    const char* name;
    const char* path;
    TFileLabel::TDirection direction;
    std::vector<const char*> widthParts; // the label is as wide as these texts
    int extra;                           // plus this many pixels
    const char* shown;
};

class PathFitting : public ::testing::TestWithParam<FitRow> {};

TEST_P(PathFitting, showsWhatFitsTheLabel) {
    const FitRow& r = GetParam();
    TFileLabel label;
    label.setDirection(r.direction);
    int w = 0;
    for (const char* p : r.widthParts)
        w += textWidth(label, QString::fromLatin1(p));
    label.resize(w + r.extra, 16);
    label.setFileName(QString::fromLatin1(r.path));
    EXPECT_EQ(label.text(), QString::fromLatin1(r.shown)) << "width " << label.width();
    EXPECT_EQ(label.fileName(), QString::fromLatin1(r.path));
}

INSTANTIATE_TEST_SUITE_P(Rows, PathFitting,
                         ::testing::Values(FitRow{"exactWidthShowsWhole",
                                                  "c:\\windows\\fonts\\arial.ttf",
                                                  TFileLabel::drFromLeft,
                                                  {"c:\\windows\\fonts\\arial.ttf"},
                                                  0,
                                                  "c:\\windows\\fonts\\arial.ttf"},
                                           FitRow{"fromLeftKeepsLastFolders",
                                                  "c:\\windows\\fonts\\arial.ttf",
                                                  TFileLabel::drFromLeft,
                                                  {"c:\\", "...\\", "fonts\\", "arial.ttf"},
                                                  0,
                                                  "c:\\...\\fonts\\arial.ttf"},
                                           FitRow{"fromRightKeepsFirstFolders",
                                                  "c:\\windows\\fonts\\arial.ttf",
                                                  TFileLabel::drFromRight,
                                                  {"c:\\", "...\\", "windows\\", "arial.ttf"},
                                                  0,
                                                  "c:\\windows\\...\\arial.ttf"},
                                           FitRow{"noRoomForDrive",
                                                  "c:\\windows\\fonts\\arial.ttf",
                                                  TFileLabel::drFromLeft,
                                                  {"...\\", "arial.ttf"},
                                                  1,
                                                  "...\\arial.ttf"},
                                           FitRow{"tooNarrowForEllipsis",
                                                  "c:\\windows\\fonts\\arial.ttf",
                                                  TFileLabel::drFromLeft,
                                                  {"...\\", "arial.ttf"},
                                                  0,
                                                  "arial.ttf"},
                                           FitRow{"networkPathUsesAnyPiece",
                                                  "\\\\server\\share\\fonts\\arial.ttf",
                                                  TFileLabel::drFromLeft,
                                                  {"...\\", "share\\fonts\\", "arial.ttf"},
                                                  0,
                                                  "...\\share\\fonts\\arial.ttf"},
                                           FitRow{"folderPathEndsInSeparator",
                                                  "c:\\windows\\system\\fonts\\",
                                                  TFileLabel::drFromLeft,
                                                  {"c:\\", "...\\", "fonts\\"},
                                                  0,
                                                  "c:\\...\\fonts\\"}),
                         [](const auto& info) { return std::string(info.param.name); });

// Every folder of the machine's font tree, in a label from far too narrow to the destination
// box's width: the folder's own name is always shown, never an empty ".../".
TEST(FileLabel, aFolderKeepsItsOwnNameAtAnyWidth) {
    TFileLabel label;
    label.setSeparator(QStringLiteral("/"));
    int folders = 0;
    QDirIterator it(QStringLiteral("/usr/share/fonts"), QDir::Dirs | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString folder = it.next() + QLatin1Char('/');
        const QString name = it.fileName() + QLatin1Char('/');
        ++folders;
        for (int width = 20; width <= 170; width += 10) {
            label.resize(width, 16);
            label.setFileName(folder);
            ASSERT_TRUE(label.text().endsWith(name))
                << label.text().toStdString() << " for " << folder.toStdString() << " in " << width
                << " pixels";
        }
    }
    EXPECT_GT(folders, 0);
}

TEST(FileLabel, defaultsAndEmptyName) {
    TFileLabel label;
    EXPECT_EQ(label.separator(), QStringLiteral("\\"));
    EXPECT_EQ(label.direction(), TFileLabel::drFromLeft);
    EXPECT_FALSE(label.wordWrap());
    label.resize(10, 16);
    label.setFileName(kPath);
    label.setFileName(QString());
    EXPECT_EQ(label.text(), QString());
}

TEST(FileLabel, narrowingAndWideningRefitAtOnce) {
    TFileLabel label;
    label.show(); // a hidden widget hears of its new size only when shown
    label.resize(500, 16);
    label.setFileName(kPath);
    EXPECT_EQ(label.text(), kPath);
    label.resize(partsWidth(label, {"c:\\", "...\\", "fonts\\", "arial.ttf"}), 16);
    EXPECT_EQ(label.text(), QStringLiteral("c:\\...\\fonts\\arial.ttf"));
    label.resize(500, 16);
    EXPECT_EQ(label.text(), kPath);
}

TEST(FileLabel, largerFontShortensTheShownText) {
    TFileLabel label;
    label.show();
    label.setFileName(kPath);
    label.resize(textWidth(label, kPath), 16);
    EXPECT_EQ(label.text(), kPath);
    QFont big = label.font();
    big.setPixelSize(big.pixelSize() > 0 ? big.pixelSize() * 2 : 22);
    label.setFont(big);
    EXPECT_NE(label.text(), kPath);
    EXPECT_TRUE(label.text().endsWith(QStringLiteral("arial.ttf")));
    EXPECT_LE(textWidth(label, label.text()),
              label.width() + textWidth(label, QStringLiteral("arial.ttf")));
}

TEST(FileLabel, directionAndSeparatorChangesRefit) {
    TFileLabel label;
    label.resize(partsWidth(label, {"c:\\", "...\\", "windows\\", "arial.ttf"}), 16);
    label.setFileName(kPath);
    label.setDirection(TFileLabel::drFromRight);
    EXPECT_EQ(label.text(), QStringLiteral("c:\\windows\\...\\arial.ttf"));

    TFileLabel slashed;
    slashed.resize(partsWidth(slashed, {".../", "fonts/", "DejaVuSans.ttf"}), 16);
    slashed.setFileName(QStringLiteral("/usr/share/fonts/DejaVuSans.ttf"));
    slashed.setSeparator(QStringLiteral("/"));
    EXPECT_EQ(slashed.text(), QStringLiteral(".../fonts/DejaVuSans.ttf"));
}
