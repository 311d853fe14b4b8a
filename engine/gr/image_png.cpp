// The PNG reader over libpng: every colour type and depth decoded to 8-bit R, G, B (A) rows.
#include "engine/gr/image.h"

#include "engine/data/file.h"
#include "engine/platform/log.h"

#include <cstdlib>
#include <cstring>

#include <png.h>

namespace {

// Rows decoded at once when streaming.
constexpr png_uint_32 kBandRows = 16;

}  // namespace

struct PngCallbacks {
    static void onRead(png_structp png, png_bytep data, size_t length) {
        cPNGImage* image = static_cast<cPNGImage*>(png_get_io_ptr(png));
        if (length > static_cast<size_t>(image->size_ - image->readPos_))
            png_error(png, "Read error");
        memcpy(data, image->block_ + image->readPos_, length);
        image->readPos_ += static_cast<int>(length);
    }
    static void onError(png_structp png, png_const_charp message) {
        const cPNGImage* image = static_cast<const cPNGImage*>(png_get_error_ptr(png));
        logPrintf("png: %s: %s\n", image->LogName(), message);
        png_longjmp(png, 1);
    }
    static void onWarning(png_structp, png_const_charp) {}
};

cPNGImage::~cPNGImage() {
    Close();
}

int cPNGImage::Close() {
    if (block_) memFree(block_);
    block_ = nullptr;
    size_ = 0;
    readPos_ = 0;
    free(pixels_);
    pixels_ = nullptr;
    free(indices_);
    indices_ = nullptr;
    free(rows_);
    rows_ = nullptr;
    stride_ = 0;
    ResetSize();
    return 0;
}

// Takes the block and decodes it: into pixels_, or into target when there is one.
int cPNGImage::Take(unsigned char* block, int size, cImageTarget* target) {
    Close();
    if (!block || size < 8 || !png_check_sig(block, 8)) {
        if (block) memFree(block);
        logPrintf("png: %s: not a PNG file\n", LogName());
        return 1;
    }
    block_ = block;
    size_ = size;
    const int result = Decode(target);
    memFree(block_);  // the decoded rows are all that is kept
    block_ = nullptr;
    free(indices_);
    indices_ = nullptr;
    free(rows_);
    rows_ = nullptr;
    if (result || target) Close();
    return result;
}

int cPNGImage::OpenMemory(unsigned char* block, int size) {
    return Take(block, size, nullptr);
}

int cPNGImage::DecodeMemory(unsigned char* block, int size, cImageTarget& target) {
    const int result = Take(block, size, &target);
    return result == 1 ? -1 : result;  // 1 would say the file could not be loaded
}

// Everything that changes after setjmp lives in members, so a jump back leaves nothing stale.
int cPNGImage::Decode(cImageTarget* target) {
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, this, PngCallbacks::onError,
                                             PngCallbacks::onWarning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_read_struct(png ? &png : nullptr, nullptr, nullptr);
        logPrintf("png: %s: cannot create the decoder\n", LogName());
        return 1;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return 1;
    }
    png_set_read_fn(png, this, PngCallbacks::onRead);
    png_set_user_limits(png, kImageMaxSide, kImageMaxSide);
    png_read_info(png, info);

    png_uint_32 width = 0, height = 0;
    int depth = 0, colourType = 0;
    png_get_IHDR(png, info, &width, &height, &depth, &colourType, nullptr, nullptr, nullptr);
    if (!SizeAccepted("png", width, height)) {
        png_destroy_read_struct(&png, &info, nullptr);
        return 1;
    }
    const bool indexed = colourType == PNG_COLOR_TYPE_PALETTE;
    png_colorp palette = nullptr;
    int paletteSize = 0;
    if (indexed && !png_get_PLTE(png, info, &palette, &paletteSize)) png_error(png, "no palette");
    // Every image ends as 8-bit R, G, B (A); palette indices stay bytes and are looked up below,
    // so the palette is used as stored and transparency chunks are not turned into alpha.
    if (depth == 16) png_set_strip_16(png);
    if (indexed && depth < 8) png_set_packing(png);
    if (colourType == PNG_COLOR_TYPE_GRAY || colourType == PNG_COLOR_TYPE_GRAY_ALPHA) {
        if (depth < 8) png_set_expand_gray_1_2_4_to_8(png);
        png_set_gray_to_rgb(png);
    }
    png_set_interlace_handling(png);
    png_read_update_info(png, info);

    const int channels = png_get_channels(png, info);
    const size_t rowBytes = png_get_rowbytes(png, info);
    const bool layoutOk = indexed ? channels == 1 : channels == 3 || channels == 4;
    if (!layoutOk || png_get_bit_depth(png, info) != 8 ||
        rowBytes != channels * static_cast<size_t>(width))
        png_error(png, "unexpected row layout");

    // Streaming, a band of rows at a time is decoded and converted while it is in the cache.
    const bool streaming = target && png_get_interlace_type(png, info) == PNG_INTERLACE_NONE;
    const png_uint_32 bandRows = streaming && height > kBandRows ? kBandRows : height;
    unsigned char* decoded = static_cast<unsigned char*>(malloc(rowBytes * bandRows));
    if (indexed)
        indices_ = decoded;
    else
        pixels_ = decoded;
    rows_ = static_cast<unsigned char**>(malloc(sizeof(unsigned char*) * bandRows));
    if (!decoded || !rows_) png_error(png, "out of memory");
    for (png_uint_32 y = 0; y < bandRows; ++y) rows_[y] = decoded + y * rowBytes;
    stride_ = (indexed ? 3 : channels) * static_cast<int>(width);
    if (indexed) {
        pixels_ = static_cast<unsigned char*>(malloc(static_cast<size_t>(stride_) * bandRows));
        if (!pixels_) png_error(png, "out of memory");
    }
    width_ = static_cast<int>(width);
    height_ = static_cast<int>(height);
    bitsPerPixel_ = indexed ? 24 : 8 * channels;
    if (target && !target->Begin(width_, height_, bitsPerPixel_)) {
        png_destroy_read_struct(&png, &info, nullptr);
        return -2;
    }
    for (png_uint_32 first = 0; first < height; first += bandRows) {
        const png_uint_32 count = height - first < bandRows ? height - first : bandRows;
        if (streaming)
            png_read_rows(png, rows_, nullptr, count);
        else
            png_read_image(png, rows_);
        if (indexed) {
            const size_t pixels = static_cast<size_t>(width) * count;
            for (size_t i = 0; i < pixels; ++i) {
                const int index = indices_[i];
                unsigned char* out = pixels_ + 3 * i;
                if (index < paletteSize) {
                    out[0] = palette[index].red;
                    out[1] = palette[index].green;
                    out[2] = palette[index].blue;
                } else {
                    out[0] = out[1] = out[2] = 0;
                }
            }
        }
        if (target) {
            PixelView band;
            View(&band);
            ConvertBand(band, static_cast<int>(first), static_cast<int>(count), *target);
        }
    }
    png_destroy_read_struct(&png, &info, nullptr);
    return 0;
}

bool cPNGImage::View(PixelView* view) {
    if (!pixels_) return false;
    view->top = pixels_;
    view->pitch = stride_;
    view->bytesPerPixel = bitsPerPixel_ / 8;
    view->palette = nullptr;
    for (int c = 0; c < 3; ++c) {
        view->bits[c] = 8;
        view->shift[c] = 8 * c;
    }
    view->channelShift = bitsPerPixel_ == 32 ? 24 : 0;
    return true;
}
