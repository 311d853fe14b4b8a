// The software mixer: buffer bookkeeping, volume and pan gains, resampling and the mix itself.
#include "engine/snd/mixer.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <mutex>

namespace {

// PCM shared by a buffer and its duplicates.
struct MixData {
    int references;
    int size;
    unsigned char* bytes;
};

}  // namespace

struct MixBuffer {
    MixBuffer* previous;
    MixBuffer* next;
    MixData* data;
    int channels;
    int bits;
    int frameBytes;
    uint32_t frames;
    int volume;
    int pan;
    int frequency;
    float gainLeft;
    float gainRight;
    uint64_t step;      // source frames per output frame, 32.32 fixed point
    uint64_t position;  // source frame to mix next, 32.32 fixed point
    bool playing;
    bool looping;
    unsigned char* lockCopy;  // the private copy handed out by mixLock, null when unlocked
    int lockOffset;
    int lockBytes;
};

namespace {

// The lock boundary: the audio callback (mixerFill), the stream thread (mixLock/mixUnlock) and
// the main thread meet here. Every MixBuffer field, the buffer list and the PCM bytes are
// touched only while holding gLock.
std::mutex gLock;
MixBuffer* gFirst = nullptr;

template <typename T>
T clampTo(T value, T low, T high) {
    return value < low ? low : value > high ? high : value;
}

// Hundredths of a decibel to an amplitude factor; the bottom of the range is true silence.
float attenuation(int hundredths) {
    if (hundredths <= MIX_VOLUME_MIN) return 0.0f;
    return powf(10.0f, static_cast<float>(hundredths) / 2000.0f);
}

void updateGains(MixBuffer* b) {
    float level = attenuation(b->volume);
    b->gainLeft = b->pan > 0 ? level * attenuation(-b->pan) : level;
    b->gainRight = b->pan < 0 ? level * attenuation(b->pan) : level;
}

void updateStep(MixBuffer* b) {
    b->step = (static_cast<uint64_t>(b->frequency) << 32) / MIX_RATE;
}

void link(MixBuffer* b) {
    b->previous = nullptr;
    b->next = gFirst;
    if (gFirst) gFirst->previous = b;
    gFirst = b;
}

void unlink(MixBuffer* b) {
    if (b->previous) b->previous->next = b->next;
    else gFirst = b->next;
    if (b->next) b->next->previous = b->previous;
    b->previous = b->next = nullptr;
}

template <int Bits>
float sampleAt(const unsigned char* p) {
    if (Bits == 8) return static_cast<float>((static_cast<int>(p[0]) - 128) * 256);
    return static_cast<float>(static_cast<int16_t>(p[0] | p[1] << 8));
}

// Adds `frames` output frames of one playing buffer into acc (interleaved left/right), reading
// the source by linear interpolation between the frame at the position and the next one.
template <int Bits, int Channels>
void mixBuffer(MixBuffer* b, int32_t* acc, int frames) {
    const unsigned char* pcm = b->data->bytes;
    const uint32_t count = b->frames;
    const uint64_t end = static_cast<uint64_t>(count) << 32;
    const int frameBytes = b->frameBytes;
    const float left = b->gainLeft, right = b->gainRight;
    uint64_t position = b->position;
    for (int i = 0; i < frames; ++i) {
        uint32_t at = static_cast<uint32_t>(position >> 32);
        // The frame after the last one is the first again when looping; a once buffer holds
        // its last frame.
        uint32_t after = at + 1 < count ? at + 1 : b->looping ? 0 : at;
        float t = static_cast<float>(static_cast<uint32_t>(position)) * (1.0f / 4294967296.0f);
        const unsigned char* p = pcm + static_cast<size_t>(at) * frameBytes;
        const unsigned char* q = pcm + static_cast<size_t>(after) * frameBytes;
        float l0 = sampleAt<Bits>(p);
        float l = l0 + (sampleAt<Bits>(q) - l0) * t;
        float r = l;
        if (Channels == 2) {
            float r0 = sampleAt<Bits>(p + Bits / 8);
            r = r0 + (sampleAt<Bits>(q + Bits / 8) - r0) * t;
        }
        acc[2 * i] += static_cast<int32_t>(l * left);
        acc[2 * i + 1] += static_cast<int32_t>(r * right);
        position += b->step;
        if (position >= end) {
            if (b->looping) {
                position %= end;
            } else {
                b->playing = false;
                position = 0;
                break;
            }
        }
    }
    b->position = position;
}

void mixAny(MixBuffer* b, int32_t* acc, int frames) {
    if (b->bits == 8) {
        if (b->channels == 1) mixBuffer<8, 1>(b, acc, frames);
        else mixBuffer<8, 2>(b, acc, frames);
    } else {
        if (b->channels == 1) mixBuffer<16, 1>(b, acc, frames);
        else mixBuffer<16, 2>(b, acc, frames);
    }
}

}  // namespace

MixBuffer* mixCreateBuffer(int bytes, int channels, int rate, int bits) {
    if (channels != 1 && channels != 2) return nullptr;
    if (bits != 8 && bits != 16) return nullptr;
    if (rate < MIX_FREQUENCY_MIN || rate > MIX_FREQUENCY_MAX) return nullptr;
    int frameBytes = channels * bits / 8;
    if (bytes < frameBytes) return nullptr;
    int size = bytes / frameBytes * frameBytes;

    auto* data = static_cast<MixData*>(malloc(sizeof(MixData)));
    auto* pcm = static_cast<unsigned char*>(malloc(size));
    auto* b = static_cast<MixBuffer*>(calloc(1, sizeof(MixBuffer)));
    if (!data || !pcm || !b) {
        free(data);
        free(pcm);
        free(b);
        return nullptr;
    }
    memset(pcm, bits == 8 ? 0x80 : 0, size);
    data->references = 1;
    data->size = size;
    data->bytes = pcm;
    b->data = data;
    b->channels = channels;
    b->bits = bits;
    b->frameBytes = frameBytes;
    b->frames = static_cast<uint32_t>(size / frameBytes);
    b->volume = MIX_VOLUME_MAX;
    b->pan = MIX_PAN_CENTER;
    b->frequency = rate;
    updateGains(b);
    updateStep(b);
    std::lock_guard<std::mutex> hold(gLock);
    link(b);
    return b;
}

MixBuffer* mixDuplicate(MixBuffer* original) {
    if (!original) return nullptr;
    auto* b = static_cast<MixBuffer*>(malloc(sizeof(MixBuffer)));
    if (!b) return nullptr;
    std::lock_guard<std::mutex> hold(gLock);
    *b = *original;
    b->data->references++;
    b->position = 0;
    b->playing = false;
    b->looping = false;
    b->lockCopy = nullptr;
    b->lockOffset = b->lockBytes = 0;
    link(b);
    return b;
}

void mixRelease(MixBuffer* buffer) {
    if (!buffer) return;
    MixData* unused = nullptr;
    {
        std::lock_guard<std::mutex> hold(gLock);
        unlink(buffer);
        if (--buffer->data->references == 0) unused = buffer->data;
    }
    if (unused) {
        free(unused->bytes);
        free(unused);
    }
    free(buffer->lockCopy);
    free(buffer);
}

void mixPlay(MixBuffer* buffer, int loop) {
    if (!buffer) return;
    std::lock_guard<std::mutex> hold(gLock);
    buffer->playing = true;
    buffer->looping = loop != 0;
}

void mixStop(MixBuffer* buffer) {
    if (!buffer) return;
    std::lock_guard<std::mutex> hold(gLock);
    buffer->playing = false;
}

int mixStatus(MixBuffer* buffer) {
    if (!buffer) return 0;
    std::lock_guard<std::mutex> hold(gLock);
    if (!buffer->playing) return 0;
    return MIX_PLAYING | (buffer->looping ? MIX_LOOPING : 0);
}

void mixSetVolume(MixBuffer* buffer, int volume) {
    if (!buffer) return;
    std::lock_guard<std::mutex> hold(gLock);
    buffer->volume = clampTo<int>(volume, MIX_VOLUME_MIN, MIX_VOLUME_MAX);
    updateGains(buffer);
}

int mixGetVolume(MixBuffer* buffer) {
    if (!buffer) return 0;
    std::lock_guard<std::mutex> hold(gLock);
    return buffer->volume;
}

void mixSetPan(MixBuffer* buffer, int pan) {
    if (!buffer) return;
    std::lock_guard<std::mutex> hold(gLock);
    buffer->pan = clampTo<int>(pan, MIX_PAN_LEFT, MIX_PAN_RIGHT);
    updateGains(buffer);
}

int mixGetPan(MixBuffer* buffer) {
    if (!buffer) return 0;
    std::lock_guard<std::mutex> hold(gLock);
    return buffer->pan;
}

void mixSetFrequency(MixBuffer* buffer, int frequency) {
    if (!buffer) return;
    std::lock_guard<std::mutex> hold(gLock);
    buffer->frequency = clampTo<int>(frequency, MIX_FREQUENCY_MIN, MIX_FREQUENCY_MAX);
    updateStep(buffer);
}

int mixGetFrequency(MixBuffer* buffer) {
    if (!buffer) return 0;
    std::lock_guard<std::mutex> hold(gLock);
    return buffer->frequency;
}

void mixGetPosition(MixBuffer* buffer, int* play, int* write) {
    int p = 0, w = 0;
    if (buffer) {
        std::lock_guard<std::mutex> hold(gLock);
        uint32_t at = static_cast<uint32_t>(buffer->position >> 32);
        // The next mix reads the frame at the position and the one after it.
        p = static_cast<int>(at) * buffer->frameBytes;
        w = static_cast<int>((at + 2) % buffer->frames) * buffer->frameBytes;
    }
    if (play) *play = p;
    if (write) *write = w;
}

int mixSetPosition(MixBuffer* buffer, int offset) {
    if (!buffer) return 1;
    std::lock_guard<std::mutex> hold(gLock);
    if (offset < 0 || offset >= buffer->data->size) return 1;
    buffer->position = static_cast<uint64_t>(offset / buffer->frameBytes) << 32;
    return 0;
}

int mixLock(MixBuffer* buffer, int offset, int bytes, void** part1, int* bytes1, void** part2,
            int* bytes2) {
    if (!buffer || !part1 || !bytes1 || bytes <= 0 || offset < 0) return 1;
    auto* copy = static_cast<unsigned char*>(malloc(bytes));
    if (!copy) return 1;
    std::unique_lock<std::mutex> hold(gLock);
    const int size = buffer->data->size;
    const int first = bytes < size - offset ? bytes : size - offset;
    const int second = bytes - first;
    if (buffer->lockCopy || offset >= size || bytes > size || (second > 0 && (!part2 || !bytes2))) {
        hold.unlock();
        free(copy);
        return 1;
    }
    memcpy(copy, buffer->data->bytes + offset, first);
    memcpy(copy + first, buffer->data->bytes, second);
    buffer->lockCopy = copy;
    buffer->lockOffset = offset;
    buffer->lockBytes = bytes;
    hold.unlock();
    *part1 = copy;
    *bytes1 = first;
    if (part2) *part2 = second > 0 ? copy + first : nullptr;
    if (bytes2) *bytes2 = second;
    return 0;
}

int mixUnlock(MixBuffer* buffer, void* part1, int bytes1, void* part2, int bytes2) {
    if (!buffer) return 1;
    unsigned char* copy = nullptr;
    {
        std::lock_guard<std::mutex> hold(gLock);
        copy = buffer->lockCopy;
        if (!copy || part1 != copy) return 1;
        const int size = buffer->data->size;
        const int offset = buffer->lockOffset;
        const int first = buffer->lockBytes < size - offset ? buffer->lockBytes : size - offset;
        const int second = buffer->lockBytes - first;
        if (second > 0 && part2 != copy + first) return 1;
        memcpy(buffer->data->bytes + offset, copy, clampTo(bytes1, 0, first));
        if (second > 0) memcpy(buffer->data->bytes, copy + first, clampTo(bytes2, 0, second));
        buffer->lockCopy = nullptr;
    }
    free(copy);
    return 0;
}

void mixerFill(int16_t* out, int frames) {
    if (!out || frames <= 0) return;
    enum { BLOCK = 256 };
    int32_t acc[BLOCK * 2];
    std::lock_guard<std::mutex> hold(gLock);
    for (int done = 0; done < frames; done += BLOCK) {
        const int n = frames - done < BLOCK ? frames - done : BLOCK;
        memset(acc, 0, sizeof acc);
        for (MixBuffer* b = gFirst; b; b = b->next)
            if (b->playing) mixAny(b, acc, n);
        int16_t* o = out + 2 * done;
        for (int i = 0; i < 2 * n; ++i) o[i] = static_cast<int16_t>(clampTo<int32_t>(acc[i], -32768, 32767));
    }
}
