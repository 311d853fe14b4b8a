// Tests of the INI store: the parsing rules as a table of small files, writes that keep the
// file's layout, UTF-16 files, the ten-file cache, translation and bounded results.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "engine/data/file_internal.h"
#include "engine/data/ini.h"
#include "engine/platform/engine.h"
#include "engine/platform/log.h"
#include "tests/support/own_folder.h"

using testsupport::TempFolder;

namespace {

std::string utf16(const std::u16string& s, bool mark = true) {
    std::string out = mark ? std::string("\xFF\xFE") : std::string();
    for (char16_t c : s) {
        out += static_cast<char>(c & 0xFF);
        out += static_cast<char>(c >> 8);
    }
    return out;
}

class Ini : public ::testing::Test {
protected:
    void SetUp() override {
        iniFreeAll();
        engineSetDebug(0);
    }
    void TearDown() override {
        iniFreeAll();
        engineSetDebug(0);
    }
    TempFolder dir;
};

}  // namespace

TEST_F(Ini, ReadingRules) {
    struct Case {
        const char* what;
        std::string text;
        const char* section;
        const char* key;
        const char* expected;  // null: the default
    } cases[] = {
        {"an opening quote is dropped, the closing one stays", "[s]\r\nkey=\"Hello\"\r\n", "s", "key", "Hello\""},
        {"an inline comment belongs to the value", "[s]\r\nkey=5 ; note\r\n", "s", "key", "5 ; note"},
        {"blanks between key and = are skipped", "[s]\r\nSpeed = 4\r\n", "s", "speed", "4"},
        {"a longer key does not match", "[s]\r\nSpeed2=4\r\n", "s", "speed", nullptr},
        {"further = signs are skipped", "[s]\r\nkey==5\r\n", "s", "key", "5"},
        {"leading blanks skipped, trailing kept", "  [s]  \r\n\r\n\t key =  v  \r\n", "s", "key", "v  "},
        {"A-Z match either case", "[MaIn]\nNaMe=x\n", "main", "NAME", "x"},
        {"other letters keep their case", "[s]\n\xC9t\xE9=1\n", "s", "\xE9t\xE9", nullptr},
        {"the first of two equal sections", "[a]\nk=1\n[a]\nk=2\nj=3\n", "a", "k", "1"},
        {"the second of two equal sections is not read", "[a]\nk=1\n[a]\nj=3\n", "a", "j", nullptr},
        {"the first of two equal keys", "[a]\nk=1\nk=2\n", "a", "k", "1"},
        {"the search ends at the next section", "[a]\n[b]\nk=1\n", "a", "k", nullptr},
        {"comment lines match no key", "[a]\n;k=1\nk=2\n", "a", "k", "2"},
        {"a UTF-8 mark hides the first header", "\xEF\xBB\xBF[a]\nk=1\n[b]\nk=2\n", "a", "k", nullptr},
        {"the header after a UTF-8 mark is found", "\xEF\xBB\xBF[a]\nk=1\n[b]\nk=2\n", "b", "k", "2"},
        {"CR alone ends lines", "[a]\rk=1\rm=2", "a", "m", "2"},
        {"a key right behind the header", "[a] k=1\n", "a", "k", "1"},
        {"a missing section", "[a]\nk=1\n", "b", "k", nullptr},
        {"an empty value is not absent", "[a]\nk=\n", "a", "k", ""},
        {"the value runs to the end of the text", "[a]\nk=end", "a", "k", "end"},
        {"a header without ] is no section", "[a\nk=1\n", "a", "k", nullptr},
        {"an empty key", "[a]\n=1\n", "a", "", nullptr},
    };
    int n = 0;
    for (const Case& c : cases) {
        std::string path = dir.write("r" + std::to_string(n++) + ".ini", c.text);
        const char* got = iniGetString(path.c_str(), c.section, c.key, "DEFAULT");
        EXPECT_STREQ(c.expected ? c.expected : "DEFAULT", got) << c.what;
    }
    EXPECT_STREQ("DEFAULT", iniGetString(dir.file("missing.ini").c_str(), "a", "k", "DEFAULT"));
}

TEST_F(Ini, NumbersConvertLikeTheCLibrary) {
    std::string path = dir.write("n.ini",
                                 "[n]\r\nWidth=\r\npx=12px\r\nword=abc\r\nneg= -7\r\nnote=5 ; five\r\n"
                                 "f=1.5e1x\r\nbig=99999999999\r\n");
    const char* p = path.c_str();
    EXPECT_EQ(0, iniGetInt(p, "n", "Width", 5));
    EXPECT_EQ(12, iniGetInt(p, "n", "px", 5));
    EXPECT_EQ(0, iniGetInt(p, "n", "word", 5));
    EXPECT_EQ(-7, iniGetInt(p, "n", "neg", 5));
    EXPECT_EQ(5, iniGetInt(p, "n", "note", 1));
    EXPECT_EQ(5, iniGetInt(p, "n", "absent", 5));
    EXPECT_EQ(2147483647, iniGetInt(p, "n", "big", 5));
    EXPECT_FLOAT_EQ(15.0f, iniGetFloat(p, "n", "f", 2.0f));
    EXPECT_FLOAT_EQ(0.0f, iniGetFloat(p, "n", "Width", 2.0f));
    EXPECT_FLOAT_EQ(2.0f, iniGetFloat(p, "n", "absent", 2.0f));
}

TEST_F(Ini, WritesKeepTheLayout) {
    struct Case {
        const char* what;
        const char* before;  // null: no file yet
        const char* section;
        const char* key;
        const char* value;
        const char* after;
    } cases[] = {
        {"a new section goes to the end", "[a]\r\nk=1\r\n", "b", "x", "5", "[a]\r\nk=1\r\n[b]\r\nx=5\r\n"},
        {"only the value of a key is replaced", "[a]\r\nk=1\r\nm=2\r\n", "a", "k", "9", "[a]\r\nk=9\r\nm=2\r\n"},
        {"blanks up to the next line go with the old value", "[a]\r\nk=1\r\n\r\n  m=2\r\n", "a", "k", "9", "[a]\r\nk=9\r\nm=2\r\n"},
        {"the spacing before = stays", "[a]\r\nk = 1 ; c\r\n", "a", "K", "9", "[a]\r\nk = 9\r\n"},
        {"a new key becomes the first of its section", "[a]\r\nk=1\r\n", "a", "n", "2", "[a]\r\nn=2\r\nk=1\r\n"},
        {"a new key stands behind the first line's blanks", "[a]\r\n  k=1\r\n[b]\r\n", "a", "n", "2", "[a]\r\n  n=2\r\nk=1\r\n[b]\r\n"},
        {"a new key in a section followed by another", "[a]\r\n[b]\r\nm=1\r\n", "a", "n", "2", "[a]\r\nn=2\r\n[b]\r\nm=1\r\n"},
        {"the first of two equal keys is replaced", "[a]\r\nk=1\r\nk=2\r\n", "a", "k", "3", "[a]\r\nk=3\r\nk=2\r\n"},
        {"a last line without a break gets one", "[a]\r\nk=1", "b", "x", "5", "[a]\r\nk=1\r\n[b]\r\nx=5\r\n"},
        {"a header at the very end", "[a]", "a", "k", "1", "[a]\r\nk=1\r\n"},
        {"a quoted value is replaced whole", "[a]\r\nk=\"old\"\r\n", "a", "k", "new", "[a]\r\nk=new\r\n"},
        {"a missing file is created", nullptr, "s", "k", "v", "[s]\r\nk=v\r\n"},
        {"an empty file", "", "s", "k", "v", "[s]\r\nk=v\r\n"},
    };
    int n = 0;
    for (const Case& c : cases) {
        std::string name = "w" + std::to_string(n++) + ".ini";
        std::string path = c.before ? dir.write(name, c.before) : dir.file(name);
        EXPECT_EQ(1, iniWriteString(path.c_str(), c.section, c.key, c.value)) << c.what;
        EXPECT_EQ(c.after, dir.read(name)) << c.what;
        EXPECT_STREQ(c.value, iniGetString(path.c_str(), c.section, c.key, "")) << c.what;
    }
}

TEST_F(Ini, NumbersAndDeletes) {
    std::string path = dir.write("d.ini", "[a]\r\nk=1\r\n[b]\r\nm=2\r\n\r\n[c]\r\nz=3\r\n");
    const char* p = path.c_str();
    EXPECT_EQ(1, iniWriteInt(p, "new", "count", -42));
    EXPECT_EQ(1, iniWriteFloat(p, "new", "scale", 1.5f));
    EXPECT_EQ(-42, iniGetInt(p, "new", "count", 0));
    EXPECT_STREQ("1.500000", iniGetString(p, "new", "scale", ""));
    EXPECT_EQ(1, iniDeleteSection(p, "B"));
    EXPECT_EQ("[a]\r\nk=1\r\n[c]\r\nz=3\r\n[new]\r\nscale=1.500000\r\ncount=-42\r\n", dir.read("d.ini"));
    EXPECT_EQ(1, iniDeleteSection(p, "new"));
    EXPECT_EQ(1, iniDeleteSection(p, "absent"));
    EXPECT_EQ("[a]\r\nk=1\r\n[c]\r\nz=3\r\n", dir.read("d.ini"));
    EXPECT_EQ(-1, iniGetInt(p, "b", "m", -1));
    EXPECT_EQ(3, iniGetInt(p, "c", "z", -1));
    // Bad arguments are refused, not written.
    EXPECT_EQ(0, iniWriteString(p, "a", "", "v"));
    EXPECT_EQ(0, iniWriteString(p, "a]", "k", "v"));
    EXPECT_EQ(0, iniWriteString(p, "a", "k", "two\r\n[lines]"));
    EXPECT_EQ(0, iniWriteString(p, nullptr, "k", "v"));
    EXPECT_EQ("[a]\r\nk=1\r\n[c]\r\nz=3\r\n", dir.read("d.ini"));
}

TEST_F(Ini, SectionNamesBeyondTheRecordLengthStayDistinct) {
    std::string prefix(27, 'S');
    std::string longer = prefix + "_LONGER";
    std::string path = dir.write("s.ini", "[" + longer + "]\r\nk=long\r\n[" + prefix + "]\r\nk=short\r\n");
    for (int i = 0; i < 3; ++i) {
        EXPECT_STREQ("long", iniGetString(path.c_str(), longer.c_str(), "k", ""));
        EXPECT_STREQ("short", iniGetString(path.c_str(), prefix.c_str(), "k", ""));
    }
    EXPECT_EQ(1, iniWriteString(path.c_str(), longer.c_str(), "j", "1"));
    EXPECT_STREQ("1", iniGetString(path.c_str(), longer.c_str(), "j", ""));
    EXPECT_STREQ("", iniGetString(path.c_str(), prefix.c_str(), "j", ""));
}

// Section lookups go through an index of the file's headers: it must answer as a scan from the
// top would, and follow every change of the text.
TEST_F(Ini, SectionLookupsFollowTheFileAndItsChanges) {
    std::string text = "  [a]x\r\nk=1\r\n[A]\r\nk=2\r\n[a]b]\r\nk=3\r\n[c\r\nk=4\r\n";
    for (int i = 0; i < 200; ++i) text += "[s" + std::to_string(i) + "]\r\nk=" + std::to_string(i) + "\r\n";
    std::string path = dir.write("many.ini", text);
    const char* p = path.c_str();
    EXPECT_EQ(1, iniGetInt(p, "A", "k", -1));  // the first of equal names, text after ']' ignored
    EXPECT_EQ(3, iniGetInt(p, "a]b", "k", -1));  // a name holding ']' matches the later ']'
    EXPECT_EQ(-1, iniGetInt(p, "c", "k", -1));  // no ']' on the header's line
    for (int i = 199; i >= 0; i -= 7)
        EXPECT_EQ(i, iniGetInt(p, ("S" + std::to_string(i)).c_str(), "k", -1));
    EXPECT_EQ(-1, iniGetInt(p, "s200", "k", -1));
    EXPECT_EQ(1, iniWriteInt(p, "s200", "k", 200));  // an absent section, then written
    EXPECT_EQ(200, iniGetInt(p, "s200", "k", -1));
    EXPECT_EQ(7, iniGetInt(p, "s7", "k", -1));  // positions behind a change moved
    EXPECT_EQ(1, iniWriteString(p, "a", "j", "long value pushing every section further"));
    EXPECT_EQ(150, iniGetInt(p, "s150", "k", -1));
    EXPECT_EQ(1, iniDeleteSection(p, "a"));  // the first [a] goes; the next one answers
    EXPECT_EQ(2, iniGetInt(p, "a", "k", -1));
    EXPECT_EQ(1, iniDeleteSection(p, "a"));
    EXPECT_EQ(3, iniGetInt(p, "a", "k", -1));  // "[a]b]" names "a" too

    // In UTF-16 only the low byte of a unit takes part, in the header's name too.
    std::string wide = dir.write("mw.ini", utf16(u"[\u0141b]\r\nk=1\r\n[ab]\r\nk=2\r\n"));
    EXPECT_EQ(1, iniGetInt(wide.c_str(), "ab", "k", -1));
    EXPECT_EQ(1, iniDeleteSection(wide.c_str(), "AB"));
    EXPECT_EQ(2, iniGetInt(wide.c_str(), "ab", "k", -1));
}

// Key lookups go through an index of the file's key lines too: odd lines must answer as a scan
// of the section would, before and after changes.
TEST_F(Ini, KeyLookupsFollowTheFileAndItsChanges) {
    const std::string odd = std::string("[s] head=0\r\n") +
                            "Key=1\r\nkey=2\r\n"         // the first of equal keys in other case
                            "bare\r\nbare=3\r\n"         // a key without '=' matches nothing
                            "key 2=4\r\n"                // a key holding a blank
                            "pad \t" + std::string(1, '\0') + " =5\r\n"  // blanks and zeros before '='
                            ";note=6\r\n"                // a comment is a key of its own
                            "  \tlead=7\r\n"             // blanks in front of the line
                            "a=b=8\r\n"                  // the first '=' ends the key
                            "long=9\r\nlo=10\r\n"        // a key that begins another
                            "[broken\r\nafter=11\r\n"    // a header without ']' ends the keys
                            "[t]\r\nkey=12\r\n[S]\r\nkey=13\r\n";
    std::string path = dir.write("odd.ini", "top=14\r\n" + odd);
    const char* p = path.c_str();
    const struct {
        const char* section;
        const char* key;
        const char* expected;  // null: the default
    } lookups[] = {
        {"s", "head", "0"},    {"s", "KEY", "1"},     {"s", "bare", "3"},    {"s", "key 2", "4"},
        {"s", "key 2 ", nullptr}, {"s", "pad", "5"},  {"s", "note", nullptr}, {"s", ";note", "6"},
        {"s", "lead", "7"},    {"s", "a", "b=8"},     {"s", "a=b", "8"},     {"s", "lo", "10"},
        {"s", "long", "9"},    {"s", "after", nullptr}, {"t", "key", "12"}, {"", "top", "14"},
        {"", "key", nullptr},  {"s", "top", nullptr},
    };
    for (int round = 0; round < 2; ++round) {
        for (const auto& l : lookups)
            EXPECT_STREQ(l.expected ? l.expected : "DEFAULT", iniGetString(p, l.section, l.key, "DEFAULT"))
                << "[" << l.section << "] " << l.key << " round " << round;
        // Changes move every later line: a value grows, a key is added in front, and the text
        // turns into UTF-16; the answers stay.
        if (round == 0) {
            EXPECT_EQ(1, iniWriteString(p, "s", "head", "0"));
            EXPECT_EQ(1, iniWriteString(p, "t", "key", "twelve"));
            EXPECT_EQ(1, iniWriteWide(p, "t", "key", u"12"));
        }
    }
    EXPECT_EQ(1, iniWriteString(p, "s", "bare", "new"));  // the first line holding the key
    EXPECT_STREQ("new", iniGetString(p, "s", "bare", ""));
    EXPECT_EQ(1, iniWriteString(p, "s", "fresh", "15"));
    EXPECT_STREQ("15", iniGetString(p, "s", "fresh", ""));
    EXPECT_STREQ("1", iniGetString(p, "s", "key", ""));
    EXPECT_EQ(1, iniDeleteSection(p, "s"));
    EXPECT_STREQ("13", iniGetString(p, "s", "key", ""));  // "[S]" answers now

    // Many sections holding the same keys: each answers with its own.
    std::string many;
    for (int i = 0; i < 300; ++i)
        many += "[m" + std::to_string(i) + "]\r\nk=" + std::to_string(i) + "\r\nk" + std::to_string(i) +
                "=x\r\n";
    std::string manyPath = dir.write("many.ini", many);
    for (int i = 299; i >= 0; i -= 13) {
        const std::string section = "m" + std::to_string(i);
        EXPECT_EQ(i, iniGetInt(manyPath.c_str(), section.c_str(), "k", -1));
        EXPECT_STREQ("x", iniGetString(manyPath.c_str(), section.c_str(), ("K" + std::to_string(i)).c_str(), ""));
        EXPECT_STREQ("", iniGetString(manyPath.c_str(), section.c_str(), ("k" + std::to_string(i + 1)).c_str(), ""));
    }
}

// A write keeps the index of the file in step with the text instead of building it anew: after
// every kind of write, in both encodings, each lookup answers as a fresh load of the saved file.
TEST_F(Ini, LookupsAfterEachWriteAnswerAsAFreshLoadDoes) {
    const std::u16string start =
        u"top=1\r\n[a]x=0\r\nk=1\r\n\r\n  m=2\r\n[b]\r\nk=3\r\n[c\r\nk=4\r\n[d]\r\nk=5";
    const struct {
        const char* section;
        const char* key;
        const char* value;
    } writes[] = {
        {"a", "k", "a value much longer than the one before"},
        {"A", "M", ""},              // shorter, in other case, past a blank line
        {"a", "x", "6"},             // on the header's own line
        {"b", "n", "7"},             // a new key
        {"d", "k", "8"},             // the last line, which had no line break
        {"d", "new", "9"},           // a new key at the end
        {"e", "k", "10"},            // a new section
        {"e", "k", "11"},
        {"b", "k=2", "12"},          // keys the index reads otherwise
        {"b", " lead", "13"},
        {"b", "[k", "14"},
        {"c", "k", "15"},            // a header without ']': a section of its own at the end
    };
    const std::pair<const char*, const char*> lookups[] = {
        {"", "top"}, {"a", "x"},   {"a", "k"},  {"a", "m"},  {"b", "k"},  {"b", "n"},
        {"c", "k"},  {"d", "k"},   {"d", "new"}, {"e", "k"}, {"b", "k=2"}, {"b", "lead"},
        {"b", "[k"}, {"C", "K"},   {"e", "n"},
    };
    for (const bool wide : {false, true}) {
        std::string narrow;
        for (char16_t c : start) narrow += static_cast<char>(c);
        iniFreeAll();
        const std::string path = dir.write("changed.ini", wide ? utf16(start) : narrow);
        const std::string fresh = dir.file("fresh.ini");
        for (const auto& w : writes) {
            ASSERT_EQ(1, iniWriteString(path.c_str(), w.section, w.key, w.value)) << w.key;
            iniClearFile(fresh.c_str());
            dir.write("fresh.ini", TempFolder::readFile(path));
            for (const auto& [section, key] : lookups) {
                const std::string got = iniGetString(path.c_str(), section, key, "DEFAULT");
                EXPECT_EQ(got, iniGetString(fresh.c_str(), section, key, "DEFAULT"))
                    << (wide ? "wide" : "narrow") << " after [" << w.section << "] " << w.key
                    << ": [" << section << "] " << key;
            }
        }
    }
}

TEST_F(Ini, WideFilesAndWideningWrites) {
    std::string wide = dir.write("w.ini", utf16(u"k=global\r\n[s]\r\nname=Zo\u00EB\r\n\u0141=x\r\n"));
    EXPECT_EQ(u"Zo\u00EB", std::u16string(iniGetWide(wide.c_str(), "s", "name", u"")));
    EXPECT_STREQ("Zo\xEB", iniGetString(wide.c_str(), "s", "name", ""));
    EXPECT_EQ(u"global", std::u16string(iniGetWideGlobal(wide.c_str(), "k")));
    EXPECT_EQ(u"global", std::u16string(iniGetWide(wide.c_str(), "", "k", u"d")));
    EXPECT_EQ(u"d", std::u16string(iniGetWide(wide.c_str(), "s", "", u"d")));
    // Only the low byte of a unit takes part in name matching: U+0141 answers to "A".
    EXPECT_STREQ("x", iniGetString(wide.c_str(), "s", "A", ""));

    // An 8-bit file turns into UTF-16 with its Latin-1 bytes widened as they are.
    std::string narrow = dir.write("n.ini", "[p]\r\nname=Ren\xE9" "e\r\n");
    EXPECT_EQ(u"Ren\u00E9e", std::u16string(iniGetWide(narrow.c_str(), "p", "name", u"")));
    EXPECT_EQ(1, iniWriteWide(narrow.c_str(), "p", "title", u"\u0141ady"));
    EXPECT_EQ(utf16(u"[p]\r\ntitle=\u0141ady\r\nname=Ren\u00E9e\r\n"), dir.read("n.ini"));
    EXPECT_EQ(1, iniWriteString(narrow.c_str(), "p", "level", "\xE9t\xE9"));
    EXPECT_EQ(utf16(u"[p]\r\nlevel=\u00E9t\u00E9\r\ntitle=\u0141ady\r\nname=Ren\u00E9e\r\n"), dir.read("n.ini"));
    iniFreeAll();
    EXPECT_EQ(u"Ren\u00E9e", std::u16string(iniGetWide(narrow.c_str(), "p", "name", u"")));
    EXPECT_EQ(u"\u0141ady", std::u16string(iniGetWide(narrow.c_str(), "p", "title", u"")));
    EXPECT_EQ(1, iniWriteString(narrow.c_str(), "q", "k", "v"));
    EXPECT_EQ(utf16(u"[p]\r\nlevel=\u00E9t\u00E9\r\ntitle=\u0141ady\r\nname=Ren\u00E9e\r\n[q]\r\nk=v\r\n"),
              dir.read("n.ini"));
}

TEST_F(Ini, TranslationLookup) {
    dir.write("Data/Translation.ini", utf16(u"#hello=Bonjour \u00E0 tous\r\n[s]\r\n#inner=no\r\n"));
    std::string menu = dir.write("menu.ini", "[b]\r\ntext=#hello\r\nplain=Start\r\nmissing=#nope\r\n"
                                             "inner=#inner\r\n");
    testsupport::InFolder in(dir.path());
    const char* m = menu.c_str();
    EXPECT_EQ(u"Bonjour \u00E0 tous", std::u16string(iniGetText(m, "b", "text")));
    EXPECT_EQ(u"Start", std::u16string(iniGetText(m, "b", "plain")));
    EXPECT_EQ(u"", std::u16string(iniGetText(m, "b", "missing")));
    EXPECT_EQ(u"", std::u16string(iniGetText(m, "b", "inner")));  // keys live before any section
    EXPECT_EQ(u"", std::u16string(iniGetText(m, "b", "absent")));
}

// A damaged text table is reported once in a box naming it, and the keys it no longer holds show
// as themselves; what it still holds reads as before.
TEST_F(Ini, ADamagedTranslationTableShowsItsKeysAndIsReportedOnce) {
    const struct {
        const char* what;
        std::string bytes;  // empty: no file
        const char* why;
    } cases[] = {
        {"zero-filled", std::string(40, '\0'), "holds nothing but zero bytes"},
        {"cut", "#hello=Hi\r\n#bye=By", "ends inside a line: it was cut short"},
        {"missing", "", "is missing"},
    };
    std::string menu = dir.write("menu.ini", "[b]\r\nhi=#hello\r\nmissing=#nope\r\n");
    logOpen();  // in the binary's own folder
    const std::string logFile = testsupport::ownFolder() + "/gerr.log";
    testsupport::InFolder in(dir.path());
    for (const auto& c : cases) {
        std::remove("Data/translation.ini");
        if (!c.bytes.empty()) dir.write("Data/translation.ini", c.bytes);
        iniFreeAll();
        const size_t before = TempFolder::readFile(logFile).size();
        EXPECT_EQ(u"#nope", std::u16string(iniGetText(menu.c_str(), "b", "missing"))) << c.what;
        EXPECT_EQ(u"#nope", std::u16string(iniGetWideGlobal("Data/translation.ini", "#nope")));
        EXPECT_EQ(c.bytes.rfind("#hello", 0) == 0 ? u"Hi" : u"#hello",
                  std::u16string(iniGetText(menu.c_str(), "b", "hi")))
            << c.what;
        const std::string log = TempFolder::readFile(logFile).substr(before);
        size_t boxes = 0;
        for (size_t at = log.find("Message box"); at != std::string::npos;
             at = log.find("Message box", at + 1))
            ++boxes;
        EXPECT_EQ(1u, boxes) << c.what << "\n" << log;
        EXPECT_NE(std::string::npos, log.find("Data/translation.ini " + std::string(c.why)))
            << c.what << "\n" << log;
    }
}

// A save the disk refuses (full, or read-only) keeps the change in the cache, where no other file
// pushes it out; every later save tries it again, and so does freeing the cache.
TEST_F(Ini, AChangeTheDiskRefusedIsTriedAgainUntilItIsSaved) {
    static int refused;
    static std::string full;
    refused = 0;
    full = dir.path();
    gFileSaveFault = [](const char* path) {
        if (std::string(path).rfind(full, 0) != 0) return 0;
        ++refused;
        return ENOSPC;
    };
    static std::vector<std::string> heard;
    heard.clear();
    iniSetSaveFailedHook([](const char* file) { heard.push_back(file); });
    const std::string won = dir.file("profile.ini"), other = dir.file("scores.ini");
    EXPECT_EQ(0, iniWriteInt(won.c_str(), "p", "result", 2));
    EXPECT_EQ(std::vector<std::string>{won}, heard);
    for (int i = 0; i < 12; ++i)  // more files than the cache holds
        iniGetInt(dir.write("f" + std::to_string(i) + ".ini", "[s]\r\nv=1\r\n").c_str(), "s", "v", 0);
    EXPECT_EQ(1, iniUnsavedCount());
    EXPECT_EQ(0, iniWriteInt(other.c_str(), "s", "top", 9));
    EXPECT_EQ(3, refused) << "the earlier change was tried again with the later save";
    EXPECT_FALSE(dir.exists("profile.ini"));
    gFileSaveFault = nullptr;
    iniFreeAll();  // the clean stop
    iniSetSaveFailedHook(nullptr);
    EXPECT_EQ(0, iniUnsavedCount());
    EXPECT_NE(std::string::npos, dir.read("profile.ini").find("result=2"));
    EXPECT_NE(std::string::npos, dir.read("scores.ini").find("top=9"));
}

TEST_F(Ini, AWriteThatChangesNothingOnTheDiskSavesNothing) {
    static int saves;
    gFileSaveFault = [](const char*) {
        ++saves;
        return 0;
    };
    const std::string wide = utf16(u"[s]\r\nk=1\r\n");
    struct Case {
        const char* what;
        const char* before;  // null: no file
        std::string text;
        bool asWide;  // written with iniWriteWide
        const char* key;
        const char* value;
        int saves;
        std::string after;
    } cases[] = {
        {"the same value", "", "[s]\r\nk=1\r\n", false, "k", "1", 0, "[s]\r\nk=1\r\n"},
        {"another value", "", "[s]\r\nk=1\r\n", false, "k", "2", 1, "[s]\r\nk=2\r\n"},
        {"a new key", "", "[s]\r\nk=1\r\n", false, "n", "1", 1, "[s]\r\nn=1\r\nk=1\r\n"},
        {"the same value over a blank line the rewrite drops", "", "[s]\r\nk=1\r\n\r\n[t]\r\n",
         false, "k", "1", 1, "[s]\r\nk=1\r\n[t]\r\n"},
        {"into a missing file", nullptr, "", false, "k", "1", 1, "[s]\r\nk=1\r\n"},
        {"the same value in UTF-16", "", wide, true, "k", "1", 0, wide},
        {"the same value that turns the file into UTF-16", "", "[s]\r\nk=1\r\n", true, "k", "1", 1,
         wide},
    };
    int n = 0;
    for (const Case& c : cases) {
        const std::string name = "same" + std::to_string(n++) + ".ini";
        const std::string path = c.before ? dir.write(name, c.text) : dir.file(name);
        EXPECT_EQ(1, iniGetInt(path.c_str(), "s", "k", 1)) << c.what;  // cached first
        saves = 0;
        const char16_t value16[] = {static_cast<char16_t>(c.value[0]), 0};
        EXPECT_EQ(1, c.asWide ? iniWriteWide(path.c_str(), "s", c.key, value16)
                              : iniWriteString(path.c_str(), "s", c.key, c.value))
            << c.what;
        EXPECT_EQ(c.saves, saves) << c.what;
        EXPECT_EQ(c.after, dir.read(name)) << c.what;
    }
    // Once changed, the text differs from the disk until a save: writing the old value back saves.
    const std::string path = dir.write("back.ini", "[s]\r\nk=1\r\n");
    {
        IniSaveScope held;
        iniWriteString(path.c_str(), "s", "k", "2");
        iniWriteString(path.c_str(), "s", "k", "1");
        saves = 0;
    }
    EXPECT_EQ(1, saves);
    gFileSaveFault = nullptr;
}

TEST_F(Ini, TheCacheIsFirstInFirstOut) {
    std::string paths[11];
    for (int i = 0; i < 11; ++i) paths[i] = dir.write("c" + std::to_string(i) + ".ini", "[s]\r\nv=1\r\n");
    for (int i = 0; i < 10; ++i) EXPECT_EQ(1, iniGetInt(paths[i].c_str(), "s", "v", 0));
    dir.write("c0.ini", "[s]\r\nv=2\r\n");
    EXPECT_EQ(1, iniGetInt(paths[0].c_str(), "s", "v", 0));  // a hit: the cached text
    std::string upper = paths[0];
    for (char& ch : upper) ch = static_cast<char>(toupper(static_cast<unsigned char>(ch)));
    EXPECT_EQ(iniOpen(paths[0].c_str()), iniOpen(upper.c_str()));
    // The hit did not refresh c0, so the eleventh file pushes it out.
    EXPECT_EQ(1, iniGetInt(paths[10].c_str(), "s", "v", 0));
    EXPECT_EQ(2, iniGetInt(paths[0].c_str(), "s", "v", 0));
}

TEST_F(Ini, DebugModeReadsEveryTimeAndClearFileDropsTheText) {
    std::string path = dir.write("d.ini", "[s]\r\nv=1\r\n");
    EXPECT_EQ(1, iniGetInt(path.c_str(), "s", "v", 0));
    dir.write("d.ini", "[s]\r\nv=2\r\n");
    EXPECT_EQ(1, iniGetInt(path.c_str(), "s", "v", 0));
    engineSetDebug(1);
    EXPECT_EQ(2, iniGetInt(path.c_str(), "s", "v", 0));
    dir.write("d.ini", "[s]\r\nv=3\r\n");
    EXPECT_EQ(3, iniGetInt(path.c_str(), "s", "v", 0));
    engineSetDebug(0);
    EXPECT_EQ(1, iniClearFile(path.c_str()));
    EXPECT_EQ("", dir.read("d.ini"));
    EXPECT_EQ(0, iniGetInt(path.c_str(), "s", "v", 0));
}

TEST_F(Ini, AFailedSaveIsReported) {
    std::string path = dir.file("no/folder/x.ini");
    EXPECT_EQ(0, iniWriteString(path.c_str(), "s", "k", "v"));
    std::string log = TempFolder::readFile("gerr.log");
    EXPECT_NE(std::string::npos, log.find("ini: cannot save " + path)) << log;
    // The change waits in the cache for the next save that succeeds.
    EXPECT_STREQ("v", iniGetString(path.c_str(), "s", "k", ""));
}

TEST_F(Ini, ValuesOfAnyLengthRoundTripWhole) {
    std::string big(10000, 'v');
    for (size_t i = 0; i < big.size(); i += 97) big[i] = static_cast<char>('a' + i % 26);
    std::string path = dir.write("b.ini", "[s]\r\nbig=" + big + "\r\n[t]\r\nk=1\r\n");
    EXPECT_EQ(big, iniGetString(path.c_str(), "s", "big", ""));
    std::u16string wide = iniGetWide(path.c_str(), "s", "big", u"");
    EXPECT_EQ(std::u16string(big.begin(), big.end()), wide);

    // Written whole, read back whole, after a reload too, and the next line is untouched.
    std::string longer = big + big;
    EXPECT_EQ(1, iniWriteString(path.c_str(), "s", "big", longer.c_str()));
    EXPECT_EQ(longer, iniGetString(path.c_str(), "s", "big", ""));
    iniFreeAll();
    EXPECT_EQ(longer, iniGetString(path.c_str(), "s", "big", ""));
    EXPECT_EQ(1, iniGetInt(path.c_str(), "t", "k", 0));

    std::u16string wideValue(10000, u'\u0436');
    EXPECT_EQ(1, iniWriteWide(path.c_str(), "t", "w", wideValue.c_str()));
    iniFreeAll();
    EXPECT_EQ(wideValue, std::u16string(iniGetWide(path.c_str(), "t", "w", u"")));
    EXPECT_EQ(longer.size(), strlen(iniGetString(path.c_str(), "s", "big", "")));

    // Four results stay valid; the fifth reuses the first buffer.
    std::string r = dir.write("r.ini", "[s]\r\na=1\r\nb=2\r\nc=3\r\nd=4\r\ne=5\r\n");
    const char* a = iniGetString(r.c_str(), "s", "a", "");
    const char* b = iniGetString(r.c_str(), "s", "b", "");
    const char* c = iniGetString(r.c_str(), "s", "c", "");
    const char* d = iniGetString(r.c_str(), "s", "d", "");
    EXPECT_STREQ("1", a);
    EXPECT_STREQ("2", b);
    EXPECT_STREQ("3", c);
    EXPECT_STREQ("4", d);
    EXPECT_EQ(a, iniGetString(r.c_str(), "s", "e", ""));
    EXPECT_STREQ("5", a);

    std::string name(300, 'n');
    EXPECT_EQ(nullptr, iniOpen(name.c_str()));
    EXPECT_STREQ("d", iniGetString(name.c_str(), "s", "k", "d"));
}

TEST_F(Ini, ASaveScopeWritesEachFileOnceAtItsEnd) {
    std::string a = dir.write("a.ini", "[main]\r\nx=1\r\ny=1\r\n");
    std::string b = dir.file("b.ini");
    {
        IniSaveScope outer;
        EXPECT_EQ(1, iniWriteInt(a.c_str(), "main", "x", 2));
        {
            IniSaveScope inner;
            EXPECT_EQ(1, iniWriteInt(a.c_str(), "main", "y", 2));
            EXPECT_EQ(1, iniWriteString(b.c_str(), "s", "k", "new"));
        }
        // Held until the outermost scope ends, while reads already see the change.
        EXPECT_EQ("[main]\r\nx=1\r\ny=1\r\n", TempFolder::readFile(a));
        EXPECT_FALSE(dir.exists("b.ini"));
        EXPECT_EQ(2, iniGetInt(a.c_str(), "main", "y", 0));
        EXPECT_EQ(1, outer.end());
    }
    EXPECT_EQ("[main]\r\nx=2\r\ny=2\r\n", TempFolder::readFile(a));
    EXPECT_EQ("[s]\r\nk=new\r\n", TempFolder::readFile(b));

    // A file held changed inside a scope is not pushed out of the cache by others: it keeps its
    // place until the scope's end saves it.
    {
        IniSaveScope scope;
        EXPECT_EQ(1, iniWriteInt(a.c_str(), "main", "x", 3));
        for (int i = 0; i < 10; ++i) iniOpen(dir.file("other" + std::to_string(i) + ".ini").c_str());
        EXPECT_EQ("[main]\r\nx=2\r\ny=2\r\n", TempFolder::readFile(a));
        EXPECT_EQ(3, iniGetInt(a.c_str(), "main", "x", 0));
    }
    EXPECT_EQ("[main]\r\nx=3\r\ny=2\r\n", TempFolder::readFile(a));

    // A held save that fails is reported at the end, and the change stays in the cache.
    std::string lost = dir.file("no/folder/c.ini");
    IniSaveScope scope;
    EXPECT_EQ(1, iniWriteString(lost.c_str(), "s", "k", "v"));
    EXPECT_EQ(0, scope.end());
    EXPECT_STREQ("v", iniGetString(lost.c_str(), "s", "k", ""));
}

TEST_F(Ini, SectionListsStopAtTheBuffer) {
    std::string path = dir.write("l.ini", "; top\r\n[one]\r\nk=1\r\n  [two]\r\n[three\r\n[]\r\n[four]\r\n");
    char list[64];
    iniGetSections(path.c_str(), list, sizeof list);
    EXPECT_EQ(0, memcmp(list, "one\0two\0four\0\0", 14));
    char small[12];
    memset(small, 'X', sizeof small);
    iniGetSections(path.c_str(), small, 9);
    EXPECT_EQ(0, memcmp(small, "one\0two\0\0", 9));
    EXPECT_EQ('X', small[9]);
    iniGetSections(path.c_str(), small, 5);
    EXPECT_EQ(0, memcmp(small, "one\0\0", 5));
    iniGetSections(path.c_str(), small, 1);
    EXPECT_EQ('\0', small[0]);
}

TEST(IniPath, EqualNames) {
    EXPECT_EQ(0, iniPathEqual("Data\\Menu\\a.INI", "data/menu/A.ini"));
    EXPECT_EQ(0, iniPathEqual("", ""));
    EXPECT_NE(0, iniPathEqual("", "a"));
    EXPECT_NE(0, iniPathEqual("a.ini", "a.ini2"));
    EXPECT_NE(0, iniPathEqual(nullptr, nullptr));
    EXPECT_NE(0, iniPathEqual("\xC9", "\xE9"));
}
