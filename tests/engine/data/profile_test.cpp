// Tests of the profile store over a temporary XDG data folder and program folder.
#include <gtest/gtest.h>

#include <signal.h>

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <random>
#include <string>

#include "engine/data/file_internal.h"
#include "engine/data/ini.h"
#include "engine/data/profile.h"
#include "tests/support/child.h"
#include "tests/support/own_folder.h"

using testsupport::InFolder;
using testsupport::TempFolder;

namespace {

class Profile : public ::testing::Test {
protected:
    void SetUp() override {
        iniFreeAll();
        saveEnv("XDG_DATA_HOME", &oldXdg_);
        saveEnv("HOME", &oldHome_);
        setenv("XDG_DATA_HOME", xdg.path().c_str(), 1);
        program.write("game.ini", "[main]\r\nname=My Game!\r\nxs=800\r\nscale=1.5\r\ntitle=Hotel\r\n");
        in_ = std::make_unique<InFolder>(program.path());
        userFolderCreate();
    }
    void TearDown() override {
        iniFreeAll();
        restoreEnv("XDG_DATA_HOME", oldXdg_);
        restoreEnv("HOME", oldHome_);
        in_.reset();
    }
    // A game.ini of its own, then the user folder built again from it.
    void restart(const std::string& gameIni) {
        iniFreeAll();
        program.write("game.ini", gameIni);
        userFolderCreate();
    }
    std::string userFolder() {
        char buffer[1024];
        getUserFolder(buffer, sizeof buffer);
        return buffer;
    }

    TempFolder xdg, program;

private:
    static void saveEnv(const char* name, std::unique_ptr<std::string>* slot) {
        const char* v = getenv(name);
        if (v) *slot = std::make_unique<std::string>(v);
    }
    static void restoreEnv(const char* name, const std::unique_ptr<std::string>& value) {
        if (value) {
            setenv(name, value->c_str(), 1);
        } else {
            unsetenv(name);
        }
    }
    std::unique_ptr<std::string> oldXdg_, oldHome_;
    std::unique_ptr<InFolder> in_;
};

}  // namespace

TEST_F(Profile, TheUserFolderIsMadeFromTheGameName) {
    EXPECT_EQ(xdg.file("My Game "), userFolder());
    EXPECT_TRUE(xdg.exists("My Game "));

    restart("[main]\r\nname=Ignored\r\npath=a/b\r\n");
    EXPECT_EQ(xdg.file("a b"), userFolder());

    // A folder that differs only in case is the same folder.
    xdg.write("VELMORA/keep", "");
    restart("[main]\r\npath=velmora\r\n");
    EXPECT_EQ(xdg.file("VELMORA"), userFolder());

    // Without XDG_DATA_HOME (or with a relative one) the folder lives in ~/.local/share.
    TempFolder home;
    setenv("HOME", home.path().c_str(), 1);
    setenv("XDG_DATA_HOME", "relative/path", 1);
    restart("[main]\r\nname=Velmora\r\n");
    EXPECT_EQ(home.file(".local/share/Velmora"), userFolder());
    unsetenv("XDG_DATA_HOME");
    restart("[main]\r\nname=Other\r\n");
    EXPECT_EQ(home.file(".local/share/Other"), userFolder());
}

TEST_F(Profile, PlayersKeepTheirValuesInTheirSection) {
    EXPECT_EQ(0, profileSelect(""));
    EXPECT_EQ(1, profileSelect("Anna"));
    EXPECT_EQ(1, profileSetInt("level", "money", 500));
    std::string text = xdg.read("My Game /profile.ini");
    EXPECT_NE(std::string::npos, text.find("[Anna]\r\n")) << text;
    EXPECT_NE(std::string::npos, text.find("level_money=500\r\n")) << text;
    EXPECT_NE(std::string::npos, text.find("main_name=Anna\r\n")) << text;

    int money = -1;
    profileGetInt("level", "money", &money, 0, 1000, -1);
    EXPECT_EQ(500, money);
    // A key of null gives the group and '_' alone.
    EXPECT_EQ(1, profileSetInt("solo", nullptr, 3));
    EXPECT_NE(std::string::npos, xdg.read("My Game /profile.ini").find("solo_=3\r\n"));
    EXPECT_EQ(1, profileSetFloat("opt", "volume", 0.25f));
    float volume = 0;
    profileGetFloat("opt", "volume", &volume, 0, 1, 0.5f);
    EXPECT_FLOAT_EQ(0.25f, volume);
    EXPECT_EQ(1, profileSetWide("main", "title", u"Zo\u00EB"));
    char16_t wide[8];
    profileGetWide("main", "title", wide, 8);
    EXPECT_EQ(u"Zo\u00EB", std::u16string(wide));
    profileGetWide("main", "title", wide, 3);
    EXPECT_EQ(u"Zo", std::u16string(wide));
    char name[4];
    profileGetString("main", "name", name, sizeof name);
    EXPECT_STREQ("Ann", name);
    profileGetString("main", "name", name, 1);
    EXPECT_STREQ("", name);
}

TEST_F(Profile, NumbersOutsideTheCallersBoundsReadAsTheDefault) {
    profileSelect("Anna");
    struct Case {
        const char* stored;  // null: not written
        int expected;
    } ints[] = {{"12", 7}, {"10", 10}, {"-1", 7}, {"", 7}, {nullptr, 7}, {"abc", 0},
                {"99999999999", 7}, {" 4 coins", 4}};
    for (const Case& c : ints) {
        iniDeleteSection((userFolder() + "/profile.ini").c_str(), "Anna");
        profileSelect("Anna");
        if (c.stored) profileSetString("level", "stars", c.stored);
        int v = -100;
        profileGetInt("level", "stars", &v, 0, 10, 7);
        EXPECT_EQ(c.expected, v) << (c.stored ? c.stored : "(none)");
    }
    for (const char* stored : {"1.5", "-0.1", "nan", "inf"}) {
        profileSetString("opt", "gain", stored);
        float v = -100;
        profileGetFloat("opt", "gain", &v, 0.0f, 1.0f, 0.5f);
        EXPECT_FLOAT_EQ(0.5f, v) << stored;
    }
}

TEST_F(Profile, ListingFindingAndDeletingPlayers) {
    for (const char* n : {"Anna", "Bob", "Cleo"}) profileSelect(n);
    EXPECT_EQ(3, profileCount());
    char name[32] = "untouched";
    profileName(1, name, sizeof name);
    EXPECT_STREQ("Bob", name);
    strcpy(name, "untouched");
    profileName(3, name, sizeof name);
    profileName(-1, name, sizeof name);
    EXPECT_STREQ("untouched", name);
    EXPECT_EQ(1, profileFind("bob"));
    EXPECT_EQ(0, profileFind("Bobby"));
    EXPECT_EQ(0, profileFind(""));

    profileDelete("anna");
    EXPECT_EQ(2, profileCount());
    profileSetInt("level", "money", 5);  // Cleo is still current
    profileDelete("CLEO");
    EXPECT_EQ(1, profileCount());
    int v = 42;
    profileGetInt("level", "money", &v, 0, 100, 1);
    EXPECT_EQ(42, v);
    char s[8] = "same";
    profileGetString("main", "name", s, sizeof s);
    EXPECT_STREQ("same", s);
    EXPECT_EQ(0, profileSetInt("level", "money", 6));
    EXPECT_EQ(1, profileCount());
}

TEST_F(Profile, GameSettingsFallBackToGameIni) {
    int xs = 0;
    EXPECT_EQ(800, profGameGetInt("main", "xs", &xs));
    EXPECT_EQ(800, xs);
    EXPECT_EQ(0, profGameGetInt("main", "ys", nullptr));
    EXPECT_FLOAT_EQ(1.5f, profGameGetFloat("main", "scale", nullptr));
    EXPECT_EQ(1, profGameSetInt("main", "xs", 1024));
    EXPECT_EQ(1, profGameSetFloat("main", "scale", 2.0f));
    EXPECT_EQ(1, profGameSetString("main", "title", "Mine"));
    EXPECT_EQ(1024, profGameGetInt("main", "xs", nullptr));
    EXPECT_FLOAT_EQ(2.0f, profGameGetFloat("main", "scale", nullptr));
    char title[16];
    profGameGetString("main", "title", title, sizeof title);
    EXPECT_STREQ("Mine", title);
    EXPECT_EQ(std::string::npos, program.read("game.ini").find("1024"));
    EXPECT_TRUE(xdg.exists("My Game /profgame.ini"));

    EXPECT_EQ(0, scoresGetInt("top", "1", nullptr));
    EXPECT_EQ(1, scoresSetInt("top", "1", 900));
    EXPECT_EQ(1, scoresSetString("top", "name1", "Anna"));
    EXPECT_EQ(1, scoresSetWide("top", "wide1", u"Zo\u00EB"));
    int top = 0;
    EXPECT_EQ(900, scoresGetInt("top", "1", &top));
    EXPECT_EQ(900, top);
    char s[8];
    scoresGetString("top", "name1", s, sizeof s);
    EXPECT_STREQ("Anna", s);
    char16_t w[8];
    scoresGetWide("top", "wide1", w, 8);
    EXPECT_EQ(u"Zo\u00EB", std::u16string(w));
}

TEST_F(Profile, ACrashBetweenWriteAndRenameKeepsThePreviousFile) {
    profileSelect("Anna");
    profileSetInt("level", "money", 500);
    std::string before = xdg.read("My Game /profile.ini");
    int status = testsupport::inChild([] {
        gFileSaveBeforeRename = [](const char*) { _exit(9); };
        profileSetInt("level", "money", 9);
    });
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(9, WEXITSTATUS(status));
    EXPECT_EQ(before, xdg.read("My Game /profile.ini"));
    iniFreeAll();
    int money = 0;
    profileGetInt("level", "money", &money, 0, 1000, -1);
    EXPECT_EQ(500, money);
}

TEST_F(Profile, WithoutAUserFolderTheProgramFolderIsUsed) {
    xdg.write("blocker", "a file where a folder should be");
    setenv("XDG_DATA_HOME", xdg.file("blocker/data").c_str(), 1);
    restart("[main]\r\nname=Velmora\r\n");
    EXPECT_EQ(program.path(), userFolder());
    profileSelect("Anna");
    EXPECT_NE(std::string::npos, program.read("profile.ini").find("main_name=Anna"));

    restart("[main]\r\nname=\r\n");  // no name at all: no folder of the data home itself
    EXPECT_EQ(program.path(), userFolder());
    profileDelete("Anna");
}

// A user folder that cannot be written (read-only, or another user's; the file layer's fault
// hook stands in for the permissions, which the tests' root would pass) stays the folder: its
// players are read where they are, nothing goes to the program folder, and the store says so.
TEST_F(Profile, AReadOnlyUserFolderIsReadWhereItIs) {
    EXPECT_EQ(1, userFolderWritable());
    xdg.write("Velmora/profile.ini", "[Anna]\r\nmain_name=Anna\r\n[Bea]\r\nmain_name=Bea\r\n");
    static std::string locked;
    locked = xdg.file("Velmora");
    gFileSaveFault = [](const char* path) {
        return std::string(path).rfind(locked + "/", 0) == 0 ? EACCES : 0;
    };
    restart("[main]\r\nname=Velmora\r\n");
    EXPECT_EQ(0, userFolderWritable());
    EXPECT_EQ(locked, userFolder());
    EXPECT_EQ(2, profileCount());
    EXPECT_EQ(1, profileFind("Bea"));
    EXPECT_EQ(1, profileSelect("Bea"));  // the choice is made, if not saved
    EXPECT_EQ(0, profileSetInt("level", "money", 5));
    EXPECT_EQ(1, iniUnsavedCount());
    EXPECT_FALSE(program.exists("profile.ini"));
    gFileSaveFault = nullptr;
    restart("[main]\r\nname=Velmora\r\n");  // freed once the folder can be written again
    EXPECT_EQ(1, userFolderWritable());
    EXPECT_NE(std::string::npos, xdg.read("Velmora/profile.ini").find("level_money=5"));
}

// A process killed at any moment while it saves groups of keys leaves each file wholly as one
// group wrote it, and its temporary files go at the next start.
TEST_F(Profile, KilledWhileSavingGroupsEveryFileIsWholeAndTemporariesGo) {
    // A kill does not need the disk to sync: in memory, saves are short enough for hundreds of
    // kills to land everywhere within them in a few seconds.
    char memoryFolder[] = "/dev/shm/velmora_kills_XXXXXX";
    const bool inMemory = mkdtemp(memoryFolder) != nullptr;
    if (inMemory) {
        setenv("XDG_DATA_HOME", memoryFolder, 1);
        iniFreeAll();
        userFolderCreate();
    }
    const char* keys[] = {"FullScreen", "x", "y", "xs", "ys"};
    auto writeGroup = [&](int value) {
        IniSaveScope group;
        for (const char* key : keys) profGameSetInt("main", key, value);
    };
    writeGroup(0);
    const std::string settings = userFolder() + "/profgame.ini";

    std::mt19937 random(12345);
    std::uniform_int_distribution<int> delayUs(0, inMemory ? 3000 : 25000);
    int lastSeen = 0, later = 0;
    for (int kill = 0; kill < 200; ++kill) {
        int started[2];
        ASSERT_EQ(0, pipe(started));
        fflush(nullptr);
        pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            // Starting a child takes longer than a save: the clock starts once it has saved
            // one group.
            writeGroup(lastSeen + 1);
            char ready = 1;
            if (write(started[1], &ready, 1) != 1) _exit(1);
            for (int value = lastSeen + 2;; ++value) writeGroup(value);
        }
        close(started[1]);
        char ready = 0;
        ASSERT_EQ(1, read(started[0], &ready, 1));
        close(started[0]);
        usleep(static_cast<useconds_t>(delayUs(random)));
        ::kill(child, SIGKILL);
        waitpid(child, nullptr, 0);

        iniFreeAll();
        int x = iniGetInt(settings.c_str(), "main", "x", -1);
        for (const char* key : keys)
            ASSERT_EQ(x, iniGetInt(settings.c_str(), "main", key, -1)) << "kill " << kill << " " << key;
        ASSERT_GT(x, lastSeen);
        if (x > lastSeen + 1) ++later;
        lastSeen = x;
    }
    // Kills landed behind the first group too, not only right after it.
    EXPECT_GE(later, 5);

    userFolderCreate();
    int temporaries = 0;
    for (const auto& entry : std::filesystem::directory_iterator(userFolder()))
        if (entry.path().filename().string().find(".tmp") != std::string::npos) ++temporaries;
    EXPECT_EQ(0, temporaries);
    if (inMemory) std::filesystem::remove_all(memoryFolder);
}
