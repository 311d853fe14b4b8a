// The MT19937 generator: seeding, regeneration, tempering and the derived draws.
#include "core/random.h"

#include "core/random_seed.h"

#include <cmath>
#include <cstdio>
#include <ctime>

namespace {

constexpr int kN = Random::kStateWords;
constexpr int kM = 397;
constexpr uint32_t kMatrix = 0x9908b0dfu;
constexpr uint32_t kUpper = 0x80000000u;
constexpr uint32_t kLower = 0x7fffffffu;

uint32_t differ = 0;

uint32_t twist(uint32_t from, uint32_t high, uint32_t low) {
    uint32_t y = (high & kUpper) | (low & kLower);
    return from ^ (y >> 1) ^ ((y & 1u) ? kMatrix : 0u);
}

uint32_t fold(const unsigned char* bytes, size_t n) {
    uint32_t h = 0;
    for (size_t i = 0; i < n; ++i) h = h * 257u + bytes[i];
    return h;
}

void initState(uint32_t* state, uint32_t seed) {
    state[0] = seed;
    for (int i = 1; i < kN; ++i)
        state[i] = 1812433253u * (state[i - 1] ^ (state[i - 1] >> 30)) + static_cast<uint32_t>(i);
}

}  // namespace

Random gRandom;
Random gParticleRandom;

uint32_t clockSeed(int64_t time, uint32_t clock) {
    uint32_t h1 = fold(reinterpret_cast<const unsigned char*>(&time), sizeof time);
    uint32_t h2 = fold(reinterpret_cast<const unsigned char*>(&clock), sizeof clock);
    return (h1 + differ++) ^ h2;
}

Random::Random() : next_(0), left_(0) {
    uint32_t words[kN];
    int got = 0;
    if (FILE* f = std::fopen("/dev/urandom", "rb")) {
        while (got < kN && std::fread(&words[got], sizeof words[got], 1, f) == 1) ++got;
        std::fclose(f);
    }
    if (got == kN) {
        SeedArray(words, kN);
        return;
    }
    Seed(clockSeed(static_cast<int64_t>(std::time(nullptr)), static_cast<uint32_t>(std::clock())));
}

Random::Random(uint32_t seed) : next_(0), left_(0) { Seed(seed); }

Random::Random(const uint32_t* key, int n) : next_(0), left_(0) { SeedArray(key, n); }

Random::Random(const Random& other) { *this = other; }

Random& Random::operator=(const Random& other) {
    for (int i = 0; i < kN; ++i) state_[i] = other.state_[i];
    next_ = other.next_;
    left_ = other.left_;
    return *this;
}

void Random::Seed(uint32_t seed) {
    initState(state_, seed);
    regenerate();
}

// An empty or missing key mixes in zero words.
void Random::SeedArray(const uint32_t* key, int n) {
    bool haveKey = key && n > 0;
    initState(state_, 19650218u);
    int i = 1, j = 0;
    for (int k = (n > kN ? n : kN); k > 0; --k) {
        uint32_t word = haveKey ? key[j] : 0u;
        uint32_t prev = state_[i - 1];
        state_[i] = (state_[i] ^ ((prev ^ (prev >> 30)) * 1664525u)) + word +
                    static_cast<uint32_t>(j);
        ++i;
        ++j;
        if (i >= kN) {
            state_[0] = state_[kN - 1];
            i = 1;
        }
        if (j >= n) j = 0;
    }
    for (int k = kN - 1; k > 0; --k) {
        uint32_t prev = state_[i - 1];
        state_[i] = (state_[i] ^ ((prev ^ (prev >> 30)) * 1566083941u)) - static_cast<uint32_t>(i);
        ++i;
        if (i >= kN) {
            state_[0] = state_[kN - 1];
            i = 1;
        }
    }
    state_[0] = kUpper;
    regenerate();
}

void Random::Save(uint32_t out[kSaveWords]) const {
    for (int i = 0; i < kN; ++i) out[i] = state_[i];
    out[kN] = static_cast<uint32_t>(left_);
}

bool Random::Load(const uint32_t in[kSaveWords]) {
    if (in[kN] > static_cast<uint32_t>(kN)) return false;
    for (int i = 0; i < kN; ++i) state_[i] = in[i];
    left_ = static_cast<int>(in[kN]);
    next_ = kN - left_;
    return true;
}

void Random::regenerate() {
    int k = 0;
    for (; k < kN - kM; ++k) state_[k] = twist(state_[k + kM], state_[k], state_[k + 1]);
    for (; k < kN - 1; ++k) state_[k] = twist(state_[k + kM - kN], state_[k], state_[k + 1]);
    state_[kN - 1] = twist(state_[kM - 1], state_[kN - 1], state_[0]);
    next_ = 0;
    left_ = kN;
}

uint32_t Random::Next() {
    if (left_ == 0) regenerate();
    --left_;
    uint32_t y = state_[next_++];
    y ^= y >> 11;
    y ^= (y << 7) & 0x9d2c5680u;
    y ^= (y << 15) & 0xefc60000u;
    y ^= y >> 18;
    return y;
}

uint32_t Random::IntInclusive(uint32_t n) {
    uint32_t mask = n;
    mask |= mask >> 1;
    mask |= mask >> 2;
    mask |= mask >> 4;
    mask |= mask >> 8;
    mask |= mask >> 16;
    uint32_t v;
    do {
        v = Next() & mask;
    } while (v > n);
    return v;
}

uint32_t Random::Int(uint32_t n) { return n == 0 ? 0 : IntInclusive(n - 1); }

double Random::Real() { return static_cast<double>(Next()) / 4294967295.0; }

double Random::RealHalfOpen() { return static_cast<double>(Next()) / 4294967296.0; }

double Random::RealOpen() { return (static_cast<double>(Next()) + 0.5) / 4294967296.0; }

double Random::Real53() {
    uint32_t a = Next() >> 5;
    uint32_t b = Next() >> 6;
    return (a * 67108864.0 + b) / 9007199254740992.0;
}

// Polar method: draw points in the unit square until one falls strictly inside the circle.
double Random::Normal(double mean, double deviation) {
    double r, s, q;
    do {
        r = 2.0 * Real() - 1.0;
        s = 2.0 * Real() - 1.0;
        q = r * r + s * s;
    } while (q >= 1.0 || q == 0.0);
    return mean + deviation * r * std::sqrt(-2.0 * std::log(q) / q);
}
