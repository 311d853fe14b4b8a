// Sprite and display fixtures: a private folder per test process, image writers and the log.
#include "gr_fixtures.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "engine/gr/image.h"
#include "engine/platform/log.h"
#include "tests/support/temp_folder.h"

namespace {

// ctest runs the test processes in parallel: each works inside a folder of its own, so its
// files, game.ini and gerr.log are its own.
[[maybe_unused]] const bool kOwnFolder =
    testsupport::workInOwnFolder("velmora_gr", [] { logOpen(); });

void makeParents(const std::string& name) {
    std::filesystem::path parent = std::filesystem::path(name).parent_path();
    if (!parent.empty()) std::filesystem::create_directories(parent);
}

void saveTga(const std::string& name, const std::vector<uint8_t>& pixels, int bits, int width,
             int height) {
    makeParents(name);
    cTGAImage writer;
    // A negative height writes the rows top-down, as they are given.
    ASSERT_EQ(writer.Save(name.c_str(), pixels.data(), bits, width, -height), 0) << name;
}

}  // namespace

uint16_t rgb565(Rgb c) {
    return static_cast<uint16_t>(((c.r >> 3) << 11) | ((c.g >> 2) << 5) | (c.b >> 3));
}

void writeTga24(const std::string& name, int width, int height,
                const std::function<Rgb(int, int)>& colour) {
    std::vector<uint8_t> px;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            Rgb c = colour(x, y);
            px.insert(px.end(), {uint8_t(c.b), uint8_t(c.g), uint8_t(c.r)});
        }
    saveTga(name, px, 24, width, height);
}

void writeTga32(const std::string& name, int width, int height,
                const std::function<Rgb(int, int)>& colour,
                const std::function<int(int, int)>& alpha) {
    std::vector<uint8_t> px;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            Rgb c = colour(x, y);
            px.insert(px.end(), {uint8_t(c.b), uint8_t(c.g), uint8_t(c.r), uint8_t(alpha(x, y))});
        }
    saveTga(name, px, 32, width, height);
}

void writeGrayTga(const std::string& name, int width, int height,
                  const std::function<int(int, int)>& value) {
    std::vector<uint8_t> px;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) px.push_back(uint8_t(value(x, y)));
    saveTga(name, px, 8, width, height);
}

void writeJpeg(const std::string& name, int width, int height,
               const std::function<Rgb(int, int)>& colour) {
    std::vector<uint8_t> px;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            Rgb c = colour(x, y);
            px.insert(px.end(), {uint8_t(c.r), uint8_t(c.g), uint8_t(c.b)});
        }
    std::vector<uint8_t> jpeg = encodeJpeg(width, height, 3, px, false);
    writeText(name, std::string(jpeg.begin(), jpeg.end()));
}

void writeText(const std::string& name, const std::string& text) {
    makeParents(name);
    std::ofstream(name, std::ios::binary) << text;
}

std::string logText() {
    std::ifstream log("gerr.log", std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(log)), std::istreambuf_iterator<char>());
}

int logLines() {
    int lines = 0;
    for (char c : logText()) lines += c == '\n';
    return lines;
}
