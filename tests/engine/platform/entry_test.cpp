// The entry with a stand-in game: finding game.ini, window placement from sane settings and
// geometry saving, starts that fail, every way out of a run, the loop's frames while active and
// inactive, the window procedure's message table and the typed debug words.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <chrono>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "engine/data/ini.h"
#include "engine/data/profile.h"
#include "engine/platform/engine.h"
#include "engine/platform/engine_internal.h"
#include "engine/platform/input.h"
#include "engine/platform/log.h"
#include "engine/platform/platform.h"
#include "engine/platform/testing.h"
#include "engine/snd/snd.h"
#include "tests/support/temp_folder.h"

namespace fs = std::filesystem;

// The log stays in the binary's own folder whichever folder a test works in.
const bool kOwnFolder = testsupport::workInOwnFolder("velmora_entry_log", [] { logOpen(); });

bool operator==(const PlatMessage& a, const PlatMessage& b) {
    return a.message == b.message && a.wParam == b.wParam && a.lParam == b.lParam;
}

std::ostream& operator<<(std::ostream& os, const PlatMessage& m) {
    return os << "(" << m.message << ", " << m.wParam << ", 0x" << std::hex << m.lParam << std::dec
              << ")";
}

namespace {

// --- The stand-in game ---

struct FakeGame {
    int inits = 0;
    int shutdowns = 0;
    int frames = 0;
    bool windowAtInit = false;
    std::vector<PlatMessage> messages;
    std::vector<int> framesAtMessage;
    // Called for every frame with its number from 1; the frame's result.
    std::function<int(int)> frame;
};

FakeGame gGame;

// --- What the loop takes from the outside world ---

struct World {
    std::deque<PlatMessage> ready;
    // Each wait for a message releases the next batch; with none left the wait gives the quit.
    std::deque<std::vector<PlatMessage>> afterWait;
    int waits = 0;
    float clock = 0;
    std::vector<int> sleeps;
    int minimizes = 0;
};

World gWorld;

bool fakeNext(PlatMessage* out, bool wait) {
    if (gWorld.ready.empty() && wait) {
        gWorld.waits++;
        if (gWorld.afterWait.empty()) {
            gWorld.ready.push_back({WM_QUIT, 0, 0});
        } else {
            for (const PlatMessage& m : gWorld.afterWait.front()) gWorld.ready.push_back(m);
            gWorld.afterWait.pop_front();
        }
    }
    if (gWorld.ready.empty()) return false;
    *out = gWorld.ready.front();
    gWorld.ready.pop_front();
    return true;
}

void fakeSleep(int ms) {
    gWorld.sleeps.push_back(ms);
    gWorld.clock += static_cast<float>(ms);
}

float fakeNow() { return gWorld.clock; }

void fakeMinimize() { gWorld.minimizes++; }

const EngineHooks kFakeWorld = {fakeNext, fakeSleep, fakeNow, fakeMinimize};

}  // namespace

void GameInit() {
    gGame.inits++;
    gGame.windowAtInit = platWindowIsOpen();
}

int GameFrame() {
    int n = ++gGame.frames;
    return gGame.frame ? gGame.frame(n) : 1;
}

void GameOnMessage(uint32_t message, uintptr_t wParam, intptr_t lParam) {
    gGame.messages.push_back({message, wParam, lParam});
    gGame.framesAtMessage.push_back(gGame.frames);
}

void GameShutdown() {
    gGame.shutdowns++;
    engineDone();
}

namespace {

const char* kGameIni =
    "[main]\nname=Velmora Test\npath=EntryTest\nxs=400\nys=300\nx=10\ny=20\nFullScreen=0\n";

class Entry : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder_.enter());
        setenv("XDG_DATA_HOME", (root_ / "data").c_str(), 1);
        iniFreeAll();
        gGame = FakeGame{};
        gWorld = World{};
        engineSetHooks(&kFakeWorld);
        uiShowBounds = uiLayoutEditor = 0;
        writeGameIni(kGameIni);
    }
    void TearDown() override {
        engineDone();
        engineSetHooks(nullptr);
        iniFreeAll();
    }

    void writeGameIni(const std::string& text) { write(root_ / "game.ini", text); }
    fs::path profGame() const { return root_ / "data" / "EntryTest" / "profgame.ini"; }
    void writeProfGame(const std::string& text) {
        fs::create_directories(profGame().parent_path());
        write(profGame(), text);
    }
    // A key of the saved settings; -999 when absent.
    int saved(const char* key) {
        iniFreeAll();
        int value = iniGetInt(profGame().c_str(), "main", key, -999);
        iniFreeAll();
        return value;
    }
    static void write(const fs::path& path, const std::string& text) {
        std::ofstream(path, std::ios::binary) << text;
    }

    // Each test works in a folder of its own, left and removed once the test is over.
    testsupport::TempFolder folder_{"velmora_entry"};
    fs::path root_ = folder_.path();
};

TEST_F(Entry, WindowPlacementFromTheSettings) {
    ASSERT_TRUE(platInit());
    int screenWidth, screenHeight;
    platDesktopSize(&screenWidth, &screenHeight);
    ASSERT_GT(screenWidth, 400);
    const int midX = (screenWidth - 400) / 2, midY = (screenHeight - 300) / 2;
    struct Case {
        const char* name;
        std::string game;      // keys after [main] name and path
        std::string profGame;  // empty: no profgame.ini
        int x, y, xs, ys;
    };
    const std::string W = std::to_string(screenWidth), H = std::to_string(screenHeight);
    const Case cases[] = {
        {"game.ini alone", "xs=400\nys=300\nx=10\ny=20\n", "", 10, 20, 400, 300},
        {"profgame.ini first", "xs=400\nys=300\nx=10\ny=20\n",
         "[main]\nx=30\ny=40\nxs=320\nys=200\n", 30, 40, 320, 200},
        {"negative saved x", "xs=400\nys=300\nx=10\ny=20\n", "[main]\nx=-5\n", midX, 20, 400, 300},
        {"x at the screen's width", "xs=400\nys=300\ny=20\nx=" + W + "\n", "", midX, 20, 400, 300},
        {"x just inside", "xs=400\nys=300\ny=20\nx=" + std::to_string(screenWidth - 1) + "\n", "",
         screenWidth - 1, 20, 400, 300},
        {"y negative and beyond", "xs=400\nys=300\nx=10\ny=-1\n", "[main]\ny=" + H + "\n", 10, midY,
         400, 300},
    };
    for (const Case& c : cases) {
        writeGameIni("[main]\nname=Velmora Test\npath=EntryTest\n" + c.game);
        fs::remove(profGame());
        if (!c.profGame.empty()) writeProfGame(c.profGame);
        iniFreeAll();
        ASSERT_EQ(engineInit(), 0) << c.name;
        ASSERT_TRUE(platWindowIsOpen()) << c.name;
        int x, y, xs, ys;
        platWindowGetRect(&x, &y, &xs, &ys);
        EXPECT_EQ(x, c.x) << c.name;
        EXPECT_EQ(y, c.y) << c.name;
        EXPECT_EQ(xs, c.xs) << c.name;
        EXPECT_EQ(ys, c.ys) << c.name;
        char title[64];
        platTestWindowTitle(title, sizeof title);
        EXPECT_STREQ(title, "Velmora Test");
        engineDone();
        EXPECT_FALSE(platWindowIsOpen());
    }
}

TEST_F(Entry, RunSavesWhereTheWindowEndedAndStopsOnce) {
    gGame.frame = [](int n) {
        if (n == 1) platWindowSetPos(70, 80);
        return n == 2 ? 1 : 0;
    };
    EXPECT_EQ(engineMain(0, nullptr), 0);
    EXPECT_EQ(gGame.inits, 1);
    EXPECT_TRUE(gGame.windowAtInit);
    EXPECT_EQ(gGame.frames, 2);
    EXPECT_EQ(gGame.shutdowns, 1);
    EXPECT_FALSE(platWindowIsOpen());
    EXPECT_EQ(saved("x"), 70);
    EXPECT_EQ(saved("y"), 80);
    EXPECT_EQ(saved("xs"), 400);
    EXPECT_EQ(saved("ys"), 300);
    EXPECT_EQ(saved("FullScreen"), 0);

    // The stop already ran inside the game's shutdown: a further one writes nothing.
    fs::remove(profGame());
    engineDone();
    EXPECT_FALSE(fs::exists(profGame()));
}

TEST_F(Entry, FullScreenRunKeepsTheSavedCorner) {
    writeGameIni("[main]\nname=Velmora Test\npath=EntryTest\nxs=400\nys=300\nx=100\ny=50\n"
                 "FullScreen=1\n");
    gGame.frame = [](int) { return 1; };
    engineMain(0, nullptr);
    EXPECT_EQ(gGame.frames, 1);
    EXPECT_EQ(saved("x"), 100);
    EXPECT_EQ(saved("y"), 50);
    EXPECT_EQ(saved("FullScreen"), 1);
}

// What the log gained since the mark.
struct LogMark {
    size_t at = log().size();
    static std::string log() {
        return testsupport::TempFolder::readFile(testsupport::ownFolder() + "/gerr.log");
    }
    std::string since() const { return log().substr(at); }
};

size_t count(const std::string& text, const std::string& part) {
    size_t n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
    return n;
}

TEST_F(Entry, DamagedSavedGeometryFallsBackWithOneLogLine) {
    ASSERT_TRUE(platInit());
    int screenWidth, screenHeight;
    platDesktopSize(&screenWidth, &screenHeight);
    struct Case {
        const char* name;
        std::string game;      // keys after [main] name and path
        std::string profGame;  // empty: no profgame.ini
        int xs, ys;
        bool logged;
    };
    const Case cases[] = {
        {"saved size of 0", "xs=400\nys=300\n", "[main]\nxs=0\nys=0\n", 400, 300, true},
        {"saved size negative", "xs=400\nys=300\n", "[main]\nxs=-640\nys=480\n", 400, 300, true},
        {"saved size huge", "xs=400\nys=300\n", "[main]\nxs=99999999\nys=480\n", 400, 300, true},
        {"saved size not a number", "xs=400\nys=300\n", "[main]\nxs=big\nys=480px\n", 400, 300,
         true},
        {"no size anywhere", "", "", 1024, 768, true},
        {"game.ini damaged too", "xs=0\nys=abc\n", "[main]\nxs=-1\n", 1024, 768, true},
        {"sane saved size", "xs=400\nys=300\n", "[main]\nxs=320\nys=200\n", 320, 200, false},
        {"sane game.ini alone", "xs=400\nys=300\n", "", 400, 300, false},
    };
    for (const Case& c : cases) {
        writeGameIni("[main]\nname=Velmora Test\npath=EntryTest\nx=10\ny=20\n" + c.game);
        fs::remove(profGame());
        if (!c.profGame.empty()) writeProfGame(c.profGame);
        iniFreeAll();
        LogMark mark;
        ASSERT_EQ(engineInit(), 0) << c.name;
        ASSERT_TRUE(platWindowIsOpen()) << c.name;
        int xs, ys, startXs, startYs;
        platWindowGetRect(nullptr, nullptr, &xs, &ys);
        wndGetStartSize(&startXs, &startYs);
        EXPECT_EQ(xs, c.xs) << c.name;
        EXPECT_EQ(ys, c.ys) << c.name;
        EXPECT_EQ(startXs, c.xs) << c.name;
        EXPECT_EQ(startYs, c.ys) << c.name;
        EXPECT_EQ(count(mark.since(), "no usable window size"), c.logged ? 1u : 0u) << c.name;
        engineDone();
        // The sane size is what the next start finds.
        EXPECT_EQ(saved("xs"), c.xs) << c.name;
    }

    // A damaged saved corner is centred unless game.ini has a good one.
    const int midX = (screenWidth - 400) / 2;
    writeGameIni("[main]\nname=Velmora Test\npath=EntryTest\nxs=400\nys=300\ny=20\n");
    writeProfGame("[main]\nx=left\ny=99999999\n");
    iniFreeAll();
    ASSERT_EQ(engineInit(), 0);
    int x, y;
    platWindowGetRect(&x, &y, nullptr, nullptr);
    EXPECT_EQ(x, midX);
    EXPECT_EQ(y, 20);
}

TEST_F(Entry, AStartWithoutAWindowFailsOnceAndSavesNothing) {
    struct Case {
        const char* name;
        std::string gameIni;  // empty: no game.ini at all
        const char* reason;
    };
    const Case cases[] = {
        {"no name", "[main]\npath=EntryTest\nxs=400\nys=300\n", "has no [main] \"name\""},
        {"empty name", "[main]\nname=\npath=EntryTest\n", "has no [main] \"name\""},
        {"no game.ini", "", "no game.ini in"},
    };
    for (const Case& c : cases) {
        if (c.gameIni.empty()) {
            fs::remove(root_ / "game.ini");
        } else {
            writeGameIni(c.gameIni);
        }
        iniFreeAll();
        gGame = FakeGame{};
        gGame.frame = [](int) { return 0; };
        LogMark mark;
        if (c.gameIni.empty()) {
            // engineMain would look above the test program and find the project's game.ini.
            EXPECT_EQ(engineInit(), 0);
            EXPECT_FALSE(engineWindow().windowMade);
            engineDone();
        } else {
            EXPECT_EQ(engineMain(0, nullptr), 1) << c.name;
            EXPECT_EQ(gGame.inits, 0) << c.name;
            EXPECT_EQ(gGame.shutdowns, 0) << c.name;
            EXPECT_EQ(count(mark.since(), "Message box"), 1u) << c.name << mark.since();
            EXPECT_EQ(count(mark.since(), "\"You should put GAME.INI into the projects "
                                          "directory\": Window did't create!"),
                      1u)
                << c.name;
        }
        EXPECT_EQ(count(mark.since(), c.reason), 1u) << c.name << mark.since();
        EXPECT_FALSE(fs::exists(profGame())) << c.name;
    }

    // A window the display refused: nothing saved, so game.ini's mended size counts next time.
    writeGameIni("[main]\nname=Velmora Test\npath=EntryTest\nxs=400\nys=300\n");
    iniFreeAll();
    ASSERT_TRUE(platInit());
    ASSERT_TRUE(platWindowOpen(u"in the way", 0, 0, 10, 10, false));  // one window only
    gGame = FakeGame{};
    LogMark mark;
    EXPECT_EQ(engineMain(0, nullptr), 1);
    EXPECT_EQ(gGame.inits, 0);
    EXPECT_EQ(count(mark.since(), "the window could not be made"), 1u);
    EXPECT_FALSE(fs::exists(profGame()));
}

TEST_F(Entry, TheFolderThatHoldsGameIniBecomesTheCurrentOne) {
    const fs::path tree = root_ / "tree";
    fs::remove(root_ / "game.ini");  // the tree's own folders decide
    const struct {
        const char* name;
        std::vector<std::string> gameInis;  // folders under the tree that hold one
        std::string program;                // under the tree
        std::string expected;               // the current folder after the search, under the tree
        bool found;
    } cases[] = {
        {"beside the program first", {"here", "build"}, "build/velmora", "build", true},
        {"the current folder next", {"here", "src"}, "src/build/velmora", "here", true},
        {"beside the program", {"build/release"}, "build/release/velmora", "build/release", true},
        {"a folder above the program", {"src"}, "src/build/release/velmora", "src", true},
        {"the nearest one above", {"a", "a/b"}, "a/b/c/velmora", "a/b", true},
        {"an install", {"prefix/share/velmora"}, "prefix/bin/velmora", "prefix/share/velmora",
         true},
        {"nowhere", {}, "build/velmora", "here", false},
    };
    for (const auto& c : cases) {
        fs::remove_all(tree);
        fs::create_directories(tree / "here");
        for (const std::string& folder : c.gameInis) {
            fs::create_directories(tree / folder);
            write(tree / folder / "game.ini", "[main]\nname=x\n");
        }
        fs::create_directories((tree / c.program).parent_path());
        fs::current_path(tree / "here");
        EXPECT_EQ(engineFindGameFolder((tree / c.program).c_str()), c.found) << c.name;
        EXPECT_EQ(fs::current_path(), fs::canonical(tree / c.expected)) << c.name;
    }
    fs::current_path(root_);
}

// --- Every way out ---

TEST_F(Entry, EveryWayOutStopsTheEngineOnceAndSaves) {
    const fs::path socket = profGame().parent_path() / "instance.sock";
    struct Case {
        const char* name;
        int signal;         // sent once the loop runs; 0: none
        bool displayLost;   // the display goes away at the third frame
        int exitCode;
        size_t exitStops;   // stops made by the way out of exit()
    };
    const Case cases[] = {
        {"SIGTERM", SIGTERM, false, 0, 0},
        {"SIGINT", SIGINT, false, 0, 0},
        {"display lost", 0, true, 1, 1},
    };
    for (const Case& c : cases) {
        fs::remove(profGame());
        int running[2];
        ASSERT_EQ(pipe(running), 0);
        fs::remove(root_ / "gerr.log");
        // A process of its own: what matters happens at its end, static destructors included.
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, running[1], 1);
        posix_spawn_file_actions_addclose(&actions, running[0]);
        char program[] = VELMORA_EXIT_CHILD, lost[] = "lost";
        char* argv[] = {program, c.displayLost ? lost : nullptr, nullptr};
        pid_t child = 0;
        ASSERT_EQ(posix_spawn(&child, program, &actions, nullptr, argv, environ), 0);
        posix_spawn_file_actions_destroy(&actions);
        close(running[1]);
        char ready = 0;
        ASSERT_EQ(read(running[0], &ready, 1), 1) << c.name;  // the loop runs
        close(running[0]);
        EXPECT_TRUE(fs::exists(socket)) << c.name;
        if (c.signal) kill(child, c.signal);
        int status = 0;
        waitpid(child, &status, 0);
        ASSERT_TRUE(WIFEXITED(status)) << c.name << ": ended by signal " << WTERMSIG(status);
        EXPECT_EQ(WEXITSTATUS(status), c.exitCode) << c.name;
        EXPECT_EQ(saved("xs"), 400) << c.name;
        EXPECT_EQ(saved("ys"), 300) << c.name;
        EXPECT_EQ(saved("FullScreen"), 0) << c.name;
        EXPECT_FALSE(fs::exists(socket)) << c.name;
        EXPECT_EQ(count(testsupport::TempFolder::readFile((root_ / "gerr.log").string()),
                        "before the engine stopped"),
                  c.exitStops)
            << c.name;
    }
}

// The whole program over the engine as a process of its own, with the environment less the
// variables named; it is killed after limit seconds. What it wrote on its standard error comes
// back with its wait status (-1 when it was killed).
struct ChildRun {
    int status = -1;
    double seconds = 0;
    std::string err;
};

ChildRun runExitChild(const std::vector<std::string>& unset, int limit) {
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) {
        const std::string entry = *e;
        bool drop = false;
        for (const std::string& name : unset) drop |= entry.rfind(name + "=", 0) == 0;
        if (!drop) env.push_back(entry);
    }
    std::vector<char*> envp;
    for (std::string& entry : env) envp.push_back(entry.data());
    envp.push_back(nullptr);
    int errPipe[2];
    ChildRun run;
    if (pipe(errPipe) != 0) return run;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, errPipe[1], 2);
    posix_spawn_file_actions_addclose(&actions, errPipe[0]);
    char program[] = VELMORA_EXIT_CHILD;
    char* argv[] = {program, nullptr};
    pid_t child = 0;
    const auto start = std::chrono::steady_clock::now();
    const int spawned = posix_spawn(&child, program, &actions, nullptr, argv, envp.data());
    posix_spawn_file_actions_destroy(&actions);
    close(errPipe[1]);
    if (spawned != 0) {
        close(errPipe[0]);
        return run;
    }
    int status = 0;
    while (waitpid(child, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() - start > std::chrono::seconds(limit)) {
            kill(child, SIGKILL);
            waitpid(child, &status, 0);
            status = -1;
            break;
        }
        usleep(20000);
    }
    run.status = status;
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    char buffer[4096];
    for (ssize_t n; (n = read(errPipe[0], buffer, sizeof buffer)) > 0;) run.err.append(buffer, n);
    close(errPipe[0]);
    return run;
}

// With no display at all, the start ends as one whose window could not be made, at once.
TEST_F(Entry, WithNoDisplayTheStartEndsAsAWindowThatCouldNotBeMade) {
    const ChildRun run = runExitChild({"DISPLAY", "WAYLAND_DISPLAY", "SDL_VIDEODRIVER"}, 10);
    ASSERT_NE(run.status, -1) << "still running after 10 s";
    ASSERT_TRUE(WIFEXITED(run.status));
    EXPECT_EQ(WEXITSTATUS(run.status), 1);
    EXPECT_LT(run.seconds, 10.0);
    const std::string log = testsupport::TempFolder::readFile((root_ / "gerr.log").string());
    EXPECT_EQ(count(log, "no display"), 1u) << log;
    EXPECT_EQ(count(log, "engineInit: no window system: the window could not be made"), 1u) << log;
    EXPECT_EQ(count(log, "\"You should put GAME.INI into the projects directory\": Window "
                         "did't create!"),
              1u)
        << log;
}

// A second copy ends with a word on why, and leaves the running copy's log as it is: here the
// first holds the lock but answers nothing.
TEST_F(Entry, ASecondCopySaysWhyItEndsAndLeavesTheLogAlone) {
    iniFreeAll();
    userFolderCreate();
    char folder[1024];
    getUserFolder(folder, sizeof folder);
    platDone();  // without a started layer the lock's holder cannot answer
    ASSERT_EQ(platInstanceAcquire(folder), PLAT_INSTANCE_FIRST);
    write(root_ / "gerr.log", "the running copy's log\n");
    const ChildRun run = runExitChild({}, 20);
    platInstanceRelease();
    ASSERT_NE(run.status, -1);
    ASSERT_TRUE(WIFEXITED(run.status));
    EXPECT_EQ(WEXITSTATUS(run.status), 0);
    EXPECT_NE(run.err.find("already running"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("does not answer"), std::string::npos) << run.err;
    EXPECT_EQ(testsupport::TempFolder::readFile((root_ / "gerr.log").string()),
              "the running copy's log\n");
    EXPECT_FALSE(fs::exists(profGame()));
}

TEST_F(Entry, SecondStartOnlyAsksTheFirstToRestore) {
    iniFreeAll();
    userFolderCreate();
    char folder[1024];
    getUserFolder(folder, sizeof folder);
    ASSERT_TRUE(platInit());
    ASSERT_EQ(platInstanceAcquire(folder), PLAT_INSTANCE_FIRST);
    EXPECT_EQ(engineMain(0, nullptr), 0);
    EXPECT_EQ(gGame.inits, 0);
    EXPECT_EQ(gGame.shutdowns, 0);
    EXPECT_FALSE(fs::exists(profGame()));
}

TEST_F(Entry, CommandLineArguments) {
    writeGameIni("[main]\n");
    char program[] = "velmora", first[] = "-x";
    char* argv[] = {program, first, nullptr};
    engineMain(2, argv);
    EXPECT_EQ(cmdArgCount(), 2);
    char text[8];
    cmdArg(1, text, sizeof text);
    EXPECT_STREQ(text, "-x");
    cmdArg(0, text, 4);
    EXPECT_STREQ(text, "vel");
    cmdArg(2, text, sizeof text);
    EXPECT_STREQ(text, "");
}

// --- The loop ---

TEST_F(Entry, InactiveWithoutAlwaysActiveRunsNoFrames) {
    gWorld.ready = {{WM_ACTIVATEAPP, 0, 0}};
    gWorld.afterWait = {{{WM_CHAR, 'a', 1}}, {{WM_ACTIVATEAPP, 1, 0}}};
    gGame.frame = [](int) { return 1; };
    engineMain(0, nullptr);
    ASSERT_EQ(gGame.messages.size(), 3u);
    EXPECT_EQ(gGame.messages[1], (PlatMessage{WM_CHAR, 'a', 1}));
    EXPECT_EQ(gGame.framesAtMessage[2], 0);  // nothing ran until activation came back
    EXPECT_EQ(gGame.frames, 1);
    EXPECT_EQ(gWorld.waits, 2);
    EXPECT_TRUE(gWorld.sleeps.empty());
}

TEST_F(Entry, InactiveWithAlwaysActiveRunsAFrameEvery100Ms) {
    writeGameIni(std::string(kGameIni) + "AlwaysActive=1\n");
    gWorld.ready = {{WM_ACTIVATEAPP, 0, 0}};
    std::vector<float> frameTimes;
    gGame.frame = [&](int n) {
        frameTimes.push_back(gWorld.clock);
        return n == 5 ? 1 : 0;
    };
    engineMain(0, nullptr);
    EXPECT_EQ(frameTimes, (std::vector<float>{100, 200, 300, 400, 500}));
    EXPECT_EQ(gWorld.sleeps, (std::vector<int>{100, 100, 100, 100, 100}));
    EXPECT_EQ(gWorld.waits, 0);
}

TEST_F(Entry, ActiveFramesAreSpacedUnlessTheDisplayWaits) {
    std::vector<float> frameTimes;
    gGame.frame = [&](int n) {
        frameTimes.push_back(gWorld.clock);
        gWorld.clock += 5;  // the frame's own work
        if (n == 2) gWorld.ready.push_back({WM_KEYDOWN, 'A', 0});
        return n == 4 ? 1 : 0;
    };
    engineMain(0, nullptr);
    EXPECT_EQ(frameTimes, (std::vector<float>{0, 16, 32, 48}));
    EXPECT_EQ(gWorld.sleeps, (std::vector<int>{11, 11, 11}));
    ASSERT_EQ(gGame.messages.size(), 1u);
    EXPECT_EQ(gGame.framesAtMessage[0], 2);
}

TEST_F(Entry, NoSpacingWhileTheDisplayWaitsForTheScreen) {
    std::vector<float> frameTimes;
    gGame.frame = [&](int n) {
        // The display announces its wait when it opens, from the game's start-up on.
        wndSetPresentWaits(1);
        frameTimes.push_back(gWorld.clock);
        gWorld.clock += 5;
        return n == 3 ? 1 : 0;
    };
    engineMain(0, nullptr);
    EXPECT_EQ(frameTimes, (std::vector<float>{0, 5, 10}));
    EXPECT_TRUE(gWorld.sleeps.empty());
}

// --- The window procedure ---

constexpr intptr_t kAt = 40 | 30 << 16;
constexpr intptr_t kKeyA = 1 | 0x1E << 16;

std::vector<PlatMessage> takeMessages() {
    std::vector<PlatMessage> out;
    out.swap(gGame.messages);
    gGame.framesAtMessage.clear();
    return out;
}

// The window procedure alone, with the game running and no window.
class WindowProcedure : public Entry {
protected:
    void SetUp() override {
        Entry::SetUp();
        engineWindowReset();
        engineWindow().running = true;
        for (int i = 0; i < 31; i++) typedPush(' ');
    }
    void type(const std::string& text) {
        for (unsigned char c : text) WndProc(WM_CHAR, c, 1);
    }
    std::string charsReceived() {
        std::string out;
        for (const PlatMessage& m : takeMessages()) {
            if (m.message == WM_CHAR) out += static_cast<char>(m.wParam);
        }
        return out;
    }
};

TEST_F(WindowProcedure, EachMessageReachesTheGameAsItsInput) {
    constexpr uint32_t kImeChar = 646, kPaint = 15;
    struct Case {
        const char* name;
        PlatMessage in;
        std::vector<PlatMessage> toGame;
        intptr_t result;
    };
    const Case cases[] = {
        {"left down", {WM_LBUTTONDOWN, MK_LBUTTON, kAt}, {{WM_KEYDOWN, 1, kAt}}, 0},
        {"left double click", {WM_LBUTTONDBLCLK, MK_LBUTTON, kAt}, {{WM_KEYDOWN, 1, kAt}}, 0},
        {"left up", {WM_LBUTTONUP, 0, kAt}, {{WM_KEYUP, 1, kAt}}, 0},
        {"right down", {WM_RBUTTONDOWN, MK_RBUTTON, kAt}, {{WM_KEYDOWN, 2, kAt}}, 0},
        {"right double click", {WM_RBUTTONDBLCLK, MK_RBUTTON, kAt}, {{WM_KEYDOWN, 2, kAt}}, 0},
        {"right up", {WM_RBUTTONUP, 0, kAt}, {{WM_KEYUP, 2, kAt}}, 0},
        {"middle down", {WM_MBUTTONDOWN, MK_MBUTTON, kAt}, {{WM_KEYDOWN, 4, kAt}}, 0},
        {"middle double click", {WM_MBUTTONDBLCLK, MK_MBUTTON, kAt}, {{WM_KEYDOWN, 4, kAt}}, 0},
        {"middle up", {WM_MBUTTONUP, 0, kAt}, {{WM_KEYUP, 4, kAt}}, 0},
        {"mouse move", {WM_MOUSEMOVE, MK_LBUTTON | MK_SHIFT, kAt},
         {{WM_MOUSEMOVE, MK_LBUTTON | MK_SHIFT, kAt}}, 0},
        {"wheel", {WM_MOUSEWHEEL, uintptr_t(120) << 16, kAt},
         {{WM_MOUSEWHEEL, uintptr_t(120) << 16, kAt}}, 0},
        {"input method character", {kImeChar, 0xE9, 1}, {{WM_CHAR, 0xE9, 1}}, 0},
        {"key down", {WM_KEYDOWN, 'A', kKeyA}, {{WM_KEYDOWN, 'A', kKeyA}}, 0},
        {"alt+key down", {WM_SYSKEYDOWN, 'A', kKeyA | KEYDATA_ALT},
         {{WM_KEYDOWN, 'A', kKeyA | KEYDATA_ALT}}, 0},
        {"alt alone", {WM_SYSKEYDOWN, 18, 1 | 0x38 << 16 | KEYDATA_ALT},
         {{WM_KEYDOWN, 18, 1 | 0x38 << 16 | KEYDATA_ALT}}, 0},
        {"key up", {WM_KEYUP, 'A', kKeyA | KEYDATA_RELEASE},
         {{WM_KEYUP, 'A', kKeyA | KEYDATA_RELEASE}}, 0},
        {"alt+key up", {WM_SYSKEYUP, 'A', kKeyA | KEYDATA_ALT},
         {{WM_KEYUP, 'A', kKeyA | KEYDATA_ALT}}, 0},
        {"character", {WM_CHAR, 'q', 1}, {{WM_CHAR, 'q', 1}}, 0},
        {"character 0xFFFF", {WM_CHAR, 0xFFFF, 1}, {}, 1},
        {"activation", {WM_ACTIVATEAPP, 1, 0}, {{WM_ACTIVATEAPP, 1, 0}}, 0},
        {"deactivation", {WM_ACTIVATEAPP, 0, 0}, {{WM_ACTIVATEAPP, 0, 0}}, 0},
        {"minimised", {WM_SIZE, SIZE_MINIMIZED, 0}, {}, 0},
        {"restored", {WM_SIZE, SIZE_RESTORED, kAt}, {}, 0},
        {"restore request", {WM_INSTANCE_RESTORE, 0, 0}, {}, 0},
        {"anything else", {kPaint, 0, 0}, {}, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(WndProc(c.in.message, c.in.wParam, c.in.lParam), c.result) << c.name;
        EXPECT_EQ(takeMessages(), c.toGame) << c.name;
    }

    // Before the game's start-up has returned nothing reaches it.
    engineWindow().running = false;
    WndProc(WM_KEYDOWN, 'A', kKeyA);
    WndProc(WM_CHAR, 'a', 1);
    EXPECT_TRUE(takeMessages().empty());
}

TEST_F(WindowProcedure, LayerEventsArriveAsTheGameExpectsThem) {
    // Alt+Enter comes as a system key with the Alt bit; the left button as key 1.
    struct Case {
        PlatTestEvent event;
        PlatMessage toGame;
    };
    const Case cases[] = {
        {platTestKey(true, "Return", 0, PLAT_TEST_ALT),
         {WM_KEYDOWN, 13, 1 | 0x1C << 16 | KEYDATA_ALT}},
        {platTestButton(true, PLAT_TEST_LEFT, 40, 30), {WM_KEYDOWN, 1, kAt}},
        {platTestButton(false, PLAT_TEST_RIGHT, 40, 30), {WM_KEYUP, 2, kAt}},
    };
    platTestTranslateReset(640, 480);
    for (const Case& c : cases) {
        PlatMessage out[kPlatTestMaxMessages];
        int n = platTestTranslate(c.event, out, kPlatTestMaxMessages);
        for (int i = 0; i < n; i++) WndProc(out[i].message, out[i].wParam, out[i].lParam);
        EXPECT_EQ(takeMessages(), std::vector<PlatMessage>{c.toGame});
    }
}

TEST_F(WindowProcedure, DebugWordsTypedInsideText) {
    struct Case {
        const char* word;
        int bounds, editor, cursor;  // the flags after the word once
    };
    const Case cases[] = {
        {"grtracer", 0, 0, 1},  {"sndtracer", 0, 0, 1}, {"filetracer", 0, 0, 1},
        {"wgframe", 1, 0, 1},   {"wgmove", 1, 1, 1},    {"mousearrow", 0, 0, 0},
    };
    for (const Case& c : cases) {
        for (bool upper : {false, true}) {
            std::string word = c.word;
            if (upper) {
                for (char& ch : word) ch = static_cast<char>(toupper(static_cast<unsigned char>(ch)));
            }
            uiShowBounds = uiLayoutEditor = 0;
            engineWindow().cursorVisible = true;
            type("ab " + word + "cd");
            std::string expected = "ab " + word.substr(0, word.size() - 1) + "cd";
            EXPECT_EQ(charsReceived(), expected) << word;
            EXPECT_EQ(uiShowBounds, c.bounds) << word;
            EXPECT_EQ(uiLayoutEditor, c.editor) << word;
            EXPECT_EQ(engineWindow().cursorVisible, c.cursor != 0) << word;
        }
    }
    // A second time toggles back.
    type("wgmove wgmove");
    EXPECT_EQ(uiShowBounds, 0);
    EXPECT_EQ(uiLayoutEditor, 0);
    // 0xFFFF reaches neither the game nor the typed characters: the word still completes.
    type("wgfram");
    WndProc(WM_CHAR, 0xFFFF, 1);
    type("e");
    EXPECT_EQ(charsReceived(), "wgmov wgmovwgfram");
    EXPECT_EQ(uiShowBounds, 1);
}

TEST_F(WindowProcedure, MinimizeOncePerLossOfFocus) {
    writeGameIni(std::string(kGameIni) + "Minimize=1\n");
    ASSERT_EQ(engineInit(), 0);
    engineWindow().running = true;
    ASSERT_EQ(engineWindow().minimize, 1);
    WndProc(WM_ACTIVATEAPP, 0, 0);
    EXPECT_EQ(gWorld.minimizes, 1);
    EXPECT_EQ(engineWindow().active, 0);
    EXPECT_EQ(engineWindow().minimize, -1);
    // The window going down and the focus staying away minimise nothing more.
    WndProc(WM_SIZE, SIZE_MINIMIZED, 0);
    WndProc(WM_ACTIVATEAPP, 0, 0);
    EXPECT_EQ(gWorld.minimizes, 1);
    // Restored by the user, then the next switch away minimises again.
    WndProc(WM_SIZE, SIZE_RESTORED, kAt);
    EXPECT_EQ(engineWindow().active, 1);
    EXPECT_EQ(engineWindow().minimize, 1);
    WndProc(WM_ACTIVATEAPP, 1, 0);
    WndProc(WM_ACTIVATEAPP, 0, 0);
    EXPECT_EQ(gWorld.minimizes, 2);
    engineDone();

    writeGameIni(kGameIni);
    iniFreeAll();
    ASSERT_EQ(engineInit(), 0);
    WndProc(WM_ACTIVATEAPP, 0, 0);
    EXPECT_EQ(gWorld.minimizes, 2);
    EXPECT_EQ(engineWindow().minimize, 0);
}

TEST_F(WindowProcedure, CloseEndsTheWindowAndTheLoop) {
    ASSERT_EQ(engineInit(), 0);
    ASSERT_TRUE(platWindowIsOpen());
    platWindowSetPos(55, 66);
    WndProc(WM_CLOSE, 0, 0);
    EXPECT_FALSE(platWindowIsOpen());
    EXPECT_EQ(engineWindow().x, 55);
    EXPECT_EQ(engineWindow().y, 66);
}

}  // namespace
