// Writes baseline JPEG and 8-bit PNG files for the data generators, from rows of bytes top first.
#pragma once

#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <vector>

// jpeglib.h needs FILE declared before it.
#include <jpeglib.h>
#include <png.h>

// pixels: R, G, B bytes per pixel. Baseline (never progressive): the engine's reader refuses
// progressive files.
inline bool writeJpeg(const char* path, int width, int height, const std::vector<uint8_t>& pixels,
                      int quality) {
    if (width <= 0 || height <= 0 || pixels.size() != static_cast<size_t>(width) * height * 3) {
        fprintf(stderr, "%s: bad image for JPEG output\n", path);
        return false;
    }
    FILE* f = fopen(path, "wb");
    if (!f) {
        perror(path);
        return false;
    }
    jpeg_compress_struct cinfo;
    jpeg_error_mgr jerr;
    cinfo.err = jpeg_std_error(&jerr);  // an encoder error ends the tool with libjpeg's message
    jpeg_create_compress(&cinfo);
    jpeg_stdio_dest(&cinfo, f);
    cinfo.image_width = static_cast<JDIMENSION>(width);
    cinfo.image_height = static_cast<JDIMENSION>(height);
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(pixels.data() + static_cast<size_t>(cinfo.next_scanline) * width * 3);
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    const bool ok = fclose(f) == 0;
    if (!ok) fprintf(stderr, "%s: write failed\n", path);
    return ok;
}

// pixels: channels (3: R, G, B; 4: R, G, B, A) bytes per pixel.
inline bool writePng(const char* path, int width, int height, int channels,
                     const std::vector<uint8_t>& pixels) {
    if (width <= 0 || height <= 0 || (channels != 3 && channels != 4) ||
        pixels.size() != static_cast<size_t>(width) * height * channels) {
        fprintf(stderr, "%s: bad image for PNG output\n", path);
        return false;
    }
    std::vector<png_bytep> rows(static_cast<size_t>(height));
    for (int y = 0; y < height; ++y)
        rows[static_cast<size_t>(y)] =
            const_cast<png_bytep>(pixels.data() + static_cast<size_t>(y) * width * channels);
    FILE* f = fopen(path, "wb");
    if (!f) {
        perror(path);
        return false;
    }
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        fclose(f);
        fprintf(stderr, "%s: PNG encoding failed\n", path);
        return false;
    }
    png_init_io(png, f);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 channels == 4 ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_write_image(png, rows.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    const bool ok = fclose(f) == 0;
    if (!ok) fprintf(stderr, "%s: write failed\n", path);
    return ok;
}
