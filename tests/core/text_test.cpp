// Tests of the small text functions, the token list, the wide-text helpers and the Bezier point.
#include "core/text.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

std::vector<std::string> tokens(const TokenList& list) {
    std::vector<std::string> out;
    for (uint32_t i = 0; i < list.Count(); ++i) out.push_back(list.At(i));
    return out;
}

using Tokens = std::vector<std::string>;

}  // namespace

TEST(SafeSnprintf, AlwaysTerminatesAndReportsWhatFit) {
    char buf[6];
    EXPECT_EQ(safeSnprintf(buf, sizeof buf, "%s", "abc"), 3);
    EXPECT_STREQ(buf, "abc");
    memset(buf, 'x', sizeof buf);
    EXPECT_EQ(safeSnprintf(buf, sizeof buf, "%d", 123456), 6);  // exactly size characters
    EXPECT_STREQ(buf, "12345");
    memset(buf, 'x', sizeof buf);
    EXPECT_EQ(safeSnprintf(buf, sizeof buf, "%s", "far too long"), -1);
    EXPECT_STREQ(buf, "far t");
    EXPECT_EQ(safeSnprintf(nullptr, 4, "a"), -1);
    EXPECT_EQ(safeSnprintf(buf, 0, "a"), -1);
}

TEST(TextFunctions, CopiesCompareAndSkip) {
    char* copy = strDupN("abcdef", 3);
    EXPECT_STREQ(copy, "abc");
    free(copy);
    copy = strDup("hello");
    EXPECT_STREQ(copy, "hello");
    free(copy);
    EXPECT_EQ(strDup(""), nullptr);  // empty gives null, not an empty heap text
    EXPECT_EQ(strDup(nullptr), nullptr);
    EXPECT_EQ(strDupN("abc", 0), nullptr);

    EXPECT_EQ(compareLen("zz", 2, "aaa", 3), -1);  // length first
    EXPECT_EQ(compareLen("aaa", 3, "zz", 2), 1);
    EXPECT_EQ(compareLen("abc", 3, "abd", 3), -1);
    EXPECT_EQ(compareLen("abc", 3, "abc", 3), 0);
    EXPECT_EQ(compareLen(nullptr, 1, "a", 2), 0);

    EXPECT_TRUE(isStrictPrefix("ab", "abc"));
    EXPECT_FALSE(isStrictPrefix("abc", "abc"));
    EXPECT_FALSE(isStrictPrefix("abd", "abcd"));
    EXPECT_FALSE(isStrictPrefix(nullptr, "abc"));

    EXPECT_STREQ(skipWhite(" \t\r\n x "), "x ");
    EXPECT_STREQ(skipWhite("\v x"), "\v x");  // only the four white-space bytes
    EXPECT_EQ(skipWhite(static_cast<const char*>(nullptr)), nullptr);
}

TEST(TextFunctions, IntToWideSharesOneBuffer) {
    const char16_t* a = intToWide(-2147483647 - 1);
    EXPECT_EQ(std::u16string(a), u"-2147483648");
    const char16_t* b = intToWide(907);
    EXPECT_EQ(a, b);
    EXPECT_EQ(std::u16string(b), u"907");
}

TEST(TokenList, SplitsTrimsAndDropsEmptyTokens) {
    struct Case {
        const char* text;
        char delimiter;
        Tokens expected;
    } cases[] = {
        {" a , b,,c ", ',', {"a", "b", "c"}},
        {"a  b", ' ', {"a", "b"}},
        {"a  b", ',', {"a  b"}},
        {",,,", ',', {}},
        {" \t ", ',', {}},
        {"", ',', {}},
        {"one", ',', {"one"}},
        {"a,\tb\n", '\t', {"a,", "b\n"}},  // a white-space delimiter trims nothing
        {" x ;y;", ';', {"x", "y"}},
    };
    for (const Case& c : cases) {
        TokenList list = TokenList::Split(c.text, c.delimiter);
        EXPECT_EQ(tokens(list), c.expected) << '"' << c.text << '"';
        EXPECT_EQ(list.IsEmpty(), c.expected.empty());
        EXPECT_EQ(list.At(list.Count()), nullptr);
    }
    EXPECT_TRUE(TokenList::Split(nullptr, ',').IsEmpty());
    // Only the given range is split.
    EXPECT_EQ(tokens(TokenList::SplitRange("ab,cd,ef", 4, ',')), (Tokens{"ab", "c"}));
    EXPECT_TRUE(TokenList::SplitRange("ab", 0, ',').IsEmpty());
}

TEST(TokenList, HandlesShareOneRecord) {
    TokenList a = TokenList::Split("x,y", ',');
    const char* first = a.At(0);
    {
        TokenList b(a);
        TokenList c;
        c = b;
        c = *&c;  // self-assignment changes nothing
        EXPECT_EQ(c.At(0), first);
        b.Release();
        EXPECT_TRUE(b.IsEmpty());
        b.Release();  // a released handle holds nothing more to drop
    }
    EXPECT_STREQ(a.At(1), "y");  // still alive through a
    a.Assign(TokenList::Split("z", ','));
    EXPECT_EQ(tokens(a), Tokens{"z"});
    a.Release();
    EXPECT_EQ(a.Count(), 0u);
}

TEST(WideText, CompareLenAndFind) {
    EXPECT_EQ(wstrCompareLen(u"z", u"aa"), -1);  // length first
    EXPECT_EQ(wstrCompareLen(u"aa", u"z"), 1);
    EXPECT_EQ(wstrCompareLen(u"ab", u"ab"), 0);
    EXPECT_EQ(wstrCompareLen(u"a\uFFFF", u"ab"), 1);  // unsigned units
    EXPECT_EQ(wstrCompareLen(u"ab", u"ac"), -1);
    EXPECT_EQ(wstrCompareLen(nullptr, u"a"), 0);

    const char16_t* text = u"hello world";
    EXPECT_EQ(wstrFind(text, u"hello world"), text);
    EXPECT_EQ(wstrFind(text, u"world"), text + 6);
    EXPECT_EQ(wstrFind(text, u"o"), text + 4);
    EXPECT_EQ(wstrFind(text, u"worlds"), nullptr);
    EXPECT_EQ(wstrFind(text, u"hello world!"), nullptr);
    EXPECT_EQ(wstrFind(text, u""), nullptr);
    EXPECT_EQ(wstrFind(nullptr, u"a"), nullptr);
}

TEST(Bezier, EndPointsAndMiddle) {
    const Vec2f p0(0, 10), p1(4, -2), p2(8, 6);
    Vec2f out;
    bezierPoint(out, p0, p1, p2, 0.0f);
    EXPECT_FLOAT_EQ(out.x, 0);
    EXPECT_FLOAT_EQ(out.y, 10);
    bezierPoint(out, p0, p1, p2, 1.0f);
    EXPECT_FLOAT_EQ(out.x, 8);
    EXPECT_FLOAT_EQ(out.y, 6);
    bezierPoint(out, p0, p1, p2, 0.5f);
    EXPECT_FLOAT_EQ(out.x, (0 + 2 * 4 + 8) / 4.0f);
    EXPECT_FLOAT_EQ(out.y, (10 - 2 * 2 + 6) / 4.0f);
}
