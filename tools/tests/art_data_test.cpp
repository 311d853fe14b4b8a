// Checks the drawn data a player reads at a glance: every request kind the game knows has an icon
// file of its own for each grade it is shown at and no two kinds' icons share a drawing, so a
// player tells every request apart by its shape alone; the comics' bubbles all place their text
// by one rule.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "engine/data/ini.h"
#include "engine/gr/image.h"
#include "world/request.h"

namespace {

const std::string kData = std::string(VELMORA_GAME_DIR) + "/";
// The comics' descriptions are sources: they stay in the source tree.
const std::string kSources = std::string(VELMORA_SOURCE_DIR) + "/";

// The icon's drawing reduced to its lines: opaque pixels that are dark (the outlines and inner
// lines) or on the edge of the picture's silhouette; empty when it does not load. Colours play no
// part, so two icons of one drawing in other colours come out the same.
struct Silhouette {
    int width = 0, height = 0;
    std::vector<bool> inside;
    size_t area() const { return static_cast<size_t>(std::count(inside.begin(), inside.end(), true)); }
};

Silhouette silhouetteOf(const std::string& file) {
    Silhouette s;
    std::unique_ptr<cFileImage> reader(imageOpen(file.c_str()));
    if (!reader || reader->Open(file.c_str()) != 0 || reader->BitsPerPixel() != 32) return s;
    const int w = reader->Width(), h = reader->Height();
    std::vector<uint32_t> rgb(static_cast<size_t>(w) * h), alpha(rgb.size());
    if (reader->Convert(0, 0, w, h, rgb.data(), 0, 0, w, h, 4, w * 4, 8, 8, 8, 0, 16, 8, 0, 0) != 0 ||
        reader->ExtractChannel(0, 0, w, h, alpha.data(), 0, 0, w, h, 4, w * 4, 8, 0) != 0)
        return s;
    s.width = w;
    s.height = h;
    auto opaque = [&](int x, int y) {
        return x >= 0 && y >= 0 && x < w && y < h && alpha[static_cast<size_t>(y) * w + x] >= 128;
    };
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const uint32_t c = rgb[static_cast<size_t>(y) * w + x];
            const int sum = static_cast<int>((c >> 16 & 0xFF) + (c >> 8 & 0xFF) + (c & 0xFF));
            const bool edge = !opaque(x - 1, y) || !opaque(x + 1, y) || !opaque(x, y - 1) || !opaque(x, y + 1);
            s.inside.push_back(opaque(x, y) && (sum < 3 * 70 || edge));
        }
    return s;
}

// How much two silhouettes of one size share: their common pixels over their joined pixels.
double overlap(const Silhouette& a, const Silhouette& b) {
    size_t both = 0, either = 0;
    for (size_t i = 0; i < a.inside.size(); ++i) {
        both += a.inside[i] && b.inside[i];
        either += a.inside[i] || b.inside[i];
    }
    return either ? static_cast<double>(both) / static_cast<double>(either) : 1.0;
}

// The grades each kind's bubble is shown at: check-in by the room grade the guest prefers (0..3),
// calming a baby at 1 for the cowboy kid, every other kind at 0.
int gradesOf(const std::string& kind) {
    if (kind == "CheckIn") return 4;
    if (kind == "CalmBaby") return 2;
    return 1;
}

}  // namespace

TEST(RequestIcons, EveryKindHasItsOwnIconAtEveryGrade) {
    const std::string ini = kData + kRequestFile;
    std::set<std::string> kindFiles;
    for (int k = 0; k < kRequestKinds; ++k) {
        const std::string kind = RequestKindName(k);
        SCOPED_TRACE(kind);
        for (int g = 0; g < gradesOf(kind); ++g) {
            const std::string key = "sprite" + std::to_string(g);
            const std::string name = iniGetString(ini.c_str(), kind.c_str(), key.c_str(), "");
            ASSERT_FALSE(name.empty()) << "no " << key << " in " << kRequestFile;
            const Silhouette s = silhouetteOf(kData + name);
            EXPECT_EQ(s.width, 40) << name << " does not load as a 40 x 40 picture with alpha";
            EXPECT_EQ(s.height, 40) << name;
            EXPECT_GT(s.area(), 60u) << name << " is nearly empty";
            if (g == 0) {
                EXPECT_TRUE(kindFiles.insert(name).second) << name << " serves another kind too";
            }
        }
    }
}

TEST(RequestIcons, NoTwoKindsShareAShape) {
    const std::string ini = kData + kRequestFile;
    std::vector<std::pair<std::string, Silhouette>> icons;
    for (int k = 0; k < kRequestKinds; ++k) {
        const char* kind = RequestKindName(k);
        icons.emplace_back(kind, silhouetteOf(kData + iniGetString(ini.c_str(), kind, "sprite0", "")));
        ASSERT_GT(icons.back().second.area(), 0u) << kind;
    }
    // Two pictograms of one drawing in other colours (the fault this guards against) share all
    // their lines; drawings of different things share few.
    for (size_t i = 0; i < icons.size(); ++i)
        for (size_t j = i + 1; j < icons.size(); ++j)
            EXPECT_LT(overlap(icons[i].second, icons[j].second), 0.5)
                << icons[i].first << " and " << icons[j].first << " have nearly the same shape";
}

TEST(ComicBubbles, EveryTextIsCentredInItsBubble) {
    int texts = 0;
    for (int n = 1; n <= 5; ++n) {
        const std::string file = kSources + "Data/Comics/" + std::to_string(n) + ".txt";
        std::ifstream in(file);
        ASSERT_TRUE(in) << file;
        std::string line;
        for (int row = 1; std::getline(in, line); ++row) {
            std::istringstream words(line);
            std::string word;
            words >> word;
            if (word == "text") ++texts;
            if (word != "align") continue;
            int x = 9, y = 9;
            words >> x >> y;
            EXPECT_TRUE(x == 0 && y == 0) << file << ":" << row << ": " << line;
        }
    }
    EXPECT_GE(texts, 9);  // every bubble of the five comics
}
