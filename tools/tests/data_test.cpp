// Checks the generated sample data: font metrics against their images, sound and image headers,
// and that the sound scripts name files that exist.
#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace {

std::string dataPath(const std::string& rel) { return std::string(VELMORA_GAME_DIR) + "/" + rel; }

std::vector<uint8_t> readFile(const std::string& rel) {
    std::ifstream in(dataPath(rel), std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

uint32_t le16(const std::vector<uint8_t>& b, size_t at) { return b[at] | b[at + 1] << 8; }
uint32_t le32(const std::vector<uint8_t>& b, size_t at) { return le16(b, at) | le16(b, at + 2) << 16; }
uint32_t be16(const std::vector<uint8_t>& b, size_t at) { return b[at] << 8 | b[at + 1]; }
uint32_t be32(const std::vector<uint8_t>& b, size_t at) { return be16(b, at) << 16 | be16(b, at + 2); }

struct Tga {
    std::vector<uint8_t> bytes;
    int width = 0, height = 0, bpp = 0;
    bool topDown = false;

    explicit Tga(const std::string& rel) : bytes(readFile(rel)) {
        if (bytes.size() < 18) return;
        width = static_cast<int>(le16(bytes, 12));
        height = static_cast<int>(le16(bytes, 14));
        bpp = bytes[16];
        topDown = (bytes[17] & 0x20) != 0;
    }
    bool complete() const {
        return bytes.size() == 18 + static_cast<size_t>(width) * height * (bpp / 8) && bytes[1] == 0;
    }
    uint8_t alphaAt(int x, int y) const {  // 32-bit images only
        const int row = topDown ? y : height - 1 - y;
        return bytes[18 + (static_cast<size_t>(row) * width + x) * 4 + 3];
    }
};

// The metric file's number rule: skip to a digit or '-', read an integer, skip digits, '.', '-'.
int readNumber(const std::string& s, size_t& at) {
    while (at < s.size() && !isdigit(static_cast<unsigned char>(s[at])) && s[at] != '-') ++at;
    const int v = atoi(s.c_str() + at);
    if (at < s.size() && s[at] == '-') ++at;
    while (at < s.size() && (isdigit(static_cast<unsigned char>(s[at])) || s[at] == '.' || s[at] == '-')) ++at;
    return v;
}

struct Glyph { int code, x, y, left, width, extra; };

TEST(GeneratedData, FontMetricsMatchTheirImages) {
    struct Case { const char* base; int minLine, maxLine; };
    for (const Case& c : {Case{"Data/Fonts/normal", 16, 24}, Case{"Data/Fonts/large", 32, 44}}) {
        SCOPED_TRACE(c.base);
        const Tga image(std::string(c.base) + ".tga");
        ASSERT_TRUE(image.complete());
        ASSERT_EQ(image.bpp, 32);

        const std::vector<uint8_t> raw = readFile(std::string(c.base) + ".fh");
        const std::string text(raw.begin(), raw.end());
        size_t at = 0;
        readNumber(text, at);
        const int lineHeight = readNumber(text, at);
        const int count = readNumber(text, at);
        EXPECT_GE(lineHeight, c.minLine);
        EXPECT_LE(lineHeight, c.maxLine);
        ASSERT_LE(count, 256);

        std::istringstream lines(text.substr(at));
        std::vector<Glyph> glyphs;
        std::string line;
        while (std::getline(lines, line)) {
            if (line.find_first_not_of(" \t\r") == std::string::npos) continue;
            size_t p = 0;
            Glyph g{};
            g.code = readNumber(line, p), g.x = readNumber(line, p), g.y = readNumber(line, p);
            g.left = readNumber(line, p), g.width = readNumber(line, p), g.extra = readNumber(line, p);
            EXPECT_EQ(line.find_first_of("0123456789-", p), std::string::npos) << line;
            glyphs.push_back(g);
        }
        ASSERT_EQ(static_cast<int>(glyphs.size()), count);

        std::set<int> codes;
        int maxY = 0;
        for (const Glyph& g : glyphs) {
            SCOPED_TRACE(g.code);
            EXPECT_TRUE(codes.insert(g.code).second);
            EXPECT_TRUE((g.code >= 32 && g.code < 127) || (g.code >= 160 && g.code <= 255));
            EXPECT_LE(g.width, 63);
            EXPECT_LE(std::abs(g.left), 15);
            EXPECT_LE(std::abs(g.extra), 15);
            EXPECT_GT(g.left + g.width + g.extra, 0);
            ASSERT_LE(g.x + g.width, image.width);
            ASSERT_LE(g.y + lineHeight, image.height);
            maxY = std::max(maxY, g.y);
            if (g.width > 0 && g.code != 160) {
                int ink = 0;
                for (int y = g.y; y < g.y + lineHeight; ++y)
                    for (int x = g.x; x < g.x + g.width; ++x) ink += image.alphaAt(x, y) > 0;
                EXPECT_GT(ink, 0);
            }
        }
        for (int code : {int('0'), int('9'), int('A'), int('Z'), int('a'), int('z'), int('?'), 0xE9, 0xFF}) EXPECT_TRUE(codes.count(code)) << code;
        // One glyph set: the image is exactly as high as the glyph rows it holds.
        EXPECT_EQ(std::lround(float(image.height) / float(lineHeight + maxY)), 1L);
        // Glyph regions never overlap, so no glyph draws a piece of another.
        for (size_t i = 0; i < glyphs.size(); ++i)
            for (size_t j = i + 1; j < glyphs.size(); ++j) {
                const Glyph &a = glyphs[i], &b = glyphs[j];
                if (a.width == 0 || b.width == 0) continue;
                const bool apart = a.y != b.y || a.x + a.width <= b.x || b.x + b.width <= a.x;
                EXPECT_TRUE(apart) << a.code << " and " << b.code;
            }
    }
}

TEST(GeneratedData, WavFilesAreWellFormedPcm) {
    struct Case { const char* file; uint32_t rate, channels; };
    const Case cases[] = {
        {"Data/Sounds/click1.wav", 22050, 1}, {"Data/Sounds/click2.wav", 22050, 1},
        {"Data/Sounds/doorbell.wav", 22050, 1}, {"Data/Sounds/kaching.wav", 44100, 2},
        {"Data/Sounds/whoosh.wav", 44100, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const std::vector<uint8_t> b = readFile(c.file);
        ASSERT_GT(b.size(), 44u);
        EXPECT_EQ(std::string(b.begin(), b.begin() + 4), "RIFF");
        EXPECT_EQ(le32(b, 4), b.size() - 8);
        EXPECT_EQ(std::string(b.begin() + 8, b.begin() + 16), "WAVEfmt ");
        EXPECT_EQ(le32(b, 16), 16u);
        EXPECT_EQ(le16(b, 20), 1u);
        EXPECT_EQ(le16(b, 22), c.channels);
        EXPECT_EQ(le32(b, 24), c.rate);
        EXPECT_EQ(le32(b, 28), c.rate * c.channels * 2);
        EXPECT_EQ(le16(b, 32), c.channels * 2);
        EXPECT_EQ(le16(b, 34), 16u);
        EXPECT_EQ(std::string(b.begin() + 36, b.begin() + 40), "data");
        const uint32_t size = le32(b, 40);
        EXPECT_EQ(size, b.size() - 44);
        EXPECT_EQ(size % (c.channels * 2), 0u);
        int peak = 0;
        for (size_t i = 44; i + 1 < b.size(); i += 2)
            peak = std::max(peak, std::abs(static_cast<int16_t>(le16(b, i))));
        EXPECT_GT(peak, 8000);  // audible, not silence
    }
}

TEST(GeneratedData, ThemeIsStereoVorbisOfTwentyToThirtySeconds) {
    const std::vector<uint8_t> b = readFile("Data/Music/theme.ogg");
    ASSERT_GT(b.size(), 100u);
    ASSERT_EQ(std::string(b.begin(), b.begin() + 4), "OggS");
    const size_t body = 27 + b[26];  // the first page holds only the identification header
    ASSERT_EQ(std::string(b.begin() + body, b.begin() + body + 7), "\x01vorbis");
    EXPECT_EQ(b[body + 11], 2);
    EXPECT_EQ(le32(b, body + 12), 44100u);
    // The last page's granule position is the stream's length in samples.
    size_t last = 0;
    for (size_t i = 0; i + 27 < b.size(); ++i)
        if (b[i] == 'O' && b[i + 1] == 'g' && b[i + 2] == 'g' && b[i + 3] == 'S') last = i;
    EXPECT_TRUE(b[last + 5] & 4);  // end of stream
    const uint64_t samples = le32(b, last + 6) | uint64_t(le32(b, last + 10)) << 32;
    EXPECT_GE(samples, 20u * 44100u);
    EXPECT_LE(samples, 30u * 44100u);
}

void expectTga(const char* file, int width, int height, int bpp) {
    SCOPED_TRACE(file);
    const Tga t(file);
    EXPECT_TRUE(t.complete());
    EXPECT_EQ(t.width, width);
    EXPECT_EQ(t.height, height);
    EXPECT_EQ(t.bpp, bpp);
}

// A baseline JPEG (the engine refuses progressive ones): a start-of-frame 0 marker with the size.
void expectBaselineJpeg(const std::string& rel, uint32_t width, uint32_t height) {
    SCOPED_TRACE(rel);
    const std::vector<uint8_t> jpg = readFile(rel);
    ASSERT_GT(jpg.size(), 4u);
    EXPECT_EQ(be16(jpg, 0), 0xFFD8u);
    bool found = false;
    for (size_t i = 2; i + 9 < jpg.size() && !found; ++i)
        if (jpg[i] == 0xFF && jpg[i + 1] == 0xC0) {
            found = true;
            EXPECT_EQ(be16(jpg, i + 5), height);
            EXPECT_EQ(be16(jpg, i + 7), width);
        }
    EXPECT_TRUE(found);
}

TEST(GeneratedData, PictureAndSpriteHeaders) {
    struct Case { const char* file; int width, height, bpp; };
    const Case tgas[] = {
        {"Data/Sprites/coin.tga", 48, 48, 24}, {"Data/Sprites/_coin.tga", 48, 48, 8},
        {"Data/Sprites/star_spin.tga", 64, 256, 32},
    };
    for (const Case& c : tgas) expectTga(c.file, c.width, c.height, c.bpp);

    const std::vector<uint8_t> png = readFile("Data/Sprites/star.png");
    ASSERT_GT(png.size(), 33u);
    EXPECT_EQ(std::string(png.begin() + 12, png.begin() + 16), "IHDR");
    EXPECT_EQ(be32(png, 16), 64u);
    EXPECT_EQ(be32(png, 20), 64u);
    EXPECT_EQ(png[24], 8);  // bits per channel
    EXPECT_EQ(png[25], 6);  // RGBA

    expectBaselineJpeg("Data/Pictures/hotel.jpg", 1024, 768);
}

// A character's pictures: strips of 64 x 96 frames, none of them left (nearly) empty.
struct Strip { std::string file; int frames, minInk; };
const int kFigureInk = 64 * 96 / 8;  // opaque pixels of a whole figure, at the least
const char* const kDirections[] = {"left", "upleft", "up", "upright", "right", "downright", "down", "downleft", "stand"};

void expectFigureStrips(const std::string& folder, const std::vector<Strip>& strips) {
    for (const Strip& strip : strips) {
        SCOPED_TRACE(folder + strip.file);
        const Tga t(folder + strip.file + ".tga");
        ASSERT_TRUE(t.complete());
        ASSERT_EQ(t.bpp, 32);
        ASSERT_EQ(t.width, 64);
        ASSERT_EQ(t.height, strip.frames * 96);
        for (int frame = 0; frame < strip.frames; ++frame) {
            int ink = 0;
            for (int y = frame * 96; y < frame * 96 + 96; ++y)
                for (int x = 0; x < 64; ++x) ink += t.alphaAt(x, y) == 255;
            EXPECT_GT(ink, strip.minInk) << "frame " << frame;
        }
    }
}

// A figure drawn whole (arms included): sets of eight walks with their standing pose, each set
// named by its walks' prefix and its standing pose, then animations of their own.
using Named = std::pair<std::string, std::string>;
std::vector<Strip> figureStrips(const std::vector<Named>& walkSets, const std::vector<std::pair<std::string, int>>& own) {
    std::vector<Strip> strips;
    for (const auto& [walk, stand] : walkSets) {
        for (const char* dir : kDirections)
            if (std::string(dir) != "stand") strips.push_back({walk + dir, 8, kFigureInk});
        strips.push_back({stand, 1, kFigureInk});
    }
    for (const auto& [name, frames] : own) strips.push_back({name, frames, kFigureInk});
    return strips;
}

TEST(GeneratedData, RenderedArtHasTheSizesItIsDrawnAt) {
    struct Case { const char* file; int width, height; };
    const Case sprites[] = {
        {"Data/Menu/Common/button_left_normal.tga", 24, 48}, {"Data/Menu/Common/button_press.tga", 24, 48},
        {"Data/Menu/Common/button_right_ignore.tga", 24, 48}, {"Data/Menu/Common/panel.tga", 480, 320},
        {"Data/Menu/Common/frame_left_top.tga", 24, 24}, {"Data/Menu/Common/frame_center.tga", 24, 24},
        {"Data/Menu/Common/progress_empty.tga", 240, 32}, {"Data/Menu/Common/progress_full.tga", 240, 32},
        {"Data/Menu/Common/progress_thumb.tga", 24, 32}, {"Data/Menu/Common/switch_on_active.tga", 64, 36},
        {"Data/cursor/arrow.tga", 32, 4 * 32}, {"Data/cursor/hand.tga", 32, 2 * 32},
        {"Data/Heroes/Jenny/shadow.tga", 48, 16}, {"Data/Heroes/Maid/shadow.tga", 48, 16},
        {"Data/Heroes/Porter/shadow.tga", 48, 16},
    };
    for (const Case& c : sprites) expectTga(c.file, c.width, c.height, 32);
    // Jenny: every walk is eight 64 x 96 frames, and each of her arms (drawn apart from the body,
    // free or carrying) has as many frames as the body it goes with.
    std::vector<Strip> strips;
    for (const char* dir : kDirections) {
        const int frames = std::string(dir) == "stand" ? 1 : 8;
        strips.push_back({std::string(dir) == "stand" ? "stand" : std::string("walk_") + dir, frames, kFigureInk});
        for (const char* hand : {"left_free_", "left_busy_", "right_free_", "right_busy_"})
            strips.push_back({std::string("hand_") + hand + dir, frames, 40});
    }
    for (const char* pose : {"idle0", "idle1", "idle2", "idle3", "baby", "applause", "hail", "hello", "unhappy"})
        strips.push_back({pose, 4, kFigureInk});
    expectFigureStrips("Data/Heroes/Jenny/", strips);
    // The Maid and the Porter are drawn whole; every staff member has the level's start and end.
    expectFigureStrips("Data/Heroes/Maid/",
                       figureStrips({{"walk_", "stand"}, {"carry_walk_", "carry_stand"}},
                                    {{"applause", 4}, {"hail", 4}, {"unhappy", 4}, {"clean", 4},
                                     {"clothes", 4}, {"pillow", 4}, {"water", 4}}));
    expectFigureStrips("Data/Heroes/Porter/",
                       figureStrips({{"walk_", "stand"}, {"cart_", "cart_stand"}, {"dog_", "dog_stand"}},
                                    {{"applause", 4}, {"hail", 4}, {"unhappy", 4}, {"cards_start", 4},
                                     {"cards_stand", 1}, {"cards_loop", 4}, {"cards_end", 4},
                                     {"casino_start", 4}, {"casino_stand", 1}, {"casino_loop", 4},
                                     {"casino_end", 4}, {"chess", 4}, {"photo_prepare", 4},
                                     {"photo_stand", 1}, {"photo_shoot", 4}, {"photo_done", 4},
                                     {"repair_up", 4}, {"repair_switch_up", 4}, {"repair_switch_down", 4},
                                     {"repair_down", 4}, {"souvenir", 4}}));
    // Every guest kind has the same pictures: walks, moods, activities, seated legs, portraits.
    for (const char* kind : {"Businessman", "Traveller", "Grandpa", "CowboyKid"}) {
        const std::string folder = std::string("Data/Clients/") + kind + "/";
        std::vector<Strip> strips = figureStrips({{"walk_", "stand"}}, {
            {"stand_idle", 4}, {"stand_angry", 4}, {"stand_happy", 4}, {"scared_stand", 4}, {"music", 4},
            {"drink_stand", 4}, {"drink_sit", 4}, {"sit", 1}, {"sit_angry", 4}, {"sit_happy", 4},
            {"scared_sit", 4}, {"chess", 4}, {"news", 4}, {"news_loop", 4}, {"cards_start", 4},
            {"cards_idle", 1}, {"cards_loop", 4}, {"cards_end", 4}, {"casino_end", 4}, {"food", 4}});
        for (const char* legs : {"legs_sit", "legs_chess", "legs_plaid", "legs_scared"}) strips.push_back({legs, 1, 150});
        if (std::string(kind) == "CowboyKid") {
            // A child: three quarters of a grown-up each way, so a little over half the ink.
            for (Strip& s : strips) s.minInk = s.minInk * 9 / 16;
            for (const char* bother : {"bother_start", "bother_loop", "bother_end"})
                strips.push_back({bother, 4, kFigureInk * 9 / 16});
        }
        expectFigureStrips(folder, strips);
        for (const char* portrait : {"portrait_happy", "portrait_angry"}) expectTga((folder + portrait + ".tga").c_str(), 64, 64, 32);
        expectTga((folder + "shadow.tga").c_str(), 48, 16, 32);
    }
    for (const char* background : {"Menu/UISharedBackground", "Menu/UIMap", "Episodes/e1", "Episodes/e2",
                                   "Episodes/e3", "Episodes/e4"})
        expectBaselineJpeg(std::string("Data/") + background + "/background.jpg", 1024, 768);
}

// Sections of an INI file as key/value maps; ';' lines are comments.
std::map<std::string, std::map<std::string, std::string>> readIni(const std::string& rel) {
    std::map<std::string, std::map<std::string, std::string>> out;
    std::ifstream in(dataPath(rel));
    std::string line, section;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == ';') continue;
        if (line[0] == '[') {
            section = line.substr(1, line.find(']') - 1);
            out[section];
        } else if (line.find('=') != std::string::npos) {
            out[section][line.substr(0, line.find('='))] = line.substr(line.find('=') + 1);
        }
    }
    return out;
}

// Every hotel object with a hover outline: its picture fills its hit box (the objects.ini
// positions and bounds assume the drawn size) and the outline, 6 px larger, rings the drawn shape
// with its inside left clear.
TEST(GeneratedData, FurnitureFillsItsBoundsAndItsOutlineRingsIt) {
    std::set<std::string> checked;
    for (const char* episode : {"e1", "e2", "e3", "e4"}) {
        for (const auto& [section, keys] : readIni(std::string("Data/Episodes/") + episode + "/objects.ini")) {
            // A room's bound is the whole room, where a guest is dropped, not its door.
            if (!keys.count("outline") || !keys.count("sprite") || !keys.count("bound_w") ||
                keys.at("sprite").rfind("Data/Episodes/e1/objects/", 0) != 0 ||
                (keys.count("type") && keys.at("type") == "room"))
                continue;
            const std::string sprite = keys.at("sprite").substr(0, keys.at("sprite").find(','));
            const std::string outline = keys.at("outline").substr(0, keys.at("outline").find(','));
            SCOPED_TRACE(std::string(episode) + " " + section + " " + sprite);
            const Tga body(sprite), ring(outline);
            ASSERT_TRUE(body.complete() && ring.complete());
            ASSERT_EQ(body.bpp, 32);
            ASSERT_EQ(ring.bpp, 32);
            EXPECT_EQ(body.width, std::stoi(keys.at("bound_w")));
            EXPECT_EQ(body.height, std::stoi(keys.at("bound_h")));
            ASSERT_EQ(ring.width, body.width + 6);
            ASSERT_EQ(ring.height, body.height + 6);
            if (!checked.insert(sprite).second) continue;
            int solid = 0, ringInk = 0, coveredByRing = 0;
            for (int y = 0; y < body.height; ++y)
                for (int x = 0; x < body.width; ++x)
                    if (body.alphaAt(x, y) == 255) {
                        ++solid;
                        coveredByRing += ring.alphaAt(x + 3, y + 3) != 0;
                    }
            for (int y = 0; y < ring.height; ++y)
                for (int x = 0; x < ring.width; ++x) ringInk += ring.alphaAt(x, y) == 255;
            EXPECT_GT(solid * 10, body.width * body.height * 4);
            EXPECT_EQ(coveredByRing, 0);
            EXPECT_GT(ringInk, 2 * (body.width + body.height));
        }
    }
    // Every distinct piece; the rooms' own beds all share the single's picture.
    EXPECT_GE(checked.size(), 15u);
}

TEST(GeneratedData, SoundScriptsNameExistingFiles) {
    for (const char* script : {"Data/Sounds/sounds.ini", "Data/Sounds/music.ini"}) {
        SCOPED_TRACE(script);
        const auto ini = readIni(script);
        ASSERT_TRUE(ini.count("main"));
        EXPECT_TRUE(ini.at("main").count("maxvolume"));  // without it every sound is silent
        for (const auto& [section, keys] : ini) {
            // music.ini [Level] names the music of each level; it plays nothing itself.
            if (section == "main" || section == "Level") continue;
            SCOPED_TRACE(section);
            if (keys.count("name")) {
                EXPECT_TRUE(std::ifstream(dataPath(keys.at("name"))).good()) << keys.at("name");
                continue;
            }
            ASSERT_TRUE(keys.count("name0"));
            for (int i = 0; i < 8 && keys.count("name" + std::to_string(i)); ++i) {
                const std::string variant = keys.at("name" + std::to_string(i));
                ASSERT_TRUE(ini.count(variant)) << variant;
                EXPECT_TRUE(ini.at(variant).count("name")) << variant;
            }
        }
    }
}

}  // namespace

namespace {

// Darkness the window manager fades through: black, 32-bit and opaque (a 24-bit black picture is
// colour-keyed away entirely). And every picture the cursor file names is there.
TEST(GeneratedData, FadeAndCursorPictures) {
    const Tga dark("Data/Fx/darkness.tga");
    ASSERT_TRUE(dark.complete());
    EXPECT_EQ(dark.bpp, 32);
    for (int y = 0; y < dark.height; ++y)
        for (int x = 0; x < dark.width; ++x) {
            EXPECT_EQ(dark.alphaAt(x, y), 255);
            const size_t at = 18 + (static_cast<size_t>(y) * dark.width + x) * 4;
            EXPECT_EQ(dark.bytes[at] | dark.bytes[at + 1] | dark.bytes[at + 2], 0);
        }
    int named = 0;
    for (const char* ini : {"Data/cursor/cursor.ini"}) {
        std::ifstream in(dataPath(ini));
        ASSERT_TRUE(in) << ini;
        std::string line;
        while (std::getline(in, line)) {
            const size_t eq = line.find('=');
            if (eq == std::string::npos || line[0] == ';') continue;
            std::string value = line.substr(eq + 1, line.find('|') - eq - 1);
            if (value.size() < 4 || (value.substr(value.size() - 4) != ".tga" &&
                                     value.substr(value.size() - 4) != ".jpg"))
                continue;
            ++named;
            EXPECT_FALSE(readFile(value).empty()) << ini << " names " << value;
            if (value.substr(value.size() - 4) == ".tga") {
                EXPECT_TRUE(Tga(value).complete()) << value;
            }
        }
    }
    EXPECT_GE(named, 8);  // four pointers and four mini-game tools
}

}  // namespace
