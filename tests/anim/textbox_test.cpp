// Text box layout over a font whose letters are all 10 pixels wide, the space 5, lines 10 high.
#include "anim/textbox.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "anim_fixtures.h"

namespace {

struct Layout {
    CGraphFont* font = grLoadFont(fixedFont(), nullptr);
    TextLines lines;
    float scale = -1;

    ~Layout() {
        freeTextLines(lines);
        grFreeFont(font);
    }
    std::vector<std::u16string> run(const char16_t* text, float w, float h, float maxScale = 1) {
        layoutTextInBox(text, &lines, &scale, font, w, h, maxScale);
        std::vector<std::u16string> out;
        for (uint32_t i = 0; i < lines.size(); ++i) out.push_back(lines[i]);
        return out;
    }
};

TEST(TextBox, Measures) {
    Layout l;
    ASSERT_NE(l.font, nullptr);
    EXPECT_EQ(textWidthF(l.font, u"ab cd"), 45);
    EXPECT_EQ(textWidthF(nullptr, u"ab"), 0);
    EXPECT_EQ(fontHeightF(l.font), 10);
    EXPECT_EQ(fontHeightF(nullptr), 0);
}

TEST(TextBox, OneLineAtTheLargestScaleThatFits) {
    Layout l;
    // 75 pixels fit at 80 % of 100: one line, as large as the width allows within maxScale.
    EXPECT_EQ(l.run(u"abc defg", 100, 40, 5), std::vector<std::u16string>{u"abc defg"});
    EXPECT_NEAR(l.scale, 100.0f / 75.0f, 1e-4f);
    l.run(u"abc defg", 100, 40, 1.2f);
    EXPECT_FLOAT_EQ(l.scale, 1.2f);
}

TEST(TextBox, ASingleWordIsNeverBroken) {
    Layout l;
    EXPECT_EQ(l.run(u"abcdefghij", 50, 100), std::vector<std::u16string>{u"abcdefghij"});
    EXPECT_FLOAT_EQ(l.scale, 0.5f);
}

TEST(TextBox, TooMuchTextGetsTheBalancedLayout) {
    Layout l;
    // 355 pixels in a box two lines high: sqrt(355 x 20 / (10 x 100)) rounds to 3 lines.
    const auto lines = l.run(u"abcd abcd abcd abcd abcd abcd abcd abcd", 100, 20);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], u"abcd abcd abcd ");
    EXPECT_EQ(lines[2], u"abcd abcd");
    EXPECT_NEAR(l.scale, 20.0f / 30.0f, 1e-5f);
    for (const auto& line : lines) EXPECT_LE(textWidthF(l.font, line.c_str()) * l.scale, 100.0f);
}

TEST(TextBox, ParagraphsAndTheSmallestScale) {
    Layout l;
    EXPECT_EQ(l.run(u"ab<><>cd", 200, 100), (std::vector<std::u16string>{u"ab", u"cd"}));
    EXPECT_FLOAT_EQ(l.scale, 1);
    // The first paragraph needs half size; the short last one must not undo that.
    const auto lines = l.run(u"abcdefghijklmnopqrst<>ab", 100, 100);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_FLOAT_EQ(l.scale, 0.5f);
}

TEST(TextBox, EmptyTextsBadBoxesAndFlatFonts) {
    Layout l;
    l.run(u"ab cd", 200, 100);
    EXPECT_TRUE(l.run(u"", 200, 100, 3).empty());
    EXPECT_FLOAT_EQ(l.scale, 3);
    EXPECT_TRUE(l.run(u"ab", 0, 100, 2).empty());
    EXPECT_FLOAT_EQ(l.scale, 2);

    // Sizes far beyond the int range: counts are limited before they become ints.
    EXPECT_EQ(l.run(u"ab cd", 1e30f, 1e30f, 2), std::vector<std::u16string>{u"ab cd"});
    EXPECT_FLOAT_EQ(l.scale, 2);
    EXPECT_FALSE(l.run(u"ab cd", 1e-3f, 3e38f).empty());

    // A metric file may give a line height of 0: nothing is laid out.
    writeTga24("Fonts/flat.tga", 16, 16, [](int, int) { return Rgb{1, 1, 1}; });
    writeText("Fonts/flat.fh", "0 0 1\n97 0 0 10\n");
    CGraphFont* flat = grLoadFont("Fonts/flat.tga", nullptr);
    ASSERT_NE(flat, nullptr);
    TextLines lines;
    float scale = 0;
    EXPECT_FALSE(fitTextInBox(u"aa a", &lines, &scale, flat, 100, 100, 1.5f));
    EXPECT_EQ(lines.size(), 0u);
    EXPECT_FLOAT_EQ(scale, 1.5f);
    layoutTextInBox(u"aa a", &lines, &scale, flat, 100, 100, 1.5f);
    EXPECT_EQ(lines.size(), 0u);
    grFreeFont(flat);

    // Without lines or scale the layout still runs and keeps nothing.
    layoutTextInBox(u"ab<>cd", nullptr, nullptr, l.font, 100, 100, 1);
    layoutTextInBox(u"abcdefghij", nullptr, nullptr, l.font, 10, 10, 1);
    EXPECT_FALSE(fitTextInBox(u"ab", nullptr, &scale, l.font, 100, 100, 1));
}

}  // namespace
