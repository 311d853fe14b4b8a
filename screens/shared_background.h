// The picture behind the menu screens: a lobby, the heroine, Jenny and four flags, with a tint and
// a mask of figures that a borrowing screen may change and restore.
#pragma once

#include <cstdint>

#include "core/array.h"
#include "engine/gr/gr.h"
#include "ui/ui.h"

// One picture of the background, owned.
struct BackgroundFigure {
    ~BackgroundFigure();
    // Nothing when either name is empty; keys "sprite" (an animated sprite), "x", "y", "flip_x".
    void Load(const char* file, const char* section);
    void Draw(uint32_t tint, int time) const;

    HSPRITE sprite = nullptr;
    int32_t x = 0, y = 0;
    bool flip = false;
};

// Bits of the figure mask.
constexpr uint32_t kFigureBackground = 1;
constexpr uint32_t kFigureHeroine = 2;
constexpr uint32_t kFigureJenny = 4;
constexpr uint32_t kFigureFlags = 8;

class SharedBackground : public Window {
public:
    int Draw() override;
    void Create(const char* file, const char* section) override;
    // Saves (tint, mask); PopState restores the last saved pair, or changes nothing.
    virtual void PushState();
    virtual void PopState();

    uint32_t GetFigures() const { return figures_; }
    void SetFigures(uint32_t mask) { figures_ = mask; }
    int SavedLooks() const { return static_cast<int>(saved_.size()); }
    // The figures the mask shows, in drawing order, into out (room for 7); their count.
    int ShownFigures(const BackgroundFigure** out) const;

private:
    struct Look {
        uint32_t tint;
        uint32_t figures;
    };
    uint32_t figures_ = kFigureBackground | kFigureHeroine | kFigureJenny | kFigureFlags;
    BackgroundFigure background_, heroine_, jenny_;
    BackgroundFigure flags_[4];
    cArray<Look> saved_;
};

// The one shared background as its class; null while there is none.
SharedBackground* sharedBackground();
