// Tests of the heap string and the plain-text helpers, including the bounded copies.
#include "core/strings.h"

#include <gtest/gtest.h>

#include <cstring>
#include <type_traits>

// A string deleted through a pointer to CString frees its block whatever class holds it.
static_assert(std::has_virtual_destructor<CString>::value, "CString's destructor is virtual");

TEST(CString, EmptyFormsAreEqualAndTerminated) {
    CString a, b(nullptr), c("");
    for (const CString* s : {&a, &b, &c}) {
        ASSERT_NE(s->c_str(), nullptr);
        EXPECT_EQ(s->length(), 0);
        EXPECT_EQ(s->c_str()[0], '\0');
    }
    EXPECT_TRUE(a.Equals(b));
    EXPECT_TRUE(b.Equals(c));
}

TEST(CString, EqualsAndLess) {
    EXPECT_FALSE(CString("abc").Equals(CString("abcd")));
    EXPECT_TRUE(CString("abc").Equals(CString("abc")));
    EXPECT_TRUE(CString("B").Less(CString("a")));  // byte order, not case order
    EXPECT_TRUE(CString("").Less(CString("a")));
    EXPECT_FALSE(CString("a").Less(CString("a")));
}

TEST(CString, AssignmentOwnsACopy) {
    CString s("hello");
    const char* before = s.c_str();
    s = *&s;  // self-assignment, spelled so compilers do not flag it
    EXPECT_EQ(s.c_str(), before);
    EXPECT_STREQ(s.c_str(), "hello");

    CString t;
    t = s;
    EXPECT_NE(t.c_str(), s.c_str());
    EXPECT_TRUE(t.Equals(s));

    s = static_cast<const char*>(nullptr);
    EXPECT_EQ(s.length(), 0);
    EXPECT_STREQ(s.c_str(), "");

    // Assigning a text that lies inside the string's own block.
    CString u("abcdef");
    u = u.c_str() + 2;
    EXPECT_STREQ(u.c_str(), "cdef");
    EXPECT_EQ(u.length(), 4);
}

TEST(StrCopyN, BoundsAndNulls) {
    char buf[8];
    memset(buf, 'x', sizeof buf);
    StrCopyN(buf, "abc", 1);
    EXPECT_EQ(buf[0], '\0');
    EXPECT_EQ(buf[1], 'x');
    StrCopyN(buf, "abcdefghij", 4);
    EXPECT_STREQ(buf, "abc");
    StrCopyN(nullptr, "a", 4);
    memset(buf, 'x', sizeof buf);
    StrCopyN(buf, nullptr, 4);
    EXPECT_EQ(buf[0], 'x');
}

TEST(StrCmpNoCase, Table) {
    struct Case { const char* a; const char* b; int want; };
    const Case cases[] = {
        {"abc", "ABC", 0}, {"ab", "abc", -1}, {"abc", "ab", 1},  {nullptr, "x", 1},
        {"x", nullptr, 1}, {"\xE9", "A", -1},  {"[", "a", 1},    {"", "", 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(strCmpNoCase(c.a, c.b), c.want) << (c.a ? c.a : "null") << " vs " << (c.b ? c.b : "null");
}

TEST(FormatString, StaysInsideItsBuffer) {
    char buf[8];
    memset(buf, 'x', sizeof buf);
    EXPECT_EQ(formatString(buf, 5, "%d-%s", 12, "abcdef"), 4);
    EXPECT_STREQ(buf, "12-a");
    EXPECT_EQ(buf[5], 'x');
    EXPECT_EQ(formatString(buf, sizeof buf, "%s", "ok"), 2);
    EXPECT_STREQ(buf, "ok");
    EXPECT_EQ(formatString(buf, 1, "%s", "ok"), 0);
    EXPECT_STREQ(buf, "");
}

TEST(WideText, CopyLengthAppend) {
    char16_t buf[16] = u"ab";
    wstrAppend(buf, u"cd");
    EXPECT_EQ(wstrLen(buf), 4u);
    EXPECT_EQ(std::u16string(buf), u"abcd");
    wstrAppend(buf, nullptr);
    wstrCopy(buf, nullptr);
    EXPECT_EQ(std::u16string(buf), u"abcd");
    wstrCopy(buf, u"z");
    EXPECT_EQ(std::u16string(buf), u"z");
}

TEST(WideText, NarrowWideConversionsAreBoundedAndExact) {
    char16_t wide[4];
    narrowToWide("\xE9\x41", wide, 4);
    EXPECT_EQ(wide[0], 0x00E9);
    EXPECT_EQ(wide[1], 0x0041);
    EXPECT_EQ(wide[2], 0);

    char16_t small[3] = {1, 1, 1};
    narrowToWide("abcdef", small, 3);
    EXPECT_EQ(small[0], u'a');
    EXPECT_EQ(small[1], u'b');
    EXPECT_EQ(small[2], 0);

    char narrow[4];
    const char16_t src[] = {0x0416, 0x00E9, 0};
    WideToNarrow(src, narrow, sizeof narrow);
    EXPECT_EQ(static_cast<unsigned char>(narrow[0]), 0x16);
    EXPECT_EQ(static_cast<unsigned char>(narrow[1]), 0xE9);
    EXPECT_EQ(narrow[2], '\0');

    char cut[3] = {'x', 'x', 'x'};
    WideToNarrow(u"hello", cut, 3);
    EXPECT_STREQ(cut, "he");
    WideToNarrow(u"", cut, 3);
    EXPECT_STREQ(cut, "");
}
