// Speed of loading pictures: a 1024 x 768 JPEG as a sprite's pixels (decoding, then the 1:1
// conversion to RGB565) beside the decoder alone and a plain conversion loop; 1024 x 768 TGA
// files of 24 and 32 bits loaded as sprites beside reading the same files; and a few bundled
// pictures and the fonts beside reading their files. Prints the ratios.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <jpeglib.h>

#include <sys/stat.h>
#include <unistd.h>

#include "engine/data/file.h"
#include "engine/gr/font.h"
#include "engine/gr/gr.h"
#include "engine/gr/image.h"
#include "bench/ratio_reporter.h"

namespace {

constexpr int kW = 1024, kH = 768;

// A picture with smooth areas and detail, compressed at quality 85 as the game's pictures are.
std::vector<unsigned char> makeJpeg() {
    std::vector<unsigned char> rgb(static_cast<size_t>(kW) * kH * 3);
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            unsigned char* p = &rgb[(static_cast<size_t>(y) * kW + x) * 3];
            p[0] = static_cast<unsigned char>(x / 4 + ((x * y) & 15));
            p[1] = static_cast<unsigned char>(y / 3);
            p[2] = static_cast<unsigned char>((x ^ y) & 255);
        }
    jpeg_compress_struct c;
    jpeg_error_mgr err;
    c.err = jpeg_std_error(&err);
    jpeg_create_compress(&c);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&c, &out, &size);
    c.image_width = kW;
    c.image_height = kH;
    c.input_components = 3;
    c.in_color_space = JCS_RGB;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, 85, TRUE);
    jpeg_start_compress(&c, TRUE);
    while (c.next_scanline < c.image_height) {
        JSAMPROW row = &rgb[static_cast<size_t>(c.next_scanline) * kW * 3];
        jpeg_write_scanlines(&c, &row, 1);
    }
    jpeg_finish_compress(&c);
    jpeg_destroy_compress(&c);
    std::vector<unsigned char> file(out, out + size);
    free(out);
    return file;
}

const std::vector<unsigned char>& jpeg() {
    static const std::vector<unsigned char> file = makeJpeg();
    return file;
}

// The reader takes a block it frees itself.
int openJpeg(cJPGImage& image) {
    const std::vector<unsigned char>& file = jpeg();
    unsigned char* block = static_cast<unsigned char*>(malloc(file.size()));
    memcpy(block, file.data(), file.size());
    return image.OpenMemory(block, static_cast<int>(file.size()));
}

std::vector<uint16_t> gPixels(static_cast<size_t>(kW) * kH);

void convert(cJPGImage& image) {
    image.Convert(0, 0, kW, kH, gPixels.data(), 0, 0, kW, kH, 2, 2 * kW, 5, 6, 5, 0, 11, 5, 0, 0);
}

void BM_JpegToSpritePixels(benchmark::State& state) {
    for (auto _ : state) {
        cJPGImage image;
        if (openJpeg(image) != 0) state.SkipWithError("decode failed");
        convert(image);
        benchmark::ClobberMemory();
    }
}

void BM_ConvertOneToOne(benchmark::State& state) {
    cJPGImage image;
    if (openJpeg(image) != 0) state.SkipWithError("decode failed");
    for (auto _ : state) {
        convert(image);
        benchmark::ClobberMemory();
    }
}

// References: the decoder alone, and a plain loop from decoded RGB rows to RGB565.
void BM_RefDecodeOnly(benchmark::State& state) {
    for (auto _ : state) {
        cJPGImage image;
        if (openJpeg(image) != 0) state.SkipWithError("decode failed");
        benchmark::ClobberMemory();
    }
}

void BM_RefConvertLoop(benchmark::State& state) {
    std::vector<unsigned char> rgb(static_cast<size_t>(kW) * kH * 3);
    for (size_t i = 0; i < rgb.size(); ++i) rgb[i] = static_cast<unsigned char>(i * 31);
    for (auto _ : state) {
        const unsigned char* p = rgb.data();
        for (size_t i = 0; i < gPixels.size(); ++i, p += 3)
            gPixels[i] = static_cast<uint16_t>((p[0] >> 3) << 11 | (p[1] >> 2) << 5 | p[2] >> 3);
        benchmark::ClobberMemory();
    }
}

// The bare libjpeg-turbo decode of the same file into RGB rows, nothing else.
void BM_RefBareJpegDecode(benchmark::State& state) {
    const std::vector<unsigned char>& file = jpeg();
    std::vector<unsigned char> rgb(static_cast<size_t>(kW) * kH * 3);
    for (auto _ : state) {
        jpeg_decompress_struct c;
        jpeg_error_mgr err;
        c.err = jpeg_std_error(&err);
        jpeg_create_decompress(&c);
        jpeg_mem_src(&c, file.data(), file.size());
        jpeg_read_header(&c, TRUE);
        c.out_color_space = JCS_RGB;
        jpeg_start_decompress(&c);
        while (c.output_scanline < c.output_height) {
            JSAMPROW row = &rgb[static_cast<size_t>(c.output_scanline) * kW * 3];
            jpeg_read_scanlines(&c, &row, 1);
        }
        jpeg_finish_decompress(&c);
        jpeg_destroy_decompress(&c);
        benchmark::ClobberMemory();
    }
}

// Picture files written into a folder of their own beside the game's data: the JPEG above and
// TGA files of 24 and 32 bits (bottom-up, as painting programs write them) of the same size. The
// folder is kept from run to run, as the game's folders are, so that the lookup of each picture's
// optional alpha image meets a folder that has not just changed (a busy /tmp is listed anew at
// every lookup).
std::string tempFile(const char* name) {
    static const std::string folder = [] {
        mkdir("bench_image_files", 0755);
        return std::string("bench_image_files");
    }();
    return folder + "/" + name;
}

std::string writeFile(const char* name, const std::vector<unsigned char>& bytes) {
    const std::string path = tempFile(name);
    struct stat st {};
    if (stat(path.c_str(), &st) == 0 && st.st_size == static_cast<off_t>(bytes.size())) {
        std::vector<unsigned char> old(bytes.size());
        FILE* f = fopen(path.c_str(), "rb");
        const bool same = f && fread(old.data(), 1, old.size(), f) == old.size() && old == bytes;
        if (f) fclose(f);
        if (same) return path;
    }
    if (FILE* f = fopen(path.c_str(), "wb")) {
        fwrite(bytes.data(), 1, bytes.size(), f);
        fclose(f);
    }
    return path;
}

std::vector<unsigned char> makeTga(int depth) {
    std::vector<unsigned char> b(18, 0);
    b[2] = 2;
    b[12] = kW & 255;
    b[13] = kW >> 8;
    b[14] = kH & 255;
    b[15] = kH >> 8;
    b[16] = static_cast<unsigned char>(depth);
    b[17] = depth == 32 ? 8 : 0;
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            b.push_back(static_cast<unsigned char>(x ^ y));
            b.push_back(static_cast<unsigned char>(y / 3));
            b.push_back(static_cast<unsigned char>(x / 4 + 1));
            if (depth == 32) b.push_back(static_cast<unsigned char>(x + y));
        }
    return b;
}

const std::string& fileOf(int kind) {
    static const std::string files[3] = {writeFile("picture.jpg", jpeg()),
                                         writeFile("picture24.tga", makeTga(24)),
                                         writeFile("picture32.tga", makeTga(32))};
    return files[kind];
}

// A file loaded as the game loads a sprite: read, decoded, converted, freed again.
void BM_FileToSprite(benchmark::State& state) {
    const std::string& file = fileOf(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        HSPRITE s = grLoadSprite(file.c_str(), nullptr, 0);
        if (!s || spriteWidth(s) != kW) state.SkipWithError("the picture did not load");
        grFreeSprite(s);
    }
}

// The same file read into memory, nothing else.
void BM_RefReadFile(benchmark::State& state) {
    const std::string& file = fileOf(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        unsigned char* block = nullptr;
        if (fileLoad(file.c_str(), &block) <= 0) state.SkipWithError("the file did not read");
        memFree(block);
    }
}

// A few bundled pictures and the two fonts, from the build's game folder.
const char* const kPictures[] = {"Data/Pictures/hotel.jpg", "Data/Sprites/coin.tga",
                                 "Data/Sprites/star.png", "Data/Sprites/star_spin.tga"};
const char* const kFonts[] = {"Data/Fonts/normal.tga", "Data/Fonts/large.tga"};

bool haveData(benchmark::State& state) {
    for (const char* f : kPictures)
        if (access(f, R_OK) != 0) {
            state.SkipWithError("no generated data here");
            return false;
        }
    return true;
}

void BM_FirstScreenPictures(benchmark::State& state) {
    if (!haveData(state)) return;
    for (auto _ : state) {
        HSPRITE sprites[4];
        CGraphFont* fonts[2];
        for (int i = 0; i < 4; ++i) sprites[i] = grLoadSprite(kPictures[i], nullptr, 0);
        for (int i = 0; i < 2; ++i) fonts[i] = grLoadFont(kFonts[i], nullptr);
        for (HSPRITE s : sprites) grFreeSprite(s);
        for (CGraphFont* f : fonts) grFreeFont(f);
    }
}

void BM_RefReadFirstScreenFiles(benchmark::State& state) {
    if (!haveData(state)) return;
    for (auto _ : state) {
        for (const char* list : {"p", "f"})
            for (int i = 0; i < (*list == 'p' ? 4 : 2); ++i) {
                unsigned char* block = nullptr;
                fileLoad(*list == 'p' ? kPictures[i] : kFonts[i], &block);
                if (block) memFree(block);
            }
    }
}

}  // namespace

BENCHMARK(BM_FirstScreenPictures)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RefReadFirstScreenFiles)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_JpegToSpritePixels)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ConvertOneToOne)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RefDecodeOnly)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RefConvertLoop)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RefBareJpegDecode)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FileToSprite)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RefReadFile)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    // Each load beside its reference: how many times the reference's time it takes.
    const RatioPair pairs[] = {
        {"BM_FileToSprite/0", "BM_RefBareJpegDecode", "JPEG to sprite / bare decode (goal 1.2)"},
        {"BM_FileToSprite/1", "BM_RefReadFile/1", "TGA 24 to sprite / file read (goal 2)"},
        {"BM_FileToSprite/2", "BM_RefReadFile/2", "TGA 32 to sprite / file read (goal 2)"},
        {"BM_ConvertOneToOne", "BM_RefConvertLoop", "1:1 conversion / plain loop"},
        {"BM_FirstScreenPictures", "BM_RefReadFirstScreenFiles", "first screen / file read"}};
    printRatios(reporter, pairs);
    benchmark::Shutdown();
    return 0;
}
