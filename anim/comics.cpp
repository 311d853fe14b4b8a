// The comics manager: loading, playing, keys, the press-any-key hint and the end fade.
#include "anim/comics.h"

#include <cstdlib>

#include "core/text.h"
#include "engine/data/ini.h"
#include "engine/gr/gr_util.h"

cComicsManager* gComics = nullptr;

namespace {
constexpr int kEscape = 27;
constexpr int kComicCount = 5;
const Vec2f kScreenCentre(512.0f, 384.0f);
}  // namespace

cComicsManager::~cComicsManager() {
    spriteFree(&darkness_);
    fontFree(&font_);
    free(path_);
    animations_.Clear();
}

void cComicsManager::LoadAll() {
    for (int n = 1; n <= kComicCount; ++n) {
        char path[128] = {};
        safeSnprintf(path, sizeof path, "data/Comics/%d.anm", n);
        C_Animation* comic = animations_.At(animations_.Add(path));
        if (!comic) continue;
        comic->Load();
        comic->LoadTexts();
        comic->BuildSoundKeys();
        comic->BuildStops();
        comic->SetDrawHook(ShowPressAnyKey);
    }
    font_ = iniReadFont("Data/shared.ini", "GameWindow", "day_label_font");
    darkness_ = grLoadSprite(iniGetString("Data/shared.ini", "Comics", "darkness", ""), nullptr, 0);
}

void cComicsManager::Play(const char* path) {
    freeAndNull(path_);
    path_ = strDup(path);
    Start(path_);
}

void cComicsManager::Start(const char* path) {
    if (current_) return;
    time_ = shownTime_ = fade_ = 0.0f;
    current_ = FindComic(path);
    if (!current_) return;
    current_->LoadSprites();
    current_->BuildStops();
    // A comic shown before keeps its sound clock at its last showing's end.
    current_->SetObjectsTime(-1.0f);
}

void cComicsManager::Stop() {
    time_ = shownTime_ = fade_ = 0.0f;
    if (current_) current_->FreeSprites();
    current_ = nullptr;
}

int cComicsManager::Update(float seconds) {
    if (!current_) return 0;
    const float length = current_->Length();
    time_ += seconds;
    if (time_ >= length) time_ = length;
    if (shownTime_ >= length) {
        fade_ += seconds;
        if (fade_ >= 1.0f) {
            fade_ = 1.0f;
            Stop();
        }
    }
    return 1;
}

int cComicsManager::Draw(float opacity) {
    if (!current_) return 0;
    if (fade_ <= 1.0f) {
        shownTime_ = current_->Draw(time_, opacity, kScreenCentre, 1);
        time_ = shownTime_;
    }
    const float a = opacity * fade_;
    if (a > 0.0f && darkness_) {
        animOutput().draw(sMaterial(2, 4, 1, 30), 0, 0, 1024, 768, darkness_, 0, 0,
                          spriteWidth(darkness_), spriteHeight(darkness_),
                          ColorRGBA(255, 255, 255, static_cast<int>(a * 255.0f)).Argb(), 0);
    }
    return 1;
}

void cComicsManager::OnButton(int code) {
    if (!current_) return;
    const bool jump = code == kEscape || current_->IsWaitingAtStop(shownTime_);
    if (!jump) return;
    shownTime_ = current_->NextStop(shownTime_);
    time_ = shownTime_;
}

void cComicsManager::ShowPressAnyKey(float, float opacity, const Vec2f* centre) {
    if (opacity <= 0.0f || !centre || !gComics) return;
    const char16_t* text = iniGetWideGlobal("Data/translation.ini", "#PRESS_ANY_KEY_FOR_COMICS");
    if (!text || !text[0]) return;
    grDrawText(gComics->font_, 512, 700, text, 0, 0, 0);
}
