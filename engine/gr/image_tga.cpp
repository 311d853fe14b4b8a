// The TGA reader and writer: uncompressed true-colour, gray and colour-mapped images.
#include "engine/gr/image.h"

#include "engine/data/file.h"
#include "engine/platform/log.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// Index i is the colour (i, i, i): the palette of every 8-bit image without a colour map.
const unsigned char* grayPalette() {
    struct Ramp {
        unsigned char entries[256 * 3];
        Ramp() {
            for (int i = 0; i < 256 * 3; ++i) entries[i] = static_cast<unsigned char>(i / 3);
        }
    };
    static const Ramp ramp;
    return ramp.entries;
}

int u16At(const unsigned char* p) {
    return p[0] | (p[1] << 8);
}

}  // namespace

cTGAImage::cTGAImage() {
    memset(header_, 0, sizeof header_);
    header_[2] = 2;
    descriptor_ = 8;
    memset(palette_, 0, sizeof palette_);
}

cTGAImage::~cTGAImage() {
    Close();
}

int cTGAImage::Close() {
    if (block_) memFree(block_);
    block_ = nullptr;
    pixels_ = nullptr;
    colourMapped_ = false;
    ResetSize();
    return 0;
}

int cTGAImage::OpenMemory(unsigned char* block, int size) {
    Close();
    if (!block || size <= 0) {
        if (block) memFree(block);
        logPrintf("tga: %s: empty file\n", LogName());
        return 1;
    }
    block_ = block;
    long offset = 0;
    if (!Parse(block, size, size, &offset)) {
        Close();
        return 1;
    }
    pixels_ = block_ + offset;
    return 0;
}

namespace {

// The most a header, its ID field and an 8-bit image's colour map take.
constexpr long kHeadBytes = 18 + 255 + 256 * 4;
// Rows read at once: a band that stays in the cache while it is converted, in few enough reads
// that the calls themselves cost little.
constexpr long kBandBytes = 512 * 1024;

}  // namespace

int cTGAImage::DecodeFile(const char* name, cImageTarget& target) {
    long size = 0;
    FileHandle* file = fileOpenPlain(name, &size);
    if (!file) return cFileImage::DecodeFile(name, target);
    Close();
    if (size <= 0) {
        fileClose(file);
        return 1;
    }
    logName_ = name;
    unsigned char head[kHeadBytes];
    const long headBytes = fileRead(file, head, static_cast<int>(size < kHeadBytes ? size : kHeadBytes));
    long offset = 0;
    int result = headBytes > 0 && Parse(head, headBytes, size, &offset) ? 0 : -1;
    if (result == 0 && !target.Begin(width_, height_, bitsPerPixel_)) result = -2;
    const long rowBytes = static_cast<long>(width_) * (bitsPerPixel_ / 8);
    long bandRows = rowBytes > 0 && rowBytes < kBandBytes ? kBandBytes / rowBytes : 1;
    if (bandRows > height_) bandRows = height_;
    unsigned char* band = result == 0 ? static_cast<unsigned char*>(malloc(bandRows * rowBytes)) : nullptr;
    if (result == 0 && (!band || fileSeek(file, offset) != 0)) {
        logPrintf("tga: %s: cannot read the pixels\n", LogName());
        result = -1;
    }
    // Rows come in the order they are stored: bottom-up files from the last image row upward.
    const bool topDown = (descriptor_ & 0x20) != 0;
    for (long done = 0; result == 0 && done < height_;) {
        const long rows = height_ - done < bandRows ? height_ - done : bandRows;
        const long bytes = rows * rowBytes;
        if (fileRead(file, band, static_cast<int>(bytes)) != bytes) {
            logPrintf("tga: %s: truncated while reading\n", LogName());
            result = -1;
            break;
        }
        PixelView v;
        if (topDown) {
            FillView(&v, band, rowBytes);
            ConvertBand(v, static_cast<int>(done), static_cast<int>(rows), target);
        } else {
            FillView(&v, band + (rows - 1) * rowBytes, -rowBytes);
            ConvertBand(v, static_cast<int>(height_ - done - rows), static_cast<int>(rows), target);
        }
        done += rows;
    }
    free(band);
    fileClose(file);
    logName_ = nullptr;
    Close();
    return result;
}

// Checks the header against the file's size before anything is read from past it.
bool cTGAImage::Parse(const unsigned char* head, long headBytes, long size, long* offset) {
    const unsigned char* b = head;
    if (size < 18 || headBytes < 18) {
        logPrintf("tga: %s: header truncated (%ld bytes)\n", LogName(), size);
        return false;
    }
    memcpy(header_, b, sizeof header_);
    descriptor_ = b[17];
    const int idLength = b[0];
    const int mapType = b[1];
    const int type = b[2];
    const int mapFirst = u16At(b + 3);
    const int mapLength = u16At(b + 5);
    const int mapEntryBits = b[7];
    const int width = u16At(b + 12);
    const int height = u16At(b + 14);
    const int depth = b[16];

    if (type >= 9 && type <= 11) {
        logPrintf("tga: %s: run-length encoded images are not supported\n", LogName());
        return false;
    }
    if (type < 1 || type > 3) {
        logPrintf("tga: %s: image type %d is not supported\n", LogName(), type);
        return false;
    }
    if (mapType > 1) {
        logPrintf("tga: %s: unknown colour-map type %d\n", LogName(), mapType);
        return false;
    }
    const bool depthOk = depth == 8 || (type == 2 && (depth == 16 || depth == 24 || depth == 32));
    if (!depthOk || (type == 1 && (mapType != 1 || depth != 8))) {
        logPrintf("tga: %s: %d bits per pixel in an image of type %d are not supported\n",
                  LogName(), depth, type);
        return false;
    }
    const bool mapped = mapType == 1 && depth == 8;
    const long mapBytes =
        mapType == 1 ? static_cast<long>(mapLength) * ((mapEntryBits + 7) / 8) : 0;
    if (mapped && (mapEntryBits != 24 && mapEntryBits != 32)) {
        logPrintf("tga: %s: colour-map entries of %d bits are not supported\n", LogName(),
                  mapEntryBits);
        return false;
    }
    if (mapped && mapFirst + mapLength > 256) {
        logPrintf("tga: %s: colour map of entries %d to %d does not fit 8-bit indices\n", LogName(),
                  mapFirst, mapFirst + mapLength - 1);
        return false;
    }
    if (!SizeAccepted("tga", width, height)) return false;

    *offset = 18L + idLength + mapBytes;
    const long needed = *offset + static_cast<long>(width) * height * (depth / 8);
    if (needed > size) {
        logPrintf("tga: %s: truncated: %ld bytes needed, %ld present\n", LogName(), needed, size);
        return false;
    }
    if (mapped) {
        memset(palette_, 0, sizeof palette_);
        const int entryBytes = mapEntryBits / 8;
        const unsigned char* entry = b + 18 + idLength;
        for (int i = 0; i < mapLength; ++i, entry += entryBytes)
            memcpy(palette_ + 3 * (mapFirst + i), entry, 3);
    }
    colourMapped_ = mapped;
    width_ = width;
    height_ = height;
    bitsPerPixel_ = depth;
    return true;
}

bool cTGAImage::View(PixelView* view) {
    if (!pixels_) return false;
    const long rowBytes = static_cast<long>(width_) * (bitsPerPixel_ / 8);
    const bool topDown = (descriptor_ & 0x20) != 0;
    FillView(view, topDown ? pixels_ : pixels_ + (height_ - 1) * rowBytes,
             topDown ? rowBytes : -rowBytes);
    return true;
}

void cTGAImage::FillView(PixelView* view, unsigned char* top, long pitch) {
    view->top = top;
    view->pitch = pitch;
    view->bytesPerPixel = bitsPerPixel_ / 8;
    view->palette = bitsPerPixel_ == 8 ? Palette() : nullptr;
    if (bitsPerPixel_ == 16) {
        const int bits[3] = {5, 5, 5}, shifts[3] = {10, 5, 0};
        memcpy(view->bits, bits, sizeof bits);
        memcpy(view->shift, shifts, sizeof shifts);
        view->channelShift = -1;
    } else {
        const int bits[3] = {8, 8, 8}, shifts[3] = {16, 8, 0};
        memcpy(view->bits, bits, sizeof bits);
        memcpy(view->shift, shifts, sizeof shifts);
        view->channelShift = bitsPerPixel_ == 32 ? 24 : 0;
    }
}

const unsigned char* cTGAImage::Palette() {
    return colourMapped_ ? palette_ : grayPalette();
}

int cTGAImage::HasNoColourMap() {
    return (header_[1] & 1) == 0;
}

int cTGAImage::ReadIndexRows(unsigned char* target, int pitch) {
    PixelView v;
    if (!target || bitsPerPixel_ != 8 || !View(&v)) return -1;
    for (int y = 0; y < height_; ++y)
        memcpy(target + static_cast<long>(y) * pitch, v.top + y * v.pitch, width_);
    return 0;
}

int cTGAImage::UsesBlack() {
    if (bitsPerPixel_ != 8 || !pixels_) return 0;
    const unsigned char* palette = Palette();
    const long count = static_cast<long>(width_) * height_;
    for (long i = 0; i < count; ++i) {
        const unsigned char* e = palette + 3 * pixels_[i];
        if (!e[0] && !e[1] && !e[2]) return 1;
    }
    return 0;
}

void cTGAImage::Dither(int rBits, int gBits, int bBits) {
    PixelView v;
    if (bitsPerPixel_ >= 24 && View(&v)) DitherView(v, rBits, gBits, bBits);
}

// Always writes a plain header (no ID field, no colour map) so the file reads back whatever
// file this reader had open before.
int cTGAImage::Save(const char* name, const void* pixels, int bitsPerPixel, int width, int height) {
    const int rows = height < 0 ? -height : height;
    if (!name || !pixels ||
        (bitsPerPixel != 8 && bitsPerPixel != 16 && bitsPerPixel != 24 && bitsPerPixel != 32) ||
        width < 1 || width > 65535 || rows < 1 || rows > 65535) {
        logPrintf("tga: cannot save %s: bad arguments (%d bits, %d x %d)\n", name ? name : "(null)",
                  bitsPerPixel, width, height);
        return -1;
    }
    if (height < 0) descriptor_ = 0x20;
    unsigned char header[18];
    memset(header, 0, sizeof header);
    header[2] = bitsPerPixel == 8 ? 3 : 2;
    memcpy(header + 8, header_ + 8, 4);  // x and y origin
    header[12] = static_cast<unsigned char>(width);
    header[13] = static_cast<unsigned char>(width >> 8);
    header[14] = static_cast<unsigned char>(rows);
    header[15] = static_cast<unsigned char>(rows >> 8);
    header[16] = static_cast<unsigned char>(bitsPerPixel);
    header[17] = descriptor_;
    const size_t bytes = static_cast<size_t>(bitsPerPixel) / 8 * width * rows;
    FILE* f = fopen(name, "wb");
    bool ok = f && fwrite(header, 1, sizeof header, f) == sizeof header &&
              fwrite(pixels, 1, bytes, f) == bytes;
    if (f && fclose(f) != 0) ok = false;
    if (!ok) {
        logPrintf("tga: cannot write %s\n", name);
        return -1;
    }
    return 0;
}
