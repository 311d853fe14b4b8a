// Particle effects: the sprite actor every particle is drawn with, the particle system driven by a
// 128-byte definition file, and the emitter record that objects and screens embed.
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/random.h"
#include "core/values.h"
#include "engine/gr/gr.h"

// The sprite an effect draws: one sprite with a blend material, a colour (0..1 per channel), a
// source rectangle, a pivot inside that rectangle and two flips. Owns one sprite reference.
class FxActor {
public:
    // Loads the sprite by name; a null or empty name gives an actor that draws nothing.
    explicit FxActor(const char* spriteName);
    ~FxActor() { Free(); }
    FxActor(const FxActor&) = delete;
    FxActor& operator=(const FxActor&) = delete;

    // A new actor with its own reference to the same sprite and every setting of this one.
    FxActor* Copy() const;
    void Free();

    void SetMaterial(sMaterial material) { material_ = material; }
    void SetColour(float r, float g, float b, float a);
    void SetCentre(float x, float y);
    void SetFlip(bool x, bool y);
    // Changes nothing unless all four values are 0 or more.
    void SetSourceRect(float x, float y, float w, float h);
    // Takes over the handle's reference, freeing the one held; a null handle is ignored.
    void SetSprite(HSPRITE sprite);

    // The source rectangle with its pivot at (x, y), scaled by (sx, sy); a flip mirrors through a
    // negative size. The pivot's offset itself is not scaled.
    void DrawAt(float x, float y, float sx, float sy) const;
    // The same quad turned by angle radians about (x, y); the whole sprite is mapped onto it.
    void DrawRotated(float x, float y, float angle, float sx, float sy) const;

    HSPRITE Sprite() const { return sprite_; }
    sMaterial Material() const { return material_; }
    // The colour as 0xAARRGGBB, each channel times 255 truncated and clamped to 0..255.
    uint32_t PackedColour() const;
    void GetColour(float* r, float* g, float* b, float* a) const;
    void GetSourceRect(float* x, float* y, float* w, float* h) const;

private:
    HSPRITE sprite_ = nullptr;
    sMaterial material_{1, 1, 1, 30};
    float red_ = 1, green_ = 1, blue_ = 1, alpha_ = 1;
    float srcX_ = 0, srcY_ = 0, srcW_ = 0, srcH_ = 0;
    float centreX_ = 0, centreY_ = 0;
    bool flipX_ = false, flipY_ = false;
};

// The parameters of a particle definition file: 32 little-endian words, 128 bytes. Word 0 (the
// actor slot) is not kept: the system holds its actor separately. Times are seconds, speeds
// pixels per second, accelerations pixels per second squared, angles radians, colours 0..1.
struct ParticleParams {
    int32_t rate;          // particles per second
    float duration;        // -1: endless
    float lifeMin, lifeMax;
    float direction;       // 0 is up (towards smaller y), positive turns towards +x
    float spread;          // centred on the direction
    uint8_t follow;        // nonzero: add the turn of the emitter point
    float speedMin, speedMax;
    float gravityMin, gravityMax;        // along +y
    float radialMin, radialMax;          // away from the emitter point
    float tangentialMin, tangentialMax;  // perpendicular to that
    float sizeStart, sizeEnd, sizeVariance;
    float spinStart, spinEnd, spinVariance;
    float startColour[4];  // red, green, blue, alpha; a negative red draws in the actor's colour
    float endColour[4];
    float colourVariance, alphaVariance;
};

constexpr size_t kParticleFileSize = 128;

// Reads a definition file's bytes. Null on success; else the reason (wrong size, a number that is
// not finite) and an all-zero block, which emits nothing.
const char* particleParamsParse(const unsigned char* data, size_t size, ParticleParams* out);

// One particle, in the system's pool.
struct Particle {
    float x, y;
    float vx, vy;
    float gravity, radial, tangential;
    float spin, spinRate;
    float size, sizeRate;
    float colour[4];
    float colourRate[4];
    float age, life;
};

// The box the live particles of a system cover, kept while tracking is on.
struct ParticleBounds {
    float minX = 0, minY = 0, maxX = 0, maxY = 0;
    bool empty = true;

    void Clear() { empty = true; }
    void Add(float x, float y);
    // Minimum edges inside, maximum edges outside.
    bool Contains(float x, float y) const;
    // On each axis the centres lie closer than half the summed extents.
    bool Overlaps(const ParticleBounds& other) const;
};

// The places of a system's particles: none until made, and a copy gets places of its own with
// everything in them.
class ParticlePool {
public:
    static constexpr int kPlaces = 500;

    ParticlePool() = default;
    ParticlePool(const ParticlePool& other);
    ParticlePool& operator=(const ParticlePool& other);
    ~ParticlePool() { delete[] places_; }

    // Makes the places when there are none yet (the only allocation a system makes).
    void Make();
    bool Made() const { return places_ != nullptr; }
    Particle& operator[](int i) { return places_[i]; }
    const Particle& operator[](int i) const { return places_[i]; }

private:
    Particle* places_ = nullptr;
};

// Emits, moves and draws up to kMaxParticles particles from one emitter point. The pool is made
// at the system's first start (or when it is made, under ParticlePoolsUpFront) and kept:
// emitting and removing particles allocate nothing, and a system that never starts (most
// effects of a screen not on show) holds no pool. The actor is
// not owned. Copies take the whole state, live particles and the actor pointer included.
class ParticleSystem {
public:
    static constexpr int kMaxParticles = ParticlePool::kPlaces;
    static constexpr float kStopped = -2.0f;
    static constexpr float kEndless = -1.0f;

    // Reads the definition file through the file layer; a missing or bad file gives an all-zero
    // block (logged) and a system that otherwise works, and never emits.
    ParticleSystem(const char* path, FxActor* actor);
    ParticleSystem(const ParticleParams& params, FxActor* actor);

    // dt in seconds: ages and moves the live particles, then emits for this step.
    void Update(float dt);
    // carry: live particles and the previous point move along with the emitter.
    void SetPosition(float x, float y, bool carry);
    void Start();
    // clear: every live particle goes at once.
    void Stop(bool clear);
    void StartAt(float x, float y);
    void Draw();
    void SetDrawOffset(float x, float y);

    int LiveCount() const { return live_; }
    float Clock() const { return clock_; }
    const Particle& At(int i) const { return pool_[i]; }
    ParticleParams& Params() { return params_; }
    const ParticleParams& Params() const { return params_; }
    FxActor* Actor() const { return actor_; }
    void SetActor(FxActor* actor) { actor_ = actor; }
    Vec2 Position() const { return current_; }
    // Off by default: tracking costs a little on every particle of every update.
    void SetBoundsTracking(bool on) { tracking_ = on; }
    bool BoundsTracking() const { return tracking_; }
    const ParticleBounds& Bounds() const { return bounds_; }

private:
    void init(FxActor* actor);
    void emit(int index);

    FxActor* actor_;
    ParticleParams params_;
    float clock_;
    float carry_;
    Vec2 previous_, current_;
    Vec2 offset_;
    float scale_;
    int live_;
    ParticleBounds bounds_;
    bool tracking_;
    ParticlePool pool_;  // made at the first start, or at once under ParticlePoolsUpFront
};

// While one lives, a particle system made gets its pool at once rather than at its first start:
// a level or mini-game makes its effects while it loads, and its play must not allocate.
class ParticlePoolsUpFront {
public:
    ParticlePoolsUpFront();
    ~ParticlePoolsUpFront();
    ParticlePoolsUpFront(const ParticlePoolsUpFront&) = delete;
    ParticlePoolsUpFront& operator=(const ParticlePoolsUpFront&) = delete;
};

// Up to kMaxSystems owned particle systems, each started where it is added, drawn with one shared
// offset; a system that has stopped and has no live particle left is deleted by the update.
class ParticleGroup {
public:
    static constexpr int kMaxSystems = 100;

    ParticleGroup() = default;
    ~ParticleGroup() { Clear(); }
    ParticleGroup(const ParticleGroup&) = delete;
    ParticleGroup& operator=(const ParticleGroup&) = delete;

    // Null when the group is full; otherwise the new system, started at (x, y), which the group
    // owns.
    ParticleSystem* Add(const ParticleParams& params, FxActor* actor, float x, float y);
    void Update(float dt);
    void Draw();
    void SetOffset(float x, float y);
    bool Contains(const ParticleSystem* system) const;
    // Deletes the member; false when it is not one.
    bool Remove(ParticleSystem* system);
    void Clear();
    int Count() const { return count_; }
    ParticleSystem* At(int i) const { return i >= 0 && i < count_ ? systems_[i] : nullptr; }

private:
    void removeAt(int i);

    ParticleSystem* systems_[kMaxSystems] = {};
    int count_ = 0;
    Vec2 offset_{0, 0};
};

// The file every emitter section lives in.
constexpr const char* kFxIni = "Data/Fx/fx.ini";

// A particle effect described by one section of Data/Fx/fx.ini ("actor", "system",
// "spread_range_x", "spread_range_y"), owning its system and actor. The emission point is
// jittered inside the spread box, centred on the position, on every update.
//
// Usual use by an owner following a moving thing: each step, StartAt(point) unless IsAlive(),
// then SetPosition(point) and Update(ms); Stop(false) lets the live particles play out.
//
// Most emitters of a level sit stopped with nothing alive on most steps. Such an emitter's
// update touches no system: it only moves the game's generator on past the two jitter draws it
// would have made, so the sequence stays the same, and the system keeps the point it had (a
// stopped system's point is never used: the next start sets it). The system is started through
// StartAt only.
class FxEmitter {
public:
    FxEmitter() = default;
    ~FxEmitter() { Release(); }
    FxEmitter(const FxEmitter&) = delete;
    FxEmitter& operator=(const FxEmitter&) = delete;

    // A null section does nothing; otherwise what was loaded before is released first.
    void Load(const char* section);
    void Release();
    // Stored only: the system follows at the next Update.
    void SetPosition(const Vec2& p) { position_ = p; }
    void SetSpreadRange(const Point2i& range) { spread_ = IntPointToVec2(range); }
    void StartAt(const Vec2& p);
    // A quiet system is stopped and empty already.
    void Stop(bool clear) {
        if (system_ && !quiet_) system_->Stop(clear);
    }
    void Update(int ms) {
        if (!quiet_)
            updateSystem(ms);
        else if (system_)
            gRandom.Discard(2);
    }
    void Draw();
    // Ignored without an actor.
    void SetActorMaterial(sMaterial material);
    bool IsAlive() const { return system_ && !quiet_ && system_->LiveCount() > 0; }

    ParticleSystem* System() const { return system_; }
    FxActor* Actor() const { return actor_; }
    Vec2 Position() const { return position_; }
    Vec2 SpreadRange() const { return spread_; }

private:
    // The jittered point and the system's update; then whether the system has gone quiet.
    void updateSystem(int ms);

    ParticleSystem* system_ = nullptr;
    FxActor* actor_ = nullptr;
    Vec2 position_;
    Vec2 spread_;
    // The system was stopped with no particle left at the end of the last update and has not
    // been started since.
    bool quiet_ = false;
};
