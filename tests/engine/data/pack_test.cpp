// Tests of the resource packs: building packs of both versions, name matching, shared blocks,
// closing packs, and damaged packs.
#include <gtest/gtest.h>
#include <zlib.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "engine/data/file.h"
#include "engine/data/file_internal.h"
#include "engine/data/ini.h"
#include "tests/support/own_folder.h"

using testsupport::TempFolder;

namespace {

using Entries = std::vector<std::pair<std::string, std::string>>;

std::string le32(uint32_t v) {
    std::string s(4, '\0');
    for (int i = 0; i < 4; ++i) s[i] = static_cast<char>(v >> (8 * i));
    return s;
}

// A pack as the game's tools write it: version byte, then size, name, pad (version 2, odd
// offsets) and data for every entry.
std::string buildPack(int version, const Entries& entries) {
    std::string pack(1, static_cast<char>(version));
    for (const auto& e : entries) {
        pack += le32(static_cast<uint32_t>(e.second.size()));
        pack += e.first;
        pack += '\0';
        if (version >= 2 && (pack.size() & 1)) pack += '\xEE';
        pack += e.second;
    }
    return pack;
}

std::string makeZz(const std::string& data) {
    uLongf n = compressBound(data.size());
    std::string packed(n, '\0');
    compress(reinterpret_cast<Bytef*>(&packed[0]), &n, reinterpret_cast<const Bytef*>(data.data()),
             data.size());
    packed.resize(n);
    char field[9];
    snprintf(field, sizeof field, "%-8zu", data.size());
    return std::string("12345678") + field + packed;
}

std::string load(const std::string& name) {
    unsigned char* block = nullptr;
    int n = fileLoad(name.c_str(), &block);
    std::string s = block ? std::string(reinterpret_cast<char*>(block), n) : std::string();
    memFree(block);
    return s;
}

class Pack : public ::testing::Test {
protected:
    void TearDown() override {
        packCloseAll();
        iniFreeAll();
    }
    TempFolder dir;
};

}  // namespace

TEST_F(Pack, BothVersionsReadTheirPadding) {
    // "ab" ends at an odd offset (1 + 4 + 3 = 8 is even, so the second name decides).
    Entries entries = {{"ab", "first"}, {"data\\c.ini", "second"}, {"Data/Odd.txt", "third"}};
    for (int version : {1, 2}) {
        std::string pack = buildPack(version, entries);
        std::string path = dir.write("v" + std::to_string(version) + ".pak", pack);
        packOpen(path.c_str());
        EXPECT_EQ(3, packEntryCount());
        EXPECT_EQ("first", load("AB"));
        EXPECT_EQ("second", load("DATA/C.INI"));
        EXPECT_EQ("second", load("data\\c.ini"));
        EXPECT_EQ("third", load("data\\odd.txt"));
        EXPECT_EQ(1, fileExists("data/odd.txt"));
        packClose(path.c_str());
        EXPECT_EQ(0, packEntryCount());
    }
    EXPECT_NE(buildPack(1, entries).size(), buildPack(2, entries).size());
}

TEST_F(Pack, ZzEntriesAnswerToTheNameWithoutTheSuffix) {
    std::string text = "[main]\r\nname=Velmora\r\n" + std::string(3000, ';');
    packOpen(dir.write("z.pak", buildPack(2, {{"data\\menu\\A.INI.zz", makeZz(text)},
                                              {"fizz", "plain bytes"}}))
                 .c_str());
    EXPECT_EQ("plain bytes", load("FIZZ"));  // ends in 'z' but is no ".zz" entry
    EXPECT_EQ(text, load("Data/Menu/a.ini"));
    EXPECT_EQ(text, load("Data/Menu/a.ini"));  // the raw block was released, read again
    EXPECT_EQ("", load("Data/Menu/a.ini.zz"));
    EXPECT_EQ(1, fileExists("data/menu/a.ini"));
}

TEST_F(Pack, TheSameBlockIsSharedUntilItsLastHolderFreesIt) {
    std::string path = dir.write("s.pak", buildPack(1, {{"s.txt", "old!"}}));
    packOpen(path.c_str());
    unsigned char *a = nullptr, *b = nullptr;
    ASSERT_EQ(4, fileLoad("s.txt", &a));
    ASSERT_EQ(4, fileLoad("S.TXT", &b));
    EXPECT_EQ(a, b);
    // Change the bytes in the pack file: only a fresh read can see them.
    {
        FILE* f = fopen(path.c_str(), "r+b");
        fseek(f, 1 + 4 + 6, SEEK_SET);
        fwrite("new!", 1, 4, f);
        fclose(f);
    }
    memFree(a);
    EXPECT_EQ("old!", load("s.txt"));
    memFree(b);
    EXPECT_EQ("new!", load("s.txt"));
}

TEST_F(Pack, ThreeHundredHoldersKeepTheBlockAlive) {
    packOpen(dir.write("h.pak", buildPack(1, {{"h.txt", "held"}})).c_str());
    std::vector<unsigned char*> holders(300);
    for (auto& h : holders) ASSERT_EQ(4, fileLoad("h.txt", &h));
    for (size_t i = 0; i + 1 < holders.size(); ++i) memFree(holders[i]);
    EXPECT_EQ(0, memcmp(holders.back(), "held", 4));  // still alive after 299 frees
    memFree(holders.back());
}

TEST_F(Pack, ClosingOnePackKeepsTheOthersEntries) {
    std::string a = dir.write("a.pak", buildPack(1, {{"x.ini", "from a"}}));
    std::string b = dir.write("b.pak", buildPack(2, {{"x.ini", "from b"}, {"y.ini", "only b"}}));
    packOpen(a.c_str());
    packOpen(b.c_str());
    packOpen(b.c_str());  // already open: nothing more
    EXPECT_EQ(2, packEntryCount());
    EXPECT_EQ("from a", load("x.ini"));  // first match in file order wins
    EXPECT_EQ("only b", load("y.ini"));
    packClose(b.c_str());
    EXPECT_EQ("from a", load("x.ini"));
    EXPECT_EQ("", load("y.ini"));
}

TEST_F(Pack, BlocksHeldWhenTheirPackClosesStayValid) {
    std::string a = dir.write("a.pak", buildPack(1, {{"k.txt", "kept"}, {"l.txt", "last"}}));
    packOpen(a.c_str());
    unsigned char *k1 = nullptr, *k2 = nullptr, *l = nullptr;
    fileLoad("k.txt", &k1);
    fileLoad("k.txt", &k2);
    fileLoad("l.txt", &l);
    packClose(a.c_str());
    EXPECT_EQ(0, memcmp(k1, "kept", 4));
    memFree(k1);
    EXPECT_EQ(0, memcmp(k2, "kept", 4));
    memFree(k2);
    packCloseAll();
    EXPECT_EQ(0, memcmp(l, "last", 4));
    memFree(l);
}

TEST_F(Pack, NamesAreCutToSixtyOneCharacters) {
    std::string longName(70, 'n');
    std::string dupName = "dup.txt";
    packOpen(dir.write("n.pak", buildPack(2, {{longName, "long"}, {dupName, "one"}, {dupName, "two"},
                                              {"zero.txt", ""}}))
                 .c_str());
    EXPECT_EQ("", load(longName));
    EXPECT_EQ("long", load(longName.substr(0, 61)));
    EXPECT_EQ("one", load("dup.txt"));
    EXPECT_EQ(3, packEntryCount());
    // An entry of size 0 counts as absent, so the disk answers.
    dir.write("zero.txt", "from disk");
    EXPECT_EQ("from disk", load(dir.file("zero.txt")));
    EXPECT_EQ("", load("zero.txt"));
}

TEST_F(Pack, DamagedDirectoriesStopInsideTheFile) {
    std::string good = buildPack(2, {{"good.txt", "fine"}});
    struct Case {
        const char* what;
        std::string bytes;
        int entries;
    } cases[] = {
        {"empty file", "", 0},
        {"version only", "\x02", 0},
        {"size cut short", good + "\x05\x00", 1},
        {"name without an end", good + le32(1) + "unterminated", 1},
        {"name longer than 1024", good + le32(1) + std::string(1100, 'a') + '\0' + "x", 1},
        {"size past the end", good + le32(100) + "big.txt" + '\0' + "short", 1},
        {"size of 4 GiB", good + le32(0xFFFFFFFFu) + "huge.txt" + '\0' + "x", 1},
        {"pad past the end", good + le32(0) + "pp" + '\0', 1},
    };
    for (const Case& c : cases) {
        std::string path = dir.write("bad.pak", c.bytes);
        packOpen(path.c_str());
        EXPECT_EQ(c.entries, packEntryCount()) << c.what;
        if (c.entries) {
            EXPECT_EQ("fine", load("good.txt")) << c.what;
        }
        packClose(path.c_str());
    }
    std::string log = TempFolder::readFile("gerr.log");
    EXPECT_NE(std::string::npos, log.find("entry name without an end")) << log;
    EXPECT_NE(std::string::npos, log.find("entry big.txt runs past the end of the file")) << log;
    // A bad zz entry in a pack fails its load alone.
    packOpen(dir.write("z.pak", buildPack(1, {{"bad.zz", "12345678" "99      " "garbage"},
                                              {"ok.txt", "ok"}}))
                 .c_str());
    unsigned char* block = nullptr;
    EXPECT_EQ(0, fileLoad("bad", &block));
    EXPECT_EQ(nullptr, block);
    EXPECT_EQ("ok", load("ok.txt"));
}

TEST_F(Pack, PackInitOpensThePackNamedInGameIni) {
    dir.write("Data.pak", buildPack(1, {{"data/hello.txt", "hello"}}));
    dir.write("game.ini", "[main]\r\npack=data.pak\r\n");
    testsupport::InFolder in(dir.path());
    packInit();
    EXPECT_EQ("hello", load("Data\\Hello.txt"));
    packCloseAll();
    EXPECT_EQ(0, packEntryCount());
}
