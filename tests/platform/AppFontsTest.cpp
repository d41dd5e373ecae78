#include "platform/AppFonts.h"

#include <QDirIterator>
#include <QFile>
#include <QFontDatabase>
#include <QFontInfo>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using qm::platform::AppFonts;

namespace {

const QString kSerif = QStringLiteral("/usr/share/fonts/truetype/dejavu/DejaVuSerif.ttf");
const QString kMono = QStringLiteral("/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf");

// Copies a Debian font and gives it new family and style names (IDs 1, 2, 4, 6, 16, 17)
// with fontTools, the independent tool.
QString renamedCopy(const QTemporaryDir& dir, const QString& source, const QString& family,
                    const QString& style, const QString& fileName) {
    const QString out = dir.filePath(fileName);
    const QString script = QStringLiteral(
        "import sys\n"
        "from fontTools.ttLib import TTFont\n"
        "f = TTFont(sys.argv[1])\n"
        "fam, sty = sys.argv[3], sys.argv[4]\n"
        "n = f['name']\n"
        "n.names = [r for r in n.names if r.nameID not in (1, 2, 3, 4, 6, 16, 17)]\n"
        "for pid, eid, lid in ((3, 1, 0x409), (1, 0, 0)):\n"
        "    for nid, text in ((1, fam), (2, sty), (3, fam + ' ' + sty), (4, fam + ' ' + sty),\n"
        "                      (6, (fam + '-' + sty).replace(' ', '')), (16, fam), (17, sty)):\n"
        "        n.setName(text, nid, pid, eid, lid)\n"
        "f.save(sys.argv[2])\n");
    QProcess python;
    python.start(QStringLiteral("/usr/bin/python3"),
                 {QStringLiteral("-c"), script, source, out, family, style});
    if (!python.waitForFinished(60000) || python.exitCode() != 0) {
        ADD_FAILURE() << python.readAllStandardError().toStdString();
        return {};
    }
    return out;
}

QImage render(const QFont& font) {
    QImage img(400, 80, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    p.setFont(font);
    p.setPen(Qt::black);
    p.drawText(img.rect(), Qt::AlignCenter, QStringLiteral("Quillmark Rag 123"));
    return img;
}

QFont byFamily(const QString& family, int pixelSize) {
    QFont f;
    f.setFamilies({family});
    f.setPixelSize(pixelSize);
    return f;
}

class AppFontsTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!QFile::exists(kSerif) || !QFile::exists(kMono)) {
            GTEST_SKIP() << "fonts-dejavu-core / fonts-dejavu-extra are not installed";
        }
        // The program has drawn its window, and so loaded the installed fonts, before it
        // registers any file; a test that registers first meets a state it never has.
        QFontDatabase::families();
    }
    QTemporaryDir dir_;
};

TEST_F(AppFontsTest, aUniqueFamilyDrawsItsOwnGlyphsOnlyWhileRegistered) {
    const QString family = QStringLiteral("Qm Probe Family Seven");
    const QString path = renamedCopy(dir_, kSerif, family, "Regular", "PROBE.TTF");
    ASSERT_FALSE(path.isEmpty());
    const QImage fallback = render(byFamily(family, 40));

    AppFonts fonts;
    ASSERT_GE(fonts.add(path), 1);
    EXPECT_TRUE(fonts.families(path).contains(family));
    // The face name drawn while registered is this file's, not the fallback.
    EXPECT_NE(render(byFamily(family, 40)), fallback);
    const QFont own = fonts.font(path, 40);
    EXPECT_TRUE(AppFonts::drawsFileGlyphs(own, path));
    EXPECT_NE(render(own), fallback);

    ASSERT_TRUE(fonts.remove(path));
    EXPECT_FALSE(fonts.isRegistered(path));
    EXPECT_EQ(render(byFamily(family, 40)), fallback) << "withdrawn: back to the fallback";
}

TEST_F(AppFontsTest, drawsTheFileEvenWhenAnInstalledFontHasItsFamily) {
    // A serif file that calls itself "DejaVu Sans Mono Book": the installed face must not win.
    const QString path = renamedCopy(dir_, kSerif, "DejaVu Sans Mono", "Book", "SHADOW.TTF");
    ASSERT_FALSE(path.isEmpty());
    AppFonts fonts;
    ASSERT_GE(fonts.add(path), 1);
    const QFont own = fonts.font(path, 40);
    const QRawFont raw = AppFonts::rawFont(path, 40);
    ASSERT_TRUE(raw.isValid());
    EXPECT_TRUE(AppFonts::drawsFileGlyphs(own, path))
        << "font(): " << QFontInfo(own).family().toStdString();
    EXPECT_FALSE(AppFonts::drawsFileGlyphs(own, kMono));
}

// The raw face is built from the tables alone: for every font of the machine it is the face Qt
// makes of the whole file, with the weight and slant fileStyle() reads, and padding after the
// tables changes nothing.
TEST_F(AppFontsTest, rawFontOfEveryMachineFontIsTheWholeFilesFace) {
    QStringList fonts;
    QDirIterator it(QStringLiteral("/usr/share/fonts"), {"*.ttf", "*.otf", "*.ttc"}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        fonts << it.next();
    ASSERT_GE(fonts.size(), 10) << "the machine's fonts (scripts/install-deps)";
    QString text;
    for (char16_t c = 32; c < 256; ++c)
        text += QChar(c);
    const auto sameFace = [&text](const QRawFont& a, const QRawFont& b) {
        return a.isValid() == b.isValid() && a.familyName() == b.familyName() &&
               a.styleName() == b.styleName() && a.weight() == b.weight() &&
               a.style() == b.style() && a.fontTable("head") == b.fontTable("head") &&
               a.glyphIndexesForString(text) == b.glyphIndexesForString(text) &&
               a.advancesForGlyphIndexes(a.glyphIndexesForString(text)) ==
                   b.advancesForGlyphIndexes(b.glyphIndexesForString(text));
    };
    for (const QString& path : fonts) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
        const QRawFont whole(file.readAll(), 20);
        EXPECT_TRUE(whole.isValid()) << path.toStdString();
        EXPECT_TRUE(sameFace(AppFonts::rawFont(path, 20), whole)) << path.toStdString();
        // The style read from two tables is the one the engine gives the whole face.
        if (!path.endsWith(QStringLiteral(".ttc"))) {
            const AppFonts::FaceStyle style = AppFonts::fileStyle(path);
            EXPECT_EQ(style.weight, whole.weight()) << path.toStdString();
            EXPECT_EQ(style.style, whole.style()) << path.toStdString();
        }
    }

    // A sparse tail of a gigabyte is never read, and a table claimed past the bound is refused.
    const QString padded = dir_.filePath(QStringLiteral("padded.ttf"));
    ASSERT_TRUE(QFile::copy(kMono, padded));
    QFile tail(padded);
    ASSERT_TRUE(tail.open(QIODevice::ReadWrite));
    ASSERT_TRUE(tail.resize(qint64(1) << 30));
    tail.close();
    EXPECT_TRUE(sameFace(AppFonts::rawFont(padded, 20), AppFonts::rawFont(kMono, 20)));
    ASSERT_TRUE(tail.open(QIODevice::ReadWrite));
    const quint32 huge = AppFonts::kMaxFaceBytes + 1;
    ASSERT_TRUE(tail.seek(12 + 12)); // the first table's length
    const char length[] = {char(huge >> 24), char(huge >> 16), char(huge >> 8), char(huge)};
    ASSERT_EQ(tail.write(length, 4), 4);
    tail.close();
    EXPECT_FALSE(AppFonts::rawFont(padded, 20).isValid());
}

struct BadFontRow {
    const char* name;
    QByteArray content; // empty with isDir: a folder; null: no file at all
};

class NotAFont : public AppFontsTest, public ::testing::WithParamInterface<BadFontRow> {};

TEST_P(NotAFont, addsNothing) {
    QString path = dir_.filePath(QString::fromUtf8(GetParam().name) + ".ttf");
    if (!GetParam().content.isNull()) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(GetParam().content);
    }
    AppFonts fonts;
    EXPECT_EQ(fonts.add(path), 0);
    EXPECT_FALSE(fonts.isRegistered(path));
    EXPECT_FALSE(fonts.remove(path));
    EXPECT_EQ(fonts.fontId(path), -1);
}

INSTANTIATE_TEST_SUITE_P(
    Files, NotAFont,
    ::testing::Values(BadFontRow{"Missing", QByteArray()}, BadFontRow{"Empty", QByteArray("")},
                      BadFontRow{"Text", QByteArray("hello, not a font\n")},
                      BadFontRow{"HeaderOnly", QByteArray("\0\1\0\0\0\0\0\0\0\0\0\0", 12)}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(AppFontsTest, pathsKeepTheirOwnIdsWhenQtReusesThem) {
    const QString a = renamedCopy(dir_, kSerif, "Qm Reuse Alpha", "Regular", "ALPHA.TTF");
    const QString b = renamedCopy(dir_, kMono, "Qm Reuse Beta", "Regular", "BETA.TTF");
    AppFonts fonts;
    ASSERT_GE(fonts.add(a), 1);
    ASSERT_TRUE(fonts.remove(a));
    ASSERT_GE(fonts.add(b), 1);
    EXPECT_FALSE(fonts.isRegistered(a));
    EXPECT_TRUE(fonts.families(b).contains("Qm Reuse Beta"));
    EXPECT_FALSE(fonts.remove(a)) << "a withdrawn path cannot withdraw the new owner of its id";
    EXPECT_TRUE(fonts.isRegistered(b));
}

TEST_F(AppFontsTest, reloadingTheSameFileStacksRegistrations) {
    const QString path = renamedCopy(dir_, kSerif, "Qm Stacked", "Regular", "STACK.TTF");
    AppFonts fonts;
    ASSERT_GE(fonts.add(path), 1);
    ASSERT_GE(fonts.add(path), 1);
    EXPECT_EQ(fonts.registrationCount(path), 2);
    EXPECT_TRUE(fonts.remove(path));
    EXPECT_TRUE(fonts.isRegistered(path));
    EXPECT_TRUE(fonts.remove(path));
    EXPECT_FALSE(fonts.isRegistered(path));
}

TEST_F(AppFontsTest, destroyingTheRegistryWithdrawsEverything) {
    const QString family = QStringLiteral("Qm Left Behind");
    const QString path = renamedCopy(dir_, kSerif, family, "Regular", "LEFT.TTF");
    const QImage fallback = render(byFamily(family, 40));
    {
        AppFonts fonts;
        ASSERT_GE(fonts.add(path), 1);
        EXPECT_NE(render(byFamily(family, 40)), fallback);
    }
    EXPECT_EQ(render(byFamily(family, 40)), fallback);
}

} // namespace
