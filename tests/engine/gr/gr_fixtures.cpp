// Sprite and display fixtures: a private folder per test process, image writers and the log.
#include "gr_fixtures.h"

#include <gtest/gtest.h>
#include <jpeglib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "engine/gr/image.h"
#include "engine/platform/log.h"

namespace {

std::string gFolder;

// ctest runs the test processes in parallel: each works inside a folder of its own, so its
// files, game.ini and gerr.log are its own.
class FixtureFolder : public ::testing::Environment {
public:
    void SetUp() override {
        char pattern[] = "/tmp/velmora_gr_XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        gFolder = pattern;
        ASSERT_EQ(chdir(gFolder.c_str()), 0);
        logOpen();
    }
    void TearDown() override {
        if (chdir("/") == 0) std::filesystem::remove_all(gFolder);
    }
};

[[maybe_unused]] ::testing::Environment* const gEnvironment =
    ::testing::AddGlobalTestEnvironment(new FixtureFolder);

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
    jpeg_compress_struct c;
    jpeg_error_mgr err;
    c.err = jpeg_std_error(&err);
    jpeg_create_compress(&c);
    unsigned char* mem = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&c, &mem, &size);
    c.image_width = width;
    c.image_height = height;
    c.input_components = 3;
    c.in_color_space = JCS_RGB;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, 95, TRUE);
    // No chroma subsampling, so a black block stays black.
    for (int i = 0; i < c.num_components; ++i)
        c.comp_info[i].h_samp_factor = c.comp_info[i].v_samp_factor = 1;
    jpeg_start_compress(&c, TRUE);
    while (c.next_scanline < c.image_height) {
        JSAMPROW row = px.data() + c.next_scanline * width * 3;
        jpeg_write_scanlines(&c, &row, 1);
    }
    jpeg_finish_compress(&c);
    jpeg_destroy_compress(&c);
    writeText(name, std::string(reinterpret_cast<char*>(mem), size));
    free(mem);
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
