// Speed of drawing a level: the level screen of the first episode's first level, its hotel grown
// to about 200 sprites by copies of each object, drawn whole (background, depth-sorted objects,
// interface, day label) into a 1024 x 768 back buffer, beside a memcpy of that buffer. Prints the
// milliseconds per frame and the ratio at the end. Needs the generated game data (build the
// velmora_data target first).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "bench/level_copies.h"
#include "engine/data/ini.h"
#include "engine/data/profile.h"
#include "engine/gr/gr.h"
#include "engine/gr/sprite.h"
#include "game/game.h"
#include "game/game_data.h"
#include "game/profile.h"
#include "world/level_object.h"

namespace fs = std::filesystem;

namespace {

constexpr int kWidth = 1024;
constexpr int kHeight = 768;
constexpr int kCopies = 10;  // each of the 20 objects of the hotel, ten times

std::string readText(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// The objects file with every object listed in [Main] "objects" copied, each copy shifted a
// little so the copies overlap like a busy hotel.
std::string grownObjects(const std::string& text) {
    const std::vector<std::pair<std::string, std::string>> sections = iniSections(text);
    std::string list, out;
    for (auto& [name, body] : sections) {
        if (name == "Main") continue;
        out += "[" + name + "]\n" + body;
        if (body.find("sprite=") == std::string::npos || body.find("action=") != std::string::npos)
            continue;
        for (int k = 0; k < kCopies; ++k) {
            const std::string copy = k ? name + "_" + std::to_string(k) : name;
            list += (list.empty() ? "" : ",") + copy;
            if (!k) continue;
            out += "[" + copy + "]\n" + shiftedSection(body, copy, k);
        }
    }
    return "[Main]\nobjects=" + list + "\n" + out;
}

// A program folder of its own: the game's data linked in, the first episode's objects grown.
bool writeFolder() {
    char folder[] = "/tmp/velmora_bench_level_XXXXXX";
    if (!mkdtemp(folder)) return false;
    const fs::path source = fs::path(VELMORA_GAME_DIR) / "Data";
    const fs::path data = fs::path(folder) / "Data";
    std::error_code error;
    fs::create_directories(data / "Episodes" / "e1", error);
    for (const auto& entry : fs::directory_iterator(source))
        if (entry.path().filename() != "Episodes")
            fs::create_symlink(entry.path(), data / entry.path().filename(), error);
    for (const auto& entry : fs::directory_iterator(source / "Episodes" / "e1"))
        if (entry.path().filename() != "objects.ini")
            fs::create_symlink(entry.path(), data / "Episodes" / "e1" / entry.path().filename(),
                               error);
    std::ofstream(data / "Episodes" / "e1" / "objects.ini")
        << grownObjects(readText(source / "Episodes" / "e1" / "objects.ini"));
    std::ofstream(fs::path(folder) / "game.ini") << "[main]\nname=Velmora Bench\n";
    setenv("XDG_DATA_HOME", folder, 1);
    return chdir(folder) == 0;
}

struct Scene {
    HSPRITE target = nullptr;
    cGame* level = nullptr;
    int sprites = 0;

    Scene() {
        if (!writeFolder()) return;
        target = grCreateSprite(kWidth, kHeight, "bench back buffer");
        grSetTarget(target);
        userFolderCreate();
        LoadWayPoints();
        CreatePlayer("bench", u"Bench");
        level = gameCreateLevel();
        level->xs = kWidth;
        level->ys = kHeight;
        for (int i = 0; i < level->GetObjectCount(); ++i)
            if (level->GetObject(i)->GetCurrentSprite()) ++sprites;
    }
};

Scene& scene() {
    static Scene s;
    return s;
}

double gLevelNs = 0, gCopyNs = 0;

void BM_LevelDraw(benchmark::State& state) {
    Scene& s = scene();
    if (!s.level || s.sprites < 150) {
        state.SkipWithError("the sample level did not load (generate the game data first)");
        return;
    }
    for (auto _ : state) {
        s.level->Draw();
        benchmark::ClobberMemory();
    }
    state.counters["sprites"] = s.sprites;
}
BENCHMARK(BM_LevelDraw)->Unit(benchmark::kMillisecond);

void BM_BufferCopy(benchmark::State& state) {
    std::vector<uint16_t> a(static_cast<size_t>(kWidth) * kHeight, 0x1234), b(a.size());
    for (auto _ : state) {
        memcpy(b.data(), a.data(), a.size() * sizeof a[0]);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_BufferCopy)->Unit(benchmark::kMillisecond);

class Reporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& r : runs) {
            if (r.error_occurred || r.iterations == 0) continue;
            const double ns = r.GetAdjustedRealTime() * 1e6;  // reported in ms
            if (r.benchmark_name() == "BM_LevelDraw") gLevelNs = ns;
            if (r.benchmark_name() == "BM_BufferCopy") gCopyNs = ns;
        }
        ConsoleReporter::ReportRuns(runs);
    }
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    Reporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    if (gLevelNs > 0 && gCopyNs > 0)
        printf(
            "level frame %.3f ms, buffer copy %.3f ms: %.1f copies per frame (target: under 2 "
            "ms)\n",
            gLevelNs / 1e6, gCopyNs / 1e6, gLevelNs / gCopyNs);
    benchmark::Shutdown();
    return 0;
}
