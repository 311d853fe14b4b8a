// Tests of the software mixer, driven through mixerFill without an audio device.
#include "engine/snd/mixer.h"
#include "fixtures.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstring>
#include <thread>

namespace {

// A buffer holding these bytes.
MixBuffer* bufferOf(const Bytes& pcm, int channels, int rate, int bits) {
    MixBuffer* b = mixCreateBuffer(static_cast<int>(pcm.size()), channels, rate, bits);
    EXPECT_NE(b, nullptr);
    if (!b) return nullptr;
    void *p1, *p2;
    int n1, n2;
    EXPECT_EQ(mixLock(b, 0, static_cast<int>(pcm.size()), &p1, &n1, &p2, &n2), 0);
    EXPECT_EQ(n1, static_cast<int>(pcm.size()));
    EXPECT_EQ(n2, 0);
    memcpy(p1, pcm.data(), pcm.size());
    EXPECT_EQ(mixUnlock(b, p1, n1, p2, n2), 0);
    return b;
}

std::vector<int16_t> fill(int frames) {
    std::vector<int16_t> out(2 * frames, 12345);
    mixerFill(out.data(), frames);
    return out;
}

std::vector<int16_t> ramp(int frames, int channels) {
    std::vector<int16_t> s;
    for (int i = 0; i < frames * channels; ++i) s.push_back(static_cast<int16_t>(i * 97 - 5000));
    return s;
}

std::vector<int16_t> constant(int frames, int16_t value) { return std::vector<int16_t>(frames, value); }

}  // namespace

TEST(Mixer, UnityGainGivesTheSamplesBack) {
    EXPECT_EQ(fill(16), std::vector<int16_t>(32, 0));

    auto stereo = ramp(100, 2);
    MixBuffer* b = bufferOf(toBytes(stereo), 2, MIX_RATE, 16);
    mixPlay(b, 0);
    EXPECT_EQ(mixStatus(b), MIX_PLAYING);
    auto out = fill(130);
    EXPECT_EQ(std::vector<int16_t>(out.begin(), out.begin() + 200), stereo);
    EXPECT_EQ(std::vector<int16_t>(out.begin() + 200, out.end()), std::vector<int16_t>(60, 0));
    mixRelease(b);

    auto mono = ramp(50, 1);
    b = bufferOf(toBytes(mono), 1, MIX_RATE, 16);
    mixPlay(b, 0);
    out = fill(50);
    for (int i = 0; i < 50; ++i) {
        EXPECT_EQ(out[2 * i], mono[i]);
        EXPECT_EQ(out[2 * i + 1], mono[i]);
    }
    mixRelease(b);
}

TEST(Mixer, OverlappingBuffersAddAndSaturate) {
    struct Case {
        int16_t a, b, sum;
    } cases[] = {{1000, 2000, 3000}, {-700, 300, -400}, {20000, 20000, 32767}, {-20000, -20000, -32768}};
    for (const Case& c : cases) {
        MixBuffer* a = bufferOf(toBytes(constant(64, c.a)), 1, MIX_RATE, 16);
        MixBuffer* b = bufferOf(toBytes(constant(64, c.b)), 1, MIX_RATE, 16);
        mixPlay(a, 1);
        mixPlay(b, 1);
        auto out = fill(200);
        EXPECT_EQ(out, std::vector<int16_t>(400, c.sum)) << c.a << " + " << c.b;
        mixRelease(a);
        mixRelease(b);
    }
}

TEST(Mixer, VolumeAndPan) {
    struct Case {
        int volume, pan;
        double left, right;  // expected gains
        int storedVolume, storedPan;
    } cases[] = {
        {0, 0, 1, 1, 0, 0},
        {-600, 0, 0.5012, 0.5012, -600, 0},
        {-2000, 0, 0.1, 0.1, -2000, 0},
        {-10000, 0, 0, 0, -10000, 0},
        {0, -10000, 1, 0, 0, -10000},
        {0, 2000, 0.1, 1, 0, 2000},
        {-2000, -2000, 0.1, 0.01, -2000, -2000},
        {500, -20000, 1, 0, 0, -10000},
        {-30000, 30000, 0, 0, -10000, 10000},
    };
    const int16_t level = 16384;
    for (const Case& c : cases) {
        MixBuffer* b = bufferOf(toBytes(constant(32, level)), 1, MIX_RATE, 16);
        mixSetVolume(b, c.volume);
        mixSetPan(b, c.pan);
        EXPECT_EQ(mixGetVolume(b), c.storedVolume);
        EXPECT_EQ(mixGetPan(b), c.storedPan);
        mixPlay(b, 1);
        auto out = fill(8);
        EXPECT_NEAR(out[0], level * c.left, 1.5) << c.volume << " " << c.pan;
        EXPECT_NEAR(out[1], level * c.right, 1.5) << c.volume << " " << c.pan;
        mixRelease(b);
    }

    MixBuffer* b = mixCreateBuffer(64, 1, 22050, 16);
    EXPECT_EQ(mixGetFrequency(b), 22050);
    mixSetFrequency(b, 50);
    EXPECT_EQ(mixGetFrequency(b), 100);
    mixSetFrequency(b, 10 * MIX_RATE);
    EXPECT_EQ(mixGetFrequency(b), 200000);
    mixRelease(b);
}

TEST(Mixer, RefusesFormatsItCannotPlay) {
    struct Case {
        int bytes, channels, rate, bits;
    } cases[] = {{100, 3, 22050, 16}, {100, 0, 22050, 16}, {100, 1, 22050, 24}, {100, 1, 99, 16},
                 {100, 1, 200001, 16}, {3, 2, 22050, 16},  {0, 1, 22050, 8}};
    for (const Case& c : cases) EXPECT_EQ(mixCreateBuffer(c.bytes, c.channels, c.rate, c.bits), nullptr);
}

// One second of a 500 Hz sine in several source formats comes out as one second at the device
// rate with 1000 zero crossings.
TEST(Mixer, ResamplesToTheDeviceRate) {
    struct Case {
        int channels, rate, bits;
    } cases[] = {{1, 22050, 16}, {1, 11025, 8}, {2, 22050, 8}, {2, 48000, 16}, {1, 8000, 16}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.channels << "ch " << c.rate << " Hz " << c.bits << " bits");
        auto wave = sine(c.rate, c.channels, c.rate, 500);
        Bytes pcm = toBytes(wave);
        if (c.bits == 8) {
            pcm.clear();
            for (int16_t v : wave) pcm.push_back(static_cast<uint8_t>((v >> 8) + 128));
        }
        MixBuffer* b = bufferOf(pcm, c.channels, c.rate, c.bits);
        mixPlay(b, 0);

        auto out = fill(1000);
        int play = -1;
        mixGetPosition(b, &play, nullptr);
        const int frameBytes = c.channels * c.bits / 8;
        EXPECT_NEAR(play / frameBytes, 1000.0 * c.rate / MIX_RATE, 1);

        auto rest = fill(MIX_RATE - 1000 - 2);
        out.insert(out.end(), rest.begin(), rest.end());
        EXPECT_EQ(mixStatus(b), MIX_PLAYING);
        rest = fill(4);
        out.insert(out.end(), rest.begin(), rest.end());
        EXPECT_EQ(mixStatus(b), 0);

        int crossings = 0, peak = 0;
        for (size_t i = 2; i < out.size(); i += 2) {
            crossings += (out[i - 2] < 0) != (out[i] < 0);
            peak = std::max(peak, std::abs(static_cast<int>(out[i])));
            if (c.channels == 2) {
                EXPECT_EQ(out[i], out[i + 1]);
            }
        }
        EXPECT_NEAR(crossings, 1000, 4);
        EXPECT_NEAR(peak, 23000, 400);
        mixRelease(b);
    }
}

TEST(Mixer, OnceStopsAtTheEndAndLoopingWraps) {
    auto samples = ramp(100, 1);
    MixBuffer* b = bufferOf(toBytes(samples), 1, MIX_RATE, 16);

    mixPlay(b, 0);
    auto out = fill(250);
    EXPECT_EQ(mixStatus(b), 0);
    for (int i = 0; i < 250; ++i) EXPECT_EQ(out[2 * i], i < 100 ? samples[i] : 0) << i;
    int play = -1, write = -1;
    mixGetPosition(b, &play, &write);
    EXPECT_EQ(play, 0);

    mixPlay(b, 1);
    EXPECT_EQ(mixStatus(b), MIX_PLAYING | MIX_LOOPING);
    out = fill(250);
    for (int i = 0; i < 250; ++i) EXPECT_EQ(out[2 * i], samples[i % 100]) << i;
    mixGetPosition(b, &play, &write);
    EXPECT_EQ(play, 50 * 2);
    EXPECT_EQ(write, 52 * 2);

    // Stopping keeps the position; playing again goes on from there.
    mixStop(b);
    EXPECT_EQ(mixStatus(b), 0);
    EXPECT_EQ(fill(10), std::vector<int16_t>(20, 0));
    mixPlay(b, 0);
    EXPECT_EQ(fill(1)[0], samples[50]);
    EXPECT_EQ(mixSetPosition(b, 20 * 2 + 1), 0);
    EXPECT_EQ(fill(1)[0], samples[20]);
    EXPECT_EQ(mixSetPosition(b, 100 * 2), 1);
    mixRelease(b);
}

TEST(Mixer, DuplicateSharesThePcmOnly) {
    auto samples = ramp(64, 1);
    MixBuffer* original = bufferOf(toBytes(constant(64, 0)), 1, MIX_RATE, 16);
    mixSetVolume(original, -600);
    MixBuffer* copy = mixDuplicate(original);
    EXPECT_EQ(mixGetVolume(copy), -600);
    EXPECT_EQ(mixStatus(copy), 0);

    // Written through the original, heard through the duplicate.
    void *p1, *p2;
    int n1, n2;
    ASSERT_EQ(mixLock(original, 0, 128, &p1, &n1, &p2, &n2), 0);
    memcpy(p1, toBytes(samples).data(), 128);
    ASSERT_EQ(mixUnlock(original, p1, n1, p2, n2), 0);

    mixSetVolume(copy, 0);
    EXPECT_EQ(mixGetVolume(original), -600);
    mixPlay(copy, 0);
    auto out = fill(30);
    for (int i = 0; i < 30; ++i) EXPECT_EQ(out[2 * i], samples[i]);
    int play = -1;
    mixGetPosition(original, &play, nullptr);
    EXPECT_EQ(play, 0);
    mixGetPosition(copy, &play, nullptr);
    EXPECT_EQ(play, 60);

    // The PCM lives on with the duplicate.
    mixRelease(original);
    out = fill(40);
    for (int i = 0; i < 34; ++i) EXPECT_EQ(out[2 * i], samples[30 + i]);
    mixRelease(copy);
}

TEST(Mixer, LockRules) {
    MixBuffer* b = mixCreateBuffer(400, 2, MIX_RATE, 16);
    void *p1, *p2, *q1, *q2;
    int n1, n2, m1, m2;
    EXPECT_EQ(mixLock(b, 400, 4, &p1, &n1, &p2, &n2), 1);
    EXPECT_EQ(mixLock(b, 0, 401, &p1, &n1, &p2, &n2), 1);
    EXPECT_EQ(mixLock(b, -4, 8, &p1, &n1, &p2, &n2), 1);
    EXPECT_EQ(mixLock(b, 0, 0, &p1, &n1, &p2, &n2), 1);

    ASSERT_EQ(mixLock(b, 360, 100, &p1, &n1, &p2, &n2), 0);
    EXPECT_EQ(n1, 40);
    EXPECT_EQ(n2, 60);
    EXPECT_EQ(mixLock(b, 0, 4, &q1, &m1, &q2, &m2), 1);
    EXPECT_EQ(mixUnlock(b, p2, n1, p1, n2), 1);
    memset(p1, 0x11, n1);
    memset(p2, 0x22, n2);
    EXPECT_EQ(mixUnlock(b, p1, n1, p2, 20), 0);
    EXPECT_EQ(mixUnlock(b, p1, n1, p2, n2), 1);

    // The parts show the buffer's bytes; only the unlocked lengths were stored.
    ASSERT_EQ(mixLock(b, 0, 400, &p1, &n1, &p2, &n2), 0);
    auto* bytes = static_cast<uint8_t*>(p1);
    EXPECT_EQ(bytes[0], 0x22);
    EXPECT_EQ(bytes[19], 0x22);
    EXPECT_EQ(bytes[20], 0);
    EXPECT_EQ(bytes[359], 0);
    EXPECT_EQ(bytes[360], 0x11);
    EXPECT_EQ(mixUnlock(b, p1, 0, p2, 0), 0);
    mixRelease(b);
}

namespace {

// Frame n of an endless test signal: left and right always equal.
int16_t signal(uint32_t n) { return static_cast<int16_t>(n * 13 + (n >> 9)); }

// Writes frames [from, from + bytes / 4) of the signal through a lock at `offset`.
void writeSignal(MixBuffer* b, int offset, int bytes, uint32_t from) {
    void *p[2];
    int n[2];
    ASSERT_EQ(mixLock(b, offset, bytes, &p[0], &n[0], &p[1], &n[1]), 0);
    for (int part = 0; part < 2; ++part) {
        auto* s = static_cast<int16_t*>(p[part]);
        for (int i = 0; i < n[part] / 4; ++i, ++from) s[2 * i] = s[2 * i + 1] = signal(from);
    }
    ASSERT_EQ(mixUnlock(b, p[0], n[0], p[1], n[1]), 0);
}

// Writes the signal on from where writing stopped up to the play position, as a streamer refills
// its ring; `written` counts the bytes written so far.
void refillToPlay(MixBuffer* b, int ring, uint32_t& written) {
    int play, write;
    mixGetPosition(b, &play, &write);
    int at = static_cast<int>(written % ring);
    int free = play - at + (at > play ? ring : 0);
    if (free > 0) {
        writeSignal(b, at, free, written / 4);
        written += free;
    }
}

}  // namespace

// A ring refilled behind its play position plays the signal without a break, the way the
// streaming engine drives it.
TEST(Mixer, RingPlaysContinuouslyWhileWritten) {
    const int ring = 131072, frames = ring / 4;
    MixBuffer* b = mixCreateBuffer(ring, 2, MIX_RATE, 16);
    writeSignal(b, 0, ring, 0);
    uint32_t written = ring;
    mixPlay(b, 1);
    uint32_t heard = 0;
    while (heard < 5u * frames) {
        auto out = fill(3001);
        for (int i = 0; i < 3001; ++i, ++heard) {
            ASSERT_EQ(out[2 * i], signal(heard)) << heard;
            ASSERT_EQ(out[2 * i + 1], signal(heard));
        }
        refillToPlay(b, ring, written);
    }
    mixRelease(b);
}

// The audio callback mixes on its own thread while another thread refills the ring and
// buffers come and go: every frame it hears is whole.
TEST(Mixer, RefillWhileTheCallbackRuns) {
    const int ring = 8192;
    MixBuffer* b = mixCreateBuffer(ring, 2, MIX_RATE, 16);
    writeSignal(b, 0, ring, 0);
    mixPlay(b, 1);
    std::atomic<bool> done{false};
    std::atomic<int> torn{0};
    std::thread callback([&] {
        std::vector<int16_t> out(2 * 256);
        while (!done) {
            mixerFill(out.data(), 256);
            for (int i = 0; i < 256; ++i) torn += out[2 * i] != out[2 * i + 1];
        }
    });
    uint32_t written = ring;
    for (int round = 0; round < 3000; ++round) {
        refillToPlay(b, ring, written);
        MixBuffer* d = mixDuplicate(b);
        mixSetVolume(d, -10000);
        mixPlay(d, round & 1);
        mixRelease(d);
    }
    done = true;
    callback.join();
    EXPECT_EQ(torn, 0);
    mixRelease(b);
}
