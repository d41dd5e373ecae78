#include "ControlTestUtil.h"

#include "controls/FontImageLabel.h"

#include <QFontMetrics>
#include <gtest/gtest.h>

namespace {

TFIFont testFont() {
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(18);
    return {f, QColor(0, 0, 128)};
}

void designed(TMyFontImage& image) {
    image.setDesigning(true);
    image.setFontToUse(testFont());
    image.setFontBackColor(QColor(192, 220, 192));
}

} // namespace

TEST(FontImage, defaults) {
    TMyFontImage image;
    EXPECT_TRUE(image.fontCaption().isEmpty());
    EXPECT_FALSE(image.fontBackColor().isValid()); // none
    EXPECT_EQ(image.frame(), TMyFontImage::caNone);
    EXPECT_EQ(image.horzPos(), 2);
    EXPECT_EQ(image.vertPos(), 2);
    EXPECT_EQ(image.fontToUse().font.family(), QStringLiteral("Arial"));
    EXPECT_EQ(image.fontToUse().font.pointSize(), 20);
}

TEST(FontImage, renderSizesPictureToCaptionPlusMargins) {
    TMyFontImage image;
    designed(image);
    image.setFontCaption(QStringLiteral("Quillmark"));
    const QFontMetrics fm(testFont().font);
    const QSize want(fm.horizontalAdvance(QStringLiteral("Quillmark")) + 4, fm.height() + 4);
    EXPECT_EQ(image.picture().size(), want);
    EXPECT_EQ(image.size(), want);
    image.setHorzPos(10);
    EXPECT_EQ(image.picture().width(), want.width() + 16);
}

TEST(FontImage, noneBackgroundOrEmptyCaptionLeavesThePicture) {
    TMyFontImage image;
    designed(image);
    image.setFontCaption(QStringLiteral("A"));
    const qint64 before = image.picture().cacheKey();
    image.setFontBackColor(QColor());
    image.setFontCaption(QStringLiteral("Other"));
    EXPECT_EQ(image.picture().cacheKey(), before);
    image.setFontBackColor(QColor(255, 255, 255));
    const qint64 withBack = image.picture().cacheKey();
    EXPECT_NE(withBack, before);
    image.setFontCaption(QString());
    EXPECT_EQ(image.picture().cacheKey(), withBack);
}

TEST(FontImage, atRunTimeSettersOnlyStore) {
    TMyFontImage image;
    QPixmap stored(30, 10);
    stored.fill(Qt::green);
    image.setPicture(stored);
    image.setFontBackColor(QColor(192, 220, 192));
    image.setFontCaption(QStringLiteral("changed"));
    EXPECT_EQ(image.fontCaption(), QStringLiteral("changed"));
    EXPECT_EQ(image.picture().cacheKey(), stored.cacheKey());
}

struct FrameRow {
    const char* name;
    TMyFontImage::TFrameType frame;
    QColor topLeft, bottomRight;
};

class FontImageFrame : public ::testing::TestWithParam<FrameRow> {};

TEST_P(FontImageFrame, outlinesThePicture) {
    TMyFontImage image;
    designed(image);
    image.setFrame(GetParam().frame);
    image.setFontCaption(QStringLiteral("x"));
    const QImage pic = image.picture().toImage();
    const int w = pic.width(), h = pic.height();
    EXPECT_EQ(pixelAt(pic, w / 2, 0), GetParam().topLeft);
    EXPECT_EQ(pixelAt(pic, 0, h / 2), GetParam().topLeft);
    EXPECT_EQ(pixelAt(pic, w / 2, h - 1), GetParam().bottomRight);
    EXPECT_EQ(pixelAt(pic, w - 1, h / 2), GetParam().bottomRight);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, FontImageFrame,
    ::testing::Values(FrameRow{"none", TMyFontImage::caNone, {192, 220, 192}, {192, 220, 192}},
                      FrameRow{"standard", TMyFontImage::caStandard, {0, 0, 0}, {0, 0, 0}},
                      FrameRow{"raised", TMyFontImage::ca3DRaised, {255, 255, 255}, {0, 0, 0}},
                      FrameRow{"lowered", TMyFontImage::ca3DLowered, {0, 0, 0}, {255, 255, 255}}),
    [](const auto& info) { return std::string(info.param.name); });

struct StoredRow {
    const char* name;
    const char* resource;
    QSize size;
    QColor ink;
};

class StoredPicture : public ::testing::TestWithParam<StoredRow> {};

TEST_P(StoredPicture, hasTheWindowsSizeBackgroundAndInk) {
    const QImage pic =
        QImage(QString::fromLatin1(GetParam().resource)).convertToFormat(QImage::Format_RGB32);
    ASSERT_FALSE(pic.isNull());
    EXPECT_EQ(pic.size(), GetParam().size);
    EXPECT_EQ(pixelAt(pic, 0, pic.height() - 1), QColor(192, 220, 192));
    EXPECT_GT(countColor(pic, GetParam().ink), 20);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, StoredPicture,
    ::testing::Values(
        StoredRow{"titleShadow", ":/pictures/TitleShadow.png", {317, 37}, {0, 128, 128}},
        StoredRow{"titleText", ":/pictures/TitleText.png", {317, 37}, {255, 0, 0}},
        StoredRow{"bullet1", ":/pictures/Bullet1.png", {23, 27}, {0, 0, 128}},
        StoredRow{"bullet2", ":/pictures/Bullet2.png", {23, 27}, {0, 0, 128}},
        StoredRow{"bullet3", ":/pictures/Bullet3.png", {23, 27}, {0, 0, 128}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FontImage, transparentPictureLetsTheParentShowThrough) {
    QWidget parent;
    parent.resize(317, 37);
    parent.setAutoFillBackground(true);
    QPalette pal = parent.palette();
    pal.setColor(QPalette::Window, QColor(1, 2, 3));
    parent.setPalette(pal);
    auto* image = new TMyFontImage(&parent);
    image->setPicture(QPixmap(QStringLiteral(":/pictures/TitleText.png")));
    image->resize(317, 37);
    image->setTransparent(true);
    const QImage shown = grabImage(parent);
    EXPECT_EQ(pixelAt(shown, 0, 36), QColor(1, 2, 3));
    EXPECT_EQ(countColor(shown, QColor(192, 220, 192)), 0);
    EXPECT_GT(countColor(shown, QColor(255, 0, 0)), 20);
}
