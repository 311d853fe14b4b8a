// The animated scenery of the home: drifting clouds and birds, the glowing sun, the fountain
// whose parts come with installed items (and its jumping fish), and the fireworks that celebrate
// an installation. Plain time-driven animation read from the home layout and the effects file.
#pragma once

#include <cstdint>

#include "anim/fx_effects.h"
#include "core/array.h"
#include "core/values.h"
#include "world/object.h"

struct sndSound;

// One animated sprite at a fixed place; a part that does not loop plays once and then stays
// invisible until its time is reset.
struct SceneryItem {
    void Load(const char* file, const char* section);
    void Update(int ms);
    void Draw() const;
    void Flip() { direction = -direction; }

    Point2i position{0, 0};
    AnimDesc anim;
    int32_t time = 0;
    int32_t cycled = 0;
    int32_t direction = 1;
    char itemName[128] = {};
};

class HomeFountain {
public:
    HomeFountain() = default;
    ~HomeFountain();
    HomeFountain(const HomeFountain&) = delete;
    HomeFountain& operator=(const HomeFountain&) = delete;

    void Load(const char* file);
    void Update(int ms);
    void Draw() const;
    void HideAll() { shownFountain_ = shownWater_ = shownFish_ = false; }
    void Reset();
    void ShowPartForItem(const char* name);
    void StopSound();

    bool FountainShown() const { return shownFountain_; }
    bool WaterShown() const { return shownWater_; }
    bool FishShown() const { return shownFish_; }
    const SceneryItem& Fish() const { return fish_; }
    const SceneryItem& Fountain() const { return fountain_; }
    int32_t FishCountdown() const { return countdown_; }

private:
    SceneryItem fountain_, water_, fish_;
    int32_t repeatPeriod_ = 0;
    int32_t countdown_ = -1;
    Point2i fishBase_{0, 0};
    Point2i area_{0, 0};
    bool shownFountain_ = false, shownWater_ = false, shownFish_ = false;
    sndSound* sound_ = nullptr;
};

class HomeSpriteStrip {
public:
    struct Item {
        ~Item() { anim = nullptr; }  // the records belong to the strip
        void Update(float s);
        void Draw() const;

        const AnimDesc* anim = nullptr;
        float speed = 0.0f;
        float x = 0.0f, y = 0.0f;
        float startX = 0.0f, finishX = 0.0f, baseY = 0.0f;
        int32_t alpha = 0;
        int32_t time = 0;
        float frequency = 0.0f, amplitude = 0.0f;
        bool leftward = false;
    };

    HomeSpriteStrip() = default;
    ~HomeSpriteStrip();
    HomeSpriteStrip(const HomeSpriteStrip&) = delete;
    HomeSpriteStrip& operator=(const HomeSpriteStrip&) = delete;

    void Load(const char* file, const char* section);
    void Update(int ms);
    void Draw() const;

    int ItemCount() const { return static_cast<int>(items_.size()); }
    Item& At(int i) { return items_[static_cast<uint32_t>(i)]; }

private:
    cArray<Item> items_;
    cArray<AnimDesc*> sprites_;
};

class HomeFlicker {
public:
    HomeFlicker() = default;
    ~HomeFlicker();
    HomeFlicker(const HomeFlicker&) = delete;
    HomeFlicker& operator=(const HomeFlicker&) = delete;

    void Load(const char* file);
    void Update(int ms);
    void Draw() const;

    int Count() const { return static_cast<int>(levels_.size()); }
    float Level(int i) const { return levels_[static_cast<uint32_t>(i)]; }
    float Speed(int i) const { return speeds_[static_cast<uint32_t>(i)]; }
    void Set(int i, float level, float speed) {
        levels_[static_cast<uint32_t>(i)] = level;
        speeds_[static_cast<uint32_t>(i)] = speed;
    }

private:
    cArray<HSPRITE> sprites_;
    cArray<float> levels_;
    cArray<float> speeds_;
};

class HomeInstallBoom {
public:
    static constexpr int kBursts = 8;

    void Load(const char* file);
    void Start();
    void Update(float seconds);
    void Draw();
    bool IsActive();
    void Stop();

    int Fired() const { return fired_; }
    float Delay() const { return delay_; }

private:
    float delay_ = 0.0f;
    float elapsed_ = 1000.0f;
    int fired_ = 0;
    SimpleEffect bursts_[kBursts];
};
