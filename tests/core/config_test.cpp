// Configuration texts: values and their copies, the parser's results and error texts, lookups,
// the writer's round trip and the printed self-test.
#include <gtest/gtest.h>

#include <cfloat>
#include <cstdio>
#include <string>
#include <vector>

#include "core/config.h"

namespace {

TEST(cValue, KindsCopiesAndAssignments) {
    cValue s("text");
    cValue copy(s);
    s = "other";
    EXPECT_STREQ(copy.GetString(), "text");
    EXPECT_EQ(copy.GetInt(), 0);  // no conversion between kinds
    EXPECT_EQ(cValue(2.5).GetType(), cValue::FLOAT);
    EXPECT_EQ(cValue(2.5).GetFloat(), 2.5f);
    EXPECT_EQ(cValue(7).GetFloat(), 0.0f);
    s = cValue::STRING;
    EXPECT_EQ(s.GetType(), cValue::STRING);
    EXPECT_EQ(s.GetString(), nullptr);
    copy = copy;
    EXPECT_STREQ(copy.GetString(), "text");
    copy = copy.GetString();  // its own text
    EXPECT_STREQ(copy.GetString(), "text");
    copy = 3;
    EXPECT_EQ(copy.GetInt(), 3);
    EXPECT_EQ(copy.GetString(), nullptr);
}

struct ParseCase {
    const char* name;
    const char* text;
    std::vector<std::string> errors;
};

std::vector<std::string> errorsOf(cConfigText& c) {
    std::vector<std::string> out;
    for (uint32_t i = 0; i < c.GetErrors().size(); ++i) out.push_back(c.GetErrors()[i].c_str());
    return out;
}

cConfigText parse(const std::string& text) {
    cConfigText c;
    c.Parse("t.cfg", text.c_str(), text.size());
    return c;
}

TEST(cConfigText, ErrorTexts) {
    const ParseCase cases[] = {
        {"clean", "[ a ]\nx = 1\n", {}},
        {"no name after '['", "[\nx = 1\n", {"t.cfg(1): no section name after '['"}},
        {"no ']'", "\n[abc\nx = 1\n", {"t.cfg(2): no enclosing ']'"}},
        {"empty name", "[   ]\n", {"t.cfg(1): empty section name"}},
        {"point without digit", "x = 1.\n",
         {"t.cfg(1): invalid number format", "t.cfg(1): no values found after '='"}},
        {"sign without digit", "x = -a\n",
         {"t.cfg(1): invalid number format", "t.cfg(1): no values found after '='"}},
        {"bad second value", "x = 1, 2.\n", {"t.cfg(1): invalid number format"}},
        {"no values", "x =\ny = 2\n", {"t.cfg(1): no values found after '='"}},
        {"unterminated", "x =\n \"abc\ny = 2\n",
         {"t.cfg(2): unterminated string", "t.cfg(1): no values found after '='"}},
        {"'[' ending the text", "a = 1\n[", {"t.cfg(2): no enclosing ']'"}},
        {"'[' and blanks ending the text", "[  ", {"t.cfg(1): no enclosing ']'"}},
        {"duplicate section", "[a]\n[b]\r\n[a]\n",
         {"t.cfg(3): warning: section 'a' already exists"}},
        {"line ends of three kinds", "a\r\nb\rc\n[\n", {"t.cfg(4): no section name after '['"}},
        {"line starting with '='", "x = 1\n= 5\ny = 2\n",
         {"t.cfg(2): no variable name before '='"}},
    };
    for (const ParseCase& c : cases) {
        SCOPED_TRACE(c.name);
        cConfigText t = parse(c.text);
        EXPECT_EQ(errorsOf(t), c.errors);
    }
}

TEST(cConfigText, ValuesSectionsAndLookups) {
    cConfigText c = parse(
        "top = 5\n"
        "[  spaced name  ]\n"
        "mixed = 12, -3.25, \"a text\"\n"
        "alone\n"
        "twice = 1\n"
        "twice = 2, 3\n"
        "big = 99999999999, -99999999999, -1" + std::string(60, '0') + ".5\n"
        "[other]\n"
        "f = +0.5 ; trailing\n"
        "[spaced name]\n"
        "later = \"x\"\n");
    EXPECT_EQ(errorsOf(c), std::vector<std::string>{
                               "t.cfg(10): warning: section 'spaced name' already exists"});
    EXPECT_EQ(c.GetInt(nullptr, "top", 0), 5);
    cConfigSection* s = c.FindSection("spaced name");
    ASSERT_NE(s, nullptr);
    cConfigVariable* mixed = s->FindVariable("mixed");
    ASSERT_EQ(mixed->ValueCount(), 3u);
    EXPECT_EQ(mixed->ValueAt(0).GetInt(), 12);
    EXPECT_EQ(mixed->ValueAt(1).GetFloat(), -3.25f);
    EXPECT_STREQ(mixed->ValueAt(2).GetString(), "a text");
    EXPECT_EQ(mixed->ValueAt(3).GetInt(), 0);  // out of range
    EXPECT_EQ(s->FindVariable("alone")->ValueCount(), 0u);
    EXPECT_EQ(s->GetInt("twice", -1), 1);  // the first of two
    EXPECT_EQ(s->GetInt("mixed", -1), -1);  // three values: the default
    EXPECT_EQ(s->GetFloat("twice", -1), -1);  // the wrong kind: the default
    EXPECT_EQ(s->FindVariable("big")->ValueAt(0).GetInt(), INT32_MAX);
    EXPECT_EQ(s->FindVariable("big")->ValueAt(1).GetInt(), INT32_MIN);
    EXPECT_EQ(s->FindVariable("big")->ValueAt(2).GetFloat(), -FLT_MAX);
    EXPECT_STREQ(c.GetString("spaced name", "later", ""), "x");
    EXPECT_EQ(c.GetFloat("other", "f", 0), 0.5f);
    EXPECT_EQ(c.GetInt("missing", "f", 9), 9);
    EXPECT_EQ(c.GetVariable("other", "f")->ValueCount(), 1u);
    // The comment after the value is a variable of its own, without a name.
    cConfigSection* other = c.FindSection("other");
    ASSERT_EQ(other->Variables().size(), 2u);
    EXPECT_TRUE(other->Variables()[1].IsComment());
    EXPECT_STREQ(other->Variables()[1].ValueAt(0).GetString(), " trailing");
    EXPECT_EQ(other->FindVariable(nullptr), nullptr);

    cConfigVariable* set = s->SetVariable("twice");
    EXPECT_EQ(set->ValueCount(), 0u);
    EXPECT_EQ(s->SetVariable(nullptr), nullptr);
    s->SetVariable("new")->AddValue(cValue(4));
    EXPECT_EQ(s->GetInt("new", 0), 4);

    EXPECT_EQ(c.RemoveSection("other"), 2u);
    EXPECT_EQ(c.RemoveSection("other"), c.SectionCount());
    EXPECT_EQ(c.RemoveSection(nullptr), c.SectionCount());
    EXPECT_NE(c.FindSection(nullptr), nullptr);
}

TEST(cConfigText, CommentsIncludingOneWithoutALineEnd) {
    cConfigText c = parse("; one\n\n;two words\nx = 1\n;last line no end");
    cArray<cConfigVariable>& vars = c.FindSection(nullptr)->Variables();
    ASSERT_EQ(vars.size(), 3u);
    ASSERT_EQ(vars[0].ValueCount(), 2u);
    EXPECT_STREQ(vars[0].ValueAt(1).GetString(), "two words");
    EXPECT_STREQ(vars[2].ValueAt(0).GetString(), "last line no end");
    cConfigText single = parse(";x");
    EXPECT_STREQ(single.FindSection(nullptr)->Variables()[0].ValueAt(0).GetString(), "x");
}

TEST(cConfigText, FormatParsesBackToTheSameStructure) {
    const std::string source =
        "; header comment\n"
        "top = 1\n"
        "[ first ]\n"
        "a = 1, 2.5, \"three\"\n"
        "flag\n"
        "; inside\n"
        "[second]\n"
        "b = -7\n";
    cConfigText c = parse(source);
    const CString text = c.Format();
    EXPECT_STREQ(text.c_str(),
                 "; header comment\ntop = 1\n\n[ first ]\na = 1, 2.500000, \"three\"\nflag\n"
                 "; inside\n\n[ second ]\nb = -7\n\n");
    cConfigText back = parse(text.c_str());
    EXPECT_TRUE(back.GetErrors().size() == 0);
    EXPECT_STREQ(back.Format().c_str(), text.c_str());
}

TEST(cConfigText, SelfTestPrintsEachStep) {
    FILE* out = tmpfile();
    ASSERT_NE(out, nullptr);
    cConfigText::SelfTest(out);
    std::string text(static_cast<size_t>(ftell(out)), '\0');
    rewind(out);
    ASSERT_EQ(fread(&text[0], 1, text.size(), out), text.size());
    fclose(out);
    EXPECT_EQ(text.rfind("---- TESTING VALUES ----\n\n", 0), 0u);
    for (const char* line :
         {"v3: string; GetInt() = 0, GetFloat() = 0.000000, GetString() = 'test value'\n",
          ">> v2 = 911;\nv1: string; GetInt() = 0, GetFloat() = 0.000000, GetString() = (null)\n"
          "v2: int; GetInt() = 911",
          "---- TESTING VARIABLES ----\n\n",
          "# variable 'var3' has 3 values:\n\t[0]=1\n\t[1]=2.500000\n\t[2]='three'\n",
          ">> var3.values.clear()\n# variable 'var3' has 0 values\n"})
        EXPECT_NE(text.find(line), std::string::npos) << line;
}

}  // namespace
