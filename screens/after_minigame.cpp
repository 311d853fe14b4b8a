// The after-mini-game results screen.
#include "screens/after_minigame.h"

#include <cmath>
#include <cstring>

#include "anim/fx_effects.h"
#include "engine/gr/gr.h"
#include "game/profile.h"
#include "screens/shared_background.h"

namespace {

const char* const kFrame[] = {"Mid",         "Top",        "Bottom",  "Right",  "Left",
                              "RightBottom", "LeftBottom", "RightUp", "LeftUp", "Logo"};

uint32_t withAlpha(uint32_t colour, int alpha) {
    return (colour & 0xFFFFFFu) | static_cast<uint32_t>(IntClamp(alpha, 0, 255)) << 24;
}
int alphaOf(const UIWnd* w) { return static_cast<int>(w->tint >> 24); }
uint32_t grey(int level, int alpha) {
    const uint32_t l = static_cast<uint32_t>(IntClamp(level, 0, 255));
    return static_cast<uint32_t>(IntClamp(alpha, 0, 255)) << 24 | l << 16 | l << 8 | l;
}

}  // namespace

UIAfterMiniGame::~UIAfterMiniGame() {
    for (PulseSprite* p : pulses_) delete p;
    // Deleted while on show (at shut-down), it keeps the borrowed shared background alive.
    background_.GiveBack(this);
}

void UIAfterMiniGame::Create(const char* file, const char* section) {
    Window::Create(file, section);
    for (const char* name : kFrame) CreateChildFromIni(this, file, name, 0, 0);
    zuna_ = CreateChildFromIni(this, file, "Zuna", 0, 0);
    zunaExpert_ = CreateChildFromIni(this, file, "ZunaExpert", 0, 0);
    thanks_ = CreateChildFromIni(this, file, "Thanks", 0, 0);
    CreateChildFromIni(this, file, "BtnOk", 0, 0);
    ribbonLeft_ = CreateChildFromIni(this, file, "RibbonLeft", 0, 0);
    bonusLevel_ = CreateChildFromIni(this, file, "BonusLevel", 0, 0);
    ribbonRight_ = CreateChildFromIni(this, file, "RibbonRight", 0, 0);
    struct LineNames {
        const char *caption, *amount, *pulse;
    } names[kLines] = {{"Found", "FoundAmount", nullptr},
                       {"Reward", "RewardAmount", "RewardPic"},
                       {"SpeedBonus", "SpeedBonusAmount", "SpeedBonusPic"},
                       {"Total", "TotalAmount", "TotalPic"}};
    for (int i = 0; i < kLines; ++i) {
        if (i == kTotal) CreateChildFromIni(this, file, "Divider", 0, 0);
        UIWnd* caption = CreateChildFromIni(this, file, names[i].caption, 0, 0);
        UIWnd* amount = CreateChildFromIni(this, file, names[i].amount, 0, 0);
        delete pulses_[i];
        pulses_[i] = nullptr;
        if (names[i].pulse) {
            pulses_[i] = new PulseSprite;
            pulses_[i]->Load(file, names[i].pulse);
        }
        lines_[i].Init(caption, amount, pulses_[i]);
        lines_[i].Reset();
    }
    CreateChildFromIni(this, file, "Ribbon", 0, 0);
    strcpy(UIWnd::section, "UIAfterMiniGameBase");
    entering_ = 1;
}

void UIAfterMiniGame::SetResults(const cMiniGameResult& result) {
    number_ = result.number;
    lines_[kFound].SetTarget(static_cast<float>(result.served));
    total_ = result.itemPrice * result.served;
    lines_[kReward].SetTarget(static_cast<float>(total_));
    lines_[kSpeedBonus].SetTarget(static_cast<float>(result.bonus));
    total_ += result.bonus;
    lines_[kTotal].SetTarget(static_cast<float>(total_));
    entering_ = 1;
}

void UIAfterMiniGame::moveAll(int dy) {
    // The shared background stays where it is: the panel slides over it.
    for (int i = 0; i < childCount(); ++i)
        if (children[i] != gSharedBackground) children[i]->Move(0, dy);
    for (PulseSprite* p : pulses_)
        if (p) p->Position().y += static_cast<float>(dy);
}

void UIAfterMiniGame::OnShow(int finished) {
    Window::OnShow(finished);
    if (finished) return;
    if (gCurrentMiniGame && gCurrentMiniGame->GetResult())
        SetResults(*gCurrentMiniGame->GetResult());
    // The results stand on the lobby, greyed, without the figures: the panel has its own.
    background_.TakeWithLook(this, 0xFF7F7F7Fu, kFigureBackground | kFigureFlags);
    if (ribbonLeft_ && bonusLevel_ && ribbonRight_) {
        int width = 0;
        grGetMode(&width, nullptr, nullptr, nullptr);
        bonusLevel_->xs = static_cast<int16_t>(
            grTextWidth(bonusLevel_->font, bonusLevel_->caption, kUiCaptionUnits));
        ribbonLeft_->x = static_cast<int16_t>(
            (width - ribbonLeft_->xs - bonusLevel_->xs - ribbonRight_->xs) / 2);
        bonusLevel_->x = static_cast<int16_t>(ribbonLeft_->x + ribbonLeft_->xs);
        ribbonRight_->x = static_cast<int16_t>(bonusLevel_->x + bonusLevel_->xs);
    }
    if (zuna_ && zunaExpert_) {
        cPlayerProfile* profile = cPlayerProfile::Current();
        const bool expert = profile && profile->GetCurrentLevelResult() == 3;
        zuna_->setHidden(expert);
        zunaExpert_->setHidden(!expert);
        zuna_->tint = withAlpha(0xFFFFFFu, 0);
        zunaExpert_->tint = withAlpha(0xFFFFFFu, 0);
    }
    moveAll(-SlideIn::kSlideDistance);
    slide_.Start();
    for (int i = 0; i < childCount(); ++i)
        if (children[i] != zuna_ && children[i] != zunaExpert_ && children[i] != gSharedBackground)
            children[i]->tint = 0xFFFFFFFFu;
    entering_ = 1;
    clock = 0;
    if (auto* text = dynamic_cast<UITextStatic*>(thanks_)) text->xFont = text->yFont = 1.5f;
    if (thanks_) thanks_->tint = withAlpha(thanks_->tint, 0);
    for (CountingNumber& line : lines_) line.Reset();
    stampDone_ = 0;
    if (fx) fx->Stop();
    dimLevel_ = 255;
}

void UIAfterMiniGame::OnHide(int finished) {
    Window::OnHide(finished);
    if (finished) background_.GiveBack(this);
}

void UIAfterMiniGame::slideIn() {
    bool finished = false;
    moveAll(slide_.Step(clock, &finished));
    if (finished) {
        entering_ = 0;
        clock = 0;
    }
}

bool UIAfterMiniGame::stamp(int ms) {
    auto* text = dynamic_cast<UITextStatic*>(thanks_);
    if (!text) return true;
    if (text->yFont > 1.0f) {
        const float next = text->yFont - 2.0f * ms / 1000.0f;
        text->yFont = next < 1.0f ? 1.0f : next;
        text->xFont = text->yFont;
    }
    text->tint = withAlpha(text->tint, alphaOf(text) + 2 * ms);
    return !(text->yFont > 1.0f);
}

void UIAfterMiniGame::celebrate(int ms) {
    int a = alphaOf(zunaExpert_);
    if (a < 255) {
        a = IntMin(255, a + ms / 3);
        zunaExpert_->tint = withAlpha(0xFFFFFFu, a);
        dimLevel_ = static_cast<uint16_t>(255 - a * 3 / 4);
        for (int i = 0; i < childCount(); ++i)
            if (children[i] != zunaExpert_ && children[i] != gSharedBackground)
                children[i]->tint = grey(dimLevel_, alphaOf(children[i]));
        clock = 0;
        if (fx) initFxRecord(fx->Show());
    } else if (clock > 3500) {
        const int level = IntMin(255, dimLevel_ + ms / 2);
        dimLevel_ = static_cast<uint16_t>(level);
        for (int i = 0; i < childCount(); ++i)
            if (children[i] != zunaExpert_ && children[i] != gSharedBackground)
                children[i]->tint = grey(level, alphaOf(children[i]));
    }
}

int UIAfterMiniGame::Update(int ms) {
    const int stop = Window::Update(ms);
    if (fx) fx->Update(ms / 1000.0f);
    if (entering_) {
        slideIn();
        return stop;
    }
    if (stampDone_) {
        if (zunaExpert_ && !zunaExpert_->hidden()) {
            celebrate(ms);
        } else if (zuna_) {
            zuna_->tint = withAlpha(zuna_->tint, IntMin(255, alphaOf(zuna_) + ms / 3));
        }
        return stop;
    }
    for (CountingNumber& line : lines_)
        if (!line.Update(ms)) return stop;
    stampDone_ = stamp(ms) ? 1 : 0;
    return stop;
}

int UIAfterMiniGame::OnKeyDown(int key, intptr_t data) {
    if (key == kUiLeftButton && !entering_)
        for (CountingNumber& line : lines_) line.Finish();
    return UIWnd::OnKeyDown(key, data);
}

int UIAfterMiniGame::OnCommand(UIWnd* sender) {
    if (!sender || strcmp(sender->section, "BtnOk") != 0) return UIWnd::OnCommand(sender);
    if (cPlayerProfile* profile = cPlayerProfile::Current()) {
        profile->AddSkillPoints(static_cast<float>(total_));
        // Moving on saves the player and reads it again.
        profile->GoToLevel(profile->GetLevel() + 1);
    }
    CloseSelf();
    if (mapScreen && WM::Get()) WM::Get()->Push(mapScreen, true, false, false);
    delete gCurrentMiniGame;
    return 1;
}

int UIAfterMiniGame::Draw() {
    Window::Draw();
    for (CountingNumber& line : lines_) line.Draw(grey(dimLevel_, dimLevel_));
    if (fx) fx->Draw();
    return 0;
}
