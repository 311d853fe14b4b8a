// The key classes of the animation tracks, the easing curve between keys, the per-pixel hit
// mask, and the checked byte reader and writer of the .anm format.
#pragma once

#include <cstddef>
#include <cstdint>

#include "anim/matrix.h"
#include "core/array.h"
#include "core/values.h"

// Reads the little-endian fields of a whole .anm file held in memory. Every count and length is
// checked against the bytes left; the first problem is logged once, as "<file>: offset <n>:
// <reason>", and every later read fails too.
class AnmReader {
public:
    AnmReader(const uint8_t* data, size_t size, const char* fileName);

    bool I32(int32_t* v);
    bool U32(uint32_t* v);
    // Refuses NaN and infinities, which would reach the drawing's integer conversions.
    bool F32(float* v);
    // A length, then that many bytes: a new malloc text, or null for a length of 0 or below.
    bool String(char** text);
    // A count that must be 0 or more and leave room for count records of at least minSize bytes.
    bool Count(int32_t* count, size_t minSize, const char* what);

    bool Fail(const char* reason);
    bool Failed() const { return failed_; }
    size_t Left() const { return size_ - pos_; }
    size_t Offset() const { return pos_; }

private:
    bool take(void* out, size_t n);

    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
    const char* fileName_;
    bool failed_ = false;
};

// Collects the bytes of a .anm file in memory, to be saved in one go.
class AnmWriter {
public:
    void I32(int32_t v);
    void U32(uint32_t v);
    void F32(float v);
    // The length (0 for null) and the bytes.
    void String(const char* text);

    const uint8_t* Data() const { return bytes_.size() ? &bytes_[0] : nullptr; }
    int Size() const { return static_cast<int>(bytes_.size()); }

private:
    void put(const void* p, size_t n);
    cArray<uint8_t> bytes_;
};

// The curve of a segment, read from the later key: kind 0 linear, 1 hold, else a cubic Hermite
// curve whose time axis runs from 0 to 1 with the slopes c2x (start) and c1x (end), and whose
// value runs from `from` to `to` with the absolute slopes c2y (start) and c1y (end).
class C_FilterDesc {
public:
    C_FilterDesc() : kind(0), c1(1.0f, 0.0f), c2(1.0f, 0.0f) {}
    virtual ~C_FilterDesc() {}

    // The eased value at the normalised time t (from at t <= 0, to at t >= 1).
    float Evaluate(float from, float to, float t) const;
    // The value of the segment by this filter's kind.
    float Blend(float from, float to, float u) const;

    bool Read(AnmReader& in);
    void Write(AnmWriter& out) const;

    int32_t kind;
    Vec2f c1, c2;
};

// Fields every key has. A positive stop number also makes the key a stop of that kind; a sound
// is started when playback passes the key's time.
struct C_KeyBase {
    C_KeyBase() = default;
    C_KeyBase(const C_KeyBase&) = delete;
    C_KeyBase& operator=(const C_KeyBase&) = delete;
    ~C_KeyBase();

    // Replaces the sound with a copy of name (none for null or empty).
    void SetSound(const char* name);

    int32_t stop = 0;
    char* sound = nullptr;
    float time = 0.0f;
};

// 60 bytes in the file plus the sound text.
class C_VectorKey : public C_KeyBase {
public:
    C_VectorKey() : value(0.0f, 0.0f) {}
    virtual ~C_VectorKey() {}
    int32_t Read(AnmReader& in);
    int32_t Write(AnmWriter& out) const;

    Vec2f value;
    C_FilterDesc filter[2];  // x, y
};

// 36 bytes in the file plus the sound text.
class C_FloatKey : public C_KeyBase {
public:
    virtual ~C_FloatKey() {}
    int32_t Read(AnmReader& in);
    int32_t Write(AnmWriter& out) const;

    float value = 0.0f;
    C_FilterDesc filter;
};

// 76 bytes in the file plus the sound text. Colour bits 0-7 red, 8-15 green, 16-23 blue.
class C_ColorKey : public C_KeyBase {
public:
    virtual ~C_ColorKey() {}
    int32_t Read(AnmReader& in);
    int32_t Write(AnmWriter& out) const;

    uint32_t colour = 0xFFFFFFu;
    C_FilterDesc filter[3];  // red, green, blue
};

constexpr size_t kVectorKeyBytes = 60;
constexpr size_t kFloatKeyBytes = 36;
constexpr size_t kColorKeyBytes = 76;

// Stop kinds: a mark is a place a skip lands on, a stop holds playback until a key.
constexpr int32_t kStopMark = 1;
constexpr int32_t kStopHold = 2;

// Held by value in an animation's stop list.
class C_StopKey {
public:
    C_StopKey() : passed(0), kind(kStopMark), time(0.0f) {}
    C_StopKey(int32_t kind_, float time_) : passed(0), kind(kind_), time(time_) {}
    virtual ~C_StopKey() {}

    int32_t passed;
    int32_t kind;
    float time;
};

class C_SoundKey {
public:
    C_SoundKey(const char* name = nullptr, float time = 0.0f);
    virtual ~C_SoundKey();
    C_SoundKey(const C_SoundKey&) = delete;
    C_SoundKey& operator=(const C_SoundKey&) = delete;

    char* name;
    float time;
};

// A raw hit mask: one byte per pixel, rows of width bytes, frame after frame; bytes above 10
// are solid.
class C_MaskDesc {
public:
    // A frame count below 1 counts as 1.
    C_MaskDesc(const char* path, int width, int height, int frames, int period);
    virtual ~C_MaskDesc();
    C_MaskDesc(const C_MaskDesc&) = delete;
    C_MaskDesc& operator=(const C_MaskDesc&) = delete;

    // Reads the file when no bits are held yet; a missing file leaves the mask all transparent.
    void Load();
    bool HitTest(int x, int y, int timeMs) const;
    void Free();

    char* path;
    uint8_t* bits;
    int width, height, rows, period, frames;
};
