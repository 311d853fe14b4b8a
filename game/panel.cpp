// The command panels' round buttons and the panel that holds them: which kinds a panel shows,
// when a button lights, its outline and flash, and the click that calls a hero out.
#include "game/panel.h"

#include <cmath>
#include <cstdint>
#include <cstring>

#include "core/text.h"
#include "engine/data/ini.h"
#include "engine/gr/gr_util.h"
#include "engine/platform/log.h"
#include "game/game.h"
#include "world/coordinates.h"
#include "world/hero.h"
#include "world/level_object.h"
#include "world/request.h"

namespace {

constexpr uint32_t kWhite = 0xFFFFFFFFu;
constexpr uint32_t kYellow = 0xFFFFFF2Du;
constexpr uint32_t kClearWhite = 0x00FFFFFFu;
const char* const kButtonSections[cCommandPanel::kButtons] = {"Btn0", "Btn1", "Btn2", "Btn3"};

// The hero of that name in the level being played, as a hero with a base to be called from.
cHero* heroNamed(const char* name) {
    return gCurrentGame ? dynamic_cast<cHero*>(gCurrentGame->GetHeroByName(name)) : nullptr;
}

}  // namespace

// --- cRoundBtn ----------------------------------------------------------------------------------

cRoundBtn::cRoundBtn() : kind_(kNoRequest) { state = UI_IGNORE; }

cRoundBtn::~cRoundBtn() {
    spriteFree(&icon_);
    spriteFree(&outline_);
}

void cRoundBtn::Create(UIWnd* parent, const char* file, const char* name) {
    if (!parent || !file || !*file || !name || !*name) return;
    // The INI store's buffers rotate: the names are read many times below.
    char fileBuf[kUiFileSize], section[kUiSectionSize];
    StrCopyN(fileBuf, file, sizeof fileBuf);
    StrCopyN(section, name, sizeof section);
    StrCopyN(iniFile, fileBuf, sizeof iniFile);
    UIWndButtonIE::Load(fileBuf, section);
    state = UI_IGNORE;
    Move(parent->x, parent->y);
    if (!parent->AddChild(this)) return;
    spriteFree(&icon_);
    spriteFree(&outline_);
    icon_ = iniReadAnimSprite(fileBuf, section, "icon");
    outline_ = iniReadAnimSprite(fileBuf, section, "outline");
    const Point2i corner(parent->x, parent->y);
    iconPos_ = corner + iniGetPoint(fileBuf, section, "icon_x", "icon_y");
    outlinePos_ = corner + iniGetPoint(fileBuf, section, "outline_x", "outline_y");
    centre_ = corner + iniGetPoint(fileBuf, section, "radius_x", "radius_y");
    radius_ = iniGetIntHeld(fileBuf, section, "radius", -kMaxCoordinate, kMaxCoordinate);
}

void cRoundBtn::SetRequest(const char* heroName, int kind, int grade) {
    hero_ = heroNamed(heroName);
    kind_ = kind;
    if (kind >= 0 && kind < kNoRequest) {
        char key[48];
        safeSnprintf(key, sizeof key, "%s%d", RequestKindName(kind), grade);
        spriteFree(&icon_);
        icon_ = iniReadAnimSprite(iniFile, "Icons", key);
        if (!icon_) logPrintf("%s [Icons]: no icon \"%s\"\n", iniFile, key);
    }
    state = UI_NORMAL;
}

const cRequest* cRoundBtn::waitingRequest() const {
    cGame* game = gCurrentGame;
    if (!game) return nullptr;
    if (kind_ == kNoRequest) {
        cBaseObj* waiting = game->FindWaitingRequestOfHero(hero_);
        return waiting ? &waiting->GetRequest() : nullptr;
    }
    if (kind_ == kRepair) {
        // Room upgrades are the Porter's work too: his repair button stands for them.
        const cRequest* repair = game->FindRequest(kRepair, true);
        return repair ? repair : game->FindRequest(kUpgrade, true);
    }
    return kind_ >= 0 && kind_ < kNoRequest ? game->FindRequest(kind_, true) : nullptr;
}

bool cRoundBtn::UpdateProgress() {
    const cRequest* request = state != UI_IGNORE ? waitingRequest() : nullptr;
    if (!request) return false;
    const cLevelObj* owner = request->GetOwner();
    const bool attached = owner && owner->GetAttached();
    const char* hint = nullptr;
    switch (kind_) {
    case kClean: hint = attached ? "Clean_Start" : nullptr; break;
    case kFire: hint = attached ? "Fire_Start" : nullptr; break;
    case kRepair: hint = request->GetKind() == kRepair ? "Repair_Start" : "Upgrade_Start"; break;
    case kWater: hint = "Water_Start"; break;
    default: break;
    }
    if (hint) gCurrentGame->OnTutorialEventAt(hint, centre_, radius_);
    return true;
}

bool cRoundBtn::HitTest(int px, int py) {
    if (state == UI_IGNORE) return false;
    // In 64 bits: the centre and the radius are the layout's, held only to the coordinates' range.
    const int64_t dx = static_cast<int64_t>(px) - centre_.x;
    const int64_t dy = static_cast<int64_t>(py) - centre_.y;
    hovered_ = dx * dx + dy * dy <= static_cast<int64_t>(radius_) * radius_;
    const bool hit = hovered_ && UpdateProgress();
    state = hit ? UI_ACTIVE : UI_NORMAL;
    return hit;
}

int cRoundBtn::OnKeyDown(int key, intptr_t data) {
    if (!HitTest(uiPackedX(data), uiPackedY(data))) return 0;
    UIWndSprite::OnKeyDown(key, data);
    if (hero_ && (hero_->IsUnavailable() || hero_->GetState() == cHero::kStateToBase)) {
        hero_->Summon(kind_);
        return 1;
    }
    return 0;
}

uint32_t cRoundBtn::OutlineColour() const {
    uint32_t colour = hovered_ ? kWhite : hero_ && hero_->IsUnavailable() ? kYellow : kClearWhite;
    if (clock < flashEnd_) {
        // White, so that the flash shows against the yellow of a resting hero's buttons.
        colour = kWhite;
        const float f = static_cast<float>(kFlashMs - (flashEnd_ - clock)) / kFlashMs;
        const uint32_t alpha =
            static_cast<uint32_t>(std::fabs(std::sin(f * 3.14f / 2.0f)) * 255.0f);
        colour = (colour & 0x00FFFFFFu) | alpha << 24;
    }
    return colour;
}

int cRoundBtn::Update(int ms) {
    lit_ = UpdateProgress();
    return UIWndButtonIE::Update(ms);
}

int cRoundBtn::Draw() {
    if (outline_ && lit_)
        grDrawSpriteColor(sMaterial(4, 4, 1, 30), outlinePos_.x, outlinePos_.y, outline_,
                          OutlineColour(), clock);
    UIWndButtonIE::Draw();
    if (icon_) {
        const int shift = state == UI_PRESS ? 1 : 0;
        grDrawSprite(iconPos_.x + shift, iconPos_.y + shift, icon_, clock);
    }
    return 0;
}

// --- cCommandPanel ------------------------------------------------------------------------------

cCommandPanel::cCommandPanel() { state = UI_NORMAL; }

cCommandPanel::~cCommandPanel() = default;

void cCommandPanel::Load(const char* file, const char* name) {
    if (loading_) {
        Window::Load(file, name);
        return;
    }
    if (!file || !*file || !name || !*name) return;
    char fileBuf[kUiFileSize], section[kUiSectionSize];
    StrCopyN(fileBuf, file, sizeof fileBuf);
    StrCopyN(section, name, sizeof section);
    loading_ = true;
    Window::Create(fileBuf, section);
    loading_ = false;
    const char* hero = iniGetString(fileBuf, "Main", "hero", "");
    if (strlen(hero) >= sizeof heroName_)
        logPrintf("%s [Main]: the hero \"%s\" is longer than %d characters; it is cut\n", fileBuf,
                  hero, kHeroNameSize - 1);
    StrCopyN(heroName_, hero, sizeof heroName_);
    CreateChildFromIni(this, fileBuf, "Back", 1, 0);
    big_ = new cRoundBtn;
    big_->Create(this, fileBuf, "BigBtn");
    for (int i = 0; i < kButtons; ++i) {
        buttons_[i] = new cRoundBtn;
        buttons_[i]->Create(this, fileBuf, kButtonSections[i]);
    }
    // A button the list could not take is no child: it goes now, and the panel forgets it.
    for (cRoundBtn** b : {&big_, &buttons_[0], &buttons_[1], &buttons_[2], &buttons_[3]})
        if ((*b)->parent != this) {
            delete *b;
            *b = nullptr;
        }
    if (big_) big_->SetRequest(heroName_, kNoRequest, 0);
}

void cCommandPanel::AddRequest(int kind) {
    // A panel without a hero serves nothing, not the kinds that name no hero.
    if (kind < 0 || kind >= kNoRequest || !*heroName_) return;
    if (strcmp(iniGetString(kRequestFile, RequestKindName(kind), "hero", ""), heroName_) != 0)
        return;
    char target[64];
    StrCopyN(target, iniGetString(kRequestFile, RequestKindName(kind), "target", ""),
             sizeof target);
    const cLevelObj* object = gCurrentGame ? gCurrentGame->FindLevelObjectByName(target) : nullptr;
    const int grade = object ? object->GetRequestGrade() : 0;
    for (cRoundBtn* button : buttons_)
        if (button && button->state == UI_IGNORE) {
            button->SetRequest(heroName_, kind, grade);
            return;
        }
}

void cCommandPanel::FlashRequest(int kind) {
    for (cRoundBtn* button : buttons_)
        if (button && button->IsShowing() == kind) {
            button->Flash();
            // The hero's own button flashes with it: that is the one to press first.
            if (big_) big_->Flash();
            return;
        }
}

bool cCommandPanel::HitTest(int px, int py) {
    bool hit = false;
    for (cRoundBtn* button : {buttons_[0], buttons_[1], buttons_[2], buttons_[3], big_})
        if (button && button->HitTest(px, py)) {
            hit = true;
            break;
        }
    if (big_) big_->state = hit ? UI_ACTIVE : UI_NORMAL;
    return hit;
}
