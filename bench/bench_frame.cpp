// Speed of one frame of a busy level: the last level of the last episode (the most guests and
// monster waves of the bundled levels), its hotel grown to about 200 objects, more guests coming
// closer together, heroes with every skill, and a quick scripted player at the mouse (guests are
// carried to their rooms directly, as the grown rooms overlap); one window manager update of
// 25 ms plus the whole draw into a 1024 x 768 back buffer per iteration. Beside
// it, the very same sprite draws of the same frames, recorded from the blitter's entry points,
// issued as one flat loop of grDraw calls into the same buffer (both pictures compared first).
// Also the start-up: from GameInit to the main menu on show, for a player who exists already, the
// frames stepped as fast as they run (each told that the most time one frame may catch up on has
// passed), beside reading the same files raw from the disk. Prints the milliseconds and ratios at
// the end. Needs the generated game data.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fcntl.h>
#include <fstream>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "anim/caption.h"
#include "bench/level_copies.h"
#include "core/random.h"
#include "engine/data/file.h"
#include "engine/data/ini.h"
#include "engine/data/profile.h"
#include "engine/gr/blit.h"
#include "engine/gr/gr.h"
#include "engine/gr/sprite.h"
#include "engine/platform/engine.h"
#include "game/app.h"
#include "game/app_internal.h"
#include "game/game.h"
#include "game/game_data.h"
#include "game/profile.h"
#include "screens/holders.h"
#include "screens/loading.h"
#include "tests/game/scripted_player.h"
#include "ui/ui.h"
#include "world/client.h"
#include "world/hero.h"
#include "world/room.h"

namespace fs = std::filesystem;

namespace {

constexpr int kWidth = 1024, kHeight = 768;
constexpr int kStepMs = 25;
// Each drawn object of the hotel without an action, this many times over.
constexpr int kCopies = 8;
// Room left in the level's object table for the places and pickups the level adds itself.
constexpr int kSpareObjects = 10;
constexpr int kGuests = 40;
// A minute of play before the measured frames: a dozen guests in rooms and asking, more queuing,
// heroes on tasks, ghosts about.
constexpr int kWarmFrames = 2400;
// The measured stretch: 10 s of play.
constexpr int kFrames = 400;
// The player looks at the hotel and acts on all it sees once a second, and carries the guest at
// the head of the check-in queue to a room five times a second.
constexpr int kLookEvery = 40;
constexpr int kCheckInEvery = 8;

// --- What a frame draws, as the blitter's entry points receive it -------------------------------

// One call at the blitter: a sprite region (text glyphs included), a clip change, a triangle or
// a plain primitive. Each is issued again through the public drawing calls.
struct DrawCall {
    enum Kind : uint8_t { kRegion, kClip, kTriangle, kPrimitive } kind;
    sMaterial material{0, 0, 0, 0};
    CSprite* sprite = nullptr;  // the source, or the target of a clip change
    int r[8] = {};              // x, y, w, h, sx, sy, sw, sh; a clip's x0, y0, x1, y1
    float t[12] = {};           // a triangle's corners and texture coordinates
    uint32_t colour = 0;
    int time = 0;
};

bool gRecording = false;
std::vector<DrawCall>* gCalls = nullptr;
// Every sprite region drawn while the program runs, recorded or not: both plays must match.
uint64_t gRegions = 0;

// Sprites the recorded calls name, each given one more reference so that none is freed while the
// calls may be issued again (a request's bubble, for one, goes with its request); held to the end.
std::set<CSprite*> gHeld;

void note(const DrawCall& c) {
    if (c.kind == DrawCall::kRegion) ++gRegions;
    if (!gRecording || !gCalls) return;
    gCalls->push_back(c);
    if (c.kind != DrawCall::kClip && c.sprite && gHeld.insert(c.sprite).second)
        grSpriteAddRef(c.sprite);
}

DrawCall region(sMaterial m, CSprite* s, int x, int y, int w, int h, int sx, int sy, int sw, int sh,
                uint32_t colour, int time) {
    DrawCall c{DrawCall::kRegion};
    c.material = m;
    c.sprite = s;
    const int r[8] = {x, y, w, h, sx, sy, sw, sh};
    std::copy(r, r + 8, c.r);
    c.colour = colour;
    c.time = time;
    return c;
}

// The files the program reads while this points somewhere: loaded whole or opened to stream.
std::vector<std::string>* gFiles = nullptr;

// The glyph batch in progress: its material, font, colour and frame apply to each region.
struct Batch {
    const BlitBatch* batch = nullptr;
    sMaterial material{0, 0, 0, 0};
    CSprite* source = nullptr;
    uint32_t colour = 0;
    int time = 0;
} gBatch;

}  // namespace

// The linker sends the engine's own calls of these through the wrappers below (see the bench's
// link options); each notes the call and passes it on unchanged.
extern "C" {
void __real__Z6grBlit9sMaterialP7CSpriteiiiiS1_iiiiij(sMaterial, CSprite*, int, int, int, int,
                                                       CSprite*, int, int, int, int, int, uint32_t);
void __real__Z10grBlitFlip9sMaterialP7CSpriteiiiiS1_iiiiij(sMaterial, CSprite*, int, int, int, int,
                                                           CSprite*, int, int, int, int, int,
                                                           uint32_t);
bool __real__Z16grBlitBatchBeginP9BlitBatch9sMaterialP7CSpriteS3_ij(BlitBatch*, sMaterial,
                                                                    CSprite*, CSprite*, int,
                                                                    uint32_t);
void __real__Z17grBlitBatchRegionRK9BlitBatchiiiiii(const BlitBatch&, int, int, int, int, int,
                                                     int);
void __real__Z9SpriteBlt9sMaterialffffffP7CSpriteffffffji(sMaterial, float, float, float, float,
                                                          float, float, CSprite*, float, float,
                                                          float, float, float, float, uint32_t,
                                                          int);
void __real__Z9grSetClipP7CSpriteiiii(CSprite*, int, int, int, int);
void __real__Z15grDrawPrimitiveiiiiji(int, int, int, int, uint32_t, int);
int __real__Z8fileLoadPKcPPh(const char*, unsigned char**);
FileHandle* __real__Z8fileOpenPKci(const char*, int);

void __wrap__Z6grBlit9sMaterialP7CSpriteiiiiS1_iiiiij(sMaterial m, CSprite* target, int x, int y,
                                                       int w, int h, CSprite* s, int sx, int sy,
                                                       int sw, int sh, int time, uint32_t colour) {
    note(region(m, s, x, y, w, h, sx, sy, sw, sh, colour, time));
    __real__Z6grBlit9sMaterialP7CSpriteiiiiS1_iiiiij(m, target, x, y, w, h, s, sx, sy, sw, sh, time,
                                                      colour);
}

void __wrap__Z10grBlitFlip9sMaterialP7CSpriteiiiiS1_iiiiij(sMaterial m, CSprite* target, int x,
                                                           int y, int w, int h, CSprite* s, int sx,
                                                           int sy, int sw, int sh, int time,
                                                           uint32_t colour) {
    note(region(m, s, x, y, w, h, sx, sy, sw, sh, colour, time));
    __real__Z10grBlitFlip9sMaterialP7CSpriteiiiiS1_iiiiij(m, target, x, y, w, h, s, sx, sy, sw, sh,
                                                          time, colour);
}

bool __wrap__Z16grBlitBatchBeginP9BlitBatch9sMaterialP7CSpriteS3_ij(BlitBatch* batch, sMaterial m,
                                                                    CSprite* target,
                                                                    CSprite* source, int time,
                                                                    uint32_t colour) {
    gBatch = {batch, m, source, colour, time};
    return __real__Z16grBlitBatchBeginP9BlitBatch9sMaterialP7CSpriteS3_ij(batch, m, target, source,
                                                                          time, colour);
}

void __wrap__Z17grBlitBatchRegionRK9BlitBatchiiiiii(const BlitBatch& batch, int x, int y, int w,
                                                    int h, int sx, int sy) {
    if (gBatch.batch == &batch)
        note(region(gBatch.material, gBatch.source, x, y, w, h, sx, sy, w, h, gBatch.colour,
                    gBatch.time));
    __real__Z17grBlitBatchRegionRK9BlitBatchiiiiii(batch, x, y, w, h, sx, sy);
}

void __wrap__Z9SpriteBlt9sMaterialffffffP7CSpriteffffffji(sMaterial m, float x0, float y0,
                                                          float x1, float y1, float x2, float y2,
                                                          CSprite* s, float u0, float v0, float u1,
                                                          float v1, float u2, float v2,
                                                          uint32_t colour, int time) {
    DrawCall c{DrawCall::kTriangle};
    c.material = m;
    c.sprite = s;
    const float t[12] = {x0, y0, x1, y1, x2, y2, u0, v0, u1, v1, u2, v2};
    std::copy(t, t + 12, c.t);
    c.colour = colour;
    c.time = time;
    note(c);
    __real__Z9SpriteBlt9sMaterialffffffP7CSpriteffffffji(m, x0, y0, x1, y1, x2, y2, s, u0, v0, u1,
                                                         v1, u2, v2, colour, time);
}

void __wrap__Z9grSetClipP7CSpriteiiii(CSprite* target, int x0, int y0, int x1, int y1) {
    DrawCall c{DrawCall::kClip};
    c.sprite = target;
    const int r[4] = {x0, y0, x1, y1};
    std::copy(r, r + 4, c.r);
    note(c);
    __real__Z9grSetClipP7CSpriteiiii(target, x0, y0, x1, y1);
}

void __wrap__Z15grDrawPrimitiveiiiiji(int x0, int y0, int x1, int y1, uint32_t colour,
                                      int filled) {
    DrawCall c{DrawCall::kPrimitive};
    const int r[5] = {x0, y0, x1, y1, filled};
    std::copy(r, r + 5, c.r);
    c.colour = colour;
    note(c);
    __real__Z15grDrawPrimitiveiiiiji(x0, y0, x1, y1, colour, filled);
}

int __wrap__Z8fileLoadPKcPPh(const char* name, unsigned char** block) {
    const int size = __real__Z8fileLoadPKcPPh(name, block);
    if (gFiles && size > 0) gFiles->push_back(name);
    return size;
}

FileHandle* __wrap__Z8fileOpenPKci(const char* name, int mode) {
    FileHandle* file = __real__Z8fileOpenPKci(name, mode);
    if (gFiles && file && mode == 1) gFiles->push_back(name);
    return file;
}
}

namespace {

// The flat reference: every call of a frame issued again, sprite regions by grDraw.
void replay(const std::vector<DrawCall>& calls) {
    for (const DrawCall& c : calls) {
        const int* r = c.r;
        switch (c.kind) {
        case DrawCall::kRegion:
            grDraw(c.material, r[0], r[1], r[2], r[3], c.sprite, r[4], r[5], r[6], r[7], c.colour,
                   c.time);
            break;
        case DrawCall::kClip: grSetClip(c.sprite, r[0], r[1], r[2], r[3]); break;
        case DrawCall::kTriangle:
            SpriteBlt(c.material, c.t[0], c.t[1], c.t[2], c.t[3], c.t[4], c.t[5], c.sprite, c.t[6],
                      c.t[7], c.t[8], c.t[9], c.t[10], c.t[11], c.colour, c.time);
            break;
        case DrawCall::kPrimitive: grDrawPrimitive(r[0], r[1], r[2], r[3], c.colour, r[4]); break;
        }
    }
}

// --- Start-up ------------------------------------------------------------------------------------

constexpr uint32_t kKeyDown = 256, kKeyUp = 257;
constexpr int kSpace = 32;
// A start that has not reached the menu after this many frames has gone wrong.
constexpr int kMaxStartFrames = 2000;

// A program folder with the game's data linked in and a player who played before; false when
// it could not be made.
bool writeStartFolder() {
    char folder[] = "/tmp/velmora_bench_start_XXXXXX";
    if (!mkdtemp(folder)) return false;
    const fs::path root = folder;
    std::error_code error;
    fs::create_directory_symlink(fs::path(VELMORA_GAME_DIR) / "Data", root / "Data", error);
    if (error) return false;
    std::ofstream(root / "game.ini") << "[main]\nname=Velmora Bench\npath=VelmoraBench\n";
    setenv("XDG_DATA_HOME", (root / "user").c_str(), 1);
    if (chdir(folder) != 0) return false;
    iniFreeAll();
    if (engineInit() != 0) return false;
    LoadWayPoints();
    CreatePlayer("bench", u"Bench");
    const bool made = gCurrentProfile && profGameSetString("main", "player", "bench");
    ReleasePlayer();
    gWayPoints.clear();
    engineDone();
    iniFreeAll();
    return made;
}

// Frames until the main menu is on show: its fade-in over, it takes update steps. The loading
// screen's prompt is answered with a key. The number of frames; 0 when the menu never showed.
int framesToMainMenu() {
    int frames = 0;
    bool pressed = false;
    int32_t menuClock = -1;
    while (frames < kMaxStartFrames) {
        GameFrame();
        ++frames;
        auto* loading = static_cast<UIGameLoading*>(gUIGameLoading.get());
        if (!pressed && loading && loading->stage() == kLoadingStages) {
            GameOnMessage(kKeyDown, kSpace, 0);
            GameOnMessage(kKeyUp, kSpace, 0);
            pressed = true;
        }
        if (Window* menu = gUIMainMenu.get(); pressed && menu) {
            if (menuClock >= 0 && menu->clock != menuClock) return frames;
            menuClock = menu->clock;
        }
    }
    return 0;
}

struct StartUp {
    bool ready = false;
    StartUp() {
        setenv("SDL_VIDEODRIVER", "dummy", 0);
        setenv("SDL_AUDIODRIVER", "dummy", 0);
        ready = writeStartFolder();
    }
};

StartUp& startUp() {
    static StartUp s;
    return s;
}

// Every file the first start read, in order; read again by the reference.
std::vector<std::string> gStartFiles;
// The start-up's time also as CPU time: on a busy machine the wall clock counts other programs.
double gStartMs = 0, gStartCpuMs = 0, gRawMs = 0, gFirstMs = 0;

// The engine started afresh, as the program's entry does before GameInit; false when it failed.
bool engineUp() {
    iniFreeAll();
    if (engineInit() != 0) return false;
    appResetFrame();
    return true;
}

void BM_StartUpToMainMenu(benchmark::State& state) {
    if (!startUp().ready) {
        state.SkipWithError("no program folder with a player (build the game data first)");
        return;
    }
    appSetScreens(screensStart, screensRelease);
    // Every frame is told the most one frame may catch up on: no start-up pacing waits.
    appSetClock([] { return float(kMaxCatchUpMs); });
    // The process's first start pays once for what later ones find ready (files in the page
    // cache, the video and audio drivers' set-up): it is measured apart, and lists the files read.
    int frames = 0;
    double firstMs = 0;
    if (engineUp()) {
        gStartFiles.clear();
        gFiles = &gStartFiles;
        const auto t0 = std::chrono::steady_clock::now();
        GameInit();
        frames = framesToMainMenu();
        firstMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0)
                      .count();
        gFiles = nullptr;
        GameShutdown();
    }
    if (!frames) state.SkipWithError("the main menu never showed");
    for (auto _ : state) {
        if (!frames) break;
        state.PauseTiming();
        const bool up = engineUp();
        state.ResumeTiming();
        if (!up) {
            state.SkipWithError("the engine did not start");
            break;
        }
        GameInit();
        frames = framesToMainMenu();
        state.PauseTiming();
        GameShutdown();
        state.ResumeTiming();
    }
    appSetClock(nullptr);
    appSetScreens(nullptr, nullptr);
    state.counters["frames"] = frames;
    state.counters["files"] = static_cast<double>(gStartFiles.size());
    state.counters["first_ms"] = firstMs;
}
BENCHMARK(BM_StartUpToMainMenu)->Unit(benchmark::kMillisecond)->Iterations(10);

// The same files, each opened, read whole into memory and closed, nothing made of them.
void BM_RefReadStartFilesRaw(benchmark::State& state) {
    std::vector<std::string> paths;
    for (const std::string& name : gStartFiles) {
        char path[1024];
        if (fileResolvePath(name.c_str(), path, sizeof path, 0)) paths.push_back(path);
    }
    if (paths.empty()) {
        state.SkipWithError("the start-up must run first");
        return;
    }
    std::vector<char> buffer(1 << 20);
    double bytes = 0;
    for (auto _ : state) {
        bytes = 0;
        for (const std::string& path : paths) {
            const int fd = open(path.c_str(), O_RDONLY);
            if (fd < 0) continue;
            ssize_t got;
            while ((got = read(fd, buffer.data(), buffer.size())) > 0)
                bytes += static_cast<double>(got);
            close(fd);
        }
    }
    state.counters["files"] = static_cast<double>(paths.size());
    state.counters["MB"] = bytes / 1e6;
}
BENCHMARK(BM_RefReadStartFilesRaw)->Unit(benchmark::kMillisecond)->Iterations(20);

// --- The busy level ------------------------------------------------------------------------------

std::string readText(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

struct Section {
    std::string name, body;
};

std::vector<Section> sections(const std::string& text) {
    std::vector<Section> out;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty() && line[0] == '[')
            out.push_back({line.substr(1, line.find(']') - 1), ""});
        else if (!out.empty())
            out.back().body += line + "\n";
    }
    return out;
}

// The section's key set to value, whether it was there or not.
void setKey(Section& s, const std::string& key, const std::string& value) {
    std::istringstream in(s.body);
    std::string line, body;
    while (std::getline(in, line))
        if (line.rfind(key + "=", 0) != 0) body += line + "\n";
    s.body = body + key + "=" + value + "\n";
}

std::string joined(const std::vector<Section>& all) {
    std::string out;
    for (const Section& s : all) out += "[" + s.name + "]\n" + s.body;
    return out;
}

// The objects file with every drawn object without an action (rooms too, so that many guests
// stay at once) copied, each copy a little apart; at most `listed` objects in the hotel's list.
std::string grownObjects(const std::string& text, int listed) {
    std::vector<Section> all = sections(text), out;
    std::string list;
    for (const Section& s : all) {
        if (s.name == "Main") continue;
        out.push_back(s);
        if (s.body.find("sprite=") == std::string::npos ||
            s.body.find("action=") != std::string::npos)
            continue;
        for (int k = 0; k < kCopies && listed > 0; ++k, --listed) {
            const std::string copy = k ? s.name + "_" + std::to_string(k) : s.name;
            list += (list.empty() ? "" : ",") + copy;
            if (k) out.push_back({copy, shiftedSection(s.body, copy, k)});
        }
    }
    for (Section& s : all)
        if (s.name == "Main") {
            setKey(s, "objects", list);
            out.insert(out.begin(), s);
        }
    return joined(out);
}

// The level asking for many guests, one coming every second, and its ghosts coming early.
std::string busyLevels(const std::string& text, const std::string& level) {
    std::vector<Section> all = sections(text);
    for (Section& s : all) {
        if (s.name == "Main") setKey(s, "first_client_start_delay", "500");
        if (s.name != level) continue;
        setKey(s, "clients", "Businessman," + std::to_string(kGuests));
        setKey(s, "other_client_start_delay", "1000");
        setKey(s, "monsters", "Ghost,4,8000/12000,2000/3000");
    }
    return joined(all);
}

// The way point of the last level of the last episode.
int lastLevel() {
    for (int i = static_cast<int>(gWayPoints.size()) - 1; i >= 0; --i)
        if (gWayPoints[static_cast<uint32_t>(i)].GetKind() == cMapWayPoint::kLevel) return i;
    return -1;
}

// A program folder of its own: the game's data linked in, that episode's hotel and levels
// rewritten busy.
bool writeFolder(int episode, int levelNumber) {
    char folder[] = "/tmp/velmora_bench_frame_XXXXXX";
    if (!mkdtemp(folder)) return false;
    const fs::path source = fs::path(VELMORA_GAME_DIR) / "Data";
    const fs::path data = fs::path(folder) / "Data";
    const std::string name = "e" + std::to_string(episode);
    std::error_code error;
    fs::create_directories(data / "Episodes" / name, error);
    for (const auto& entry : fs::directory_iterator(source))
        if (entry.path().filename() != "Episodes")
            fs::create_symlink(entry.path(), data / entry.path().filename(), error);
    for (const auto& entry : fs::directory_iterator(source / "Episodes"))
        if (entry.path().filename() != name)
            fs::create_symlink(entry.path(), data / "Episodes" / entry.path().filename(), error);
    const fs::path from = source / "Episodes" / name, to = data / "Episodes" / name;
    for (const auto& entry : fs::directory_iterator(from)) {
        const auto file = entry.path().filename();
        if (file != "objects.ini" && file != "levels.ini")
            fs::create_symlink(entry.path(), to / file, error);
    }
    std::ofstream(to / "objects.ini")
        << grownObjects(readText(from / "objects.ini"), cGame::kMaxObjects - kSpareObjects);
    std::ofstream(to / "levels.ini")
        << busyLevels(readText(from / "levels.ini"), "level" + std::to_string(levelNumber));
    std::ofstream(fs::path(folder) / "game.ini") << "[main]\nname=Velmora Bench\n";
    setenv("XDG_DATA_HOME", folder, 1);
    return chdir(folder) == 0;
}

// The program as far as a level needs it: the back buffer, the window manager, the game data the
// loading screen would load, the cursor, and a player at the last level with every skill.
struct Program {
    HSPRITE target = nullptr;
    bool ready = false;

    Program() {
        const fs::path shared = fs::path(VELMORA_GAME_DIR) / "Data" / "shared.ini";
        if (access(shared.c_str(), R_OK) != 0) return;
        // The way points tell which level is the last; they are read from the source's data first
        // and again, with the rest, from the program folder.
        char here[4096];
        if (!getcwd(here, sizeof here) || chdir(VELMORA_GAME_DIR) != 0) return;
        LoadWayPoints();
        const int n = lastLevel();
        if (n < 0) return;
        const cMapWayPoint point = gWayPoints[static_cast<uint32_t>(n)];
        gWayPoints.clear();
        if (!writeFolder(point.GetEpisode(), point.GetLevelNumber())) return;
        target = grCreateSprite(kWidth, kHeight, "bench back buffer");
        grSetTarget(target);
        userFolderCreate();
        LoadWayPoints();
        LoadSchoolItems();
        WM::Create();
        CreateComicsManager();
        LoadFxList();
        LoadRoomSprites();
        LoadHeroes();
        LoadHandObjects();
        cursorCreate();
        cursorSet(1);
        CreatePlayer("bench", u"Bench");
        gCurrentProfile->SetLevel(static_cast<uint32_t>(n));
        gCurrentProfile->SetTutorialOn(false);
        for (uint32_t i = 0; i < gSchoolItems.size(); ++i)
            gCurrentProfile->AddSchoolItem(gSchoolItems[i]);
        ready = gCurrentProfile->GetEpisode() == point.GetEpisode();
    }

    ~Program() {
        cursorDestroy();
        WM::Destroy();
        ReleasePlayer();
        FreeGameData();
        gWayPoints.clear();
        for (CSprite* s : gHeld) grFreeSprite(s);
        gHeld.clear();
        grFreeSprite(target);
        iniFreeAll();
    }
};

std::unique_ptr<Program> gProgram;

Program& program() {
    if (!gProgram) gProgram = std::make_unique<Program>();
    return *gProgram;
}

// What the hotel holds at one moment: objects, guests in it, tasks in the heroes' queues.
struct Busy {
    int objects = 0, guests = 0, tasks = 0;
};

// One play of the busy level from its start, always the same: seeded, the same player.
class Play {
public:
    Play() {
        gRandom.Seed(7);
        gParticleRandom.Seed(7);
        captionSeedRandom(7);
        level_ = gameCreateLevel();
        level_->xs = kWidth;
        level_->ys = kHeight;
        player_ = std::make_unique<ScriptedPlayer>(level_, [](ScriptedPlayer::Mouse m, Point2i p) {
            const intptr_t at = uiPack(p.x, p.y);
            if (m == ScriptedPlayer::kMove) WM::Get()->OnMouseMove(0, at);
            else if (m == ScriptedPlayer::kPress) WM::Get()->OnKeyDown(1, at);
            else WM::Get()->OnKeyUp(1, at);
        });
        WM::Get()->Push(level_, true, false, false);
        for (int i = 0; i < 2000 && level_->GetLevelState() != cGame::kPlaying; ++i) frame();
        for (int i = 0; i < kWarmFrames; ++i) {
            look();
            frame();
        }
    }
    ~Play() {
        WM::Get()->Clear();
        delete level_;
    }

    bool Playing() const { return level_->GetLevelState() == cGame::kPlaying; }

    // Whether the player acts before the next frame: as input does, between two frames.
    bool due() const { return n_ % kLookEvery == 0 || n_ % kCheckInEvery == 0; }
    void look() {
        if (n_ % kCheckInEvery == 0) checkIn();
        if (n_ % kLookEvery == 0) player_->React();
        ++n_;
    }
    void update() { WM::Get()->Update(kStepMs); }
    void draw() {
        WM::Get()->Render();
        cursorTick(kStepMs);
    }
    void frame() {
        update();
        draw();
    }

    Busy busy() const {
        Busy b;
        b.objects = level_->GetObjectCount();
        b.guests = level_->GetClientsIn();
        for (cHero* hero : level_->Heroes()) b.tasks += hero->TaskCount();
        return b;
    }

private:
    // The guest at the head of the check-in queue carried into a free room. The grown hotel's
    // rooms overlap, so a drop by the pointer would land on whichever room is listed first.
    void checkIn() {
        cClient* guest = player_->HeadOfCheckIn();
        cRoom* room = guest ? player_->FreeRoomFor(guest) : nullptr;
        if (!room) return;
        const Vec2f at = guest->GetBody().position;
        guest->BeginDrag(static_cast<int>(at.x), static_cast<int>(at.y));
        guest->DropOnRoom(room);
    }

    cGame* level_ = nullptr;
    std::unique_ptr<ScriptedPlayer> player_;
    int n_ = 0;
};

constexpr uint16_t kOddPixel = 0xF81F;  // magenta, which no picture of the hotel holds

void fill(HSPRITE target, uint16_t value) {
    grLockSprite(target);
    for (int y = 0; y < kHeight; ++y) {
        uint16_t* row = reinterpret_cast<uint16_t*>(reinterpret_cast<uint8_t*>(target->pixels) +
                                                    y * target->pitch);
        std::fill(row, row + kWidth, value);
    }
    grUnlockSprite(target);
}

std::vector<uint16_t> pixels(HSPRITE target) {
    grLockSprite(target);
    std::vector<uint16_t> out;
    for (int y = 0; y < kHeight; ++y) {
        const uint16_t* row = reinterpret_cast<const uint16_t*>(
            reinterpret_cast<const uint8_t*>(target->pixels) + y * target->pitch);
        out.insert(out.end(), row, row + kWidth);
    }
    grUnlockSprite(target);
    return out;
}

// The calls of every measured frame, from a play of its own; not ready when the pictures differ.
struct Recorded {
    std::vector<std::vector<DrawCall>> frames;
    uint64_t regions = 0;
    std::map<int, size_t> kinds;  // calls by kind over all frames
    bool ready = false;

    Recorded() {
        if (!program().ready) return;
        Play play;
        if (!play.Playing()) return;
        frames.resize(kFrames);
        size_t differ = 0;
        for (int i = 0; i < kFrames; ++i) {
            // The flat loop must give the very same picture, or the comparison means nothing;
            // both start from the same odd buffer, so that a call left out shows.
            const bool check = i % 50 == 49;
            play.look();
            play.update();
            if (check) fill(program().target, kOddPixel);
            gCalls = &frames[static_cast<size_t>(i)];
            gRecording = true;
            play.draw();
            gRecording = false;
            gCalls = nullptr;
            if (check) {
                const std::vector<uint16_t> managed = pixels(program().target);
                fill(program().target, kOddPixel);
                replay(frames[static_cast<size_t>(i)]);
                const std::vector<uint16_t> flat = pixels(program().target);
                for (size_t p = 0; p < managed.size(); ++p) differ += managed[p] != flat[p];
            }
        }
        for (const auto& f : frames)
            for (const DrawCall& c : f) ++kinds[c.kind];
        regions = kinds[DrawCall::kRegion];
        if (differ) fprintf(stderr, "bench_frame: %zu pixels differ in the flat frames\n", differ);
        ready = differ == 0;
    }
};

Recorded& recorded() {
    static Recorded r;
    return r;
}

double gFrameMs = 0, gFlatMs = 0;
uint64_t gFrameRegions = 0;  // drawn by the measured frames

void BM_BusyLevelFrame(benchmark::State& state) {
    if (!program().ready) {
        state.SkipWithError("no bundled level to play (build the game data first)");
        return;
    }
    Play play;
    if (!play.Playing()) {
        state.SkipWithError("the level did not reach play");
        return;
    }
    const uint64_t before = gRegions;
    double update = 0, draw = 0;
    // How busy the hotel is, looked at whenever the player acts: averaged over the stretch.
    double guests = 0, tasks = 0, looks = 0;
    int objects = 0;
    using Clock = std::chrono::steady_clock;
    for (auto _ : state) {
        // The player's clicks are input between frames, not part of one.
        const bool acts = play.due();
        if (acts) {
            state.PauseTiming();
            const Busy busy = play.busy();
            objects = busy.objects;
            guests += busy.guests;
            tasks += busy.tasks;
            ++looks;
        }
        play.look();
        if (acts) state.ResumeTiming();
        const auto t0 = Clock::now();
        play.update();
        const auto t1 = Clock::now();
        play.draw();
        const auto t2 = Clock::now();
        update += std::chrono::duration<double, std::milli>(t1 - t0).count();
        draw += std::chrono::duration<double, std::milli>(t2 - t1).count();
    }
    const double frames = static_cast<double>(state.iterations());
    const double regions = static_cast<double>(gRegions - before);
    state.counters["update_ms"] = update / frames;
    state.counters["draw_ms"] = draw / frames;
    state.counters["regions"] = regions / frames;
    state.counters["objects"] = objects;
    state.counters["guests"] = looks ? guests / looks : 0;
    state.counters["hero_tasks"] = looks ? tasks / looks : 0;
    gFrameRegions = gRegions - before;
}
BENCHMARK(BM_BusyLevelFrame)->Unit(benchmark::kMillisecond)->Iterations(kFrames);

void BM_RefFlatDraws(benchmark::State& state) {
    Recorded& r = recorded();
    if (!r.ready) {
        state.SkipWithError("no frames recorded, or their flat draws differ");
        return;
    }
    size_t i = 0;
    for (auto _ : state) {
        replay(r.frames[i]);
        i = (i + 1) % r.frames.size();
    }
    state.counters["regions"] = static_cast<double>(r.kinds[DrawCall::kRegion]) / kFrames;
    state.counters["triangles"] = static_cast<double>(r.kinds[DrawCall::kTriangle]) / kFrames;
    state.counters["primitives"] = static_cast<double>(r.kinds[DrawCall::kPrimitive]) / kFrames;
}
BENCHMARK(BM_RefFlatDraws)->Unit(benchmark::kMillisecond)->Iterations(kFrames);

class Reporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& r : runs) {
            if (r.error_occurred || r.iterations == 0) continue;
            const std::string name = r.benchmark_name();
            if (name.rfind("BM_BusyLevelFrame", 0) == 0) gFrameMs = r.GetAdjustedRealTime();
            if (name.rfind("BM_RefFlatDraws", 0) == 0) gFlatMs = r.GetAdjustedRealTime();
            if (name.rfind("BM_StartUpToMainMenu", 0) == 0) {
                gStartMs = r.GetAdjustedRealTime();
                gStartCpuMs = r.GetAdjustedCPUTime();
                const auto first = r.counters.find("first_ms");
                if (first != r.counters.end()) gFirstMs = first->second;
            }
            if (name.rfind("BM_RefReadStartFilesRaw", 0) == 0) gRawMs = r.GetAdjustedRealTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    Reporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    if (gStartMs > 0 && gRawMs > 0)
        printf("start-up to the main menu %.1f ms (CPU %.1f ms; the process's first start "
               "%.1f ms), its %zu files read raw %.2f ms: %.1fx (target: under 200 ms)\n",
               gStartMs, gStartCpuMs, gFirstMs, gStartFiles.size(), gRawMs, gStartMs / gRawMs);
    if (gFrameMs > 0 && gFlatMs > 0)
        printf("busy level frame %.3f ms, the same draws flat %.3f ms: %.2fx (target: frame under "
               "2 ms)\n",
               gFrameMs, gFlatMs, gFrameMs / gFlatMs);
    // Both plays are the same play, or the reference draws other frames than the ones measured.
    if (gFrameRegions && recorded().ready && gFrameRegions != recorded().regions)
        printf("the measured play drew %llu sprite regions, the recorded one %llu: plays DIFFER\n",
               static_cast<unsigned long long>(gFrameRegions),
               static_cast<unsigned long long>(recorded().regions));
    gProgram.reset();
    benchmark::Shutdown();
    return 0;
}
