// File names as text: every byte string comes back as itself, and what the user sees of it is
// visible text.

#include "platform/FileNames.h"

#include <QList>
#include <gtest/gtest.h>
#include <random>
#include <string>

using namespace qm::platform;

namespace {

// Characters that would not show, or would show as something else than the name's bytes (a
// lone surrogate becomes U+FFFD).
bool invisible(char32_t u) {
    return u < 0x20 || (u >= 0x7F && u <= 0x9F) || u == 0xFFFD;
}

TEST(FileNameText, everyByteStringComesBackWhateverItHoldsAndShowsVisibly) {
    // Bytes that make the escapes ambiguous if anything does: backslashes, "x" and hex digits,
    // Latin-1 letters, UTF-8 pieces, overlong and surrogate forms, controls, the slash.
    const std::string alphabet = "\\xXE9aF0/ .\xE9\xFF\xC3\xA9\xC0\xAF\xED\xA0\x80"
                                 "\xF0\x9F\x98\xC2\x85\x0A\x7F\x01";
    std::mt19937 random(20);
    std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
    std::uniform_int_distribution<int> length(0, 10);
    for (int round = 0; round < 50000; ++round) {
        std::string bytes;
        for (int n = length(random); n > 0; --n)
            bytes += alphabet[pick(random)];
        const QString text = fileNameText(bytes);
        ASSERT_EQ(fileNameBytes(text), bytes) << text.toStdString();
        for (uint c : text.toUcs4())
            ASSERT_FALSE(invisible(c)) << text.toStdString();
    }
}

struct ShownRow {
    const char* name;
    std::string bytes;
    QString shown;
};

class FileNameShown : public ::testing::TestWithParam<ShownRow> {};

TEST_P(FileNameShown, asTheUserReadsIt) {
    EXPECT_EQ(fileNameText(GetParam().bytes), GetParam().shown);
    EXPECT_EQ(fileNameBytes(GetParam().shown), GetParam().bytes);
}

INSTANTIATE_TEST_SUITE_P(
    Names, FileNameShown,
    ::testing::Values(ShownRow{"Utf8", "/fonts/caf\xC3\xA9 \xE2\x84\xA2.ttf",
                               QString::fromUtf8("/fonts/café ™.ttf")},
                      ShownRow{"Latin1", "caf\xE9.ttf", QStringLiteral("caf\\xE9.ttf")},
                      ShownRow{"CutUtf8", "a\xC3", QStringLiteral("a\\xC3")},
                      ShownRow{"LineBreak", "two\nlines", QStringLiteral("two\\x0Alines")},
                      ShownRow{"PlainBackslash", "a\\b.ttf", QStringLiteral("a\\b.ttf")},
                      ShownRow{"BackslashBeforeEscapeText", "\\xE9", QStringLiteral("\\\\xE9")}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
