// Tests of the file layer on the disk: name resolution, whole-file loading, compressed files,
// streaming handles and crash-safe saving.
#include <gtest/gtest.h>
#include <zlib.h>

#include <unistd.h>

#include <cstring>
#include <string>

#include "engine/data/file.h"
#include "engine/data/file_internal.h"
#include "tests/support/child.h"
#include "tests/support/own_folder.h"

using testsupport::TempFolder;

namespace {

std::string load(const std::string& name) {
    unsigned char* block = nullptr;
    int n = fileLoad(name.c_str(), &block);
    std::string s = block ? std::string(reinterpret_cast<char*>(block), n) : std::string();
    EXPECT_EQ(n > 0, block != nullptr);
    memFree(block);
    return s;
}

// A ".zz" image: 8 ignored bytes, the unpacked size as digits, then the zlib stream.
std::string makeZz(const std::string& data, const char* sizeField = nullptr) {
    uLongf packedSize = compressBound(data.size());
    std::string packed(packedSize, '\0');
    compress(reinterpret_cast<Bytef*>(&packed[0]), &packedSize,
             reinterpret_cast<const Bytef*>(data.data()), data.size());
    packed.resize(packedSize);
    char field[9];
    snprintf(field, sizeof field, "%-8zu", data.size());
    return std::string("VELMORA!") + std::string(sizeField ? sizeField : field, 8) + packed;
}

}  // namespace

TEST(FileResolve, MatchesEveryComponentWithoutRegardToCase) {
    TempFolder dir;
    dir.write("Data/Menu/UIMain/Main.INI", "main");
    dir.write("data/cursor/cursor.ini", "cursor");
    EXPECT_EQ("main", load(dir.file("data\\menu\\uimain\\main.ini")));
    EXPECT_EQ("main", load(dir.file("DATA/MENU/UIMAIN/MAIN.INI")));
    EXPECT_EQ("cursor", load(dir.file("Data/Cursor/Cursor.ini")));
    EXPECT_EQ(1, fileExists(dir.file("data/Menu/uimain/main.ini").c_str()));
    EXPECT_EQ(0, fileExists(dir.file("data/menu/uimain/other.ini").c_str()));
    EXPECT_EQ(0, fileExists(dir.file("data/menu").c_str()));  // a folder is not a file

    char out[4096];
    EXPECT_EQ(1, fileResolvePath(dir.file("data\\MENU\\uimain\\main.ini").c_str(), out, sizeof out, 0));
    EXPECT_EQ(dir.file("Data/Menu/UIMain/Main.INI"), out);
    EXPECT_EQ(0, fileResolvePath(dir.file("nothing/here.ini").c_str(), out, sizeof out, 1));
    EXPECT_EQ(0, fileResolvePath(dir.file("Data/Menu").c_str(), out, 8, 0));  // too long for out
}

TEST(FileResolve, FolderListingsFollowChangesToTheFolder) {
    // Listings are kept once a folder has gone unchanged for 50 ms.
    const long settle = gFileListingSettleMs;
    gFileListingSettleMs = 50;
    TempFolder dir;
    dir.write("Data/Menu/Main.ini", "main");
    usleep(100 * 1000);
    EXPECT_EQ("main", load(dir.file("data/menu/main.INI")));
    EXPECT_EQ("", load(dir.file("data/menu/other.ini")));
    // A file added, one removed, and a folder replaced by another of the same name are seen at
    // once, whether or not their folders' listings were kept.
    dir.write("Data/Menu/Other.ini", "other");
    EXPECT_EQ("other", load(dir.file("data/menu/other.ini")));
    usleep(100 * 1000);
    EXPECT_EQ("other", load(dir.file("DATA/MENU/OTHER.ini")));
    ASSERT_EQ(0, unlink(dir.file("Data/Menu/Main.ini").c_str()));
    EXPECT_EQ("", load(dir.file("data/menu/main.INI")));
    usleep(100 * 1000);
    ASSERT_EQ(0, rename(dir.file("Data").c_str(), dir.file("Gone").c_str()));
    dir.write("DATA/Menu/Main.ini", "again");
    EXPECT_EQ("again", load(dir.file("data/menu/main.ini")));
    gFileListingSettleMs = settle;
}

TEST(FileResolve, NewFilesLandInTheExistingFolders) {
    TempFolder dir;
    dir.write("Data/Menu/a.ini", "a");
    EXPECT_EQ(3, fileSave(dir.file("DATA/menu/new.ini").c_str(), "new", 3));
    EXPECT_EQ("new", dir.read("Data/Menu/new.ini"));
    FileHandle* f = fileOpen(dir.file("data/MENU/log.txt").c_str(), 2);
    ASSERT_NE(nullptr, f);
    EXPECT_EQ(2, fileWrite(f, "ok", 2));
    fileClose(f);
    EXPECT_EQ("ok", dir.read("Data/Menu/log.txt"));
    // Saving under another case replaces the existing file instead of adding a twin.
    EXPECT_EQ(1, fileSave(dir.file("data/menu/A.INI").c_str(), "b", 1));
    EXPECT_EQ("b", dir.read("Data/Menu/a.ini"));
    EXPECT_FALSE(dir.exists("Data/Menu/A.INI"));
}

TEST(FileLoad, MissingEmptyAndPlainFiles) {
    TempFolder dir;
    dir.write("empty.bin", "");
    dir.write("quiz", "not compressed, although the name ends in z");
    unsigned char* block = reinterpret_cast<unsigned char*>(&dir);
    EXPECT_EQ(0, fileLoad("", &block));
    EXPECT_EQ(nullptr, block);
    EXPECT_EQ(0, fileLoad(dir.file("missing.ini").c_str(), &block));
    EXPECT_EQ(nullptr, block);
    EXPECT_EQ(0, fileLoad(dir.file("empty.bin").c_str(), &block));
    EXPECT_EQ(nullptr, block);
    EXPECT_EQ("not compressed, although the name ends in z", load(dir.file("quiz")));
}

TEST(FileLoad, InflatesZzFilesByTheirFullName) {
    TempFolder dir;
    std::string text(5000, 'x');
    text += "[main]\r\nname=Velmora\r\n";
    dir.write("a.ini.zz", makeZz(text));
    dir.write("b.ZZ", makeZz("upper case suffix"));
    EXPECT_EQ(text, load(dir.file("a.ini.zz")));
    EXPECT_EQ("upper case suffix", load(dir.file("b.zz")));
    EXPECT_EQ("", load(dir.file("a.ini")));  // on the disk the suffix is part of the name
    // A header that overstates the size still gives the true length.
    dir.write("over.zz", makeZz("12345", "99      "));
    EXPECT_EQ("12345", load(dir.file("over.zz")));
}

TEST(FileLoad, DamagedZzFilesFailCleanly) {
    std::string good = makeZz("the quick brown fox jumps over the lazy dog");
    std::string stream = good.substr(16);
    struct Case {
        const char* what;
        std::string bytes;
    } cases[] = {
        {"shorter than the header", good.substr(0, 12)},
        {"header only", good.substr(0, 16)},
        {"size is not a number", std::string("VELMORA!") + "abcdefgh" + stream},
        {"negative size", std::string("VELMORA!") + "-43     " + stream},
        {"size beyond any ratio", std::string("VELMORA!") + "99999999" + stream},
        {"size below the data", std::string("VELMORA!") + "5       " + stream},
        {"stream cut short", good.substr(0, good.size() - 10)},
        {"stream of garbage", std::string("VELMORA!") + "43      " + std::string(40, '\x5a')},
        {"size zero", std::string("VELMORA!") + "0       " + stream},
    };
    TempFolder dir;
    for (const Case& c : cases) {
        std::string path = dir.write("bad.zz", c.bytes);
        unsigned char* block = nullptr;
        EXPECT_EQ(0, fileLoad(path.c_str(), &block)) << c.what;
        EXPECT_EQ(nullptr, block) << c.what;
        unsigned char* direct = nullptr;
        EXPECT_EQ(0, zzInflate(reinterpret_cast<const unsigned char*>(c.bytes.data()),
                               static_cast<long>(c.bytes.size()), &direct, "bad.zz"))
            << c.what;
        EXPECT_EQ(nullptr, direct);
    }
    EXPECT_NE(std::string::npos, TempFolder::readFile("gerr.log").find("zz: bad.zz"));
}

TEST(FileHandle, ReadWriteSeekSizeEof) {
    TempFolder dir;
    std::string path = dir.file("stream.bin");
    EXPECT_EQ(nullptr, fileOpen("", 1));
    EXPECT_EQ(nullptr, fileOpen(dir.file("missing").c_str(), 1));
    EXPECT_EQ(nullptr, fileOpen(dir.file("missing").c_str(), 3));

    FileHandle* w = fileOpen(path.c_str(), 2);
    ASSERT_NE(nullptr, w);
    EXPECT_EQ(10, fileWrite(w, "0123456789", 10));
    EXPECT_EQ("0123456789", dir.read("stream.bin"));  // flushed at once
    EXPECT_EQ(0, fileWrite(w, nullptr, 3));
    fileClose(w);

    FileHandle* rw = fileOpen(path.c_str(), 3);
    ASSERT_NE(nullptr, rw);
    EXPECT_EQ(0, fileSeek(rw, 4));
    EXPECT_EQ(10, fileSize(rw));
    char buf[8] = {};
    EXPECT_EQ(3, fileRead(rw, buf, 3));
    EXPECT_STREQ("456", buf);  // the size query kept the position
    EXPECT_EQ(0, fileEof(rw));
    EXPECT_EQ(3, fileRead(rw, buf, 8));
    EXPECT_EQ(1, fileEof(rw));
    EXPECT_EQ(0, fileSeek(rw, 0));
    EXPECT_EQ(1, fileWrite(rw, "X", 1));
    fileClose(rw);
    EXPECT_EQ("X123456789", dir.read("stream.bin"));

    EXPECT_EQ(1, fileSeek(nullptr, 0));
    EXPECT_EQ(0, fileSize(nullptr));
    EXPECT_EQ(0, fileRead(nullptr, buf, 1));
    fileClose(nullptr);
}

TEST(FileSave, WritesEmptyFilesAndRefusesMissingFolders) {
    TempFolder dir;
    dir.write("old.ini", "old contents");
    EXPECT_EQ(0, fileSave(dir.file("old.ini").c_str(), nullptr, 0));
    EXPECT_TRUE(dir.exists("old.ini"));
    EXPECT_EQ("", dir.read("old.ini"));
    EXPECT_EQ(0, fileSave("", "x", 1));
    EXPECT_EQ(-1, fileSaveChecked(dir.file("no/such/folder.ini").c_str(), "x", 1));
    EXPECT_EQ(0, fileSaveChecked(dir.file("empty.ini").c_str(), "", 0));
}

TEST(FileSave, ACrashBeforeTheRenameKeepsTheOldFile) {
    TempFolder dir;
    std::string path = dir.write("profile.ini", "[Anna]\r\nlevel_money=500\r\n");
    int status = testsupport::inChild([&] {
        gFileSaveBeforeRename = [](const char*) { _exit(7); };
        fileSave(path.c_str(), "[Anna]\r\nlevel_money=9", 21);
    });
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(7, WEXITSTATUS(status));
    EXPECT_EQ("[Anna]\r\nlevel_money=500\r\n", dir.read("profile.ini"));
    // Without the crash the same save replaces the file whole.
    EXPECT_EQ(21, fileSave(path.c_str(), "[Anna]\r\nlevel_money=9", 21));
    EXPECT_EQ("[Anna]\r\nlevel_money=9", dir.read("profile.ini"));
}

TEST(FileSave, StaleTemporaryFilesOfTheTargetAreSwept) {
    TempFolder dir;
    std::string path = dir.write("profile.ini", "old");
    // A process that has ended: its id is taken from a child that was waited for.
    pid_t gone = fork();
    if (gone == 0) _exit(0);
    waitpid(gone, nullptr, 0);
    const std::string own = std::to_string(getpid()), running = std::to_string(getppid());
    const struct {
        std::string name;
        bool swept;
    } cases[] = {
        {"profile.ini.tmp" + own + "_0", true},
        {"profile.ini.tmp" + std::to_string(gone) + "_13", true},
        {"profile.ini.tmp" + running + "_2", false},  // another save may be under way
        {"profile.ini.tmp" + own + "_", false},
        {"profile.ini.tmpx_1", false},
        {"profile.ini.tmp" + own + "_1.bak", false},
        {"scores.ini.tmp" + own + "_0", false},
    };
    for (const auto& c : cases) dir.write(c.name, "partial");
    EXPECT_EQ(3, fileSave(path.c_str(), "new", 3));
    EXPECT_EQ("new", dir.read("profile.ini"));
    for (const auto& c : cases) EXPECT_EQ(!c.swept, dir.exists(c.name)) << c.name;
}
