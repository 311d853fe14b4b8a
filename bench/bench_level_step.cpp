// Speed of one 25 ms step of a busy level: the first level with its hotel grown to about 120
// objects, 40 guests arriving close together and the heroes kept busy by a quick player's orders
// on every object a click would serve; and the same at the level's limits (200 objects, 199
// guests). Beside each, the same steps on a level whose look-ups by name are answered from
// pointers resolved beforehand. Both runs must end in the same digest. Then the growth: hotels of
// 50, 100, 150 and 200 objects, the same kinds in the same shares and the same 50 guests asked
// for, whose cost per object should stay flat; and, for information, the cost each object adds
// over the hotel with no copies. Prints processor milliseconds per 1,000 steps (the least of the
// repetitions) and the ratios. Needs the generated game data (build the velmora_data target
// first).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "bench/level_copies.h"
#include "bench/ratio_reporter.h"
#include "anim/caption.h"
#include "core/random.h"
#include "engine/data/ini.h"
#include "engine/data/profile.h"
#include "engine/gr/gr.h"
#include "engine/snd/snd.h"
#include "engine/snd/snd_internal.h"
#include "game/game.h"
#include "game/game_data.h"
#include "game/profile.h"
#include "world/client.h"
#include "world/hero.h"
#include "world/level_object.h"
#include "world/request.h"
#include "world/room.h"

namespace fs = std::filesystem;

namespace {

constexpr int kSteps = 1000;
// 15 s of play first: guests queuing, walking, entering and in rooms.
constexpr int kWarmSteps = 600;

std::string readText(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// The objects file with every drawn object without an action copied (rooms too, so that more
// guests stay at once), each copy shifted a little. The hotel lists at most listed objects, shared
// out evenly: each such object the same number of times, give or take one, never more than
// copies, so a smaller hotel holds every kind a larger one does.
std::string grownObjects(const std::string& text, int copies, int listed) {
    const std::vector<std::pair<std::string, std::string>> sections = iniSections(text);
    auto copied = [](const std::string& body) {
        return body.find("sprite=") != std::string::npos && body.find("action=") == std::string::npos;
    };
    int kinds = 0;
    for (auto& [name, body] : sections) kinds += name != "Main" && copied(body);
    std::string list, out, main;
    int kind = 0;
    for (auto& [name, body] : sections) {
        if (name == "Main") {
            std::istringstream b(body);
            std::string line;
            while (std::getline(b, line))
                if (line.rfind("objects=", 0) != 0) main += line + "\n";
            continue;
        }
        out += "[" + name + "]\n" + body;
        if (!copied(body)) continue;
        const int share = listed / kinds + (kind++ < listed % kinds ? 1 : 0);
        for (int k = 0; k < copies && k < share; ++k) {
            const std::string copy = k ? name + "_" + std::to_string(k) : name;
            list += (list.empty() ? "" : ",") + copy;
            if (!k) continue;
            out += "[" + copy + "]\n" + shiftedSection(body, copy, k);
        }
    }
    return "[Main]\n" + main + "objects=" + list + "\n" + out;
}

// The first level asking for that many guests, the next one coming a fifth of a second after.
std::string busyLevels(std::string text, int clients) {
    auto replace = [&text](const std::string& from, const std::string& to) {
        const size_t at = text.find(from);
        if (at != std::string::npos) text.replace(at, from.size(), to);
    };
    replace("clients=Businessman,5", "clients=Businessman," + std::to_string(clients));
    replace("other_client_start_delay=6000", "other_client_start_delay=200");
    replace("first_client_start_delay=2000", "first_client_start_delay=200");
    return text;
}

// The places the level adds to the hotel: its check-in and check-out places and its anger point.
int levelPlaces(const std::string& levels) {
    int places = 0;
    for (auto& [name, body] : iniSections(levels)) {
        if (name != "Main") continue;
        std::istringstream b(body);
        std::string line;
        while (std::getline(b, line)) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            const size_t eq = line.find('=');
            const std::string key = line.substr(0, eq), value = line.substr(eq + 1);
            if (eq == std::string::npos || value.empty()) continue;
            if (key == "check_ins" || key == "check_outs")
                places += 1 + static_cast<int>(std::count(value.begin(), value.end(), ','));
            if (key == "anger_point") ++places;
        }
    }
    return places;
}

fs::path gFolder;
const fs::path kSource = fs::path(VELMORA_GAME_DIR) / "Data";

// A program folder of its own, the game's data linked in but for the first episode's files.
bool writeFolder() {
    char folder[] = "/tmp/velmora_bench_step_XXXXXX";
    if (!mkdtemp(folder)) return false;
    gFolder = folder;
    const fs::path data = gFolder / "Data";
    std::error_code error;
    fs::create_directories(data / "Episodes" / "e1", error);
    for (const auto& entry : fs::directory_iterator(kSource))
        if (entry.path().filename() != "Episodes")
            fs::create_symlink(entry.path(), data / entry.path().filename(), error);
    for (const auto& entry : fs::directory_iterator(kSource / "Episodes" / "e1")) {
        const auto name = entry.path().filename();
        if (name != "objects.ini" && name != "levels.ini")
            fs::create_symlink(entry.path(), data / "Episodes" / "e1" / name, error);
    }
    std::ofstream(gFolder / "game.ini") << "[main]\nname=Velmora Bench\n";
    setenv("XDG_DATA_HOME", folder, 1);
    return chdir(folder) == 0;
}

// The first episode's files for a level of that size, its places included; the ini cache is
// emptied so it reads them.
void configure(int copies, int clients, int objects = cGame::kMaxObjects) {
    const fs::path e1 = gFolder / "Data" / "Episodes" / "e1";
    const std::string levels = readText(kSource / "Episodes" / "e1" / "levels.ini");
    std::ofstream(e1 / "objects.ini")
        << grownObjects(readText(kSource / "Episodes" / "e1" / "objects.ini"), copies,
                        objects - levelPlaces(levels));
    std::ofstream(e1 / "levels.ini") << busyLevels(levels, clients);
    iniFreeAll();
}

// The level with its look-ups by name answered from a table filled on first ask; a lookup by
// content allocates nothing once the name is known.
class CachedGame : public cGame {
public:
    HeroLink* GetHeroByName(const char* name) override {
        auto it = heroes_.find(std::string_view(name ? name : ""));
        if (it == heroes_.end())
            it = heroes_.emplace(name ? name : "", cGame::GetHeroByName(name)).first;
        return it->second;
    }
    cLevelObj* FindLevelObjectByName(const char* name) override {
        auto it = objects_.find(std::string_view(name ? name : ""));
        if (it == objects_.end())
            it = objects_.emplace(name ? name : "", cGame::FindLevelObjectByName(name)).first;
        return it->second;
    }

private:
    std::map<std::string, HeroLink*, std::less<>> heroes_;
    std::map<std::string, cLevelObj*, std::less<>> objects_;
};

template <class Level>
cGame* makeLevel() {
    gRandom.Seed(7);
    captionSeedRandom(7);
    cGame* level = new Level;
    for (int stage = 0; stage < cGame::kLoadStages; ++stage) level->LoadLevel(stage);
    return level;
}

// The request a click on the object would serve, picked as the level picks it: the object's own,
// a guest's that the object is the target of, or the one shown on it (where a fetched thing is
// delivered); null when it is not waiting.
const cRequest* waitingRequest(cGame* level, cLevelObj* object) {
    const cRequest* request = &object->GetRequest();
    if (!request->IsWaiting()) {
        const cBaseObj* client = level->FindClientByRequestTarget(object);
        request = client ? &client->GetRequest() : object->GetAttached();
    }
    return request && request->IsWaiting() ? request : nullptr;
}

// The guest at the front of the check-in queue is taken to the first free room, as a drag would.
void checkIn(cGame* level) {
    for (int i = 0; i < level->GetClientsMade(); ++i) {
        cClient* client = level->GetClient(i);
        if (client->GetRequest().GetKind() != kCheckIn || !client->CanOrderService()) continue;
        for (int k = 0; k < level->GetObjectCount(); ++k) {
            cRoom* room = dynamic_cast<cRoom*>(level->GetObject(k));
            if (!room || level->FindClientAtObject(room) ||
                room->GetRequest().GetKind() != kNoRequest)
                continue;
            const Vec2f at = client->GetBody().position;
            client->BeginDrag(static_cast<int>(at.x), static_cast<int>(at.y));
            client->DropOnRoom(room);
            return;
        }
        return;
    }
}

// One step as a quick player would drive it: every fifth step a guest is checked in and each
// object a click would serve (lit) whose waiting request is not yet in its hero's queue is
// ordered, while that queue holds fewer than four tasks.
void step(cGame* level, int n) {
    if (n % 5 == 0) checkIn(level);
    if (n % 5 == 0)
        for (int i = 0; i < level->GetObjectCount(); ++i) {
            cLevelObj* object = level->GetObject(i);
            if (!object->IsActionable()) continue;
            const cRequest* request = waitingRequest(level, object);
            const HeroLink* hero = request ? request->GetHero() : nullptr;
            const cHero* body = dynamic_cast<const cHero*>(hero);
            if (hero && body && body->TaskCount() < 4 &&
                !hero->HasTask(request->GetKind(), request->GetTarget()) &&
                !hero->HasTask(request->GetKind(), object))
                level->OrderService(object);
        }
    level->Update(25);
}

uint64_t mix(uint64_t h, int64_t v) { return (h ^ static_cast<uint64_t>(v)) * 1099511628211ull; }

// Money, counters, and every object's, guest's and hero's state and place.
uint64_t digest(cGame* level) {
    uint64_t h = 14695981039346656037ull;
    h = mix(h, level->GetMoney());
    h = mix(h, level->GetPopularity());
    h = mix(h, level->GetLevelState());
    h = mix(h, level->GetServedTotal());
    h = mix(h, level->GetClientsIn());
    h = mix(h, level->GetClientsGone());
    auto body = [&h](const cBaseObj* o) {
        h = mix(h, o->GetState());
        h = mix(h, static_cast<int64_t>(o->GetBody().position.x * 16));
        h = mix(h, static_cast<int64_t>(o->GetBody().position.y * 16));
        h = mix(h, o->GetRequest().GetKind());
    };
    for (int i = 0; i < level->GetObjectCount(); ++i) body(level->GetObject(i));
    for (int i = 0; i < level->GetClientsMade(); ++i) body(level->GetClient(i));
    for (cHero* hero : level->Heroes()) {
        body(hero);
        h = mix(h, hero->TaskCount());
    }
    return h;
}

struct Shape {
    int copies, clients;
    const char* name;
    int objects = cGame::kMaxObjects;
};
constexpr Shape kBusy{4, 40, "busy"}, kLimits{9, 199, "limits"};
// The growth: the hotel holds that many objects, and always the same guests are asked for. The
// bare hotel holds each object once.
constexpr int kGrowthGuests = 50;
constexpr Shape kGrowth[] = {{2, kGrowthGuests, "g50", 50},
                             {4, kGrowthGuests, "g100", 100},
                             {6, kGrowthGuests, "g150", 150},
                             {8, kGrowthGuests, "g200", 200}};
constexpr Shape kBare{1, kGrowthGuests, "bare"};

HSPRITE gTarget = nullptr;
bool gReady = false;
std::map<std::string, double> gMs;  // per 1,000 steps, by benchmark name
std::map<std::string, uint64_t> gDigest;
std::map<std::string, int> gObjects;  // the objects each run's hotel held

template <class Level>
void BM_Step(benchmark::State& state, Shape shape, const std::string& key) {
    if (!gReady) {
        state.SkipWithError("the program folder could not be made");
        return;
    }
    configure(shape.copies, shape.clients, shape.objects);
    // A new player's hotel is the objects file's list, read when the player is made. Tutorial
    // hints off, as for a player past them: with no display open every hint's spot lies off the
    // screen, and the level would try one and write a log line on every step.
    CreatePlayer(shape.name, u"Bench");
    if (gCurrentProfile) gCurrentProfile->SetTutorialOn(false);
    uint64_t last = 0;
    int active = 0, objects = 0, tasks = 0, heroes = 0;
    std::map<int, int> states;
    for (auto _ : state) {
        state.PauseTiming();
        cGame* level = makeLevel<Level>();
        int n = 0;
        for (; n < kWarmSteps; ++n) step(level, n);
        objects = level->GetObjectCount();
        active = 0;
        states.clear();
        for (int i = 0; i < level->GetClientsMade(); ++i) {
            const int clientState = level->GetClient(i)->GetState();
            if (clientState == cClient::kStateNew) continue;
            ++active;
            ++states[clientState];
        }
        heroes = level->Heroes().count;
        tasks = 0;
        for (cHero* hero : level->Heroes()) tasks += hero->TaskCount();
        state.ResumeTiming();
        for (int end = n + kSteps; n < end; ++n) step(level, n);
        benchmark::ClobberMemory();
        state.PauseTiming();
        last = digest(level);
        delete level;
        state.ResumeTiming();
    }
    gDigest[key] = last;
    gObjects[key] = objects;
    state.counters["objects"] = objects;
    state.counters["clients"] = active;
    state.counters["client_states"] = static_cast<double>(states.size());
    state.counters["heroes"] = heroes;
    state.counters["hero_tasks"] = tasks;
}
void BM_Level(benchmark::State& state, Shape shape) {
    BM_Step<cGame>(state, shape, std::string("BM_Level/") + shape.name);
}
void BM_Cached(benchmark::State& state, Shape shape) {
    BM_Step<CachedGame>(state, shape, std::string("BM_Cached/") + shape.name);
}
// Each run is repeated and the least of its repetitions kept (see the reporter below): a single
// run of a few milliseconds swings with whatever else the machine does.
constexpr int kRepeats = 10;
#define LEVEL_STEP(bench, name, shape, iterations)                                              \
    BENCHMARK_CAPTURE(bench, name, shape)                                                       \
        ->Unit(benchmark::kMillisecond)                                                         \
        ->Iterations(iterations)                                                                \
        ->Repetitions(kRepeats)                                                                 \
        ->ComputeStatistics("min", leastOf)
LEVEL_STEP(BM_Level, busy, kBusy, 20);
LEVEL_STEP(BM_Cached, busy, kBusy, 20);
LEVEL_STEP(BM_Level, limits, kLimits, 6);
LEVEL_STEP(BM_Cached, limits, kLimits, 6);
LEVEL_STEP(BM_Level, bare, kBare, 12);
LEVEL_STEP(BM_Level, g50, kGrowth[0], 12);
LEVEL_STEP(BM_Level, g100, kGrowth[1], 8);
LEVEL_STEP(BM_Level, g150, kGrowth[2], 6);
LEVEL_STEP(BM_Level, g200, kGrowth[3], 6);

// Keeps each benchmark's processor time per run of 1,000 steps, the least over its
// repetitions: on a machine busy with other work, the other programs only ever add to it (they
// take turns and caches), so the least is the nearest to the step's own cost.
class Reporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& r : runs) {
            if (r.error_occurred || !r.iterations || r.run_type != Run::RT_Iteration) continue;
            auto at = gMs.find(r.benchmark_name());
            const double ms = r.GetAdjustedCPUTime();
            if (at == gMs.end() || ms < at->second) gMs[r.benchmark_name()] = ms;
        }
        const std::vector<Run> shown = shownRuns(runs);
        if (!shown.empty()) ConsoleReporter::ReportRuns(shown);
    }
};

// The full run name (iterations appended) of a benchmark; empty when it did not run.
std::string find(const std::string& prefix) {
    for (const auto& [name, ms] : gMs)
        if (name.rfind(prefix + "/", 0) == 0 || name == prefix) return name;
    return {};
}

void compare(const char* shape, const char* name, double target) {
    const std::string a = std::string("BM_Level/") + name, b = std::string("BM_Cached/") + name;
    const std::string ra = find(a), rb = find(b);
    if (ra.empty() || rb.empty()) return;
    printf("%s: %.2f ms per 1,000 steps, cached look-ups %.2f ms: %.2fx (target: within 1.5x",
           shape, gMs[ra], gMs[rb], gMs[ra] / gMs[rb]);
    if (target > 0) printf(", under %.0f ms", target);
    printf("); digests %s\n", gDigest[a] == gDigest[b] ? "equal" : "DIFFER");
}

// The cost per object of a step at each size of the growth, and the largest over the smallest;
// then what each object adds over the bare hotel, which leaves out the step's cost that does not
// grow with the hotel.
void growth() {
    const std::string bareKey = std::string("BM_Level/") + kBare.name, bare = find(bareKey);
    double least = 0, most = 0, leastAdded = 0, mostAdded = 0;
    for (const Shape& shape : kGrowth) {
        const std::string key = std::string("BM_Level/") + shape.name, run = find(key);
        if (run.empty() || gObjects[key] <= 0) return;
        const double perObject = gMs[run] * 1000.0 / gObjects[key];  // µs per 1,000 steps
        printf("growth, %d objects: %.2f ms per 1,000 steps, %.2f us per object\n", gObjects[key],
               gMs[run], perObject);
        least = least > 0 && least < perObject ? least : perObject;
        most = most > perObject ? most : perObject;
        if (bare.empty() || gObjects[key] <= gObjects[bareKey]) continue;
        const double added =
            (gMs[run] - gMs[bare]) * 1000.0 / (gObjects[key] - gObjects[bareKey]);
        leastAdded = leastAdded > 0 && leastAdded < added ? leastAdded : added;
        mostAdded = mostAdded > added ? mostAdded : added;
    }
    printf("growth: largest over smallest cost per object %.2fx (target: within 1.2x)\n",
           most / least);
    if (!bare.empty() && leastAdded > 0)
        printf("growth, for information: each object over the bare hotel of %d objects (%.2f ms "
               "per 1,000 steps) adds %.2f to %.2f us: %.2fx\n",
               gObjects[bareKey], gMs[bare], leastAdded, mostAdded, mostAdded / leastAdded);
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (writeFolder()) {
        // The mixer with no device, as the game has it: the level music then plays from the
        // level's start, where with no sound at all the level would try to start it every step.
        sndInitWithoutDevice();
        sndLoadScript("Data/Sounds/sounds.ini");
        sndLoadScript("Data/Sounds/music.ini");
        gTarget = grCreateSprite(1024, 768, "bench back buffer");
        grSetTarget(gTarget);
        userFolderCreate();
        LoadWayPoints();
        gReady = true;
    }
    Reporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    compare("busy level", "busy", 50);
    compare("level at its limits", "limits", 0);
    growth();
    benchmark::Shutdown();
    return 0;
}
