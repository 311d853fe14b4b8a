// Random: the MT19937 Mersenne Twister with integer, real and normal draws, and the two globals.
#pragma once

#include <cstdint>

class Random {
public:
    static constexpr int kStateWords = 624;
    static constexpr int kSaveWords = kStateWords + 1;  // the state, then the untempered count

    // Seeds from /dev/urandom, or from the clock when that cannot be read whole.
    Random();
    explicit Random(uint32_t seed);
    Random(const uint32_t* key, int n);
    Random(const Random& other);
    Random& operator=(const Random& other);

    void Seed(uint32_t seed);
    void SeedArray(const uint32_t* key, int n);

    void Save(uint32_t out[kSaveWords]) const;
    // Refuses, changing nothing, a saved count above 624.
    bool Load(const uint32_t in[kSaveWords]);

    uint32_t Next();
    uint32_t IntInclusive(uint32_t n);  // [0, n]
    uint32_t Int(uint32_t n);           // [0, n); 0 without drawing when n is 0
    double Real();                      // [0, 1]
    double Real(double x) { return Real() * x; }
    double RealHalfOpen();  // [0, 1)
    double RealHalfOpen(double x) { return RealHalfOpen() * x; }
    double RealOpen();  // (0, 1)
    double RealOpen(double x) { return RealOpen() * x; }
    double Real53();  // [0, 1) at 53-bit resolution
    double Normal(double mean, double deviation);
    double operator()() { return Real(); }
    // Moves on n words as n calls of Next would, without tempering them: a draw whose value
    // would go unused costs next to nothing and leaves the sequence where the draw would.
    void Discard(int n) {
        while (n > 0) {
            if (left_ == 0) regenerate();
            const int k = n < left_ ? n : left_;
            left_ -= k;
            next_ += k;
            n -= k;
        }
    }

private:
    void regenerate();

    uint32_t state_[kStateWords];
    int next_;  // index of the next word to temper
    int left_;  // untempered words left
};

extern Random gRandom;
extern Random gParticleRandom;
