// Particle effects behind a class interface: the simple effect loaded from an INI section, effects
// that move their emitter along a line or a dying wave, the fireworks show and the effect manager
// that holds the show and the heroes' template effects.
#pragma once

#include "anim/fx.h"
#include "core/array.h"

// One particle system and its actor, loaded from an INI section: "actorSpriteX", "actorSpriteY"
// (the 32 x 32 cell of data/fx/particles.tga), "blendModeAlpha", "path" (the definition file, cut
// at 255 characters), "x", "y" (the emitter point). Copies get their own system, with the
// particles, and their own actor; the position is not copied.
class SimpleEffect {
public:
    SimpleEffect() = default;
    SimpleEffect(const SimpleEffect& other);
    SimpleEffect& operator=(const SimpleEffect& other);
    virtual ~SimpleEffect() { SimpleEffect::Release(); }

    // What was loaded before is released first.
    virtual void Load(const char* ini, const char* section);
    virtual void Release();
    // dt in seconds; true when a moving effect arrived in this step (always true here).
    virtual bool Update(float dt);
    virtual void Draw();
    // y >= 0: starts at (x, y); y < 0 starts where the effect stands (callers pass (0, -1000)).
    virtual void Start(float x, float y);
    // Moves the emission point; live particles stay where they are.
    virtual void SetPosition(float x, float y);
    virtual int LiveCount();
    virtual void Stop(bool clear);

    ParticleSystem* System() const { return system_; }
    FxActor* Actor() const { return actor_; }
    Vec2 Position() const { return position_; }

protected:
    ParticleSystem* system_ = nullptr;
    Vec2 position_;
    FxActor* actor_ = nullptr;
};

// Moves its emitter from path point 0 to point 1 in one second of updates. Started once; only
// Stop re-arms it. With fewer than two points it does not move.
class MovingEffect : public SimpleEffect {
public:
    void Release() override;
    bool Update(float dt) override;
    void Start(float x, float y) override;
    // Puts the position back on point 0.
    void Stop(bool clear) override;
    // Load, then "pointsCount" points "x%u", "y%u"; the position goes to point 0.
    virtual void LoadPath(const char* ini, const char* section);
    // Ignored for an index past the points.
    void SetPathPoint(uint32_t i, const Vec2f& p);

    const cArray<Vec2f>& Path() const { return path_; }
    bool IsStarted() const { return started_; }

protected:
    cArray<Vec2f> path_;
    bool started_ = false;
};

// A rising firework's trail: from point 0 to point 1 in one second, swinging sideways in four
// waves that shrink from 50 pixels to none at the end.
class DecreaseSinEffect : public MovingEffect {
public:
    bool Update(float dt) override;
    void Start(float x, float y) override;

    float Offset() const { return offset_; }

private:
    float travelled_ = 0;
    float offset_ = 0;
    float length_ = 0;
    float angle_ = 0;
};

// Two rising trails with their big bursts and three small bursts on a fixed timetable, with the
// sounds "salute_start" and "salute_explosion". Each trail and burst is launched, and its sound
// played, once per show.
class FireworksShow {
public:
    typedef void (*SoundPlayer)(const char* name);

    FireworksShow();

    // The effect sections and [fireworks] of the file; the show is idle afterwards.
    void Load(const char* ini);
    // dt in seconds; a show runs for five seconds of updates after Start.
    void Update(float dt);
    void Draw();
    // Plays from the beginning; calling it again while the show runs only rewinds the clock.
    void Start();
    // Idle, every particle gone, new jittered places for the bursts.
    void Reset();

    // Where the sounds go (sndPlay in the effects group unless changed).
    void SetSoundPlayer(SoundPlayer player) { playSound_ = player; }
    float Clock() const { return clock_; }
    DecreaseSinEffect& RedTrail() { return redTrail_; }
    DecreaseSinEffect& GreenTrail() { return greenTrail_; }
    SimpleEffect& RedBurst() { return redBurst_; }
    SimpleEffect& GreenBurst() { return greenBurst_; }
    SimpleEffect& SmallBurst(int i) { return small_[i]; }

private:
    static constexpr float kIdle = 10.0f;
    static constexpr float kShowLength = 5.0f;

    Vec2 ballPoint(int i);
    void launch(SimpleEffect& effect, bool& launched, const char* sound);
    void clearLaunches();

    DecreaseSinEffect redTrail_, greenTrail_;
    SimpleEffect redBurst_, greenBurst_;
    SimpleEffect small_[3];
    float clock_ = kIdle;
    float smallDelay_ = 0, bigDelay_ = 0, randomRadius_ = 0;
    Vec2 balls_[5];
    bool redTrailLaunched_ = false, greenTrailLaunched_ = false;
    bool redBurstLaunched_ = false, greenBurstLaunched_ = false;
    bool smallLaunched_[3] = {};
    SoundPlayer playSound_;
};

// Plays the show again from its beginning; screens that call it every update hold it at its start.
inline void initFxRecord(FireworksShow& show) { show.Start(); }

// The effect manager: the heroes' template effects "fastWalk" and "vacuumCleaner" and the
// fireworks show, loaded from one file (Data/Fx/fx.ini in the game).
class FxManager {
public:
    virtual ~FxManager() = default;

    virtual void Load(const char* ini);
    virtual void Release() {}
    // Advances "fastWalk" and the show; "vacuumCleaner" is driven by its copies' owners.
    virtual void Update(float dt);
    // Draws the show.
    virtual void Draw();
    // Clears every particle of the three and resets the show.
    virtual void Stop();

    SimpleEffect& FastWalk() { return fastWalk_; }
    SimpleEffect& VacuumCleaner() { return vacuumCleaner_; }
    FireworksShow& Show() { return show_; }

private:
    SimpleEffect fastWalk_;
    SimpleEffect vacuumCleaner_;
    FireworksShow show_;
};
