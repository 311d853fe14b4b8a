// Key records, the easing curve, the hit mask and the checked .anm byte reader.
#include "anim/animation_keys.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "core/text.h"
#include "engine/data/file.h"
#include "engine/platform/log.h"

// --- Reader and writer -------------------------------------------------------------------------

AnmReader::AnmReader(const uint8_t* data, size_t size, const char* fileName)
    : data_(data), size_(data ? size : 0), fileName_(fileName ? fileName : "") {}

bool AnmReader::Fail(const char* reason) {
    if (!failed_) logPrintf("%s: offset %zu: %s\n", fileName_, pos_, reason);
    failed_ = true;
    return false;
}

bool AnmReader::take(void* out, size_t n) {
    if (failed_) return false;
    if (Left() < n) return Fail("file ends early");
    memcpy(out, data_ + pos_, n);
    pos_ += n;
    return true;
}

bool AnmReader::I32(int32_t* v) { return take(v, 4); }
bool AnmReader::U32(uint32_t* v) { return take(v, 4); }

bool AnmReader::F32(float* v) {
    if (!take(v, 4)) return false;
    if (!std::isfinite(*v)) {
        pos_ -= 4;
        return Fail("number is not finite");
    }
    return true;
}

bool AnmReader::String(char** text) {
    *text = nullptr;
    int32_t length = 0;
    if (!I32(&length)) return false;
    if (length <= 0) return true;
    if (static_cast<size_t>(length) > Left()) {
        pos_ -= 4;
        return Fail("text length runs past the end of the file");
    }
    *text = strDupN(reinterpret_cast<const char*>(data_ + pos_), length);
    pos_ += static_cast<size_t>(length);
    return true;
}

bool AnmReader::Count(int32_t* count, size_t minSize, const char* what) {
    if (!I32(count)) return false;
    if (*count < 0 || static_cast<size_t>(*count) > Left() / minSize) {
        pos_ -= 4;
        char reason[96];
        safeSnprintf(reason, sizeof reason, "%s count %d does not fit the file", what,
                     static_cast<int>(*count));
        return Fail(reason);
    }
    return true;
}

void AnmWriter::put(const void* p, size_t n) {
    const uint8_t* b = static_cast<const uint8_t*>(p);
    for (size_t i = 0; i < n; ++i) bytes_.push_back(b[i]);
}

void AnmWriter::I32(int32_t v) { put(&v, 4); }
void AnmWriter::U32(uint32_t v) { put(&v, 4); }
void AnmWriter::F32(float v) { put(&v, 4); }

void AnmWriter::String(const char* text) {
    const int32_t length = text ? static_cast<int32_t>(strlen(text)) : 0;
    I32(length);
    put(text, static_cast<size_t>(length));
}

// --- Curve -------------------------------------------------------------------------------------

float C_FilterDesc::Evaluate(float from, float to, float t) const {
    if (t <= 0.0f) return from;
    if (t >= 1.0f) return to;
    float s = t;
    const double a = (static_cast<double>(c2.x) - 2.0) + c1.x;
    if (std::fabs(a) > 0.00001) {
        double roots[3];
        const int n = solveCubic(roots, (3.0 - 2.0 * c2.x - c1.x) / a, c2.x / a, -t / a);
        double chosen = -1.0;
        bool found = false;
        for (int i = 0; i < n; ++i) {
            if (roots[i] < 0.0 || roots[i] > 1.0) continue;
            if (!found || std::fabs(roots[i] - t) < std::fabs(chosen - t)) chosen = roots[i];
            found = true;
        }
        if (found) s = static_cast<float>(chosen);
    }
    const float s2 = s * s, s3 = s * s2;
    return (2 * s3 - 3 * s2 + 1) * from + (-2 * s3 + 3 * s2) * to + (s3 - 2 * s2 + s) * c2.y +
           (s3 - s2) * c1.y;
}

float C_FilterDesc::Blend(float from, float to, float u) const {
    if (kind == 0) return from + (to - from) * u;
    if (kind == 1) return from;
    return Evaluate(from, to, u);
}

bool C_FilterDesc::Read(AnmReader& in) {
    return in.I32(&kind) && in.F32(&c1.x) && in.F32(&c1.y) && in.F32(&c2.x) && in.F32(&c2.y);
}

void C_FilterDesc::Write(AnmWriter& out) const {
    out.I32(kind);
    out.F32(c1.x);
    out.F32(c1.y);
    out.F32(c2.x);
    out.F32(c2.y);
}

// --- Keys --------------------------------------------------------------------------------------

C_KeyBase::~C_KeyBase() { free(sound); }

void C_KeyBase::SetSound(const char* name) {
    free(sound);
    sound = strDup(name);
}

namespace {

// The sound text comes last and replaces the one held.
bool readSound(AnmReader& in, C_KeyBase& key) {
    char* text = nullptr;
    if (!in.String(&text)) return false;
    free(key.sound);
    key.sound = text;
    return true;
}

int32_t result(const AnmReader& in) { return in.Failed() ? kAnimFail : kAnimOk; }

}  // namespace

int32_t C_VectorKey::Read(AnmReader& in) {
    (void)(in.I32(&stop) && in.F32(&time) && in.F32(&value.x) && in.F32(&value.y) &&
           filter[0].Read(in) && filter[1].Read(in) && readSound(in, *this));
    return result(in);
}

int32_t C_VectorKey::Write(AnmWriter& out) const {
    out.I32(stop);
    out.F32(time);
    out.F32(value.x);
    out.F32(value.y);
    filter[0].Write(out);
    filter[1].Write(out);
    out.String(sound);
    return kAnimOk;
}

int32_t C_FloatKey::Read(AnmReader& in) {
    (void)(in.I32(&stop) && in.F32(&time) && in.F32(&value) && filter.Read(in) &&
           readSound(in, *this));
    return result(in);
}

int32_t C_FloatKey::Write(AnmWriter& out) const {
    out.I32(stop);
    out.F32(time);
    out.F32(value);
    filter.Write(out);
    out.String(sound);
    return kAnimOk;
}

int32_t C_ColorKey::Read(AnmReader& in) {
    (void)(in.I32(&stop) && in.F32(&time) && in.U32(&colour) && filter[0].Read(in) &&
           filter[1].Read(in) && filter[2].Read(in) && readSound(in, *this));
    return result(in);
}

int32_t C_ColorKey::Write(AnmWriter& out) const {
    out.I32(stop);
    out.F32(time);
    out.U32(colour);
    for (const C_FilterDesc& f : filter) f.Write(out);
    out.String(sound);
    return kAnimOk;
}

C_SoundKey::C_SoundKey(const char* name_, float time_) : name(strDup(name_)), time(time_) {}
C_SoundKey::~C_SoundKey() { free(name); }

// --- Mask --------------------------------------------------------------------------------------

C_MaskDesc::C_MaskDesc(const char* path_, int width_, int height_, int frames_, int period_)
    : path(strDup(path_)), bits(nullptr), width(width_ > 0 ? width_ : 0),
      height(height_ > 0 ? height_ : 0), rows(0), period(period_), frames(frames_ < 1 ? 1 : frames_) {
    const int64_t r = static_cast<int64_t>(frames) * height;
    rows = r > INT32_MAX ? 0 : static_cast<int>(r);
}

C_MaskDesc::~C_MaskDesc() {
    Free();
    free(path);
}

void C_MaskDesc::Free() { freeAndNull(bits); }

void C_MaskDesc::Load() {
    if (bits) return;
    const int64_t size = static_cast<int64_t>(width) * rows;
    if (size <= 0 || size > INT32_MAX) return;
    bits = static_cast<uint8_t*>(calloc(static_cast<size_t>(size), 1));
    if (!bits || !path) return;
    unsigned char* block = nullptr;
    const int got = fileLoad(path, &block);
    if (block) {
        memcpy(bits, block, static_cast<size_t>(got < size ? got : size));
        memFree(block);
    }
}

bool C_MaskDesc::HitTest(int x, int y, int timeMs) const {
    if (!bits || x < 0 || y < 0 || x >= width || y >= height) return false;
    // A negative time would pick a frame before the mask.
    if (timeMs < 0) return false;
    int frame = 0;
    if (frames > 1 && period / frames > 0) frame = (timeMs / (period / frames)) % frames;
    const int row = frame * height + y;
    if (row >= rows) return false;
    return bits[static_cast<size_t>(row) * width + x] >= 11;
}
