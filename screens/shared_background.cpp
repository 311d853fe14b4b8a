// The shared menu background: its figures, their drawing and the stack of looks.
#include "screens/shared_background.h"

#include "engine/data/ini.h"
#include "engine/gr/gr_util.h"
#include "screens/holders.h"

BackgroundFigure::~BackgroundFigure() {
    if (sprite) grFreeSprite(sprite);
}

void BackgroundFigure::Load(const char* file, const char* section) {
    if (!file || !*file || !section || !*section) return;
    if (sprite) grFreeSprite(sprite);
    sprite = iniReadAnimSprite(file, section, "sprite");
    x = iniGetInt(file, section, "x", 0);
    y = iniGetInt(file, section, "y", 0);
    flip = iniGetInt(file, section, "flip_x", 0) > 0;
}

void BackgroundFigure::Draw(uint32_t tint, int time) const {
    if (!sprite) return;
    const int w = spriteWidth(sprite), h = spriteHeight(sprite);
    grDraw(sMaterial(4, 4, 1, 30), x, y, flip ? -w : w, h, sprite, 0, 0, w, h, tint, time);
}

void SharedBackground::Create(const char* file, const char* section) {
    Window::Create(file, section);
    if (!file || !*file) return;
    background_.Load(file, "Background");
    if (background_.sprite) {
        xs = static_cast<int16_t>(spriteWidth(background_.sprite));
        ys = static_cast<int16_t>(spriteHeight(background_.sprite));
    }
    heroine_.Load(file, "Zuna");
    jenny_.Load(file, "Jenny");
    const char* flagSections[4] = {"FlagBlueLeft", "FlagBlueRight", "FlagYellowLeft",
                                   "FlagYellowRight"};
    for (int i = 0; i < 4; ++i) flags_[i].Load(iniFile, flagSections[i]);
}

int SharedBackground::Draw() {
    Window::Draw();
    if (hidden()) return 1;
    const BackgroundFigure* shown[7];
    const int count = ShownFigures(shown);
    for (int i = 0; i < count; ++i) shown[i]->Draw(tint, clock);
    return 1;
}

int SharedBackground::ShownFigures(const BackgroundFigure** out) const {
    int n = 0;
    if (figures_ & kFigureBackground) out[n++] = &background_;
    if (figures_ & kFigureHeroine) out[n++] = &heroine_;
    if (figures_ & kFigureJenny) out[n++] = &jenny_;
    if (figures_ & kFigureFlags)
        for (const BackgroundFigure& flag : flags_) out[n++] = &flag;
    return n;
}

void SharedBackground::PushState() { saved_.push_back({tint, figures_}); }

void SharedBackground::PopState() {
    if (saved_.size() == 0) return;
    const Look look = saved_[saved_.size() - 1];
    saved_.erase(saved_.size() - 1);
    tint = look.tint;
    figures_ = look.figures;
}

SharedBackground* sharedBackground() { return dynamic_cast<SharedBackground*>(gSharedBackground); }
