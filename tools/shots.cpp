// Walks the game headless from the logo to the final screen with scripted input on the bundled
// data and writes the picture of every screen on the way as a PNG, numbered in road order.
#include <malloc.h>
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "anim/comics.h"
#include "core/random.h"
#include "engine/data/ini.h"
#include "engine/gr/gr.h"
#include "engine/platform/engine.h"
#include "engine/platform/input.h"
#include "game/app.h"
#include "game/app_internal.h"
#include "game/game_data.h"
#include "game/profile.h"
#include "game/tutorial.h"
#include "minigames/minigame.h"
#include "screens/after_game.h"
#include "screens/dialogs.h"
#include "screens/holders.h"
#include "screens/level_loading.h"
#include "screens/loading.h"
#include "screens/map.h"
#include "tests/game/scripted_player.h"
#include "world/client.h"
#include "world/room.h"
#include "tools/image_write.h"
#include "ui/ui.h"

namespace fs = std::filesystem;

namespace {

constexpr uint32_t kKeyDown = 256, kKeyUp = 257, kChar = 258, kMouseMove = 512;
constexpr int kEnter = 13, kEscape = 27, kSpace = 32, kLeftButton = 1;
// Frames of 25 ms: enough for any screen of the road to come in after the one before it.
constexpr int kArrivalFrames = 4000;
constexpr int kFramesPerSecond = 1000 / kUpdateStepMs;
// Where the pointer waits while the hotel is pictured: over the floor, under no one's feet.
const Point2i kPointerRest(512, 740);
// Where the pointer is when the game starts: near a corner, as a player's hand at rest leaves
// it, not at the screen's origin where no pointer has been.
const Point2i kPointerStart(990, 730);
// The way point of the first mini-game: the five levels before it count as done.
constexpr uint32_t kFirstMiniGame = 5;

// Every frame is one update step long, whatever the machine: the pictures come out the same on
// every run, and the timed waits of the game cost only the frames they take.
float fixedStep() { return float(kUpdateStepMs); }

void usage() {
    std::fprintf(stderr,
                 "usage: shots [--stop-after N] [--memory] <output folder>\n"
                 "Plays the game headless on the bundled data from the logo to the final screen\n"
                 "and writes NN-<screen>.png of every screen on the way into the folder;\n"
                 "--stop-after N ends the walk after the first N screens; --memory prints\n"
                 "where the memory is at each screen.\n");
}

// Resident memory now, in KiB, from the kernel's page count of this process.
long residentKiB() {
    long pages = 0, resident = 0;
    FILE* statm = std::fopen("/proc/self/statm", "r");
    if (!statm) return -1;
    const bool read = std::fscanf(statm, "%ld %ld", &pages, &resident) == 2;
    std::fclose(statm);
    return read ? resident * (sysconf(_SC_PAGESIZE) / 1024) : -1;
}

// One line of where the memory is when a picture is taken: resident, the heap in use and held,
// and the loaded pictures' pixels by the data folder they come from (two levels deep).
void printMemory(const char* screen) {
    std::map<std::string, size_t> groups;
    size_t pictures = 0;
    grForEachSprite(
        [](HSPRITE, const char* file, size_t bytes, int, void* context) {
            std::string group = file;
            if (group.compare(0, 5, "Data/") == 0) group.erase(0, 5);
            const size_t first = group.find_first_of("/\\");
            const size_t second =
                first == std::string::npos ? first : group.find_first_of("/\\", first + 1);
            group = second == std::string::npos ? (first == std::string::npos ? "other" : group.substr(0, first))
                                                : group.substr(0, second);
            (*static_cast<std::map<std::string, size_t>*>(context))[group] += bytes;
        },
        &groups);
    for (const auto& g : groups) pictures += g.second;
    const struct mallinfo2 heap = mallinfo2();
    std::printf("memory at %-20s resident %6ld KiB, heap %6zu KiB in use of %6zu, pictures %6zu KiB:",
                screen, residentKiB(), heap.uordblks / 1024, (heap.arena + heap.hblkhd) / 1024,
                pictures / 1024);
    for (const auto& g : groups)
        if (g.second >= 64 * 1024) std::printf(" %s %zu", g.first.c_str(), g.second / 1024);
    std::printf("\n");
}

// A fresh program folder: game.ini from the build's game folder, its Data/ linked, a user folder
// of its own so that no real player's files are read or written. Removed with everything in it.
class ProgramFolder {
public:
    bool make() {
        std::string pattern = (fs::temp_directory_path() / "velmora_shots_XXXXXX").string();
        if (!mkdtemp(pattern.data())) {
            std::perror("shots: temporary folder");
            return false;
        }
        path_ = pattern;
        std::error_code error;
        fs::copy_file(VELMORA_GAME_DIR "/game.ini", path_ / "game.ini", error);
        if (!error) fs::create_directory_symlink(VELMORA_GAME_DIR "/Data", path_ / "Data", error);
        if (!error) fs::create_directory(path_ / "user", error);
        if (!error) fs::current_path(path_, error);
        if (error) {
            std::fprintf(stderr, "shots: cannot set up %s: %s\n", path_.c_str(),
                         error.message().c_str());
            return false;
        }
        setenv("XDG_DATA_HOME", (path_ / "user").c_str(), 1);
        return true;
    }
    ~ProgramFolder() {
        if (path_.empty()) return;
        std::error_code error;
        fs::current_path(path_.parent_path(), error);
        fs::remove_all(path_, error);  // the Data link goes, never what it points to
    }

private:
    fs::path path_;
};

// The walk: the shell's hooks driven as the platform drives them, with the pointer, keys and
// typed characters of a player who goes everywhere once.
class Walk {
public:
    Walk(fs::path out, int stopAfter, bool memory)
        : out_(std::move(out)), stopAfter_(stopAfter), memory_(memory) {}

    // True when the walk ended or stopped where asked; false when a screen did not show, with
    // the reason in failure().
    bool run() {
        appSetScreens(screensStart, screensRelease);
        appSetClock(fixedStep);
        gRandom.Seed(20261211u);
        gParticleRandom.Seed(5489u);
        iniFreeAll();
        if (engineInit() != 0) {
            std::fprintf(stderr, "shots: the engine did not start\n");
            return false;
        }
        appResetFrame();
        const auto begin = std::chrono::steady_clock::now();
        GameInit();
        started_ = true;
        GameOnMessage(kMouseMove, 0, uiPack(kPointerStart.x, kPointerStart.y));
        const bool walked = startToMenu(begin) && menuScreens() && firstLevel() && miniGame() &&
                            betweenLevels() && toTheEnd();
        if (started_) GameShutdown();
        appSetClock(nullptr);
        return walked || failure_.empty();
    }

    int written() const { return written_; }
    double startUpMs() const { return startUpMs_; }
    int startUpFrames() const { return startUpFrames_; }
    const std::string& failure() const { return failure_; }

private:
    // --- Input and frames --------------------------------------------------------------------

    int frame() {
        ++frames_;
        return GameFrame();
    }
    void frames(int n) {
        for (int i = 0; i < n; ++i) frame();
    }
    void key(int code, intptr_t data = 0) {
        GameOnMessage(kKeyDown, static_cast<uintptr_t>(code), data);
        GameOnMessage(kKeyUp, static_cast<uintptr_t>(code), data);
    }
    void type(const char* text) {
        // The typed-word ring hears each character before the game does, as from the platform.
        for (const char* p = text; *p; ++p) {
            typedPush(static_cast<unsigned char>(*p));
            GameOnMessage(kChar, static_cast<unsigned char>(*p), 1);
        }
    }
    void clickAt(int x, int y) {
        const intptr_t at = uiPack(x, y);
        GameOnMessage(kMouseMove, 0, at);
        GameOnMessage(kKeyDown, kLeftButton, at);
        GameOnMessage(kKeyUp, kLeftButton, at);
        frame();
    }
    // The named button of the screen, pressed at its centre once the screen's fades are over.
    bool click(Window* screen, const char* name) {
        UIWnd* button = screen ? findChild(screen, name) : nullptr;
        if (!button) return fail(std::string("no button \"") + name + "\" where it was wanted");
        frames(kUiFadeMs / kUpdateStepMs + 1);
        clickAt(button->x + button->xs / 2, button->y + button->ys / 2);
        return true;
    }
    // Frames until the window receives an update step: it is on show and its fade-in is over.
    bool reach(Window* window, const char* what) {
        for (int i = 0; window && i < kArrivalFrames; ++i) {
            const int32_t before = window->clock;
            frame();
            if (window->clock != before) return true;
        }
        return fail(std::string("the ") + what + " did not show");
    }
    // Frames until the condition holds; false (the walk fails) when it never does.
    template <class Condition>
    bool until(Condition done, const char* what) {
        for (int i = 0; i < kArrivalFrames; ++i) {
            if (done()) return true;
            frame();
        }
        return done() || fail(std::string("waited in vain for ") + what);
    }
    bool fail(const std::string& why) {
        failure_ = why;
        return false;
    }

    // --- Pictures ----------------------------------------------------------------------------

    // Writes the back buffer as NN-name.png; false once the asked number of pictures is written,
    // which ends the walk there.
    bool shot(const char* name) {
        // The pointer's click animation runs on real time: put at rest and drawn once more, it
        // looks the same on every run.
        if (cCursorManager* cursor = cursorGet())
            cursor->clock = cursor->spin = cursor->clicked = cursor->runTimer = cursor->pending = 0;
        frame();
        char file[64];
        std::snprintf(file, sizeof file, "%02d-%s.png", written_ + 1, name);
        if (memory_) printMemory(file);
        if (!writeBackBuffer((out_ / file).string())) return fail(std::string("cannot write ") + file);
        ++written_;
        return stopAfter_ <= 0 || written_ < stopAfter_;
    }
    // A picture on the way to the next numbered one, as NNx-name.png (x from 'a' on): the
    // moments of the level a newcomer meets, kept out of the road's numbering.
    bool extraShot(const char* name) {
        if (cCursorManager* cursor = cursorGet())
            cursor->clock = cursor->spin = cursor->clicked = cursor->runTimer = cursor->pending = 0;
        frame();
        char file[64];
        std::snprintf(file, sizeof file, "%02d%c-%s.png", written_ + 1, 'a' + extras_++, name);
        if (memory_) printMemory(file);
        if (!writeBackBuffer((out_ / file).string())) return fail(std::string("cannot write ") + file);
        return true;
    }
    static bool writeBackBuffer(const std::string& path) {
        HSPRITE screen = grScreen();
        int w = 0, h = 0, pitch = 0, rs = 0, gs = 0, bs = 0, rb = 0, gb = 0, bb = 0;
        const uint16_t* pixels =
            screen ? grLockSpriteEx(screen, &w, &h, &pitch, &rs, &gs, &bs, &rb, &gb, &bb) : nullptr;
        if (!pixels || w <= 0 || h <= 0 || rb <= 0 || gb <= 0 || bb <= 0) {
            if (pixels) grUnlockSprite(screen);
            std::fprintf(stderr, "shots: no back buffer to read\n");
            return false;
        }
        std::vector<uint8_t> rgb(static_cast<size_t>(w) * h * 3);
        // Each channel's bits spread over 0..255, so full white stays 255.
        auto widen = [](uint32_t v, int shift, int bits) {
            const uint32_t most = (1u << bits) - 1;
            return static_cast<uint8_t>(((v >> shift) & most) * 255 / most);
        };
        for (int y = 0; y < h; ++y) {
            const auto* row = reinterpret_cast<const uint16_t*>(
                reinterpret_cast<const char*>(pixels) + static_cast<ptrdiff_t>(y) * pitch);
            uint8_t* to = rgb.data() + static_cast<size_t>(y) * w * 3;
            for (int x = 0; x < w; ++x) {
                to[3 * x] = widen(row[x], rs, rb);
                to[3 * x + 1] = widen(row[x], gs, gb);
                to[3 * x + 2] = widen(row[x], bs, bb);
            }
        }
        grUnlockSprite(screen);
        return writePng(path.c_str(), w, h, 3, rgb);
    }

    // --- The road ----------------------------------------------------------------------------

    // The logos, a new player by name, the loading bar, and the main menu; the start-up time is
    // taken when the menu shows, without the time spent writing pictures.
    bool startToMenu(std::chrono::steady_clock::time_point begin) {
        using Clock = std::chrono::steady_clock;
        Clock::duration writing{};
        auto timedShot = [&](const char* name) {
            const auto at = Clock::now();
            const bool go = shot(name);
            writing += Clock::now() - at;
            return go;
        };
        if (!reach(gUILogo.get(), "logo") || !timedShot("logo")) return false;
        Window* players = gUIPlayerSelect.get();
        if (!reach(players, "player selection")) return false;
        type("Zuna");
        frames(4);
        if (!timedShot("player-selection")) return false;
        key(kEnter);
        auto* loading = dynamic_cast<UIGameLoading*>(gUIGameLoading.get());
        if (!loading || !reach(loading, "loading screen")) return false;
        if (!until([&] { return loading->stage() >= kLoadingStages / 2; }, "half the loading") ||
            !timedShot("loading") ||
            !until([&] { return loading->stage() >= kLoadingStages; }, "the end of the loading"))
            return false;
        frames(4);
        key(kSpace);
        if (!reach(gUIMainMenu.get(), "main menu")) return false;
        startUpMs_ = std::chrono::duration<double, std::milli>(Clock::now() - begin - writing).count();
        startUpFrames_ = frames_;
        frames(kFramesPerSecond);  // the welcome settles
        return shot("main-menu");
    }

    // Each modal or full screen the menu opens, and back.
    bool menuScreens() {
        Window* menu = gUIMainMenu.get();
        const struct {
            const char* button;
            Window* screen;
            const char* name;
            const char* back;
        } visits[] = {{"Options", gUIOptions.get(), "options", "Ok"},
                      {"Help", gUIHelp.get(), "help", "BtnOk"},
                      {"Scores", gUIScores.get(), "scores", "Ok"},
                      {"Player", gUIPlayerSelect.get(), "players", "Ok"}};
        for (const auto& v : visits) {
            if (!click(menu, v.button) || !reach(v.screen, v.name)) return false;
            frames(kFramesPerSecond / 2);
            if (!shot(v.name)) return false;
            if (v.screen == gUIHelp.get() && !helpPages()) return false;
            if (!click(v.screen, v.back) || !reach(menu, "main menu")) return false;
        }
        return true;
    }

    // The help's later pages: the request icons and their meaning.
    bool helpPages() {
        auto* help = dynamic_cast<UIHelp*>(gUIHelp.get());
        if (!help) return fail("no help screen");
        const int requests = help->pageCount() - 2;
        while (help->currentPage() < requests)
            if (!click(help, "BtnNext")) return false;
        frames(kFramesPerSecond / 2);
        return shot("help-requests");
    }

    // The first level: its comic, its loading, some seconds of play with guests asking, the
    // pause menu, then a typed word finishes it and its statistics count up; Ok opens the map.
    bool firstLevel() {
        if (!click(gUIMainMenu.get(), "Start")) return false;
        // The comic plays over the level loading screen, whose clock waits for it to end.
        if (!until([] { return gComics && gComics->IsShowing(); }, "the first level's comic"))
            return false;
        frames(4 * kFramesPerSecond);
        if (!shot("comic")) return false;
        // Escape ends the panel's own play, a second one turns to the next panel.
        key(kEscape);
        frames(kFramesPerSecond / 2);
        key(kEscape);
        frames(2 * kFramesPerSecond);
        if (!shot("comic-second-panel")) return false;
        skipComic();
        auto* loading = dynamic_cast<UILevelLoading*>(gUILevelLoading.get());
        if (!loading || !reach(loading, "level loading screen")) return false;
        if (!until([&] { return loading->Step() >= 4; }, "the level's loading") ||
            !shot("level-loading") || !finishLoading(loading))
            return false;

        cGame* level = gCurrentGame;
        if (!level || !reach(level, "level")) return false;
        // The get-ready banner half-way in, then the first tip the new player meets.
        if (!until([&] { return level->GetLevelState() == cGame::kGetReady; }, "the get-ready banner"))
            return false;
        frames(kFramesPerSecond / 2);
        if (!extraShot("level-get-ready")) return false;
        if (!until([&] { return level->GetLevelState() == cGame::kTutorial; }, "the first tip"))
            return false;
        frames(kFramesPerSecond / 2);
        if (!extraShot("level-tip")) return false;
        // Guests come in one by one; the scripted player takes them to rooms and orders what
        // they ask for, and some seconds after the second one the hotel is busy.
        ScriptedPlayer player(level, [](ScriptedPlayer::Mouse mouse, Point2i p) {
            const intptr_t at = uiPack(p.x, p.y);
            if (mouse == ScriptedPlayer::kMove) GameOnMessage(kMouseMove, 0, at);
            else GameOnMessage(mouse == ScriptedPlayer::kPress ? kKeyDown : kKeyUp, kLeftButton, at);
        });
        auto play = [&](int seconds) {
            for (int i = 0; i < seconds * kFramesPerSecond; ++i) {
                if (i % (kFramesPerSecond / 2) == 0) player.React();
                frame();
            }
        };
        for (int i = 0; i < kArrivalFrames / kFramesPerSecond && level->GetClientsIn() < 2; ++i)
            play(1);
        if (level->GetClientsIn() < 2) return fail("no second guest came in");
        if (!dragOverTheRooms(level, player)) return false;
        play(12);
        GameOnMessage(kMouseMove, 0, uiPack(kPointerRest.x, kPointerRest.y));
        frames(kFramesPerSecond / 2);
        if (!shot("level")) return false;
        key(kEscape);
        if (!reach(gUIGameMenu.get(), "pause menu") || !shot("pause-menu")) return false;
        if (!click(gUIGameMenu.get(), "Resume") || !reach(level, "level after the pause"))
            return false;
        // A tip open holds the level still: a click on its spot closes it, before a word and while
        // the level ends.
        auto closeTips = [&] {
            for (int i = 0; i < kArrivalFrames && level->GetLevelState() == cGame::kTutorial; ++i) {
                if (gTutorial && i % kFramesPerSecond == 0) {
                    const Point2i at = gTutorial->spotPos +
                                       Point2i(gTutorial->spotSize.x / 2, gTutorial->spotSize.y / 2);
                    GameOnMessage(kMouseMove, 0, uiPack(at.x, at.y));
                    key(kLeftButton, uiPack(at.x, at.y));
                }
                frame();
            }
        };
        auto endWith = [&](const char* word) {
            closeTips();
            type(word);
            for (int i = 0; i < 10 * kFramesPerSecond && level->GetLevelState() != cGame::kLevelOver; ++i) {
                closeTips();
                frame();
            }
        };
        // A typed word loses the day; its statistics offer a replay, which is won the same way,
        // and the statistics show a second time.
        endWith("rz5fallen");
        auto* stats = dynamic_cast<UIAfterGameStats*>(gUIAfterGameStats.get());
        if (!stats || !reach(stats, "after-level statistics")) return false;
        if (!until([&] { return stats->CountingDone(); }, "the statistics' counting")) return false;
        frames(kFramesPerSecond);
        if (!shot("after-level-lost") || !click(stats, "BtnRestart")) return false;
        // The first day's comic plays again over the loading screen: Escape runs it through.
        frames(3 * kUiFadeMs / kUpdateStepMs);
        skipComic();
        if (!reach(loading, "level loading screen after the replay") || !finishLoading(loading))
            return false;
        level = gCurrentGame;
        if (!level || !reach(level, "the replayed level")) return false;
        endWith("rz5climbed");
        if (!reach(stats, "after-level statistics after the replay")) return false;
        if (!until([&] { return stats->CountingDone(); }, "the statistics' counting")) return false;
        frames(kFramesPerSecond);
        if (!shot("after-level-replay") || !click(stats, "BtnOk")) return false;
        if (!reach(gUIGameMap.get(), "map")) return false;
        frames(kFramesPerSecond);
        return shot("map");
    }

    // Escape every two seconds until the comic on show has ended.
    void skipComic() {
        for (int i = 0; i < kArrivalFrames && gComics && gComics->IsShowing(); ++i) {
            if (i % (2 * kFramesPerSecond) == 0) key(kEscape);
            frame();
        }
    }

    // The next guest at the desk carried over the rooms: the free ones light up under it. It is
    // put down in the room it is held over.
    bool dragOverTheRooms(cGame* level, ScriptedPlayer& player) {
        for (int i = 0; i < kArrivalFrames; ++i) {
            cClient* guest = player.HeadOfCheckIn();
            cRoom* room = guest ? player.FreeRoomFor(guest) : nullptr;
            if (room && level->GetLevelState() == cGame::kPlaying) {
                const Point2i from = ScriptedPlayer::HitPoint(guest);
                const auto& b = room->GetBody();
                // Over the middle of the room's floor, away from its door.
                const Point2i over(static_cast<int>(b.position.x + b.boundOffset.x + b.boundSize.x / 2),
                                   static_cast<int>(b.position.y + b.boundOffset.y + b.boundSize.y * 3 / 4));
                player.Press(from);
                if (level->GetDraggedObject() == guest) {
                    player.MoveTo(Point2i((from.x + over.x) / 2, (from.y + over.y) / 2));
                    frames(2);
                    player.MoveTo(over);
                    frames(kFramesPerSecond / 4);
                    if (!extraShot("level-drag")) return false;
                    player.Release(over);
                    return true;
                }
                player.Release(from);
            }
            if (level->GetLevelState() == cGame::kTutorial) player.React();
            frame();
        }
        return fail("no guest could be carried over the rooms");
    }

    // The level loading screen to its end, then a key starts what it loaded.
    bool finishLoading(UILevelLoading* loading) {
        if (!until([&] { return loading->Step() == UILevelLoading::kDone; }, "the loading's end"))
            return false;
        key(kEnter);
        return true;
    }

    // The levels up to the first mini-game counted as done; its way point chosen on the map; a
    // few seconds of play; giving up shows the results, whose Ok returns to the map.
    bool miniGame() {
        auto* map = dynamic_cast<UIGameMap*>(gUIGameMap.get());
        if (!map || !gCurrentProfile) return fail("no map or no player");
        for (uint32_t i = 1; i < kFirstMiniGame && i < gWayPoints.size(); ++i)
            gWayPoints[i].LoadResult(2);
        map->RefreshStates();
        if (kFirstMiniGame >= gWayPoints.size()) return fail("no mini-game on the road");
        const Point2i at = gWayPoints[kFirstMiniGame].GetPos();
        GameOnMessage(kMouseMove, 0, uiPack(at.x, at.y));
        key(kLeftButton, uiPack(at.x, at.y));
        if (gSelectedWayPoint != kFirstMiniGame) return fail("the mini-game's way point was not chosen");
        if (!click(map, "Play") || !gCurrentMiniGame) return fail("Play started no mini-game");
        auto* loading = dynamic_cast<UILevelLoading*>(gUILevelLoading.get());
        if (!loading || !reach(loading, "mini-game loading screen") || !finishLoading(loading))
            return false;
        cMiniGameBase* game = gCurrentMiniGame;
        if (!game || !reach(game, "mini-game")) return false;
        if (!until([&] { return game->GameState() == kMgPlay; }, "the mini-game's play")) return false;
        frames(3 * kFramesPerSecond);
        if (!shot("mini-game")) return false;
        key(kEscape);
        Window* results = gUIAfterMiniGame.get();
        if (!reach(results, "after-mini-game results")) return false;
        frames(5 * kFramesPerSecond);
        if (!shot("after-mini-game") || !click(results, "BtnOk")) return false;
        return reach(map, "map after the mini-game");
    }

    // The shop, the school and the home, each opened from the map and left by its Back button.
    bool betweenLevels() {
        Window* map = gUIGameMap.get();
        const struct {
            const char* button;
            Window* screen;
            const char* name;
        } visits[] = {{"Shop", gUIShop.get(), "shop"},
                      {"School", gUISchool.get(), "school"},
                      {"Home", gUIHome.get(), "home"}};
        for (const auto& v : visits) {
            if (!click(map, v.button) || !reach(v.screen, v.name)) return false;
            frames(kFramesPerSecond);
            if (!shot(v.name) || !click(v.screen, "BtnBack") || !reach(map, "map")) return false;
        }
        return true;
    }

    // Back to the menu, Exit asks, Yes shows the final screen, and a key ends the program.
    bool toTheEnd() {
        if (!click(gUIGameMap.get(), "Menu") || !reach(gUIMainMenu.get(), "main menu")) return false;
        Window* question = gUIExitGameDialog.get();
        if (!click(gUIMainMenu.get(), "Exit") || !reach(question, "exit dialog")) return false;
        if (!shot("exit-dialog") || !click(question, "DialogYes")) return false;
        if (!reach(gUIFinalScreen.get(), "final screen")) return false;
        frames(kFramesPerSecond);
        if (!shot("final-screen")) return false;
        key(kSpace);
        int ended = 0;
        for (int i = 0; i < kArrivalFrames && !ended; ++i) ended = frame();
        if (!ended) return fail("the program did not end after the final screen");
        return true;
    }

    fs::path out_;
    int stopAfter_ = 0;
    bool memory_ = false;
    int written_ = 0;
    int extras_ = 0;
    int frames_ = 0;
    bool started_ = false;
    double startUpMs_ = -1;
    int startUpFrames_ = 0;
    std::string failure_;
};

}  // namespace

int main(int argc, char** argv) {
    int stopAfter = 0;
    bool memory = false;
    const char* outArg = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--stop-after") == 0 && i + 1 < argc) {
            char* end = nullptr;
            const long n = std::strtol(argv[++i], &end, 10);
            if (!end || *end || n < 1 || n > 99) {
                usage();
                return 2;
            }
            stopAfter = static_cast<int>(n);
        } else if (std::strcmp(argv[i], "--memory") == 0) {
            memory = true;
        } else if (!outArg && argv[i][0] != '-') {
            outArg = argv[i];
        } else {
            usage();
            return 2;
        }
    }
    if (!outArg) {
        usage();
        return 2;
    }
    std::error_code error;
    fs::create_directories(outArg, error);
    const fs::path out = fs::absolute(outArg, error);
    if (error || !fs::is_directory(out)) {
        std::fprintf(stderr, "shots: cannot use %s as the output folder\n", outArg);
        return 1;
    }
    // Headless whatever the environment says: no window, no sound device.
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);

    int written = 0;
    bool ok = false;
    double startUpMs = -1;
    int startUpFrames = 0;
    {
        ProgramFolder folder;
        if (!folder.make()) return 1;
        Walk walk(out, stopAfter, memory);
        ok = walk.run();
        written = walk.written();
        startUpMs = walk.startUpMs();
        startUpFrames = walk.startUpFrames();
        if (!ok) std::fprintf(stderr, "shots: %s\n", walk.failure().c_str());
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("screens written: %d\n", written);
    std::printf("peak resident memory: %ld KiB\n", usage.ru_maxrss);
    if (startUpMs >= 0) {
        std::printf("start-up to the main menu: %.0f ms wall (%d frames of %d ms game time)\n",
                    startUpMs, startUpFrames, kUpdateStepMs);
    } else {
        std::printf("start-up to the main menu: not reached\n");
    }
    return ok ? 0 : 1;
}
