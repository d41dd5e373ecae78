#include "controls/MessageBox.h"

#include <gtest/gtest.h>

struct DisplayRow {
    const char* name;
    const char* text;
    const char* shown;
};

class MessageDisplayText : public ::testing::TestWithParam<DisplayRow> {};

TEST_P(MessageDisplayText, turnsLoneCarriageReturnsIntoLineBreaks) {
    EXPECT_EQ(messageDisplayText(QString::fromLatin1(GetParam().text)),
              QString::fromLatin1(GetParam().shown));
}

INSTANTIATE_TEST_SUITE_P(Rows, MessageDisplayText,
                         ::testing::Values(DisplayRow{"plain", "Error!", "Error!"},
                                           DisplayRow{"loneCR", "Just A Quick Reminder:\r\rThere",
                                                      "Just A Quick Reminder:\n\nThere"},
                                           DisplayRow{"crlfIsOneBreak", "a\r\nb", "a\nb"},
                                           DisplayRow{"trailingCR", "line\r", "line\n"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(MessageBoxSeam, recorderSeesTitleAndTextAsWritten) {
    MessageBoxRecorder rec;
    showError(nullptr, QStringLiteral("one\rtwo"));
    showInformation(nullptr, QStringLiteral("three"));
    ASSERT_EQ(rec.shown().size(), 2u);
    EXPECT_EQ(rec.shown()[0].title, QStringLiteral("Error"));
    EXPECT_EQ(rec.shown()[0].text, QStringLiteral("one\rtwo"));
    EXPECT_EQ(rec.shown()[1].title, QStringLiteral("Information"));
    EXPECT_EQ(rec.shown()[1].kind, MessageKind::Information);
}

TEST(MessageBoxSeam, innerRecorderTakesOverAndHandsBack) {
    MessageBoxRecorder outer;
    {
        MessageBoxRecorder inner;
        showError(nullptr, QStringLiteral("inner"));
        EXPECT_EQ(inner.shown().size(), 1u);
    }
    showError(nullptr, QStringLiteral("outer"));
    ASSERT_EQ(outer.shown().size(), 1u);
    EXPECT_EQ(outer.shown()[0].text, QStringLiteral("outer"));
}
