#include "ControlTestUtil.h"

#include "controls/CheckBox.h"
#include "controls/ToggleMath.h"

#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

using qm::controls::acceleratorOf;
using qm::controls::blendColor;

namespace {

const QColor kRed(255, 0, 0);
const QColor kFace(192, 220, 192);

// A "Sound On" box, shown in an active window so focus and shortcuts work.
struct Fixture {
    QWidget window;
    TBWCCCheckBox* box;
    Fixture() {
        window.resize(200, 40);
        box = new TBWCCCheckBox(&window);
        box->setGeometry(10, 10, 69, 17);
        box->setCaption(QStringLiteral("&Sound On"));
        box->setCheckColor(kRed);
        box->setColor(kFace);
        window.show();
        window.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
    }
};

} // namespace

struct AccelRow {
    const char* name;
    const char* caption;
    char16_t accel; // 0: none
};

class Accelerator : public ::testing::TestWithParam<AccelRow> {};

TEST_P(Accelerator, isTheCharacterAfterTheFirstAmpersand) {
    EXPECT_EQ(acceleratorOf(QString::fromLatin1(GetParam().caption)), QChar(GetParam().accel));
}

INSTANTIATE_TEST_SUITE_P(Rows, Accelerator,
                         ::testing::Values(AccelRow{"first", "&Sound On", u'S'},
                                           AccelRow{"inner", "Help &On", u'O'},
                                           AccelRow{"doubledOnly", "Tom && Jerry", 0},
                                           AccelRow{"doubledFirst", "a&&b&c", 0},
                                           AccelRow{"last", "Sound&", 0},
                                           AccelRow{"none", "Sound On", 0}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(BlendColor, movesTowardWhiteOrBlack) {
    EXPECT_EQ(blendColor(QColor(128, 0, 0), 50), QColor(191, 127, 127));
    EXPECT_EQ(blendColor(QColor(128, 0, 255), -50), QColor(64, 0, 128)); // 255 - 127
    EXPECT_EQ(blendColor(QColor(10, 20, 30), 0), QColor(10, 20, 30));
}

TEST(CheckBox, defaults) {
    TBWCCCheckBox box;
    EXPECT_EQ(box.size(), QSize(113, 17));
    EXPECT_EQ(box.state(), TCheckBoxBase::cbUnchecked);
    EXPECT_FALSE(box.checked());
    EXPECT_TRUE(box.tabStop());
    EXPECT_EQ(box.checkColor(), QColor(0, 0, 0));
}

TEST(CheckBox, stateChangesAnnounceAClickEvenFromTheProgram) {
    TBWCCCheckBox box;
    QSignalSpy clicks(&box, &TCheckBoxBase::clicked);
    box.setChecked(true);
    EXPECT_EQ(clicks.count(), 1);
    box.setChecked(true);
    EXPECT_EQ(clicks.count(), 1);
    box.setState(TCheckBoxBase::cbGrayed);
    EXPECT_EQ(clicks.count(), 2);
    EXPECT_FALSE(box.checked());
}

TEST(CheckBox, pressDragOffReleaseLeavesStateDragBackToggles) {
    Fixture f;
    QSignalSpy clicks(f.box, &TCheckBoxBase::clicked);
    QTest::mousePress(f.box, Qt::LeftButton, {}, QPoint(5, 8));
    EXPECT_TRUE(f.box->pressed());
    EXPECT_TRUE(f.box->hasFocus());
    QTest::mouseMove(f.box, QPoint(150, 8));
    EXPECT_FALSE(f.box->pressed());
    QTest::mouseRelease(f.box, Qt::LeftButton, {}, QPoint(150, 8));
    EXPECT_FALSE(f.box->checked());
    EXPECT_EQ(clicks.count(), 0);

    QTest::mousePress(f.box, Qt::LeftButton, {}, QPoint(5, 8));
    QTest::mouseMove(f.box, QPoint(150, 8));
    QTest::mouseMove(f.box, QPoint(6, 8));
    EXPECT_TRUE(f.box->pressed());
    QTest::mouseRelease(f.box, Qt::LeftButton, {}, QPoint(6, 8));
    EXPECT_TRUE(f.box->checked());
    EXPECT_FALSE(f.box->pressed());
    EXPECT_EQ(clicks.count(), 1);
}

TEST(CheckBox, spaceBarPressesAndToggles) {
    Fixture f;
    f.box->setFocus();
    QTest::keyPress(f.box, Qt::Key_Space);
    EXPECT_TRUE(f.box->pressed());
    QTest::keyRelease(f.box, Qt::Key_Space);
    EXPECT_FALSE(f.box->pressed());
    EXPECT_TRUE(f.box->checked());

    QTest::keyPress(f.box, Qt::Key_Space);
    QTest::keyPress(f.box, Qt::Key_A); // another key cancels
    EXPECT_FALSE(f.box->pressed());
    QTest::keyRelease(f.box, Qt::Key_Space);
    EXPECT_TRUE(f.box->checked());
}

TEST(CheckBox, acceleratorTogglesAndFocuses) {
    Fixture f;
    auto* other = new QWidget(&f.window);
    other->setFocusPolicy(Qt::StrongFocus);
    other->setFocus();
    QTest::keyClick(&f.window, Qt::Key_S, Qt::AltModifier);
    EXPECT_TRUE(f.box->checked());
    EXPECT_TRUE(f.box->hasFocus());
}

TEST(CheckBox, doubledAmpersandGivesNoAccelerator) {
    Fixture f;
    f.box->setCaption(QStringLiteral("&&Sound On"));
    EXPECT_TRUE(f.box->accelerator().isNull());
    QTest::keyClick(&f.window, Qt::Key_S, Qt::AltModifier);
    EXPECT_FALSE(f.box->checked());
}

TEST(CheckBox, checkMarkIsDrawnInCheckColour) {
    TBWCCCheckBox box;
    box.resize(69, 17);
    box.setColor(kFace);
    box.setCheckColor(kRed);
    EXPECT_EQ(countColor(grabImage(box), kRed), 0);
    box.setChecked(true);
    const QImage image = grabImage(box);
    // Height 17: box from (1, 2) to (14, 15); the mark's strokes.
    for (QPoint p : {QPoint(3, 9), QPoint(3, 13), QPoint(4, 8), QPoint(4, 12), QPoint(4, 13),
                     QPoint(8, 9), QPoint(12, 5), QPoint(11, 5), QPoint(7, 9)})
        EXPECT_EQ(pixelAt(image, p.x(), p.y()), kRed) << p.x() << "," << p.y();
    EXPECT_NE(pixelAt(image, 3, 8), kRed);
    EXPECT_NE(pixelAt(image, 3, 14), kRed);
    // Unpressed frame: light top and left, dark bottom and right.
    EXPECT_EQ(pixelAt(image, 7, 2), QColor(255, 255, 255));
    EXPECT_EQ(pixelAt(image, 1, 8), QColor(255, 255, 255));
    EXPECT_EQ(pixelAt(image, 7, 14), QColor(128, 128, 128));
    EXPECT_EQ(pixelAt(image, 13, 8), QColor(128, 128, 128));

    box.setState(TCheckBoxBase::cbGrayed);
    const QImage grayed = grabImage(box);
    EXPECT_EQ(countColor(grayed, kRed), 0);
    EXPECT_EQ(pixelAt(grayed, 8, 9), QColor(128, 128, 128));
}

TEST(CheckBox, pressedFrameIsBlackAndShifted) {
    Fixture f;
    QTest::mousePress(f.box, Qt::LeftButton, {}, QPoint(5, 8));
    const QImage image = grabImage(*f.box);
    for (QPoint p :
         {QPoint(8, 3), QPoint(8, 4), QPoint(2, 9), QPoint(3, 9), QPoint(8, 15), QPoint(14, 9)})
        EXPECT_EQ(pixelAt(image, p.x(), p.y()), QColor(0, 0, 0)) << p.x() << "," << p.y();
    EXPECT_NE(pixelAt(image, 8, 2), QColor(255, 255, 255));
    QTest::mouseRelease(f.box, Qt::LeftButton, {}, QPoint(5, 8));
}

TEST(CheckBox, disabledTextIsBlendedHalfwayToWhite) {
    TBWCCCheckBox box;
    box.resize(69, 17);
    QFont font = box.font();
    font.setStyleStrategy(QFont::NoAntialias);
    box.setFont(font);
    box.setColor(kFace);
    box.setFontColor(QColor(128, 0, 0));
    box.setCaption(QStringLiteral("Sound On"));
    EXPECT_GT(countColor(grabImage(box), QColor(128, 0, 0)), 10);
    box.setEnabled(false);
    const QImage image = grabImage(box);
    EXPECT_EQ(countColor(image, QColor(128, 0, 0)), 0);
    EXPECT_GT(countColor(image, QColor(191, 127, 127)), 10);
}
