// The comics: five story animations played full screen over the screen that starts them, held at
// their stops until a key, skipped with Escape, and darkened away over their last second.
#pragma once

#include "anim/animation.h"

class cComicsManager {
public:
    cComicsManager() = default;
    virtual ~cComicsManager();
    cComicsManager(const cComicsManager&) = delete;
    cComicsManager& operator=(const cComicsManager&) = delete;

    // "data/Comics/1.anm" to "5.anm", the hint font and the darkness image. A comic's pictures
    // are read when it starts and let go when it ends: shown a few times a run, they would
    // otherwise hold megabytes through every level. Here they are only looked for, so that a
    // missing one is reported at start without decoding the others for nothing.
    void LoadAll();
    // Starts the comic of that path unless one is showing already.
    void Play(const char* path);
    // 0 while no comic shows, else 1 (also on the update that ends it).
    int Update(float seconds);
    int Draw(float opacity);
    void OnButton(int code);
    // The draw hook of every comic: the press-any-key hint while playback holds.
    static void ShowPressAnyKey(float time, float opacity, const Vec2f* centre);

    void Start(const char* path);
    C_Animation* FindComic(const char* path) const { return animations_.FindAnimation(path); }
    void Stop();

    bool IsShowing() const { return current_ != nullptr; }
    C_Animation* Current() const { return current_; }
    float Fade() const { return fade_; }
    float ShownTime() const { return shownTime_; }
    const C_AnimationList& Animations() const { return animations_; }

private:
    float time_ = 0.0f;
    float shownTime_ = 0.0f;
    float fade_ = 0.0f;
    C_Animation* current_ = nullptr;
    C_AnimationList animations_;
    char* path_ = nullptr;
    CGraphFont* font_ = nullptr;
    HSPRITE darkness_ = nullptr;
};

// The one manager, made by the game's loader; null until then.
extern cComicsManager* gComics;
