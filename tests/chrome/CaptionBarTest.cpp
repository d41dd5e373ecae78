#include "controls/CaptionBar.h"
#include "controls/RollerGeometry.h"
#include "controls/SystemColors.h"

#include <QFontMetrics>
#include <QMenu>

#include <QPainter>
#include <QPushButton>
#include <QTest>
#include <cstdlib>
#include <gtest/gtest.h>
#include <memory>

using qm::controls::AppNamePart;
using qm::controls::captionButtonRects;
using qm::controls::CaptionPart;
using qm::controls::captionPartOf;
using qm::controls::CaptionPartText;
using qm::controls::captionTextArea;
using qm::controls::CompanyPart;
using qm::controls::defaultUiFont;
using qm::controls::formStyleOf;
using qm::controls::GradientBand;
using qm::controls::gradientBands;
using qm::controls::gradientShown;
using qm::controls::joinCaptionParts;
using qm::controls::layoutCaptionParts;
using qm::controls::mulDiv;
using qm::controls::TSystemMetrics;

namespace {

const QString Caption = QStringLiteral("Quillmark 2.3 - Copyright \u00a9 1998 Solvane Vantrel");

struct MulDivRow {
    const char* name;
    int a, b, c, expected;
};

class MulDiv : public ::testing::TestWithParam<MulDivRow> {};

TEST_P(MulDiv, roundsHalvesAwayFromZero) {
    const MulDivRow& r = GetParam();
    EXPECT_EQ(mulDiv(r.a, r.b, r.c), r.expected);
}

INSTANTIATE_TEST_SUITE_P(Caption, MulDiv,
                         ::testing::Values(MulDivRow{"Exact", 6, 10, 3, 20},
                                           MulDivRow{"HalfUp", 3, 1, 2, 2},
                                           MulDivRow{"HalfDownNegative", -3, 1, 2, -2},
                                           MulDivRow{"BelowHalf", 1, 128, 63, 2},
                                           MulDivRow{"NegativeDivisor", 7, 2, -4, -4},
                                           MulDivRow{"NoOverflow", 100000, 100000, 100000, 100000},
                                           MulDivRow{"ZeroDivisor", 5, 5, 0, -1}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(GradientBands, oneBandIsTheStartColourAcrossTheArea) {
    const QRect area(3, 3, 565, 18);
    const auto bands = gradientBands(area, QColor(128, 0, 0), QColor(0, 0, 128), 1);
    ASSERT_EQ(bands.size(), 1u);
    EXPECT_EQ(bands[0].rect, area);
    EXPECT_EQ(bands[0].color, QColor(128, 0, 0));
}

TEST(GradientBands, sixtyFourBandsCoverTheAreaFromStartToEnd) {
    const QRect area(3, 3, 565, 18);
    const QColor start(0, 0, 0), end(0, 0, 128);
    const auto bands = gradientBands(area, start, end, 64);
    ASSERT_EQ(bands.size(), 64u);
    int x = area.left();
    int previousBlue = -1;
    for (const GradientBand& b : bands) {
        EXPECT_EQ(b.rect.left(), x);
        EXPECT_EQ(b.rect.height(), area.height());
        EXPECT_TRUE(b.rect.width() == 565 / 64 || b.rect.width() == 565 / 64 + 1);
        EXPECT_GE(b.color.blue(), previousBlue);
        previousBlue = b.color.blue();
        x += b.rect.width();
    }
    EXPECT_EQ(x, area.left() + area.width());
    EXPECT_EQ(bands.front().color, start);
    EXPECT_EQ(bands.back().color, end);
    // 128 / 63 per step, rounded: 2.03 -> 2, 32 * 2.03 = 65.0 -> 65, 62 * 2.03 = 125.97 -> 126.
    EXPECT_EQ(bands[1].color.blue(), 2);
    EXPECT_EQ(bands[32].color.blue(), 65);
    EXPECT_EQ(bands[62].color.blue(), 126);
}

struct GradientRow {
    const char* name;
    TGradEnabled enabled;
    bool active;
    int depth;
    bool shown;
};

class GradientChoice : public ::testing::TestWithParam<GradientRow> {};

TEST_P(GradientChoice, followsEnabled) {
    const GradientRow& r = GetParam();
    EXPECT_EQ(gradientShown(r.enabled, r.active, r.depth), r.shown);
}

INSTANTIATE_TEST_SUITE_P(
    Caption, GradientChoice,
    ::testing::Values(GradientRow{"AlwaysInactive4Bit", geAlways, false, 4, true},
                      GradientRow{"NeverActive32Bit", geNever, true, 32, false},
                      GradientRow{"WhenActiveActive", geWhenActive, true, 4, true},
                      GradientRow{"WhenActiveInactive", geWhenActive, false, 32, false},
                      GradientRow{"SmartActive8Bit", geSmart, true, 8, true},
                      GradientRow{"SmartInactive8Bit", geSmart, false, 8, false},
                      GradientRow{"SmartInactive16Bit", geSmart, false, 16, true},
                      GradientRow{"SmartActive4Bit", geSmart, true, 4, false}),
    [](const auto& info) { return std::string(info.param.name); });

struct JoinRow {
    const char* name;
    std::array<QString, 3> captions;
    std::array<bool, 3> visible;
    QString expected;
};

class JoinParts : public ::testing::TestWithParam<JoinRow> {};

TEST_P(JoinParts, blankOnlyAfterANonEmptyPartWithAVisiblePartToItsRight) {
    EXPECT_EQ(joinCaptionParts(GetParam().captions, GetParam().visible), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Caption, JoinParts,
    ::testing::Values(
        JoinRow{"AllThree",
                {"Solvane", "Quillmark", "Doc"},
                {true, true, true},
                "Solvane Quillmark Doc"},
        JoinRow{"EmptyPartsGiveNoBlank", {"", "", Caption}, {true, true, true}, Caption},
        JoinRow{
            "HiddenCompany", {"Solvane", "Quillmark", "Doc"}, {false, true, true}, "Quillmark Doc"},
        JoinRow{"HiddenCaption",
                {"Solvane", "Quillmark", "Doc"},
                {true, true, false},
                "Solvane Quillmark"},
        JoinRow{"EmptyMiddle", {"Solvane", "", "Doc"}, {true, true, true}, "Solvane Doc"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CaptionPartOf, stripsTheVisiblePrefixesOnly) {
    EXPECT_EQ(captionPartOf("Solvane Quillmark Doc", "Solvane", true, "Quillmark", true), "Doc");
    EXPECT_EQ(captionPartOf(Caption, "", true, "", true), Caption);
    // A prefix that is not in the caption removes nothing.
    EXPECT_EQ(captionPartOf("Quillmark", "Acme", true, "", true), "Quillmark");
    EXPECT_EQ(captionPartOf("Solvane Doc", "Solvane", false, "", true), "Solvane Doc");
}

struct DropRow {
    const char* name;
    int slack; // pixels added to the width the listed parts need
    std::vector<int> parts;
};

class DropOrder : public ::testing::TestWithParam<DropRow> {};

TEST_P(DropOrder, dropsCompanyFirstThenApplicationName) {
    QFont plain = defaultUiFont();
    QFont bold = plain;
    bold.setBold(true);
    const std::array<CaptionPartText, 3> parts = {
        CaptionPartText{QStringLiteral("Solvane Vantrel Software"), bold, true},
        CaptionPartText{QStringLiteral("Quillmark"), bold, true},
        CaptionPartText{Caption, plain, true}};
    std::array<int, 3> need{};
    for (int i = 0; i < 3; ++i)
        need[i] = QFontMetrics(parts[i].font).horizontalAdvance(parts[i].text) + 3;
    int width = GetParam().slack;
    for (int i : GetParam().parts)
        width += need[i];
    const QRect area(20, 3, width, 18);
    const auto drawn = layoutCaptionParts(area, parts, jLeft);
    std::vector<int> order;
    for (const auto& d : drawn)
        order.push_back(d.part);
    EXPECT_EQ(order, GetParam().parts);
    // Each part starts 3 pixels after the previous one ends.
    int x = area.left();
    for (const auto& d : drawn) {
        EXPECT_EQ(d.rect.left(), x + 3);
        x += need[d.part];
    }
    if (GetParam().slack < 0) {
        ASSERT_EQ(drawn.size(), 1u);
        EXPECT_TRUE(drawn[0].text.endsWith(QChar(0x2026))) << drawn[0].text.toStdString();
    } else {
        for (const auto& d : drawn)
            EXPECT_EQ(d.text, parts[d.part].text);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Caption, DropOrder,
    ::testing::Values(DropRow{"AllFit", 0, {CompanyPart, AppNamePart, CaptionPart}},
                      DropRow{"CompanyDropped", 0, {AppNamePart, CaptionPart}},
                      DropRow{"OnlyCaption", 0, {CaptionPart}},
                      DropRow{"CaptionCutWithEllipsis", -40, {CaptionPart}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Justification, centreAndRightPlaceTheDrawnWidth) {
    const std::array<CaptionPartText, 3> parts = {
        CaptionPartText{QString(), defaultUiFont(), false},
        CaptionPartText{QString(), defaultUiFont(), false},
        CaptionPartText{QStringLiteral("Quillmark"), defaultUiFont(), true}};
    const int w = QFontMetrics(defaultUiFont()).horizontalAdvance(QStringLiteral("Quillmark")) + 3;
    const QRect area(10, 0, 300, 18);
    EXPECT_EQ(layoutCaptionParts(area, parts, jLeft)[0].rect.left(), 13);
    EXPECT_EQ(layoutCaptionParts(area, parts, jAuto)[0].rect.left(), 13);
    EXPECT_EQ(layoutCaptionParts(area, parts, jCenter)[0].rect.left(), 10 + (300 - w) / 2 + 3);
    EXPECT_EQ(layoutCaptionParts(area, parts, jRight)[0].rect.left(), 10 + 300 - w + 3);
}

TEST(CaptionOwner, refusesAnythingButAMainWindow) {
    QWidget top;
    auto* child = new QPushButton(&top);
    EXPECT_THROW(TMSOfficeCaption{child}, EOwnerError);
    EXPECT_THROW(TMSOfficeCaption{nullptr}, EOwnerError);
}

// A client area of 200 x 100 with one child at its origin, as the main window builds it.
class CaptionBarTest : public ::testing::Test {
protected:
    void SetUp() override {
        form = std::make_unique<QWidget>(nullptr, Qt::Window | Qt::WindowSystemMenuHint |
                                                      Qt::WindowMinimizeButtonHint |
                                                      Qt::WindowCloseButtonHint);
        form->setFixedSize(300, 100);
        content = new QWidget(form.get());
        content->setObjectName(QStringLiteral("Panel1"));
        content->setGeometry(0, 0, 300, 100);
        form->setWindowTitle(Caption);
        bar = new TMSOfficeCaption(form.get());
        form->move(40, 50);
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    }
    QRect textArea() const {
        return captionTextArea(form->width(), formStyleOf(form.get()), TSystemMetrics{});
    }
    std::unique_ptr<QWidget> form;
    QWidget* content = nullptr;
    TMSOfficeCaption* bar = nullptr;
};

TEST_F(CaptionBarTest, takesOverTheFrameAroundAnUnchangedClientArea) {
    EXPECT_TRUE(form->windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_EQ(form->size(), QSize(306, 125));
    EXPECT_EQ(content->geometry(), QRect(3, 22, 300, 100));
    EXPECT_EQ(bar->geometry(), QRect(3, 3, 300, 18));
    EXPECT_EQ(bar->objectName(), QStringLiteral("TitleBar"));
    // The frame: light outer edge at the top-left, black at the bottom-right.
    const QImage shot = form->grab().toImage();
    EXPECT_EQ(shot.pixel(0, 60), qm::controls::system::btnFace().rgb());
    EXPECT_EQ(shot.pixel(1, 60), qm::controls::system::btnHighlight().rgb());
    EXPECT_EQ(shot.pixel(305, 60), qm::controls::system::windowFrame().rgb());
}

TEST_F(CaptionBarTest, theWindowCaptionIsTheOnlyText) {
    EXPECT_EQ(bar->CaptionText()->Caption(), Caption);
    bar->captionImage();
    const auto& drawn = bar->drawnParts();
    ASSERT_EQ(drawn.size(), 1u);
    EXPECT_EQ(drawn[0].part, CaptionPart);
    EXPECT_FALSE(drawn[0].text.startsWith(QLatin1Char(' ')));
    // After the icon (16 + 1) and the 3-pixel gap.
    EXPECT_EQ(drawn[0].rect.left(), textArea().left() + 17 + 3);
    // The window is narrow: the caption is cut with an ellipsis.
    EXPECT_TRUE(drawn[0].text.endsWith(QChar(0x2026)));
}

TEST_F(CaptionBarTest, changingPartsRebuildsTheWindowCaption) {
    form->setWindowTitle(QStringLiteral("Quillmark"));
    bar->CompanyText()->setCaption(QStringLiteral("Solvane"));
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Solvane Quillmark"));
    bar->CompanyText()->setCaption(QStringLiteral("Vantrel"));
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Vantrel Quillmark"));
    EXPECT_EQ(bar->CaptionText()->Caption(), QStringLiteral("Quillmark"));
    bar->CompanyText()->setVisible(false);
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Quillmark"));
    bar->CaptionText()->setCaption(QStringLiteral("Doc"));
    bar->AppNameText()->setCaption(QStringLiteral("App"));
    EXPECT_EQ(form->windowTitle(), QStringLiteral("App Doc"));
    EXPECT_EQ(bar->CaptionText()->Caption(), QStringLiteral("Doc"));
}

struct BandRow {
    const char* name;
    int numColors;
    bool startAtRightEnd; // the start colour reaches the right end only with one band
};

class CaptionBands : public CaptionBarTest, public ::testing::WithParamInterface<BandRow> {};

TEST_P(CaptionBands, paintsTheGradientInTheTextArea) {
    form->setWindowTitle(QString());
    bar->setColor(QColor(128, 0, 0));
    bar->setGradientEnabled(geAlways);
    bar->setNumColors(GetParam().numColors);
    const QImage img = bar->captionImage();
    const QRect area = textArea().translated(-bar->pos());
    const QColor barColour = bar->isActive() ? qm::controls::system::activeCaption()
                                             : qm::controls::system::inactiveCaption();
    const QRgb rightEnd = img.pixel(area.right(), area.center().y());
    EXPECT_EQ(rightEnd, GetParam().startAtRightEnd ? QColor(128, 0, 0).rgb() : barColour.rgb());
    // The text area's first column, left of the icon: the start colour in both cases.
    EXPECT_EQ(img.pixel(area.left(), area.center().y()), QColor(128, 0, 0).rgb());
}

INSTANTIATE_TEST_SUITE_P(Caption, CaptionBands,
                         ::testing::Values(BandRow{"OneColour", 1, true},
                                           BandRow{"SixtyFour", 64, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(CaptionBarTest, numColorsStaysWithinOneTo256) {
    bar->setNumColors(300);
    EXPECT_EQ(bar->NumColors(), 256);
    bar->setNumColors(0);
    EXPECT_EQ(bar->NumColors(), 256);
    bar->setNumColors(-3);
    EXPECT_EQ(bar->NumColors(), 256);
    bar->setNumColors(1);
    EXPECT_EQ(bar->NumColors(), 1);
}

TEST_F(CaptionBarTest, smartGradientOnAnEightBitDisplay) {
    bar->setDisplayDepth(8);
    bar->setColor(QColor(128, 0, 0));
    form->setWindowTitle(QString());
    const QRect area = textArea().translated(-bar->pos());
    const QPoint left(area.left(), area.center().y());
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    EXPECT_EQ(bar->captionImage().pixel(left), QColor(128, 0, 0).rgb()) << "active: gradient";
    QWidget other;
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    EXPECT_EQ(bar->captionImage().pixel(left), qm::controls::system::inactiveCaption().rgb())
        << "inactive: solid bar";
}

TEST_F(CaptionBarTest, ownerDrawsBeforeTheTexts) {
    QRect seen;
    QObject::connect(bar, &TMSOfficeCaption::OnDrawCaption, bar,
                     [&](QObject* sender, QPainter* canvas, QRect& r) {
                         EXPECT_EQ(sender, bar);
                         seen = r;
                         canvas->fillRect(r, Qt::green);
                     });
    form->setWindowTitle(QString());
    const QImage img = bar->captionImage();
    EXPECT_EQ(seen.left(), textArea().left() + 17);
    EXPECT_EQ(seen.right(), textArea().right());
    EXPECT_EQ(img.pixel(seen.center() - bar->pos()), QColor(Qt::green).rgb());
}

TEST_F(CaptionBarTest, draggingTheCaptionMovesTheWindow) {
    const QPoint start = form->pos();
    const QPoint grip(60, 9);
    QTest::mousePress(bar, Qt::LeftButton, {}, grip);
    QTest::mouseMove(bar, grip + QPoint(30, 20));
    QTest::mouseRelease(bar, Qt::LeftButton, {}, grip + QPoint(30, 20));
    EXPECT_EQ(form->pos(), start + QPoint(30, 20));
}

TEST_F(CaptionBarTest, closeButtonAndSystemMenuClose) {
    const QRect close =
        captionButtonRects(form->width(), formStyleOf(form.get()), TSystemMetrics{}).close;
    const QPoint onClose = close.center() - bar->pos();
    QTest::mousePress(bar, Qt::LeftButton, {}, onClose);
    QTest::mouseMove(bar, onClose + QPoint(0, 40));
    QTest::mouseRelease(bar, Qt::LeftButton, {}, onClose + QPoint(0, 40));
    EXPECT_TRUE(form->isVisible()) << "released off the button: nothing";
    QTest::mouseClick(bar, Qt::LeftButton, {}, onClose);
    EXPECT_FALSE(form->isVisible());

    form->show();
    QTest::mouseClick(bar, Qt::RightButton, {}, QPoint(60, 9));
    QMenu* menu = bar->systemMenu();
    ASSERT_TRUE(menu->isVisible());
    QStringList texts;
    for (QAction* a : menu->actions())
        if (!a->isSeparator())
            texts << a->text();
    EXPECT_EQ(texts, QStringList({QStringLiteral("Mi&nimize"), QStringLiteral("&Close")}));
    menu->actions().last()->trigger();
    EXPECT_FALSE(form->isVisible());
}

TEST_F(CaptionBarTest, altF4Closes) {
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    QTest::keyClick(content, Qt::Key_F4, Qt::AltModifier);
    EXPECT_FALSE(form->isVisible());
}

// The keyboard reaches the system menu and what it holds: Alt+Space, then N minimises.
TEST_F(CaptionBarTest, altSpaceOpensTheSystemMenuUnderTheCaption) {
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    QTest::keyClick(content, Qt::Key_Space, Qt::AltModifier);
    QMenu* menu = bar->systemMenu();
    ASSERT_TRUE(QTest::qWaitFor([menu] { return menu->isVisible(); }, 2000));
    EXPECT_LE(std::abs(menu->pos().y() - form->mapToGlobal(QPoint(0, textArea().bottom())).y()), 2);
    QTest::keyClick(menu, Qt::Key_N);
    EXPECT_TRUE(QTest::qWaitFor([this] { return form->isMinimized(); }, 2000));
}

} // namespace
