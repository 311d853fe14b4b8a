// The image reader base: file loading, reader choice by name, scaled conversion and dithering.
#include "engine/gr/image.h"

#include "engine/data/file.h"
#include "engine/gr/image_rows.h"
#include "engine/platform/log.h"

#include <cstdint>
#include <cstring>

namespace {

enum class FilterMode { Colour, Channel, Mask };

uint32_t readLE(const unsigned char* p, int bytes) {
    uint32_t v = 0;
    for (int i = 0; i < bytes; ++i) v |= static_cast<uint32_t>(p[i]) << (8 * i);
    return v;
}

void writeLE(unsigned char* p, int bytes, uint32_t v) {
    for (int i = 0; i < bytes; ++i) p[i] = static_cast<unsigned char>(v >> (8 * i));
}

uint32_t fieldMask(int bits) {
    return bits >= 32 ? 0xFFFFFFFFu : (1u << bits) - 1u;
}

// A pixel of the view as an integer; index pixels come back as B at 0, G at 8, R at 16.
uint32_t fetch(const unsigned char* p, int bytesPerPixel, const unsigned char* palette) {
    uint32_t v = readLE(p, bytesPerPixel);
    if (palette) {
        const unsigned char* e = palette + 3 * (v & 0xFF);
        v = e[0] | (e[1] << 8) | (static_cast<uint32_t>(e[2]) << 16);
    }
    return v;
}

}  // namespace

bool imageNameHas(const char* name, const char* part) {
    for (; *name; ++name) {
        const char* a = name;
        const char* b = part;
        while (*a && *b) {
            char c = *a;
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
            if (c != *b) break;
            ++a;
            ++b;
        }
        if (!*b) return true;
    }
    return false;
}

cFileImage::cFileImage() = default;
cFileImage::~cFileImage() = default;

int cFileImage::Open(const char* name) {
    unsigned char* block = nullptr;
    int size = fileLoad(name, &block);
    if (size <= 0 || !block) {
        if (block) memFree(block);
        return 1;
    }
    return OpenMemoryOf(name, block, size);
}

int cFileImage::OpenMemoryOf(const char* name, unsigned char* block, int size) {
    logName_ = name;
    int result = OpenMemory(block, size);
    logName_ = nullptr;
    return result;
}

int cFileImage::DecodeFile(const char* name, cImageTarget& target) {
    unsigned char* block = nullptr;
    int size = fileLoad(name, &block);
    if (size <= 0 || !block) {
        if (block) memFree(block);
        return 1;
    }
    logName_ = name;
    int result = DecodeMemory(block, size, target);
    logName_ = nullptr;
    return result;
}

// Readers that decode whole convert their pixels in one band.
int cFileImage::DecodeMemory(unsigned char* block, int size, cImageTarget& target) {
    int result = OpenMemory(block, size) == 0 ? 0 : -1;
    PixelView v;
    if (result == 0 && !View(&v)) result = -1;
    if (result == 0 && !target.Begin(width_, height_, bitsPerPixel_)) result = -2;
    if (result == 0) ConvertBand(v, 0, height_, target);
    Close();
    return result;
}

int cFileImage::OpenMemory(unsigned char* block, int /*size*/) {
    if (block) memFree(block);
    return -1;
}

int cFileImage::Save(const char*, const void*, int, int, int) {
    return -1;
}
int cFileImage::Close() {
    return -1;
}
int cFileImage::ReadIndexRows(unsigned char*, int) {
    return -1;
}
const unsigned char* cFileImage::Palette() {
    return nullptr;
}
void cFileImage::Dither(int, int, int) {}
int cFileImage::HasNoColourMap() {
    return 0;
}
int cFileImage::UsesBlack() {
    return 0;
}
bool cFileImage::View(PixelView*) {
    return false;
}

void cFileImage::ResetSize() {
    width_ = 0;
    height_ = 0;
    bitsPerPixel_ = 0;
    frames_ = 1;
    frameTime_ = 0;
}

const char* cFileImage::LogName() const {
    return logName_ ? logName_ : "(memory block)";
}

bool cFileImage::SizeAccepted(const char* format, long width, long height) const {
    if (width < 1 || height < 1 || width > kImageMaxSide || height > kImageMaxSide ||
        width * height > kImageMaxPixels) {
        logPrintf("%s: %s: image size %ld x %ld refused (at most %d per side and %ld pixels)\n",
                  format, LogName(), width, height, kImageMaxSide, kImageMaxPixels);
        return false;
    }
    return true;
}

namespace {

struct Target {
    unsigned char* pixels;
    int x, y, w, h, bytesPerPixel, pitch;
};

// Byte-sized source channels into 16-bit targets of at most 8 bits a channel: each channel is
// one byte shifted down and then into place. False for any other layout.
bool packLayout(int srcBpp, const unsigned char* palette, const int* srcBits, const int* srcShift,
                int tBytes, const int* tBits, const int* tShift, uint32_t keep, PackLayout* layout) {
    if (palette || (srcBpp != 3 && srcBpp != 4) || tBytes != 2) return false;
    *layout = {srcBpp, {}, {}, {}, static_cast<uint16_t>(keep)};
    for (int c = 0; c < 3; ++c) {
        if (srcBits[c] != 8 || srcShift[c] % 8 != 0 || srcShift[c] >= 8 * srcBpp || tBits[c] < 1 ||
            tBits[c] > 8)
            return false;
        layout->down[c] = srcShift[c] + 8 - tBits[c];
        layout->mask[c] = 0xFFu >> (8 - tBits[c]);
        layout->place[c] = tShift[c];
    }
    return true;
}

// The filter at 1:1, where each box holds one source pixel: the same values without the sums
// and the division per channel. Byte-sized channels into 16-bit targets (every sprite's colour)
// and single bytes into planes (alpha) go through the vector rows; index pixels through a table
// of the 256 values they can give. Where zero is not null (16-bit targets), *zero becomes true
// when a pixel written is 0, found while its row is in the cache.
void copyRect(const unsigned char* top, long srcPitch, int srcBpp, const unsigned char* palette,
              int sx, int sy, int dir, const Target& t, FilterMode mode, int count,
              const int* srcBits, const int* srcShift, const int* tBits, const int* tShift,
              uint32_t keep, bool* zero) {
    // Each channel: a source field brought to the target's bits, then to its place.
    uint32_t srcMask[3] = {}, tMask[3] = {};
    int up[3] = {}, down[3] = {};
    for (int c = 0; c < count; ++c) {
        srcMask[c] = fieldMask(srcBits[c]);
        tMask[c] = fieldMask(tBits[c]);
        up[c] = tBits[c] >= srcBits[c] ? tBits[c] - srcBits[c] : 0;
        down[c] = tBits[c] >= srcBits[c] ? 0 : srcBits[c] - tBits[c];
    }
    // The target bits one source pixel gives.
    auto value = [&](uint32_t p) {
        uint32_t v = 0;
        if (mode == FilterMode::Mask) {
            if ((p & 0xFFFFFF) != 0)
                for (int c = 0; c < count; ++c) v |= tMask[c] << tShift[c];
            return v;
        }
        for (int c = 0; c < count; ++c) {
            const uint64_t field = static_cast<uint64_t>((p >> srcShift[c]) & srcMask[c]) << up[c] >> down[c];
            v |= (static_cast<uint32_t>(field) & tMask[c]) << tShift[c];
        }
        return v;
    };
    PackLayout layout;
    const bool fast = mode == FilterMode::Colour && count == 3 &&
                      packLayout(srcBpp, palette, srcBits, srcShift, t.bytesPerPixel, tBits, tShift,
                                 keep, &layout);
    const bool plane = mode == FilterMode::Channel && count == 1 && !palette && srcBits[0] == 8 &&
                       srcShift[0] % 8 == 0 && srcShift[0] < 8 * srcBpp && t.bytesPerPixel == 1 &&
                       tBits[0] == 8 && tShift[0] == 0;
    const int at = srcShift[0] / 8;
    // Index pixels give one of 256 values.
    const bool indexed = palette && srcBpp == 1;
    uint32_t table[256];
    if (indexed)
        for (uint32_t i = 0; i < 256; ++i) {
            const unsigned char index = static_cast<unsigned char>(i);
            table[i] = value(fetch(&index, 1, palette));
        }
    if (fast) {
        const unsigned char* in = top + static_cast<long>(sy) * srcPitch + static_cast<long>(sx) * srcBpp;
        unsigned char* out = t.pixels + static_cast<long>(t.y) * t.pitch + static_cast<long>(t.x) * t.bytesPerPixel;
        imagePackRows()(in, dir * srcPitch, out, t.pitch, t.w, t.h, layout, zero);
        return;
    }
    const PlaneRow planeRow = plane ? imagePlaneRow() : nullptr;
    const ZeroRow zeroRow = zero ? imageZeroRow() : nullptr;
    for (int j = 0; j < t.h; ++j) {
        const unsigned char* in = top + (static_cast<long>(sy) + static_cast<long>(j) * dir) * srcPitch +
                                  static_cast<long>(sx) * srcBpp;
        unsigned char* out = t.pixels + (static_cast<long>(t.y) + j) * t.pitch +
                             static_cast<long>(t.x) * t.bytesPerPixel;
        if (plane) {
            planeRow(in, out, t.w, srcBpp, at);
        } else if (indexed && keep == 0 && t.bytesPerPixel == 1) {
            for (int i = 0; i < t.w; ++i) out[i] = static_cast<unsigned char>(table[in[i]]);
        } else if (indexed) {
            for (int i = 0; i < t.w; ++i, out += t.bytesPerPixel)
                writeLE(out, t.bytesPerPixel, (readLE(out, t.bytesPerPixel) & keep) | table[in[i]]);
        } else {
            for (int i = 0; i < t.w; ++i, in += srcBpp, out += t.bytesPerPixel)
                writeLE(out, t.bytesPerPixel,
                        (readLE(out, t.bytesPerPixel) & keep) | value(fetch(in, srcBpp, palette)));
        }
        if (zero && !*zero)
            *zero = zeroRow(t.pixels + (static_cast<long>(t.y) + j) * t.pitch + static_cast<long>(t.x) * t.bytesPerPixel,
                            t.w);
    }
}

// Maps the source rectangle onto the target in 16.16 fixed point and sums, per target pixel,
// every source pixel that falls on it. count channels are read at srcBits/srcShift and written
// at the target's bits and shifts.
int boxFilter(const cFileImage& image, const char* what, const unsigned char* top, long srcPitch,
              int srcBpp, const unsigned char* palette, int sx, int sy, int sw, int sh,
              const Target& t, FilterMode mode, int count, const int* srcBits, const int* srcShift,
              const int* tBits, const int* tShift) {
    const long rows = sh < 0 ? -static_cast<long>(sh) : sh;
    const int dir = sh < 0 ? -1 : 1;
    const long lastRow = sy + (rows - 1) * dir;
    bool bad = !t.pixels || t.w < 1 || t.h < 1 || t.x < 0 || t.y < 0 || t.bytesPerPixel < 1 ||
               t.bytesPerPixel > 4 || (static_cast<long>(t.x) + t.w) * t.bytesPerPixel > t.pitch;
    bad = bad || sw < 1 || rows < 1 || sx < 0 || static_cast<long>(sx) + sw > image.Width() ||
          sy < 0 || sy >= image.Height() || lastRow < 0 || lastRow >= image.Height();
    for (int c = 0; c < count && !bad; ++c)
        bad = tBits[c] < 0 || tBits[c] > 32 || tShift[c] < 0 || tShift[c] > 31 ||
              tBits[c] + tShift[c] > 8 * t.bytesPerPixel;
    if (bad) {
        logPrintf("image: %s: rectangle or target layout out of range\n", what);
        return -1;
    }
    uint32_t keep = 0xFFFFFFFFu;
    for (int c = 0; c < count; ++c) keep &= ~(fieldMask(tBits[c]) << tShift[c]);
    if (t.w == sw && t.h == rows) {
        copyRect(top, srcPitch, srcBpp, palette, sx, sy, dir, t, mode, count, srcBits, srcShift,
                 tBits, tShift, keep, nullptr);
        return 0;
    }
    const int64_t stepX = (static_cast<int64_t>(sw) << 16) / t.w;
    const int64_t stepY = (static_cast<int64_t>(rows) << 16) / t.h;

    for (int j = 0; j < t.h; ++j) {
        int y0 = static_cast<int>((j * stepY) >> 16);
        int y1 = static_cast<int>(((j + 1) * stepY - 1) >> 16);
        if (y1 >= rows) y1 = static_cast<int>(rows - 1);
        if (y1 < y0) y1 = y0;
        unsigned char* out = t.pixels + (static_cast<long>(t.y) + j) * t.pitch +
                             static_cast<long>(t.x) * t.bytesPerPixel;
        for (int i = 0; i < t.w; ++i, out += t.bytesPerPixel) {
            int x0 = static_cast<int>((i * stepX) >> 16);
            int x1 = static_cast<int>(((i + 1) * stepX - 1) >> 16);
            if (x1 >= sw) x1 = sw - 1;
            if (x1 < x0) x1 = x0;
            uint64_t sum[3] = {0, 0, 0};
            bool anyColour = false;
            for (int y = y0; y <= y1; ++y) {
                const unsigned char* row = top + (static_cast<long>(sy) + y * dir) * srcPitch +
                                           static_cast<long>(sx) * srcBpp;
                for (int x = x0; x <= x1; ++x) {
                    uint32_t p = fetch(row + static_cast<long>(x) * srcBpp, srcBpp, palette);
                    if (mode == FilterMode::Mask) {
                        anyColour = anyColour || (p & 0xFFFFFF) != 0;
                        continue;
                    }
                    for (int c = 0; c < count; ++c)
                        sum[c] += (p >> srcShift[c]) & fieldMask(srcBits[c]);
                }
            }
            const uint64_t n = static_cast<uint64_t>(y1 - y0 + 1) * (x1 - x0 + 1);
            uint32_t value = readLE(out, t.bytesPerPixel) & keep;
            for (int c = 0; c < count; ++c) {
                uint64_t v;
                if (mode == FilterMode::Mask) {
                    v = anyColour ? fieldMask(tBits[c]) : 0;
                } else {
                    const uint64_t average = (sum[c] << 16) / n;  // 16 fraction bits
                    v = tBits[c] >= srcBits[c] ? (average >> 16) << (tBits[c] - srcBits[c])
                                               : average >> (16 + srcBits[c] - tBits[c]);
                }
                value |= (static_cast<uint32_t>(v) & fieldMask(tBits[c])) << tShift[c];
            }
            writeLE(out, t.bytesPerPixel, value);
        }
    }
    return 0;
}

}  // namespace

void cFileImage::ConvertBand(const PixelView& band, int y, int count, cImageTarget& target) {
    if (count <= 0) return;
    Target colour{target.colour, 0, y, width_, count, target.bytesPerPixel,
                  static_cast<int>(target.pitch)};
    uint32_t keep = 0xFFFFFFFFu;
    for (int c = 0; c < 3; ++c) keep &= ~(fieldMask(target.bits[c]) << target.shifts[c]);
    // Colour and alpha of 4-byte pixels in one pass over the band, where a row does both.
    PackLayout layout;
    const PackPlaneRows both = imagePackPlaneRows();
    if (both && target.alpha && band.channelShift >= 0 && band.bytesPerPixel == 4 &&
        packLayout(4, band.palette, band.bits, band.shift, target.bytesPerPixel, target.bits,
                   target.shifts, keep, &layout)) {
        both(band.top, band.pitch, target.colour + static_cast<long>(y) * target.pitch, target.pitch,
             target.alpha + static_cast<long>(y) * width_, width_, width_, count, layout,
             band.channelShift / 8);
        return;
    }
    const bool findZero = target.checkZero && !target.alpha && !target.zeroSeen && target.bytesPerPixel == 2;
    copyRect(band.top, band.pitch, band.bytesPerPixel, band.palette, 0, 0, 1, colour,
             FilterMode::Colour, 3, band.bits, band.shift, target.bits, target.shifts, keep,
             findZero ? &target.zeroSeen : nullptr);
    if (target.alpha && band.channelShift >= 0) {
        const int srcBits = 8, tBits = 8, tShift = 0;
        Target plane{target.alpha, 0, y, width_, count, 1, width_};
        copyRect(band.top, band.pitch, band.bytesPerPixel, band.palette, 0, 0, 1, plane,
                 FilterMode::Channel, 1, &srcBits, &band.channelShift, &tBits, &tShift,
                 ~fieldMask(8), nullptr);
    }
}

int cFileImage::MaskFromBlack(int sx, int sy, int sw, int sh, void* target, int tx, int ty, int tw,
                              int th, int bytesPerPixel, int pitch, int bits, int shift) {
    PixelView v;
    if (!View(&v) || !v.palette) {
        logPrintf("image: MaskFromBlack needs an 8-bit TGA image\n");
        return -1;
    }
    Target t{static_cast<unsigned char*>(target), tx, ty, tw, th, bytesPerPixel, pitch};
    return boxFilter(*this, "MaskFromBlack", v.top, v.pitch, v.bytesPerPixel, v.palette, sx, sy, sw,
                     sh, t, FilterMode::Mask, 1, v.bits, v.shift, &bits, &shift);
}

int cFileImage::ExtractChannel(int sx, int sy, int sw, int sh, void* target, int tx, int ty, int tw,
                               int th, int bytesPerPixel, int pitch, int bits, int shift) {
    PixelView v;
    if (!View(&v) || v.channelShift < 0) {
        logPrintf("image: ExtractChannel needs an 8-, 24- or 32-bit image\n");
        return -1;
    }
    const int srcBits = 8;
    Target t{static_cast<unsigned char*>(target), tx, ty, tw, th, bytesPerPixel, pitch};
    return boxFilter(*this, "ExtractChannel", v.top, v.pitch, v.bytesPerPixel, v.palette, sx, sy,
                     sw, sh, t, FilterMode::Channel, 1, &srcBits, &v.channelShift, &bits, &shift);
}

int cFileImage::Convert(int sx, int sy, int sw, int sh, void* target, int tx, int ty, int tw,
                        int th, int bytesPerPixel, int pitch, int rBits, int gBits, int bBits,
                        int /*aBits*/, int rShift, int gShift, int bShift, int /*aShift*/) {
    PixelView v;
    if (!View(&v)) {
        logPrintf("image: Convert on a reader without pixels\n");
        return -1;
    }
    const int bits[3] = {rBits, gBits, bBits};
    const int shifts[3] = {rShift, gShift, bShift};
    Target t{static_cast<unsigned char*>(target), tx, ty, tw, th, bytesPerPixel, pitch};
    return boxFilter(*this, "Convert", v.top, v.pitch, v.bytesPerPixel, v.palette, sx, sy, sw, sh,
                     t, FilterMode::Colour, 3, v.bits, v.shift, bits, shifts);
}

void cFileImage::DitherView(const PixelView& view, int rBits, int gBits, int bBits) {
    const int bits[3] = {rBits, gBits, bBits};
    for (int b : bits)
        if (b < 1 || b > 8) return;
    if (view.palette || view.bytesPerPixel < 3) return;
    long error[3] = {0, 0, 0};  // grows without bound where the clamps below cut off
    for (int y = 0; y < height_; ++y) {
        unsigned char* row = view.top + static_cast<long>(y) * view.pitch;
        const bool leftward = (y % 2) == 0;
        for (int k = 0; k < width_; ++k) {
            const int x = leftward ? width_ - 1 - k : k;
            unsigned char* p = row + static_cast<long>(x) * view.bytesPerPixel;
            for (int c = 0; c < 3; ++c) {
                const int step = 1 << (8 - bits[c]);
                unsigned char& byte = p[view.shift[c] / 8];
                const long wanted = byte + error[c];
                long cut = (wanted + step / 2) & ~static_cast<long>(step - 1);
                if (cut > 255) cut = 256 - step;
                if (cut < 0) cut = 0;
                error[c] = wanted - cut;
                byte = static_cast<unsigned char>(cut);
            }
        }
    }
}

cFileImage* imageOpen(const char* name) {
    if (!name) return nullptr;
    if (imageNameHas(name, ".tga")) return new cTGAImage;
    if (imageNameHas(name, ".jpg")) return new cJPGImage;
    if (imageNameHas(name, ".png")) return new cPNGImage;
    return nullptr;
}
