// Speed of the game's start-up and of its main menu, on the bundled data:
// - the start's sound scripts, the shared background, the first screens and the 18 loading
//   stages back to back (no 200 ms pacing) until the main menu exists, beside a reference that
//   reads and converts the same image files and opens and decodes once each sound file the
//   start-up opens (as much as a voice's buffer takes; music waits for its first play) alone; the
//   ratio is printed at the end. Both sides run in the same memory state, once with the memory
//   of the run before kept for reuse (the work itself) and once with it handed back to the system
//   before every run, as in a fresh process (the work plus the first touch of every page it uses,
//   which on some virtual machines costs more than the work);
// - one main-menu frame at 1024x768 (the window manager's render and the cursor), beside the
//   same sprites and captions drawn from a flat list gathered beforehand;
// - one episode-map frame (the map's own draw: background, photos, widgets, signs and every way
//   point) for a player half-way through the second episode, beside the same flat list idea.
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "engine/data/profile.h"
#include "engine/gr/gr.h"
#include "engine/gr/gr_util.h"
#include "engine/gr/registry.h"
#include "engine/gr/sprite.h"
#include "engine/data/ini.h"
#include "engine/snd/snd.h"
#include "engine/snd/snd_internal.h"
#include "engine/snd/sndfile.h"
#include "game/game_data.h"
#include "game/profile.h"
#include "screens/holders.h"
#include "screens/loading.h"
#include "screens/map.h"
#include "screens/shared_background.h"
#include "bench/ratio_reporter.h"
#include "bench/ui_reference.h"
#include "ui/ui.h"

namespace {

// The image files the start-up leaves loaded and the sound files it opened, found by a first run.
std::vector<std::string> gFiles;
std::vector<std::string> gSounds;
// Whether the frames' benchmarks left a started game standing.
bool gFramesStarted = false;

const char* const kSoundScripts[] = {"Data/Sounds/sounds.ini", "Data/Sounds/music.ini"};

void startUpToMainMenu() {
    // As the game's start, with the mixer but no device.
    sndInitWithoutDevice();
    for (const char* script : kSoundScripts) sndLoadScript(script);
    WM::Create();
    LoadWayPoints();
    LoadSchoolItems();
    screensStart();
    Window* loading = gUIGameLoading.get();
    loading->OnShow(1);
    for (int stage = 0; stage < kLoadingStages; ++stage) loading->Update(kLoadingStageMs);
}

void releaseAll() {
    WM::Destroy();
    screensRelease();
    FreeGameData();
    gWayPoints.clear();
    sndStopMusicNow();
    sndDone();
}

// Every sound file the start's scripts opened into a voice's buffer, each once.
std::vector<std::string> openedSoundFiles() {
    std::set<std::string> files;
    std::vector<char> sections(32768);
    for (const char* script : kSoundScripts) {
        iniGetSections(script, sections.data(), static_cast<int>(sections.size()));
        for (const char* s = sections.data(); *s; s += strlen(s) + 1) {
            const SndRecord* r = sndFind(s, true);
            for (int i = 0; r && i < r->voiceCount; ++i)
                if (r->voices[i].buffer) files.insert(r->voices[i].fileName);
        }
    }
    return {files.begin(), files.end()};
}

// A sound file opened and decoded as a voice's buffer takes it: whole, or a ring's worth.
void decodeSound(const std::string& name, std::vector<unsigned char>* buffer) {
    CFileSND* reader = sndCreateFileByExt(name.c_str());
    if (!reader) return;
    if (reader->Open(name.c_str()) == 0) {
        const unsigned bytes = std::min<unsigned>(reader->dataSize, SND_RING_BYTES);
        buffer->resize(bytes);
        reader->Read(buffer->data(), bytes, 0);
    }
    delete reader;
}

bool haveData(benchmark::State& state) {
    if (access("Data/Menu/UISharedBackground/background.jpg", R_OK) == 0) return true;
    state.SkipWithError("no generated data: build the velmora_data target first");
    return false;
}

// Minor page faults so far: first touches of pages the process had not used yet.
double pageFaults() {
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_minflt);
}

// The memory state a run starts in: argument 0 keeps what the run before freed (main sets the
// allocator never to hand memory back by itself), 1 hands it back to the system first. Either
// way the caches are first filled with other data, as other work leaves them, so that neither
// side finds the memory it writes still cached from its last run.
std::vector<unsigned char>& otherData() {
    static std::vector<unsigned char> other(64 << 20, 1);
    return other;
}

void startRun(benchmark::State& state) {
    std::vector<unsigned char>& other = otherData();
    state.PauseTiming();
    if (state.range(0) == 1) malloc_trim(0);
    for (size_t i = 0; i < other.size(); i += 64) other[i] = static_cast<unsigned char>(other[i] + 1);
    state.ResumeTiming();
}

// Bytes the process has read from files so far.
double bytesRead() {
    double value = 0;
    if (FILE* f = fopen("/proc/self/io", "r")) {
        char line[128];
        while (fgets(line, sizeof line, f))
            if (strncmp(line, "rchar:", 6) == 0) value = atof(line + 6);
        fclose(f);
    }
    return value;
}

struct RunCounts {
    double faults = pageFaults(), bytes = bytesRead();
};

void countFaults(benchmark::State& state, const RunCounts& before) {
    state.counters["faults"] = benchmark::Counter(pageFaults() - before.faults, benchmark::Counter::kAvgIterations);
    state.counters["MB read"] =
        benchmark::Counter((bytesRead() - before.bytes) / 1e6, benchmark::Counter::kAvgIterations);
}

void BM_StartUpToMainMenu(benchmark::State& state) {
    if (!haveData(state)) return;
    userFolderCreate();  // the score table is read from and written to the user folder
    otherData();
    // A first start outside the timing: the process's own first touches are no run's.
    startUpToMainMenu();
    if (gFiles.empty()) {
        for (int i = 0; i < grRegistrySize(); ++i)
            if (CSpriteExt* s = grRegistryAt(i)) gFiles.push_back(s->name);
        gSounds = openedSoundFiles();
    }
    releaseAll();
    const RunCounts faults;
    for (auto _ : state) {
        startRun(state);
        startUpToMainMenu();
        if (!gUIMainMenu) state.SkipWithError("no main menu was made");
        state.PauseTiming();
        releaseAll();
        state.ResumeTiming();
    }
    countFaults(state, faults);
}

// Every picture loaded and every sound decoded into buffers of its own, all held to the end of
// the run as the start-up holds them.
void BM_RefReadTheSamePictures(benchmark::State& state) {
    if (!haveData(state) || gFiles.empty()) {
        state.SkipWithError("the start-up must run first");
        return;
    }
    std::vector<HSPRITE> sprites(gFiles.size());
    const std::vector<std::string>& sounds = gSounds;
    std::vector<std::vector<unsigned char>> pcm(sounds.size());
    const RunCounts faults;
    for (auto _ : state) {
        startRun(state);
        for (size_t i = 0; i < gFiles.size(); ++i) sprites[i] = grLoadSprite(gFiles[i].c_str(), nullptr, 0);
        for (size_t i = 0; i < sounds.size(); ++i) decodeSound(sounds[i], &pcm[i]);
        state.PauseTiming();
        for (HSPRITE s : sprites) grFreeSprite(s);
        for (std::vector<unsigned char>& buffer : pcm) std::vector<unsigned char>().swap(buffer);
        state.ResumeTiming();
    }
    state.counters["sound files"] = static_cast<double>(sounds.size());
    countFaults(state, faults);
}

// One flat draw: a widget drawn by plain gr calls with its text lines wrapped beforehand, or a
// figure of the shared background.
struct FlatDraw {
    const UIWnd* widget;
    std::vector<std::u16string> lines;
    const BackgroundFigure* figure;
};

void gather(const UIWnd* w, std::vector<FlatDraw>* out) {
    if (w->hidden()) return;
    auto* text = dynamic_cast<UITextStatic*>(const_cast<UIWnd*>(w));
    out->push_back({w, text ? text->WrappedLines() : std::vector<std::u16string>{}, nullptr});
    if (w == gSharedBackground) {
        const BackgroundFigure* shown[7];
        const int count = sharedBackground()->ShownFigures(shown);
        for (int i = 0; i < count; ++i) out->push_back({w, {}, shown[i]});
    }
    // Compound widgets draw their own parts; plain windows and sprites hold their children.
    if (dynamic_cast<const UIProgress*>(w) || dynamic_cast<const UISwitch*>(w)) return;
    for (int i = 0; i < w->childCount(); ++i) gather(w->children[i], out);
}

// The menu on show and settled, with the custom cursor over it.
struct MenuFrame {
    HSPRITE target = nullptr;
    HSPRITE darkness = nullptr;  // the manager's screen clear
    std::vector<FlatDraw> draws;
    bool ready = false;

    MenuFrame() {
        char user[] = "/tmp/velmora_bench_screens_XXXXXX";
        if (!mkdtemp(user)) return;
        setenv("XDG_DATA_HOME", user, 1);
        userFolderCreate();
        target = grCreateSprite(1024, 768, "bench back buffer");
        grSetTarget(target);
        startUpToMainMenu();
        gFramesStarted = true;
        if (!gUIMainMenu) return;
        cursorCreate();
        cursorMove(0, uiPack(512, 384));
        // The logo the start pushed is dropped first (a closing logo pushes its follower).
        WM::Get()->Clear();
        WM::Get()->Push(gUIMainMenu.get(), true, false, false);
        for (int i = 0; i < 40; ++i) WM::Get()->Update(25);
        darkness = grLoadSprite("Data/fx/darkness.tga", nullptr, 0);
        gather(gUIMainMenu.get(), &draws);
        // Both sides must draw the very same picture, or the comparison means nothing.
        WM::Get()->Render();
        cursorGet()->Draw();
        const std::vector<uint16_t> managed = pixels();
        drawFlat();
        const std::vector<uint16_t> flat = pixels();
        size_t differ = 0;
        for (size_t i = 0; i < managed.size(); ++i) differ += managed[i] != flat[i];
        if (differ) fprintf(stderr, "bench_screens: %zu pixels differ in the menu frame\n", differ);
        ready = differ == 0;
    }

    void drawFlat() const {
        grDraw(sMaterial(2, 4, 1, 30), 0, 0, 1024, 768, darkness, 0, 0, spriteWidth(darkness),
               spriteHeight(darkness), 0xFFFFFFFFu, 0);
        for (const FlatDraw& d : draws) {
            if (d.figure)
                d.figure->Draw(d.widget->tint, d.widget->clock);
            else
                benchref::drawReferenceWidget(d.widget, d.lines);
        }
        const cCursorManager* c = cursorGet();
        if (c->current < 0 || c->current >= static_cast<int>(c->records.size())) return;
        const CursorRecord& pointer = c->records[static_cast<uint32_t>(c->current)];
        grDrawSprite(c->position.x + pointer.offsetX, c->position.y + pointer.offsetY,
                     pointer.sprite, c->clock);
    }

    std::vector<uint16_t> pixels() const {
        grLockSprite(target);
        std::vector<uint16_t> out;
        for (int y = 0; y < 768; ++y) {
            const uint16_t* row = reinterpret_cast<const uint16_t*>(
                reinterpret_cast<const uint8_t*>(target->pixels) + y * target->pitch);
            out.insert(out.end(), row, row + 1024);
        }
        return out;
    }
};

MenuFrame& menuFrame() {
    static MenuFrame f;
    return f;
}

void BM_MainMenuFrame(benchmark::State& state) {
    if (!haveData(state)) return;
    MenuFrame& f = menuFrame();
    if (!f.ready) {
        state.SkipWithError("no main menu on show");
        return;
    }
    for (auto _ : state) {
        WM::Get()->Render();
        cursorGet()->Draw();
    }
    state.counters["draws"] = static_cast<double>(f.draws.size());
}

void BM_RefMainMenuFlatDraws(benchmark::State& state) {
    if (!haveData(state)) return;
    MenuFrame& f = menuFrame();
    if (!f.ready) {
        state.SkipWithError("no main menu on show");
        return;
    }
    for (auto _ : state) f.drawFlat();
}

// A sign's frame, its corners at their own size and the edges stretched between them.
void drawSign(const cFrame* f) {
    const sMaterial m(4, 4, 1, 30);
    auto w = [f](int i) { return spriteWidth(f->pieces[i]); };
    auto h = [f](int i) { return spriteHeight(f->pieces[i]); };
    auto piece = [&](int i, int x, int y, int width, int height) {
        if (f->pieces[i] && width > 0 && height > 0)
            grDraw(m, x, y, width, height, f->pieces[i], 0, 0, w(i), h(i), f->tint, 0);
    };
    const int x = f->x, y = f->y, xs = f->xs, ys = f->ys;
    enum { LT = cFrame::LEFT_TOP, RT = cFrame::RIGHT_TOP, LB = cFrame::LEFT_BOTTOM };
    enum { RB = cFrame::RIGHT_BOTTOM, T = cFrame::TOP, B = cFrame::BOTTOM, L = cFrame::LEFT };
    enum { R = cFrame::RIGHT, C = cFrame::CENTER };
    piece(LT, x, y, w(LT), h(LT));
    piece(RT, x + xs - w(RT), y, w(RT), h(RT));
    piece(LB, x, y + ys - h(LB), w(LB), h(LB));
    piece(RB, x + xs - w(RB), y + ys - h(RB), w(RB), h(RB));
    piece(T, x + w(LT), y, xs - w(LT) - w(RT), h(T));
    piece(B, x + w(LB), y + ys - h(B), xs - w(LB) - w(RB), h(B));
    piece(L, x, y + h(LT), w(L), ys - h(LT) - h(LB));
    piece(R, x + xs - w(R), y + h(RT), w(R), ys - h(RT) - h(RB));
    piece(C, x + w(L), y + h(T), xs - w(L) - w(R), ys - h(T) - h(B));
}

// One plain sprite draw of the map's own: where, with which material and colour.
struct SpriteDraw {
    HSPRITE sprite;
    int x, y;
    sMaterial material;
    uint32_t colour;
};

// The map on show for a player at the 19th way point (the second episode's 6th level): the
// first episode done, some levels at expert grade, so that every kind of way-point sprite, both
// photos and the signs appear.
struct MapFrame {
    UIGameMap* map = nullptr;
    HSPRITE owned[8] = {};
    std::vector<SpriteDraw> under, over;  // before and after the widgets
    std::vector<FlatDraw> widgets, signs;
    cFrame skillSign, mustHaveSign;
    bool ready = false;

    MapFrame() {
        MenuFrame& menu = menuFrame();
        if (!menu.ready) return;
        map = dynamic_cast<UIGameMap*>(gUIGameMap.get());
        if (!map) return;
        CreatePlayer("bench", u"Bench");
        gCurrentProfile->SetLevel(18);  // reloads the player, so before the figures below
        for (uint32_t i = 0; i < 18; ++i) gWayPoints[i].LoadResult(i % 3 == 0 ? 3 : 2);
        gCurrentProfile->AddCash(5000);
        gCurrentProfile->AddSkillPoints(40);
        WM::Get()->Clear();
        WM::Get()->Push(map, true, false, false);
        for (int i = 0; i < 40; ++i) WM::Get()->Update(25);
        gatherFlat();
        map->Draw();
        const std::vector<uint16_t> managed = menu.pixels();
        drawFlat();
        const std::vector<uint16_t> flat = menu.pixels();
        size_t differ = 0;
        for (size_t i = 0; i < managed.size(); ++i) differ += managed[i] != flat[i];
        if (differ) fprintf(stderr, "bench_screens: %zu pixels differ in the map frame\n", differ);
        ready = differ == 0;
    }

    ~MapFrame() {
        for (HSPRITE& s : owned) grFreeSprite(s);
    }

    HSPRITE load(const char* section, const char* key, int slot) {
        owned[slot] = iniReadAnimSprite(map->iniFile, section, key);
        return owned[slot];
    }

    void gatherFlat() {
        const char* file = map->iniFile;
        const sMaterial plain(2, 4, 1, 30);
        under.push_back({load("Background", "sprite", 0), 0, 0, plain, 0xFFFFFFFFu});
        for (int e = 1; e <= gCurrentProfile->GetEpisode() && e <= 4; ++e) {
            char section[16];
            snprintf(section, sizeof section, "Photo%d", e);
            Point2i at(0, 0);
            iniReadIntPair(&at, file, section, "pos");
            HSPRITE s = load(section, map->IsEpisodeComplete(e) ? "stamp" : "picture", e);
            under.push_back({s, at.x, at.y, plain, 0xFFFFFFFFu});
        }
        for (int i = 0; i < map->childCount(); ++i) gather(map->children[i], &widgets);
        const int g = std::min(255, std::max(0, map->GlowValue()));
        const uint32_t grey = static_cast<uint32_t>(g) * 0x01010101u;
        const uint32_t glowColour = static_cast<uint32_t>(map->GlowAlpha()) << 24 | 0xFFFFFFu;
        HSPRITE glow = load("Sprites", "glow", 5);
        const char* layout = "Data/Menu/UIMap/UIMap.ini";
        auto price = [&](const char* area) {
            over.push_back({glow, iniGetInt(layout, area, "x", 0), iniGetInt(layout, area, "y", 0) + 1,
                            sMaterial(4, 2, 1, 31), grey});
        };
        auto sign = [&](cFrame& frame, const char* section, const char* text, const char* arrow) {
            frame.Load(file, section);
            CreateChildFromIni(&frame, file, text, 1, 0);
            CreateChildFromIni(&frame, file, arrow, 1, 0);
            frame.SetColorAll(glowColour);
            gather(&frame, &signs);
        };
        if (map->Skill()) {
            price("LeftPriceArea");
            sign(skillSign, "SkillAvailable", "SkillAvailableText", "SkillAvailableArrow");
        }
        if (map->Buyable()) price("RightPriceArea");
        if (map->MustHave()) sign(mustHaveSign, "MustHave", "MustHaveText", "MustHaveArrow");
        for (uint32_t i = 0; i < gWayPoints.size(); ++i) {
            HSPRITE s = map->WayPointSprite(i);
            if (!s) continue;
            const Point2i at = gWayPoints[i].GetPos();
            over.push_back({s, at.x - spriteWidth(s) / 2, at.y - spriteHeight(s) / 2, plain,
                            0xFFFFFFFFu});
        }
    }

    void drawFlat() const {
        auto sprites = [this](const std::vector<SpriteDraw>& list, size_t from, size_t to) {
            for (size_t i = from; i < to; ++i) {
                const SpriteDraw& d = list[i];
                grDraw(d.material, d.x, d.y, spriteWidth(d.sprite), spriteHeight(d.sprite), d.sprite,
                       0, 0, spriteWidth(d.sprite), spriteHeight(d.sprite), d.colour, map->clock);
            }
        };
        sprites(under, 0, under.size());
        for (const FlatDraw& d : widgets) benchref::drawReferenceWidget(d.widget, d.lines);
        // The glows and the signs, then the way points: the way points are the last gathered.
        const size_t glows = over.size() - countWayPoints();
        sprites(over, 0, glows);
        for (const FlatDraw& d : signs) {
            if (auto* frame = dynamic_cast<const cFrame*>(d.widget))
                drawSign(frame);
            else
                benchref::drawReferenceWidget(d.widget, d.lines);
        }
        sprites(over, glows, over.size());
    }

    size_t countWayPoints() const {
        size_t n = 0;
        for (uint32_t i = 0; i < gWayPoints.size(); ++i) n += map->WayPointSprite(i) != nullptr;
        return n;
    }
};

MapFrame& mapFrame() {
    static MapFrame f;
    return f;
}

void BM_MapFrame(benchmark::State& state) {
    if (!haveData(state)) return;
    MapFrame& f = mapFrame();
    if (!f.ready) {
        state.SkipWithError("no map on show");
        return;
    }
    for (auto _ : state) f.map->Draw();
    state.counters["draws"] =
        static_cast<double>(f.under.size() + f.over.size() + f.widgets.size() + f.signs.size());
}

void BM_RefMapFlatDraws(benchmark::State& state) {
    if (!haveData(state)) return;
    MapFrame& f = mapFrame();
    if (!f.ready) {
        state.SkipWithError("no map on show");
        return;
    }
    for (auto _ : state) f.drawFlat();
}

}  // namespace

BENCHMARK(BM_StartUpToMainMenu)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_RefReadTheSamePictures)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_MainMenuFrame)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RefMainMenuFlatDraws)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MapFrame)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RefMapFlatDraws)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    // Freed memory stays with the process until a run hands it back (startRun).
    mallopt(M_MMAP_THRESHOLD, 256 << 20);
    mallopt(M_TRIM_THRESHOLD, 1 << 30);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    // The frames' start-up is let go of as the game's clean stop lets go of it, before the
    // process's own end destroys what the screens still point into.
    if (gFramesStarted) releaseAll();
    std::printf("%zu image files\n", gFiles.size());
    // Each of ours beside its reference: how many times the reference's time it takes.
    const RatioPair pairs[] = {
        {"BM_StartUpToMainMenu/0/iterations:10", "BM_RefReadTheSamePictures/0/iterations:10",
         "start-up / reading and decoding its files (goal 1.5)"},
        {"BM_StartUpToMainMenu/1/iterations:10", "BM_RefReadTheSamePictures/1/iterations:10",
         "the same, memory handed back before each run"},
        {"BM_MainMenuFrame", "BM_RefMainMenuFlatDraws", "main menu frame / flat draws"},
        {"BM_MapFrame", "BM_RefMapFlatDraws", "map frame / flat draws"}};
    printRatios(reporter, pairs);
    // The start-up's two pairs again by the process's own time, which a machine loaded by other
    // work disturbs less than the clock on the wall.
    const RatioPair cpu[] = {
        {"BM_StartUpToMainMenu/0/iterations:10", "BM_RefReadTheSamePictures/0/iterations:10",
         "start-up / its files, memory kept, processor time"},
        {"BM_StartUpToMainMenu/1/iterations:10", "BM_RefReadTheSamePictures/1/iterations:10",
         "start-up / its files, memory handed back, processor time"}};
    printRatios(reporter, cpu, true);
    return 0;
}
