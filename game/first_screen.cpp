// The stand-in first screen: shows that pictures, sprites, materials, triangles, fonts, sounds,
// music and the comics all work, and closes on Escape.
#include "game/first_screen.h"

#include <cmath>
#include <initializer_list>

#include "anim/comics.h"
#include "core/text.h"
#include "engine/gr/gr.h"
#include "engine/snd/snd.h"
#include "game/fx_demo.h"
#include "game/world_demo.h"

namespace {

constexpr int kEscape = 27;
constexpr int kLeftButton = 1;
constexpr int kKeyW = 'W';
constexpr int kKeyComic = 'K';
constexpr int kComicCount = 5;
constexpr int kStarPeriodMs = 400;

class FirstScreen : public ShellWM {
public:
    FirstScreen() {
        picture_ = grLoadSprite("Data/Pictures/hotel.jpg", nullptr, 0);
        coin_ = grLoadSprite("Data/Sprites/coin.tga", nullptr, 0);
        star_ = grLoadSprite("Data/Sprites/star.png", nullptr, 0);
        spin_ = grLoadSprite("Data/Sprites/star_spin.tga", nullptr, 0);
        grSetFrames(spin_, kStarPeriodMs, 4);
        font_ = grLoadFont("Data/Fonts/normal.tga", nullptr);
        title_ = grLoadFont("Data/Fonts/large.tga", nullptr);
        sndPlayMusic("menu", 1, 1, nullptr);
        fx_ = fxDemoCreate();
        gComics = new cComicsManager;
        gComics->LoadAll();
    }
    ~FirstScreen() override {
        deleteAndNull(gComics);
        delete demo_;
        for (HSPRITE s : {picture_, coin_, star_, spin_}) grFreeSprite(s);
        grFreeFont(font_);
        grFreeFont(title_);
        fxDemoDestroy(fx_);
    }

    int Count() override { return open_ ? 1 : 0; }
    int Update(int milliseconds) override {
        if (demo_) {
            demo_->Update(milliseconds);
            if (!demo_->Count()) {
                delete demo_;
                demo_ = nullptr;
            }
            return 1;
        }
        time_ += milliseconds;
        fxDemoUpdate(fx_, milliseconds);
        gComics->Update(milliseconds / 1000.0f);
        return 1;
    }
    int Render() override {
        if (demo_) return demo_->Render();
        grDrawSprite(0, 0, picture_, 0);
        const float t = time_ / 1000.0f;
        // Opaque coins with their alpha images, then tinted and additive ones.
        for (int i = 0; i < 5; ++i) grDrawSprite(80 + i * 60, 600, coin_, 0);
        grDrawSpriteColor(sMaterial(4, 4, 1, 30), 400, 600, coin_, 0xFF60C0FFu, 0);
        const uint32_t pulse = static_cast<uint32_t>(128 + 127 * std::sin(t * 3)) << 24;
        grDrawSpriteColor(sMaterial(2, 4, 1, 30), 470, 600, star_, pulse | 0xFFD040u, 0);
        grDrawSpriteMat(sMaterial(2, 2, 1, 31), 560, 590, spin_, time_);
        drawRotated(star_, 720, 620, t, 1.0f + 0.3f * std::sin(t * 2));
        grDrawTextExA(sMaterial(4, 4, 1, 30), title_, 512, 60, "Welcome to the Velmora",
                      0xFFFFF0C0u, 0, 0, 0);
        grDrawTextA(font_, 512, 720, "Click to hear a click; W walks into the hotel; K plays a comic; Esc leaves.", 0,
                    0, 0);
        grDrawTextA(font_, 512, 745, fxDemoHelp(), 0, 0, 0);
        fxDemoDraw(fx_);
        gComics->Draw(1.0f);
        return 1;
    }
    int OnKeyDown(int key, intptr_t data) override {
        if (demo_) return demo_->OnKeyDown(key, data);
        // While a comic shows it takes every key, Escape included.
        if (gComics->IsShowing()) {
            gComics->OnButton(key);
            return 1;
        }
        if (key == kKeyComic) {
            char path[32];
            safeSnprintf(path, sizeof path, "data/Comics/%d.anm", nextComic_ + 1);
            nextComic_ = (nextComic_ + 1) % kComicCount;
            gComics->Play(path);
            return 1;
        }
        if (key == kKeyW) {
            demo_ = worldDemoCreate();
            return 1;
        }
        if (key == kEscape) open_ = false;
        if (key == kLeftButton) sndPlay("click", 0);
        fxDemoKey(fx_, key);
        return 1;
    }
    int OnKeyUp(int, intptr_t) override { return 1; }
    int OnChar(int, intptr_t) override { return 1; }
    int OnMouseMove(int buttons, intptr_t position) override {
        if (demo_) return demo_->OnMouseMove(buttons, position);
        fxDemoMouse(fx_, position);
        return 1;
    }

private:
    // A sprite turned by angle radians and scaled about its centre, as two textured triangles.
    static void drawRotated(HSPRITE sprite, float cx, float cy, float angle, float scale) {
        const float hw = spriteWidth(sprite) * scale / 2, hh = spriteHeight(sprite) * scale / 2;
        const float c = std::cos(angle), s = std::sin(angle);
        float x[4], y[4];
        const float cornerX[4] = {-hw, hw, hw, -hw}, cornerY[4] = {-hh, -hh, hh, hh};
        for (int i = 0; i < 4; ++i) {
            x[i] = cx + cornerX[i] * c - cornerY[i] * s;
            y[i] = cy + cornerX[i] * s + cornerY[i] * c;
        }
        const sMaterial alpha(2, 2, 1, 30);
        SpriteBlt(alpha, x[0], y[0], x[1], y[1], x[2], y[2], sprite, 0, 0, 1, 0, 1, 1,
                  0xFFFFFFFFu, 0);
        SpriteBlt(alpha, x[0], y[0], x[2], y[2], x[3], y[3], sprite, 0, 0, 1, 1, 0, 1,
                  0xFFFFFFFFu, 0);
    }

    HSPRITE picture_ = nullptr, coin_ = nullptr, star_ = nullptr, spin_ = nullptr;
    CGraphFont* font_ = nullptr;
    CGraphFont* title_ = nullptr;
    FxDemo* fx_ = nullptr;
    int time_ = 0;
    int nextComic_ = 0;
    bool open_ = true;
    ShellWM* demo_ = nullptr;  // the world demo while it is open
};

}  // namespace

ShellWM* firstScreenCreate() { return new FirstScreen; }
