// Loading a font for the sheet: names through the core reader shown as Unicode, the style
// flags, and a clear reason for every file that cannot be shown.

#include "viewer/FontSample.h"
#include "ViewerTestSupport.h"
#include "tests/support/TestFonts.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace qm::viewer;
using namespace viewertest;

namespace {

QString NameOf(const FontSample& sample, const QString& label) {
    for (const auto& [key, text] : sample.names)
        if (key == label)
            return text;
    return QStringLiteral("<no such row>");
}

// Family (ID 1), full name (ID 4) and macStyle as fontTools reads them.
QStringList FontToolsView(const QString& path) {
    QProcess python;
    python.start(QStringLiteral("/usr/bin/python3"),
                 {QStringLiteral("-c"),
                  QStringLiteral("import sys\n"
                                 "from fontTools.ttLib import TTFont\n"
                                 "f = TTFont(sys.argv[1])\n"
                                 "n = f['name']\n"
                                 "print(n.getName(1, 3, 1, 0x409).toUnicode())\n"
                                 "print(n.getName(4, 3, 1, 0x409).toUnicode())\n"
                                 "print(f['head'].macStyle)\n"),
                  path});
    python.waitForFinished(60000);
    return QString::fromUtf8(python.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
}

} // namespace

class RealFontSampleTest : public ::testing::TestWithParam<const char*> {};

TEST_P(RealFontSampleTest, namesAndFlagsAgreeWithFontTools) {
    const QString path = SystemFont(QString::fromUtf8(GetParam()));
    const QStringList expected = FontToolsView(path);
    ASSERT_EQ(expected.size(), 3);
    const FontSample sample = loadFontSample(path);
    ASSERT_TRUE(sample.ok()) << sample.error.toStdString();
    EXPECT_EQ(NameOf(sample, QStringLiteral("Family name")), expected[0]);
    EXPECT_EQ(NameOf(sample, QStringLiteral("Full name")), expected[1]);
    EXPECT_EQ(sample.fullName, expected[1]);
    const int macStyle = expected[2].toInt();
    EXPECT_EQ(sample.bold, (macStyle & 1) != 0);
    EXPECT_EQ(sample.italic, (macStyle & 2) != 0);
    EXPECT_TRUE(sample.face.isValid());
    EXPECT_EQ(sample.names.size(), 8u);
}

INSTANTIATE_TEST_SUITE_P(Debian, RealFontSampleTest,
                         ::testing::Values("dejavu/DejaVuSans.ttf",
                                           "dejavu/DejaVuSans-BoldOblique.ttf",
                                           "liberation/LiberationSerif-Italic.ttf",
                                           "liberation/LiberationMono-Bold.ttf"));

TEST(FontSampleTest, trademarkSignInTheFamilyNameIsShownAsTheSign) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("mark.ttf"));
    ASSERT_EQ(RenameFamily(SystemFont(QStringLiteral("dejavu/DejaVuSans.ttf")), path,
                           QStringLiteral("Quill\u2122 Sans")),
              QString());
    const FontSample sample = loadFontSample(path);
    ASSERT_TRUE(sample.ok()) << sample.error.toStdString();
    EXPECT_EQ(NameOf(sample, QStringLiteral("Family name")), QStringLiteral("Quill\u2122 Sans"));
}

struct BadInput {
    const char* name;
    const char* expectedReason;
    // Makes the bad path inside dir; returns it.
    QString (*make)(const QTemporaryDir& dir);
};

class UnshowableFileTest : public ::testing::TestWithParam<BadInput> {};

TEST_P(UnshowableFileTest, givesTheReasonAndThePath) {
    QTemporaryDir dir;
    const QString path = GetParam().make(dir);
    const FontSample sample = loadFontSample(path);
    EXPECT_FALSE(sample.ok());
    EXPECT_TRUE(sample.error.contains(QString::fromUtf8(GetParam().expectedReason)))
        << sample.error.toStdString();
    EXPECT_TRUE(sample.error.contains(path)) << sample.error.toStdString();
}

QString WriteBytes(const QTemporaryDir& dir, const char* name, const QByteArray& bytes) {
    const QString path = dir.filePath(QString::fromUtf8(name));
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
    return path;
}

QByteArray RealFontHead(int bytes) {
    QFile file(SystemFont(QStringLiteral("dejavu/DejaVuSans.ttf")));
    file.open(QIODevice::ReadOnly);
    return file.read(bytes);
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, UnshowableFileTest,
    ::testing::Values(
        BadInput{"folder", "folder",
                 [](const QTemporaryDir& dir) { return dir.path() + QLatin1Char('/'); }},
        BadInput{
            "truncatedFont", "Cannot show",
            [](const QTemporaryDir& dir) { return WriteBytes(dir, "cut.ttf", RealFontHead(600)); }},
        BadInput{"namesWithoutOutlines", "glyph outlines cannot be loaded",
                 [](const QTemporaryDir& dir) {
                     const testfonts::Bytes font = testfonts::SimpleFont();
                     return WriteBytes(dir, "names only.ttf",
                                       QByteArray(reinterpret_cast<const char*>(font.data()),
                                                  qsizetype(font.size())));
                 }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FontSampleTest, fileWithoutReadPermissionIsReportedNotThrown) {
    if (geteuid() == 0)
        GTEST_SKIP() << "root reads every file";
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("locked.ttf"));
    ASSERT_TRUE(QFile::copy(SystemFont(QStringLiteral("dejavu/DejaVuSans.ttf")), path));
    ASSERT_TRUE(QFile::setPermissions(path, QFileDevice::WriteOwner));
    const FontSample sample = loadFontSample(path);
    EXPECT_FALSE(sample.ok());
    EXPECT_TRUE(sample.error.contains(path));
}
