// The glyphsee program run as a real process with --pdf, its PDF turned into pixels by pdftoppm.

#include "ViewerTestSupport.h"
#include "viewer/FontSample.h"
#include "viewer/SampleSheet.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace qm::viewer;
using namespace viewertest;

namespace {

constexpr int kDpi = 144;

QByteArray Head(const QString& path, int bytes) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.read(bytes) : QByteArray();
}

QImage PdfOf(const QString& font, const QString& out) {
    const ProcessResult run = RunGlyphsee({QStringLiteral("--pdf"), out, font});
    EXPECT_FALSE(run.crashed);
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    return RenderPdfPage(out, kDpi);
}

} // namespace

class GlyphseePdfTest : public ::testing::TestWithParam<const char*> {};

TEST_P(GlyphseePdfTest, writesAPdfWhoseFirstPageShowsTheSample) {
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("sheet.pdf"));
    const ProcessResult run =
        RunGlyphsee({QStringLiteral("--pdf"), out, SystemFont(QString::fromUtf8(GetParam()))});
    ASSERT_FALSE(run.crashed);
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(Head(out, 5).startsWith("%PDF-"));

    const QImage page = RenderPdfPage(out, kDpi);
    ASSERT_FALSE(page.isNull());
    // One A4 page.
    EXPECT_NEAR(page.width(), kSheetSize.width() * kDpi / 72, 2);
    EXPECT_NEAR(page.height(), kSheetSize.height() * kDpi / 72, 2);
    const SheetLayout layout =
        layoutSampleSheet(loadFontSample(SystemFont(QString::fromUtf8(GetParam()))));
    EXPECT_GT(InkFraction(page, ToPixels(layout.title, kDpi)), 0.01);
    EXPECT_GT(InkFraction(page, ToPixels(layout.names, kDpi)), 0.01);
    EXPECT_GT(InkFraction(page, ToPixels(layout.waterfall.last(), kDpi)), 0.02);
    EXPECT_GT(InkFraction(page, ToPixels(layout.grid, kDpi)), 0.02);
}

INSTANTIATE_TEST_SUITE_P(RealFonts, GlyphseePdfTest,
                         ::testing::Values("dejavu/DejaVuSans.ttf",
                                           "dejavu/DejaVuSerif-BoldItalic.ttf",
                                           "liberation/LiberationMono-Regular.ttf",
                                           "liberation/LiberationSerif-Italic.ttf"));

TEST(GlyphseeProcessTest, pathsWithBlanksArriveAsOneArgument) {
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("my fonts/old ones")));
    const QString font = dir.filePath(QStringLiteral("my fonts/old ones/Liberation Serif.ttf"));
    ASSERT_TRUE(
        QFile::copy(SystemFont(QStringLiteral("liberation/LiberationSerif-Regular.ttf")), font));
    const QString out = dir.filePath(QStringLiteral("my fonts/sample sheet.pdf"));

    const ProcessResult run = RunGlyphsee({QStringLiteral("--pdf"), out, font});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QImage page = RenderPdfPage(out, kDpi);
    ASSERT_FALSE(page.isNull());
    EXPECT_GT(InkFraction(page, ToPixels(layoutSampleSheet().grid, kDpi)), 0.02);
}

TEST(GlyphseeProcessTest, fontClaimingAnInstalledFamilyKeepsItsOwnGlyphsInThePdf) {
    QTemporaryDir dir;
    const QString original = SystemFont(QStringLiteral("liberation/LiberationSerif-Italic.ttf"));
    const QString impostor = dir.filePath(QStringLiteral("impostor.ttf"));
    ASSERT_EQ(RenameFamily(original, impostor, QStringLiteral("DejaVu Sans")), QString());

    const QImage claimed = PdfOf(impostor, dir.filePath(QStringLiteral("claimed.pdf")));
    const QImage own = PdfOf(original, dir.filePath(QStringLiteral("own.pdf")));
    const QImage installed = PdfOf(SystemFont(QStringLiteral("dejavu/DejaVuSans.ttf")),
                                   dir.filePath(QStringLiteral("installed.pdf")));
    ASSERT_FALSE(claimed.isNull() || own.isNull() || installed.isNull());

    const SheetLayout layout = layoutSampleSheet();
    const QRect sample = ToPixels(layout.waterfall.first().united(layout.grid), kDpi);
    EXPECT_EQ(DifferingPixels(claimed, own, sample), 0);
    EXPECT_GT(DifferingPixels(claimed, installed, sample), 5000);
    // The names differ, so the sheets do too.
    EXPECT_GT(DifferingPixels(claimed, own, ToPixels(layout.names, kDpi)), 0);
}

struct BrokenInput {
    const char* name;
    const char* reason;
    QString (*make)(const QTemporaryDir& dir);
};

class GlyphseeBrokenInputTest : public ::testing::TestWithParam<BrokenInput> {};

TEST_P(GlyphseeBrokenInputTest, exitsNonZeroWithAMessageAndWritesNothing) {
    QTemporaryDir dir;
    const QString font = GetParam().make(dir);
    const QString out = dir.filePath(QStringLiteral("sheet.pdf"));
    const ProcessResult run = RunGlyphsee({QStringLiteral("--pdf"), out, font});
    EXPECT_FALSE(run.crashed);
    EXPECT_NE(run.exitCode, 0);
    EXPECT_TRUE(run.err.contains(QString::fromUtf8(GetParam().reason))) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains(font)) << run.err.toStdString();
    EXPECT_FALSE(QFile::exists(out));
}

QString Write(const QTemporaryDir& dir, const char* name, const QByteArray& bytes) {
    const QString path = dir.filePath(QString::fromUtf8(name));
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
    return path;
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, GlyphseeBrokenInputTest,
    ::testing::Values(
        BrokenInput{"textFile", "Not a TrueType file.",
                    [](const QTemporaryDir& d) { return Write(d, "readme.ttf", "plain text\n"); }},
        BrokenInput{"zeroBytes", "Not a TrueType file.",
                    [](const QTemporaryDir& d) { return Write(d, "zero.ttf", {}); }},
        BrokenInput{"cutShort", "Cannot show",
                    [](const QTemporaryDir& d) {
                        QFile real(SystemFont(QStringLiteral("dejavu/DejaVuSans.ttf")));
                        real.open(QIODevice::ReadOnly);
                        return Write(d, "cut short.ttf", real.read(4000));
                    }},
        BrokenInput{
            "missing", "Font File Not Found.",
            [](const QTemporaryDir& d) { return d.filePath(QStringLiteral("no such.ttf")); }},
        BrokenInput{"folder", "folder", [](const QTemporaryDir& d) { return d.path(); }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(GlyphseeProcessTest, noFontArgumentExitsNonZero) {
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("sheet.pdf"));
    const ProcessResult run = RunGlyphsee({QStringLiteral("--pdf"), out});
    EXPECT_FALSE(run.crashed);
    EXPECT_NE(run.exitCode, 0);
    EXPECT_TRUE(run.err.contains(QStringLiteral("No font file given"))) << run.err.toStdString();
    EXPECT_FALSE(QFile::exists(out));
}

TEST(GlyphseeProcessTest, twoFontArgumentsAreRefused) {
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("sheet.pdf"));
    const QString font = SystemFont(QStringLiteral("dejavu/DejaVuSans.ttf"));
    const ProcessResult run = RunGlyphsee({QStringLiteral("--pdf"), out, font, font});
    EXPECT_NE(run.exitCode, 0);
    EXPECT_TRUE(run.err.contains(QStringLiteral("one font file"))) << run.err.toStdString();
    EXPECT_FALSE(QFile::exists(out));
}

TEST(GlyphseeProcessTest, unwritableOutputExitsNonZeroAndKeepsTheOldFile) {
    QTemporaryDir dir;
    const QString font = SystemFont(QStringLiteral("dejavu/DejaVuSans.ttf"));
    const ProcessResult nowhere = RunGlyphsee(
        {QStringLiteral("--pdf"), dir.filePath(QStringLiteral("no folder/sheet.pdf")), font});
    EXPECT_NE(nowhere.exitCode, 0);
    EXPECT_TRUE(nowhere.err.contains(QStringLiteral("Cannot write"))) << nowhere.err.toStdString();

    // A broken font never clobbers an earlier sheet.
    const QString out = dir.filePath(QStringLiteral("kept.pdf"));
    Write(dir, "kept.pdf", "earlier sheet");
    const ProcessResult broken =
        RunGlyphsee({QStringLiteral("--pdf"), out, Write(dir, "bad.ttf", "xx")});
    EXPECT_NE(broken.exitCode, 0);
    EXPECT_EQ(Head(out, 100), QByteArray("earlier sheet"));
}

TEST(GlyphseeProcessTest, buildTreeKeepsTheViewerBesideTheProgram) {
    // View / Print looks beside the running program first.
    EXPECT_EQ(QFileInfo(QStringLiteral(GLYPHSEE_PATH)).absolutePath(),
              QFileInfo(QStringLiteral(QUILLMARK_PATH)).absolutePath());
}
