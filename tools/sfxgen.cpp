// Synthesises the bundled sound effects (16-bit PCM WAV) and the looping theme (Ogg Vorbis).
// Everything is computed from fixed seeds, so every run writes the same files.
#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <string>
#include <vector>

namespace {

constexpr double kTwoPi = 6.283185307179586;

// xorshift32: a fixed seed gives the same noise on every machine.
class Noise {
public:
    explicit Noise(uint32_t seed) : state_(seed) {}
    float next() {  // uniform in [-1, 1)
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return static_cast<float>(state_ >> 8) / 8388608.0f - 1.0f;
    }

private:
    uint32_t state_;
};

// Interleaved float samples in [-1, 1].
struct Sound {
    int rate;
    int channels;
    std::vector<float> samples;

    Sound(int r, int c, double seconds)
        : rate(r), channels(c), samples(static_cast<size_t>(seconds * r) * c, 0.0f) {}
    size_t frames() const { return samples.size() / channels; }
    float& at(size_t frame, int channel) { return samples[frame * channels + channel]; }
};

void put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}
void put32(std::vector<uint8_t>& out, uint32_t v) {
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}
void putTag(std::vector<uint8_t>& out, const char* tag) { out.insert(out.end(), tag, tag + 4); }

int16_t toPcm(float v) {
    return static_cast<int16_t>(lrintf(std::clamp(v, -1.0f, 1.0f) * 32767.0f));
}

bool writeWav(const std::string& path, const Sound& s) {
    const uint32_t dataBytes = static_cast<uint32_t>(s.samples.size() * 2);
    const uint32_t blockAlign = static_cast<uint32_t>(s.channels * 2);
    std::vector<uint8_t> out;
    putTag(out, "RIFF");
    put32(out, 36 + dataBytes);
    putTag(out, "WAVE");
    putTag(out, "fmt ");
    put32(out, 16);
    put16(out, 1);  // PCM
    put16(out, static_cast<uint32_t>(s.channels));
    put32(out, static_cast<uint32_t>(s.rate));
    put32(out, static_cast<uint32_t>(s.rate) * blockAlign);
    put16(out, blockAlign);
    put16(out, 16);
    putTag(out, "data");
    put32(out, dataBytes);
    for (float v : s.samples) put16(out, static_cast<uint16_t>(toPcm(v)));

    FILE* f = fopen(path.c_str(), "wb");
    if (!f) {
        perror(path.c_str());
        return false;
    }
    bool ok = fwrite(out.data(), 1, out.size(), f) == out.size();
    ok = fclose(f) == 0 && ok;
    if (!ok) fprintf(stderr, "%s: write failed\n", path.c_str());
    return ok;
}

void normalise(Sound& s, float peak) {
    float top = 0.0f;
    for (float v : s.samples) top = std::max(top, std::fabs(v));
    if (top > 0.0f)
        for (float& v : s.samples) v *= peak / top;
}

// A short tick of a sine and a noise burst; two pitches give two variants of one button sound.
Sound makeClick(double pitch, uint32_t seed) {
    Sound s(22050, 1, 0.05);
    Noise noise(seed);
    for (size_t i = 0; i < s.frames(); ++i) {
        const double t = static_cast<double>(i) / s.rate;
        const double env = std::min(1.0, t / 0.0008) * std::exp(-t / 0.007);
        s.at(i, 0) = static_cast<float>(env * (0.65 * std::sin(kTwoPi * pitch * t) +
                                               0.35 * noise.next()));
    }
    normalise(s, 0.7f);
    return s;
}

// One struck bell: inharmonic partials, the higher ones dying sooner.
void addBell(Sound& s, double start, double pitch, double gain, double decay, int channel) {
    static const double ratio[] = {1.0, 2.0, 2.76, 5.4};
    static const double level[] = {1.0, 0.45, 0.25, 0.08};
    const size_t first = static_cast<size_t>(start * s.rate);
    for (size_t i = first; i < s.frames(); ++i) {
        const double t = static_cast<double>(i - first) / s.rate;
        double v = 0.0;
        for (int p = 0; p < 4; ++p)
            v += level[p] * std::exp(-t * (1.0 + p) / decay) * std::sin(kTwoPi * pitch * ratio[p] * t);
        v *= gain * std::min(1.0, t / 0.003);
        for (int c = 0; c < s.channels; ++c)
            if (channel < 0 || channel == c) s.at(i, c) += static_cast<float>(v);
    }
}

// Ding-dong of a door bell: E5 then C5.
Sound makeDoorBell() {
    Sound s(22050, 1, 1.6);
    addBell(s, 0.0, 659.25, 1.0, 0.55, -1);
    addBell(s, 0.45, 523.25, 1.0, 0.7, -1);
    normalise(s, 0.8f);
    return s;
}

// A cash register: the drawer's rattle, then a bright bell cluster, slightly detuned per side.
Sound makeKaChing() {
    Sound s(44100, 2, 0.9);
    Noise noise(0x4B41u);
    for (size_t i = 0; i < static_cast<size_t>(0.07 * s.rate); ++i) {
        const double t = static_cast<double>(i) / s.rate;
        const double env = std::exp(-t / 0.012) + 0.6 * std::exp(-std::fabs(t - 0.035) / 0.004);
        const float thump = static_cast<float>(0.5 * std::exp(-t / 0.02) * std::sin(kTwoPi * 180.0 * t));
        const float n = noise.next();
        s.at(i, 0) += static_cast<float>(0.6 * env) * n + thump;
        s.at(i, 1) += static_cast<float>(0.6 * env) * n + thump;
    }
    static const double notes[] = {2093.0, 2637.0, 3136.0, 4186.0};
    for (int n = 0; n < 4; ++n) {
        addBell(s, 0.08, notes[n] * 0.998, 0.5 / (1 + n), 0.25, 0);
        addBell(s, 0.08, notes[n] * 1.002, 0.5 / (1 + n), 0.25, 1);
    }
    normalise(s, 0.85f);
    return s;
}

// Noise through a band-pass that sweeps up and down while it moves from left to right.
Sound makeWhoosh() {
    Sound s(44100, 2, 0.55);
    Noise noise(0x5748u);
    double low = 0.0, band = 0.0;  // state-variable filter
    const double length = static_cast<double>(s.frames());
    for (size_t i = 0; i < s.frames(); ++i) {
        const double u = static_cast<double>(i) / length;
        const double centre = 300.0 + 2200.0 * std::sin(3.14159265 * u);
        const double f = 2.0 * std::sin(3.14159265 * centre / s.rate);
        const double in = noise.next();
        low += f * band;
        const double high = in - low - 0.7 * band;
        band += f * high;
        const double env = std::pow(std::sin(3.14159265 * u), 1.5);
        const double v = 1.2 * band * env;
        s.at(i, 0) = static_cast<float>(v * std::cos(0.5 * 3.14159265 * u));
        s.at(i, 1) = static_cast<float>(v * std::sin(0.5 * 3.14159265 * u));
    }
    normalise(s, 0.7f);
    return s;
}

// A firework rising: a whistle gliding up from 900 Hz to 2600 Hz over a hiss, fading at the top.
Sound makeSaluteStart() {
    Sound s(44100, 1, 0.9);
    Noise noise(0x5A17u);
    double phase = 0.0, hiss = 0.0;
    const double length = static_cast<double>(s.frames());
    for (size_t i = 0; i < s.frames(); ++i) {
        const double u = static_cast<double>(i) / length;
        phase += kTwoPi * (900.0 + 1700.0 * u * u) / s.rate;
        hiss += 0.2 * (noise.next() - hiss);
        const double env = std::min(1.0, u * 20.0) * (1.0 - u);
        s.at(i, 0) = static_cast<float>(env * (0.5 * std::sin(phase) + 0.6 * hiss));
    }
    normalise(s, 0.6f);
    return s;
}

// A firework bursting: a thump and a crackling noise tail dying away in a second.
Sound makeSaluteExplosion() {
    Sound s(44100, 2, 1.2);
    Noise noise(0xB0077u);
    double low = 0.0;
    const double length = static_cast<double>(s.frames());
    for (size_t i = 0; i < s.frames(); ++i) {
        const double t = static_cast<double>(i) / s.rate;
        const double u = static_cast<double>(i) / length;
        const double n = noise.next();
        low += 0.08 * (n - low);
        const double thump = std::sin(kTwoPi * 60.0 * t) * std::exp(-t * 9.0);
        const double crackle = (std::fabs(n) > 0.97 ? n : 0.0) * std::exp(-t * 2.5);
        const double v = (2.5 * low * std::exp(-t * 4.0) + thump + 0.8 * crackle) * (1.0 - u);
        s.at(i, 0) = static_cast<float>(v);
        s.at(i, 1) = static_cast<float>(v * (0.8 + 0.2 * std::cos(kTwoPi * 3.0 * t)));
    }
    normalise(s, 0.8f);
    return s;
}

// An alarm clock: a fast-struck small bell, twenty strokes a second for 0.8 s.
Sound makeAlarmClock() {
    Sound s(22050, 1, 0.9);
    for (int i = 0; i < 16; ++i) addBell(s, i * 0.05, i % 2 ? 2480.0 : 2620.0, 0.6, 0.04, -1);
    normalise(s, 0.7f);
    return s;
}

// Something breaking: a burst of falling noise over a low knock.
Sound makeBroke() {
    Sound s(22050, 1, 0.6);
    Noise noise(0xB80Eu);
    for (size_t i = 0; i < s.frames(); ++i) {
        const double t = static_cast<double>(i) / s.rate;
        const double knock = std::exp(-t / 0.05) * std::sin(kTwoPi * (120.0 - 60.0 * t) * t);
        const double crash = std::exp(-t / 0.12) * (0.6 + 0.4 * std::sin(kTwoPi * 31.0 * t));
        s.at(i, 0) = static_cast<float>(0.8 * knock + crash * noise.next());
    }
    normalise(s, 0.8f);
    return s;
}

// A short low buzz: two detuned square waves.
Sound makeWrongAction() {
    Sound s(22050, 1, 0.3);
    for (size_t i = 0; i < s.frames(); ++i) {
        const double t = static_cast<double>(i) / s.rate;
        const double env = std::fmin(1.0, t / 0.01) * std::fmin(1.0, (0.3 - t) / 0.05);
        const double a = std::sin(kTwoPi * 140.0 * t) > 0 ? 1.0 : -1.0;
        const double b = std::sin(kTwoPi * 147.0 * t) > 0 ? 1.0 : -1.0;
        s.at(i, 0) = static_cast<float>(0.3 * env * (a + b));
    }
    normalise(s, 0.6f);
    return s;
}

// ---- The theme: 8 bars of C, Am, F, G, C, Am, Dm, G at 84 beats a minute. Notes that ring
// past the end wrap to the start, so the loop has no seam.

constexpr int kRate = 44100;
constexpr double kBeat = 60.0 / 84.0;
constexpr int kBeats = 32;

double midiHz(int note) { return 440.0 * std::pow(2.0, (note - 69) / 12.0); }

class Loop {
public:
    Loop() : frames_(static_cast<size_t>(std::lround(kBeats * kBeat * kRate))),
             left_(frames_, 0.0f), right_(frames_, 0.0f) {}

    size_t frames() const { return frames_; }

    // voice(t, duration) gives the mono sample t seconds into a note; pan -1 left .. 1 right.
    template <typename Voice>
    void note(double beat, double beats, double pan, double tail, Voice voice) {
        const double duration = beats * kBeat;
        const size_t start = static_cast<size_t>(std::lround(beat * kBeat * kRate));
        const size_t count = static_cast<size_t>((duration + tail) * kRate);
        const float gl = static_cast<float>(std::sqrt(0.5 * (1.0 - pan)));
        const float gr = static_cast<float>(std::sqrt(0.5 * (1.0 + pan)));
        for (size_t i = 0; i < count; ++i) {
            const float v = static_cast<float>(voice(static_cast<double>(i) / kRate, duration));
            const size_t at = (start + i) % frames_;
            left_[at] += v * gl;
            right_[at] += v * gr;
        }
    }

    // A feedback echo computed as if the loop had always been playing: a few passes over the
    // ring settle the tail that comes round from the end.
    void echo(double seconds, float feedback, float wet) {
        const size_t delay = static_cast<size_t>(seconds * kRate);
        std::vector<float> l(frames_, 0.0f), r(frames_, 0.0f);
        for (int pass = 0; pass < 6; ++pass)
            for (size_t i = 0; i < frames_; ++i) {
                const size_t from = (i + frames_ - delay) % frames_;
                // Cross-fed, so the repeats alternate between the sides.
                l[i] = right_[from] + feedback * r[from];
                r[i] = left_[from] + feedback * l[from];
            }
        for (size_t i = 0; i < frames_; ++i) {
            left_[i] += wet * l[i];
            right_[i] += wet * r[i];
        }
    }

    std::vector<float> interleaved(float peak) const {
        float top = 0.0f;
        for (size_t i = 0; i < frames_; ++i)
            top = std::max({top, std::fabs(left_[i]), std::fabs(right_[i])});
        const float k = top > 0.0f ? peak / top : 0.0f;
        std::vector<float> out(frames_ * 2);
        for (size_t i = 0; i < frames_; ++i) {
            out[2 * i] = left_[i] * k;
            out[2 * i + 1] = right_[i] * k;
        }
        return out;
    }

private:
    size_t frames_;
    std::vector<float> left_, right_;
};

// Soft attack, held, then released over `release` seconds.
double envelope(double t, double duration, double attack, double release) {
    double e = std::min(1.0, t / attack);
    if (t > duration) e *= std::max(0.0, 1.0 - (t - duration) / release);
    return e;
}

std::vector<float> composeTheme() {
    Loop loop;
    struct Chord { int bass; int notes[4]; };
    static const Chord chords[8] = {
        {36, {60, 64, 67, 0}}, {33, {57, 60, 64, 0}}, {41, {57, 60, 65, 0}}, {43, {55, 59, 62, 0}},
        {36, {60, 64, 67, 0}}, {33, {57, 60, 64, 0}}, {38, {57, 62, 65, 0}}, {43, {55, 59, 62, 65}},
    };
    for (int bar = 0; bar < 8; ++bar) {
        const Chord& c = chords[bar];
        const double b0 = bar * 4.0;
        // Pad: a warm stack of sines, each chord tone slightly detuned between the sides.
        for (int n = 0; n < 4 && c.notes[n]; ++n) {
            for (int side = 0; side < 2; ++side) {
                const double hz = midiHz(c.notes[n]) * (side ? 1.0012 : 0.9988);
                loop.note(b0, 4.0, side ? 0.7 : -0.7, 0.6, [hz](double t, double d) {
                    const double e = envelope(t, d, 0.35, 0.6);
                    return 0.05 * e * (std::sin(kTwoPi * hz * t) + 0.3 * std::sin(kTwoPi * 2 * hz * t) +
                                       0.1 * std::sin(kTwoPi * 3 * hz * t));
                });
            }
        }
        // Bass: root, fifth, root an octave up.
        const double bassBeats[3][2] = {{0.0, 1.5}, {2.0, 1.0}, {3.0, 1.0}};
        const int bassNotes[3] = {c.bass, c.bass + 7, c.bass + 12};
        for (int k = 0; k < 3; ++k) {
            const double hz = midiHz(bassNotes[k]);
            loop.note(b0 + bassBeats[k][0], bassBeats[k][1] * 0.9, 0.0, 0.08, [hz](double t, double d) {
                const double e = envelope(t, d, 0.01, 0.08) * std::exp(-t * 1.2);
                return 0.32 * e * (std::sin(kTwoPi * hz * t) + 0.25 * std::sin(kTwoPi * 2 * hz * t));
            });
        }
        // Drums: a soft kick on 1 and 3, a shaker on every eighth.
        for (int k = 0; k < 2; ++k)
            loop.note(b0 + 2.0 * k, 0.2, 0.0, 0.0, [](double t, double) {
                const double phase = kTwoPi * (50.0 * t + 70.0 * 0.03 * (1.0 - std::exp(-t / 0.03)));
                return 0.35 * std::exp(-t / 0.06) * std::sin(phase);
            });
        for (int k = 0; k < 8; ++k) {
            Noise noise(0x5348u + static_cast<uint32_t>(bar * 8 + k));
            const double level = k % 2 ? 0.05 : 0.03;
            loop.note(b0 + 0.5 * k, 0.05, 0.3, 0.0, [noise, level](double t, double) mutable {
                return level * std::exp(-t / 0.012) * noise.next();
            });
        }
    }
    // Melody (beat, note, beats): a plain tune over the chords, ending on the leading tone.
    static const double melody[][3] = {
        {0, 76, 1}, {1, 79, 1}, {2, 76, 0.5}, {2.5, 74, 0.5}, {3, 72, 1},
        {4, 69, 1.5}, {5.5, 72, 0.5}, {6, 76, 1}, {7, 74, 1},
        {8, 72, 1.5}, {9.5, 74, 0.5}, {10, 72, 1}, {11, 69, 1},
        {12, 71, 1}, {13, 74, 1}, {14, 79, 2},
        {16, 76, 1}, {17, 79, 0.5}, {17.5, 81, 0.5}, {18, 79, 1}, {19, 76, 1},
        {20, 81, 1.5}, {21.5, 79, 0.5}, {22, 76, 1}, {23, 72, 1},
        {24, 74, 1}, {25, 77, 1}, {26, 81, 1}, {27, 77, 1},
        {28, 79, 1.5}, {29.5, 77, 0.5}, {30, 74, 1}, {31, 71, 1},
    };
    for (const auto& m : melody) {
        const double hz = midiHz(static_cast<int>(m[1]));
        // An electric-piano-like tone: a sine whose second-harmonic modulation fades.
        loop.note(m[0], m[2] * 0.95, 0.15, 0.35, [hz](double t, double d) {
            const double e = envelope(t, d, 0.006, 0.35) * std::exp(-t * 1.1);
            const double mod = 1.2 * std::exp(-t * 6.0) * std::sin(kTwoPi * 2 * hz * t);
            return 0.2 * e * std::sin(kTwoPi * hz * t + mod);
        });
    }
    loop.echo(kBeat * 0.75, 0.35f, 0.25f);
    return loop.interleaved(0.8f);
}

bool writeOgg(const std::string& path, const std::vector<float>& stereo) {
    FILE* f = fopen(path.c_str(), "wb");
    if (!f) {
        perror(path.c_str());
        return false;
    }
    vorbis_info vi;
    vorbis_info_init(&vi);
    if (vorbis_encode_init_vbr(&vi, 2, kRate, 0.3f) != 0) {
        fprintf(stderr, "%s: the Vorbis encoder refused its settings\n", path.c_str());
        vorbis_info_clear(&vi);
        fclose(f);
        return false;
    }
    vorbis_comment vc;
    vorbis_comment_init(&vc);
    vorbis_comment_add_tag(&vc, "TITLE", "Velmora theme");
    vorbis_dsp_state vd;
    vorbis_block vb;
    vorbis_analysis_init(&vd, &vi);
    vorbis_block_init(&vd, &vb);
    ogg_stream_state os;
    ogg_stream_init(&os, 0x564C4D52);  // fixed serial number: the same bytes on every run

    bool ok = true;
    auto writePage = [&](const ogg_page& og) {
        ok = ok && fwrite(og.header, 1, static_cast<size_t>(og.header_len), f) ==
                       static_cast<size_t>(og.header_len);
        ok = ok && fwrite(og.body, 1, static_cast<size_t>(og.body_len), f) ==
                       static_cast<size_t>(og.body_len);
    };
    ogg_packet header, comments, codebooks;
    vorbis_analysis_headerout(&vd, &vc, &header, &comments, &codebooks);
    ogg_stream_packetin(&os, &header);
    ogg_stream_packetin(&os, &comments);
    ogg_stream_packetin(&os, &codebooks);
    ogg_page og;
    while (ogg_stream_flush(&os, &og) != 0) writePage(og);

    auto drain = [&]() {
        while (vorbis_analysis_blockout(&vd, &vb) == 1) {
            vorbis_analysis(&vb, nullptr);
            vorbis_bitrate_addblock(&vb);
            ogg_packet op;
            while (vorbis_bitrate_flushpacket(&vd, &op) == 1) {
                ogg_stream_packetin(&os, &op);
                while (ogg_stream_pageout(&os, &og) != 0) writePage(og);
            }
        }
    };
    const size_t frames = stereo.size() / 2;
    for (size_t at = 0; at < frames;) {
        const size_t n = std::min<size_t>(4096, frames - at);
        float** buffer = vorbis_analysis_buffer(&vd, static_cast<int>(n));
        for (size_t i = 0; i < n; ++i) {
            buffer[0][i] = stereo[2 * (at + i)];
            buffer[1][i] = stereo[2 * (at + i) + 1];
        }
        vorbis_analysis_wrote(&vd, static_cast<int>(n));
        drain();
        at += n;
    }
    vorbis_analysis_wrote(&vd, 0);  // end of stream: the last page carries the exact length
    drain();
    while (ogg_stream_flush(&os, &og) != 0) writePage(og);

    ogg_stream_clear(&os);
    vorbis_block_clear(&vb);
    vorbis_dsp_clear(&vd);
    vorbis_comment_clear(&vc);
    vorbis_info_clear(&vi);
    ok = fclose(f) == 0 && ok;
    if (!ok) fprintf(stderr, "%s: write failed\n", path.c_str());
    return ok;
}

// --- The mini-games' sounds --------------------------------------------------------------------

// A run of bells, one per pitch, start times spaced by step seconds.
Sound makeBells(std::initializer_list<double> pitches, double step, double decay, double seconds) {
    Sound s(22050, 1, seconds);
    double at = 0.0;
    for (double pitch : pitches) {
        addBell(s, at, pitch, 1.0, decay, -1);
        at += step;
    }
    normalise(s, 0.8f);
    return s;
}

// A tone gliding from one pitch to another with a soft square edge: grumbles and chirps.
Sound makeGlide(double from, double to, double seconds, double edge) {
    Sound s(22050, 1, seconds);
    double phase = 0.0;
    for (size_t i = 0; i < s.frames(); ++i) {
        const double t = static_cast<double>(i) / s.rate;
        const double f = from + (to - from) * t / seconds;
        phase += kTwoPi * f / s.rate;
        const double env = std::min(1.0, t / 0.01) * std::min(1.0, (seconds - t) / 0.05);
        s.at(i, 0) = static_cast<float>(env * std::tanh(edge * std::sin(phase)));
    }
    normalise(s, 0.6f);
    return s;
}

// Short noise bursts at a rate per second: a ratchet, a rustle, a clatter.
Sound makeRattle(int bursts, double rate, double pitch, uint32_t seed) {
    Sound s(22050, 1, bursts / rate + 0.05);
    Noise noise(seed);
    for (int b = 0; b < bursts; ++b) {
        const size_t first = static_cast<size_t>(b / rate * s.rate);
        for (size_t i = first; i < s.frames() && i < first + static_cast<size_t>(0.03 * s.rate); ++i) {
            const double t = static_cast<double>(i - first) / s.rate;
            s.at(i, 0) += static_cast<float>(std::exp(-t / 0.006) *
                                             (0.5 * noise.next() + 0.5 * std::sin(kTwoPi * pitch * t)));
        }
    }
    normalise(s, 0.6f);
    return s;
}

}  // namespace

// ---- The hotel's musician ---------------------------------------------------------------------

// A piano phrase for the musician's tune: a rising C major arpeggio and a closing chord, each
// note a few slightly stretched partials that fade like struck strings.
void addPianoNote(Sound& s, double start, double pitch, double gain) {
    const size_t first = static_cast<size_t>(start * s.rate);
    for (size_t i = first; i < s.frames(); ++i) {
        const double t = static_cast<double>(i - first) / s.rate;
        double v = 0.0;
        for (int p = 1; p <= 4; ++p)
            v += std::exp(-t * (1.5 + p)) / p *
                 std::sin(kTwoPi * pitch * p * (1.0 + 0.0004 * p) * t);
        s.at(i, 0) += static_cast<float>(gain * std::min(1.0, t / 0.004) * v);
    }
}

Sound makeMusicianTune() {
    Sound s(22050, 1, 2.4);
    static const double arpeggio[] = {261.63, 329.63, 392.0, 523.25, 392.0, 329.63};
    for (int n = 0; n < 6; ++n) addPianoNote(s, n * 0.22, arpeggio[n], 0.5);
    for (double pitch : {261.63, 329.63, 392.0, 523.25}) addPianoNote(s, 1.35, pitch, 0.35);
    normalise(s, 0.7f);
    return s;
}

int main(int argc, char** argv) {
    if (argc != 3) {
        fprintf(stderr, "usage: sfxgen <sounds folder> <music file.ogg>\n");
        return 2;
    }
    const std::string dir = argv[1];
    bool ok = writeWav(dir + "/click1.wav", makeClick(2300.0, 0xC11Cu)) &&
              writeWav(dir + "/click2.wav", makeClick(1700.0, 0xC12Cu)) &&
              writeWav(dir + "/doorbell.wav", makeDoorBell()) &&
              writeWav(dir + "/kaching.wav", makeKaChing()) &&
              writeWav(dir + "/whoosh.wav", makeWhoosh()) &&
              writeWav(dir + "/salute_start.wav", makeSaluteStart()) &&
              writeWav(dir + "/salute_explosion.wav", makeSaluteExplosion()) &&
              writeWav(dir + "/alarm_clock.wav", makeAlarmClock()) &&
              writeWav(dir + "/broke.wav", makeBroke()) &&
              writeWav(dir + "/wrong_action.wav", makeWrongAction()) &&
              writeWav(dir + "/get_ready.wav", makeBells({523.25, 523.25, 783.99}, 0.35, 0.3, 1.4)) &&
              writeWav(dir + "/goal.wav", makeBells({659.25, 783.99}, 0.18, 0.45, 1.2)) &&
              writeWav(dir + "/levelup.wav",
                       makeBells({523.25, 659.25, 783.99, 1046.5}, 0.12, 0.5, 1.5)) &&
              writeWav(dir + "/leveldefeat.wav", makeBells({392.0, 349.23, 293.66}, 0.3, 0.4, 1.6)) &&
              writeWav(dir + "/service_accepted.wav", makeBells({1318.5}, 0.0, 0.2, 0.5)) &&
              writeWav(dir + "/tool_repair.wav", makeRattle(6, 14.0, 900.0, 0x7001u)) &&
              writeWav(dir + "/tool_pickup.wav", makeRattle(2, 12.0, 500.0, 0x7002u)) &&
              writeWav(dir + "/tool_tray.wav", makeRattle(3, 20.0, 2200.0, 0x7003u)) &&
              writeWav(dir + "/tool_magnet.wav", makeGlide(220.0, 880.0, 0.35, 1.5)) &&
              writeWav(dir + "/customer_happy.wav", makeGlide(500.0, 900.0, 0.25, 1.0)) &&
              writeWav(dir + "/customer_angry.wav", makeGlide(180.0, 120.0, 0.45, 4.0)) &&
              writeWav(dir + "/musician_tune.wav", makeMusicianTune()) &&
              writeWav(dir + "/aftergame_menu_points_add.wav", makeBells({1567.98}, 0.0, 0.08, 0.12)) &&
              writeWav(dir + "/aftergame_menu_tick.wav", makeBells({783.99, 1174.66}, 0.08, 0.25, 0.6)) &&
              writeWav(dir + "/aftergame_menu_cross.wav", makeGlide(330.0, 196.0, 0.35, 3.0)) &&
              // the monsters: a boo, a smack, a fading wail and a dizzy twinkle
              writeWav(dir + "/monster_boo.wav", makeGlide(320.0, 140.0, 0.6, 2.5)) &&
              writeWav(dir + "/monster_hit.wav", makeRattle(2, 40.0, 1100.0, 0x7011u)) &&
              writeWav(dir + "/monster_death.wav", makeGlide(700.0, 180.0, 0.7, 1.5)) &&
              writeWav(dir + "/monster_ko.wav", makeBells({1046.5, 1318.5, 1568.0}, 0.07, 0.15, 0.5)) &&
              writeOgg(argv[2], composeTheme());
    return ok ? 0 : 1;
}
