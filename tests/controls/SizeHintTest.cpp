// A control given its size hint shows all it has to show: every pixel of its content that a
// roomy control draws is drawn at the hint too, neither cut off nor wrapped away.

#include "ControlTestUtil.h"

#include "controls/CheckBox.h"
#include "controls/ColorButton.h"
#include "controls/LcdLabel.h"
#include "controls/ThreeDLabel.h"

#include <QPixmap>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace {

const QColor kTeal(0, 128, 128);
const QColor kWhite(255, 255, 255);
const QColor kMaroon(128, 0, 0);
const QColor kRed(255, 0, 0);
const QColor kBack(192, 220, 192);
const QColor kNavy(0, 0, 128);

// Exact colours need unblended text.
void sharpFont(QWidget& w, int pixels, bool bold) {
    QFont f = w.font();
    f.setStyleStrategy(QFont::NoAntialias);
    f.setPixelSize(pixels);
    f.setBold(bold);
    w.setFont(f);
}

QPixmap square(const QColor& c) {
    QPixmap p(20, 20);
    p.fill(c);
    return p;
}

struct HintCase {
    const char* name;
    std::function<std::unique_ptr<QWidget>()> make;
    std::vector<QColor> content; // the colours only the control's content is drawn in
};

void PrintTo(const HintCase& c, std::ostream* os) {
    *os << c.name;
}

class SizeHint : public ::testing::TestWithParam<HintCase> {};

TEST_P(SizeHint, showsAllTheContentARoomyControlShows) {
    const std::unique_ptr<QWidget> w = GetParam().make();
    w->resize(600, 200);
    const QImage roomy = grabImage(*w);
    w->resize(w->sizeHint());
    const QImage hinted = grabImage(*w);
    for (const QColor& c : GetParam().content) {
        SCOPED_TRACE(c.name().toStdString());
        ASSERT_GT(countColor(roomy, c), 0);
        EXPECT_EQ(countColor(hinted, c), countColor(roomy, c));
    }
}

std::unique_ptr<TColorButton> tealButton(TColorButton::TBevelType type) {
    auto b = std::make_unique<TColorButton>();
    sharpFont(*b, 11, true);
    b->setColor(kTeal);
    b->setFontColor(kWhite);
    b->setBevelSize(4);
    b->setBevelType(type);
    return b;
}

INSTANTIATE_TEST_SUITE_P(
    Controls, SizeHint,
    ::testing::Values(HintCase{"ButtonCaption",
                               [] {
                                   auto b = tealButton(TColorButton::ctPlain);
                                   b->setCaption(QStringLiteral("Restore Original Font Names"));
                                   return std::unique_ptr<QWidget>(std::move(b));
                               },
                               {kWhite}},
                      HintCase{"ButtonPicture",
                               [] {
                                   auto b = tealButton(TColorButton::ctWin95);
                                   b->setPicture(square(kRed));
                                   b->setPictureAlignment(TColorButton::alBottomRight);
                                   return std::unique_ptr<QWidget>(std::move(b));
                               },
                               {kRed}},
                      HintCase{"CheckBox",
                               [] {
                                   auto c = std::make_unique<TBWCCCheckBox>();
                                   sharpFont(*c, 11, false);
                                   c->setCaption(QStringLiteral("Play a sound for every action"));
                                   c->setFontColor(kMaroon);
                                   c->setCheckColor(kRed);
                                   c->setColor(kBack);
                                   c->setChecked(true);
                                   return std::unique_ptr<QWidget>(std::move(c));
                               },
                               {kMaroon, kRed}},
                      HintCase{"ThreeDLabel",
                               [] {
                                   auto l = std::make_unique<TDRLabel>();
                                   sharpFont(*l, 13, true);
                                   l->setText(QStringLiteral("Easily changes TrueType Font names"));
                                   l->setColor(kBack);
                                   l->setFontColor(kNavy);
                                   l->setDeep(2);
                                   return std::unique_ptr<QWidget>(std::move(l));
                               },
                               {kNavy, kWhite}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SizeHint, autoSizedButtonHintsItsAutoSize) {
    TColorButton b;
    b.setPictureMode(TColorButton::pmAutoSize);
    b.setPicture(square(kRed));
    EXPECT_EQ(b.sizeHint(), b.size());
    b.setBevelSize(5);
    EXPECT_EQ(b.sizeHint(), b.size());
}

TEST(SizeHint, counterHintsTheSizeItSnapsTo) {
    TLCDLabel lcd;
    lcd.setDotMatrix(TLCDLabel::mat9x12);
    lcd.setPixelSize(TLCDLabel::pix3x3);
    lcd.setNoOfChars(7);
    lcd.setTextLines(2);
    lcd.updateSize();
    EXPECT_EQ(lcd.sizeHint(), lcd.size());
    lcd.resize(lcd.sizeHint());
    lcd.updateSize();
    EXPECT_EQ(lcd.noOfChars(), 7);
    EXPECT_EQ(lcd.textLines(), 2);
}

} // namespace
