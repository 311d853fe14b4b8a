// The episode map screen.
#include "screens/map.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "core/strings.h"
#include "core/text.h"
#include "engine/data/ini.h"
#include "engine/gr/gr_util.h"
#include "engine/platform/log.h"
#include "engine/snd/snd.h"
#include "game/game.h"
#include "game/game_data.h"
#include "game/profile.h"
#include "minigames/minigame.h"
#include "screens/between.h"
#include "screens/holders.h"
#include "screens/shop.h"

uint32_t gSelectedWayPoint = 0;

namespace {

constexpr const char* kMapFile = "Data/Menu/UIMap/UIMap.ini";
constexpr int kLeftButton = 1;
constexpr int kHintHidden = 100000;

bool named(const UIWnd* w, const char* name) { return w && std::strcmp(w->section, name) == 0; }

UIWnd* child(UIWnd* parent, const char* file, const char* section, int relative) {
    return CreateChildFromIni(parent, file, section, relative, 0);
}

void setNumber(UIWnd* w, uint32_t value) {
    if (w) w->SetTextF("%u", value);
}

}  // namespace

UIGameMap::~UIGameMap() {
    spriteFree(&glow_);
    spriteFree(&background_);
    for (HSPRITE& s : sprites_) spriteFree(&s);
    for (Photo& p : photos_) {
        spriteFree(&p.picture);
        spriteFree(&p.stamp);
    }
    // Buttons hold their own reference to whichever font they were lent.
    grFreeFont(disabledFont_);
    grFreeFont(playFont_);
    delete mustHaveSign_;
    delete skillSign_;
    delete hint_;
}

void UIGameMap::Create(const char* file, const char* section) {
    Window::Create(file, section);
    if (!file || !*file) return;
    pictures_.BeginCapture();
    loadParams(file);
    leftPrice_ = Point2i(iniGetInt(kMapFile, "LeftPriceArea", "x", 0),
                         iniGetInt(kMapFile, "LeftPriceArea", "y", 0));
    rightPrice_ = Point2i(iniGetInt(kMapFile, "RightPriceArea", "x", 0),
                          iniGetInt(kMapFile, "RightPriceArea", "y", 0));
    background_ = iniReadAnimSprite(file, "Background", "sprite");
    for (const char* name : {"Logo", "RightPriceArea", "LeftPriceArea", "Gold", "Silver"})
        child(this, file, name, 0);
    mustHaveSign_ = new cFrame;
    mustHaveSign_->Load(file, "MustHave");
    child(mustHaveSign_, file, "MustHaveText", 1);
    child(mustHaveSign_, file, "MustHaveArrow", 1);
    skillSign_ = new cFrame;
    skillSign_->Load(file, "SkillAvailable");
    child(skillSign_, file, "SkillAvailableText", 1);
    child(skillSign_, file, "SkillAvailableArrow", 1);
    for (const char* name : {"BottomPanel", "Day", "Minigame", "Country", "Cash", "SkillPoints",
                             "Menu", "Play", "Shop", "School", "Home"})
        child(this, file, name, 0);
    // Kept with a reference of the map's own: "Play" gives its font back while disabled.
    if (UIWnd* play = findChild(this, "Play"); play && play->font) {
        playFont_ = play->font;
        grAddRef(grHandle(playFont_));
    }
    refreshPlayButton();
    const char* keys[kSprites] = {"wp_level", "wp_level_disabled", "wp_level_star",
                                  "wp_level_expert", "wp_mini", "wp_mini_disabled", "wp_mini_star"};
    for (int i = 0; i < kSprites; ++i) sprites_[i] = iniReadAnimSprite(file, "Sprites", keys[i]);
    states_.clear();
    for (uint32_t i = 0; i < gWayPoints.size(); ++i) states_.push_back(kLocked);
    for (int e = 0; e < 4; ++e) {
        char photo[16];
        std::snprintf(photo, sizeof photo, "Photo%d", e + 1);
        iniReadIntPair(&photos_[e].position, file, photo, "pos");
        photos_[e].picture = iniReadAnimSprite(file, photo, "picture");
        photos_[e].stamp = iniReadAnimSprite(file, photo, "stamp");
    }
    StrCopyN(this->section, "UIMapBase", kUiSectionSize);
    createHintWindow();
    // Held only while the map shows: the levels between need the room.
    pictures_.EndCapture();
    pictures_.Park();
}

void UIGameMap::loadParams(const char* file) {
    glow_ = iniReadAnimSprite(file, "Sprites", "glow");
    if (glow_) {
        glowMin_ = iniGetInt(kMapFile, "Param", "glow_min", 0);
        glowMax_ = iniGetInt(kMapFile, "Param", "glow_max", 0);
        glowSpeed_ = iniGetInt(kMapFile, "Param", "glow_speed", 0);
        glowValue_ = glowMin_;
    }
    const char* font = iniGetString(file, "Param", "font_disabled", "");
    if (*font) disabledFont_ = grLoadFont(font, nullptr);
}

void UIGameMap::createHintWindow() {
    const char16_t* day = iniGetWideGlobal("Data/translation.ini", "#MENU_DAY");
    dayWord_ = day ? std::u16string(day).substr(0, 31) : std::u16string();
    hint_ = new Window;
    hint_->Create(iniFile, "hintWnd");
    hintAppear_ = iniGetInt(iniFile, "hintWnd", "appearTime", 0);
    child(hint_, iniFile, "hintWnd_MoneyIcon", 1);
    child(hint_, iniFile, "hintWnd_ExpIcon", 1);
    hintMoney_ = child(hint_, iniFile, "hintWnd_MoneyLabel", 1);
    hintExp_ = child(hint_, iniFile, "hintWnd_ExpLabel", 1);
    hintDay_ = child(hint_, iniFile, "hintWnd_DayLabel", 1);
    hintMini_ = child(hint_, iniFile, "hintWnd_MinigameLabel", 1);
    hintTimer_ = kHintHidden;
    hint_->setHidden(true);
    hint_->SetColorAll(0x00FFFFFFu);
}

bool UIGameMap::miniGameSelected() const {
    return gSelectedWayPoint < gWayPoints.size() &&
           gWayPoints[gSelectedWayPoint].GetKind() != cMapWayPoint::kLevel;
}

void UIGameMap::SelectWayPoint(uint32_t i) {
    if (i >= states_.size()) return;
    gSelectedWayPoint = i;
    RefreshSelection();
}

void UIGameMap::RefreshStates() {
    if (!gCurrentProfile) return;
    int counter = 0;
    for (uint32_t i = 0; i < gWayPoints.size() && i < states_.size(); ++i) {
        cMapWayPoint& w = gWayPoints[i];
        if (i == 0 || w.GetEpisode() != gWayPoints[i - 1].GetEpisode()) counter = 0;
        if (w.GetKind() == cMapWayPoint::kMiniGame) {
            w.SetLevelNumber(-1);
        } else {
            ++counter;
            w.SetLevelNumber(counter);
        }
        const int r = w.GetResult();
        if (r == 0 || r == 1) {
            const bool open = i == 0 || (gWayPoints[i - 1].GetResult() != 0 &&
                                         gWayPoints[i - 1].GetResult() != 1);
            states_[i] = open ? kOpen : kLocked;
        } else if (r == 2) {
            states_[i] = kOpen;
        } else if (r == 3) {
            states_[i] = kExpert;
        }
    }
}

void UIGameMap::RefreshSelection() {
    cPlayerProfile* p = gCurrentProfile;
    if (!p) return;
    if (gSelectedWayPoint != p->GetLevel()) {
        if (p->GetCurrentLevelResult() == 0) p->Save();
        p->SetLevel(gSelectedWayPoint);
        p = gCurrentProfile;
        if (!p) return;
    }
    UIWnd* day = findChild(this, "Day");
    UIWnd* mini = findChild(this, "Minigame");
    setNumber(day, static_cast<uint32_t>(p->GetLevelNumber()));
    const bool level = !miniGameSelected();
    if (day) day->setHidden(!level);
    if (mini) mini->setHidden(level);
    refreshTexts();
    hasMustHaveItem();
    hasBuyableItem();
    hasLearnableSkill();
    refreshPlayButton();
    enable(findChild(this, "Shop"), level);
    enable(findChild(this, "School"), level);
}

void UIGameMap::enable(UIWnd* button, bool on) {
    if (!button) return;
    button->SetState(on ? 1 : 0);
    // A lent font is one more reference, and the button's old one is given back, so that each
    // font is freed exactly once by each of its holders whatever the buttons were loaded with.
    CGraphFont* lent = on ? playFont_ : disabledFont_;
    if (button->font == lent) return;
    if (lent) grAddRef(grHandle(lent));
    grFreeFont(button->font);
    button->font = lent;
}

void UIGameMap::refreshTexts() {
    cPlayerProfile* p = gCurrentProfile;
    if (!p) return;
    if (UIWnd* day = findChild(this, "Day")) {
        char number[16];
        std::snprintf(number, sizeof number, "%d", p->CountEpisodeLevels(gSelectedWayPoint));
        day->SetTextW((dayWord_ + widenText(number)).c_str());
    }
    if (UIWnd* country = findChild(this, "Country")) {
        char key[48];
        std::snprintf(key, sizeof key, "#GLOBAL_MAP_COUNTRY_%u", static_cast<unsigned>(p->GetEpisode()));
        country->SetTextW(translatedText(key).c_str());
    }
    setNumber(findChild(this, "Cash"), p->GetCash());
    setNumber(findChild(this, "SkillPoints"), static_cast<uint32_t>(p->GetSkillPoints()));
}

void UIGameMap::hasMustHaveItem() {
    mustHave_ = false;
    cPlayerProfile* p = gCurrentProfile;
    if (!p || miniGameSelected() || gSelectedWayPoint == 0) return;
    const char* file = p->GetShopItemsIni();
    static char names[65536];
    iniGetSections(file, names, sizeof names);
    const int day = p->CountEpisodeLevels(gSelectedWayPoint);
    for (const char* s = names; *s; s += std::strlen(s) + 1) {
        int d = iniGetInt(file, s, "needed_from_day", 0);
        if (d == 0) d = 255;
        // Only an item the shop really offers can be asked for: otherwise "Play" would stay
        // disabled with nothing to buy.
        if (day >= d && shopWouldOffer(file, s)) {
            mustHave_ = true;
            return;
        }
    }
}

void UIGameMap::hasBuyableItem() {
    buyable_ = false;
    cPlayerProfile* p = gCurrentProfile;
    if (!p || miniGameSelected()) return;
    const char* file = p->GetShopItemsIni();
    static char names[65536];
    iniGetSections(file, names, sizeof names);
    for (const char* s = names; *s; s += std::strlen(s) + 1) {
        bool dependencies = true;
        const TokenList needs = TokenList::Split(iniGetString(file, s, "depends_on", ""), ',');
        for (uint32_t k = 0; k < needs.Count() && dependencies; ++k)
            dependencies = p->FindShopItem(needs.At(k)) != nullptr;
        if (!dependencies) continue;
        if (static_cast<uint32_t>(iniGetInt(file, s, "price.cash", 0)) > p->GetCash()) continue;
        if (static_cast<uint32_t>(iniGetInt(file, s, "price.popularity", 0)) > p->GetPopularity())
            continue;
        if (static_cast<uint32_t>(iniGetInt(file, s, "allowed_from_day", 0)) >
            static_cast<uint32_t>(p->GetLevelNumber()))
            continue;
        if (iniGetInt(file, s, "hidden", 0) != 0 || p->FindShopItem(s)) continue;
        buyable_ = true;
        return;
    }
}

void UIGameMap::hasLearnableSkill() {
    skill_ = false;
    cPlayerProfile* p = gCurrentProfile;
    if (!p || miniGameSelected()) return;
    for (uint32_t i = 0; i < gSchoolItems.size(); ++i) {
        const cSchoolItem* item = gSchoolItems[i];
        if (!item) continue;
        if (static_cast<uint32_t>(item->price) <= static_cast<uint32_t>(p->GetSkillPoints()) &&
            static_cast<uint32_t>(item->allowedFromLevel) <= p->GetLevel() &&
            !p->FindSchoolItem(item->type.c_str())) {
            skill_ = true;
            return;
        }
    }
}

void UIGameMap::refreshPlayButton() { enable(findChild(this, "Play"), !mustHave_); }

int UIGameMap::Update(int milliseconds) {
    const int result = UIWnd::Update(milliseconds);
    glowValue_ += glowSpeed_;
    if (glowValue_ < glowMin_) {
        glowValue_ = glowMin_;
        glowSpeed_ = -glowSpeed_;
    }
    if (glowValue_ > glowMax_) {
        glowValue_ = glowMax_;
        glowSpeed_ = -glowSpeed_;
    }
    // Without a positive maximum there is nothing to scale by: the lower limit holds.
    int alpha = glowMax_ > 0 ? static_cast<int>(510 / glowMax_) * glowValue_ + 50 : 0;
    alpha = std::max(100, std::min(255, alpha));
    glowColour_ = static_cast<uint32_t>(alpha) << 24 | 0xFFFFFFu;
    updateHint(milliseconds);
    return result;
}

void UIGameMap::updateHint(int ms) {
    if (!hint_) return;
    hintTimer_ -= ms;
    if (hintTimer_ >= 0) return;
    if (hint_->hidden()) {
        for (uint32_t i = 0; i < gWayPoints.size(); ++i) {
            if (!IsUnderCursor(i) || State(i) == kLocked) continue;
            fillHint(i);
            hint_->setHidden(false);
            hint_->SetColorAll(0x00FFFFFFu);
            if (cCursorManager* c = cursorGet())
                MoveWindowTo(hint_, c->position.x - (gWayPoints.size() ? gWayPoints[0].GetPos().x : 0),
                             c->position.y + 40);
        }
    } else {
        int alpha = static_cast<int>(hint_->tint >> 24);
        if (alpha < 255) {
            alpha = std::min(255, alpha + 15);
            hint_->SetColorAll(static_cast<uint32_t>(alpha) << 24 | 0xFFFFFFu);
        }
    }
}

void UIGameMap::fillHint(uint32_t i) {
    if (i >= gWayPoints.size()) return;
    const int n = gWayPoints[i].GetLevelNumber();
    Point2i start = gWayPoints[i].GetStartValues();
    if (n > 0 && hintDay_) {
        char number[16];
        std::snprintf(number, sizeof number, "%d", n);
        hintDay_->SetTextW((dayWord_ + widenText(number)).c_str());
    }
    if (hintDay_) hintDay_->setHidden(n < 1);
    if (hintMini_) hintMini_->setHidden(n > 0);
    if (n == 1) start.x = 0;  // an episode starts with an empty purse, whatever was stored
    setNumber(hintMoney_, static_cast<uint32_t>(start.x));
    setNumber(hintExp_, static_cast<uint32_t>(start.y));
}

HSPRITE UIGameMap::WayPointSprite(uint32_t i) const {
    if (i >= gWayPoints.size()) return nullptr;
    const bool level = gWayPoints[i].GetKind() == cMapWayPoint::kLevel;
    if (i == gSelectedWayPoint) return sprites_[level ? kLevelStar : kMiniStar];
    switch (State(i)) {
    case kLocked: return sprites_[level ? kLevelDisabled : kMiniDisabled];
    case kExpert: return sprites_[level ? kLevelExpert : kMini];
    default: return sprites_[level ? kLevel : kMini];
    }
}

bool UIGameMap::IsUnderCursor(uint32_t i) const {
    HSPRITE s = WayPointSprite(i);
    if (!s) return false;
    const cCursorManager* c = cursorGet();
    const int cx = c ? c->position.x : -100, cy = c ? c->position.y : -100;
    const int w = spriteWidth(s) / 2, h = spriteHeight(s) / 2;
    const Point2i at = gWayPoints[i].GetPos();
    return at.x - w < cx && cx < at.x + w && at.y - h < cy && cy < at.y + h;
}

bool UIGameMap::IsEpisodeComplete(int episode) const {
    int total = 0, done = 0;
    for (uint32_t i = 0; i < gWayPoints.size(); ++i) {
        if (gWayPoints[i].GetEpisode() != episode) continue;
        ++total;
        const int r = gWayPoints[i].GetResult();
        if (r != 0 && r != 1) ++done;
    }
    return done >= total;
}

HSPRITE UIGameMap::photo(int episode, bool stamp) const {
    if (episode < 1 || episode > 4) return nullptr;
    return stamp ? photos_[episode - 1].stamp : photos_[episode - 1].picture;
}

HSPRITE UIGameMap::PhotoShown(int episode) const {
    if (!gCurrentProfile || episode > gCurrentProfile->GetEpisode()) return nullptr;
    return photo(episode, IsEpisodeComplete(episode));
}

int UIGameMap::Draw() {
    if (hidden()) return 0;
    if (background_) grDrawSprite(0, 0, background_, clock);
    for (int e = 1; e <= 4; ++e)
        if (HSPRITE s = PhotoShown(e))
            grDrawSprite(photos_[e - 1].position.x, photos_[e - 1].position.y, s, clock);
    const int result = Window::Draw();
    const int g = std::min(255, std::max(0, glowValue_));
    const uint32_t grey = static_cast<uint32_t>(g) * 0x01010101u;
    const sMaterial glowMaterial(4, 2, 1, 31);
    if (skill_) {
        if (glow_) grDrawSpriteColor(glowMaterial, leftPrice_.x, leftPrice_.y + 1, glow_, grey, clock);
        skillSign_->SetColorAll(glowColour_);
        skillSign_->Draw();
    }
    if (buyable_ && glow_)
        grDrawSpriteColor(glowMaterial, rightPrice_.x, rightPrice_.y + 1, glow_, grey, clock);
    if (mustHave_) {
        mustHaveSign_->SetColorAll(glowColour_);
        mustHaveSign_->Draw();
    }
    for (uint32_t i = 0; i < gWayPoints.size(); ++i) {
        HSPRITE s = WayPointSprite(i);
        if (!s) continue;
        const Point2i at = gWayPoints[i].GetPos();
        grDrawSprite(at.x - spriteWidth(s) / 2, at.y - spriteHeight(s) / 2, s, clock);
    }
    if (hint_) hint_->Draw();
    return result;
}

int UIGameMap::OnKeyDown(int key, intptr_t data) {
    if (key == kLeftButton)
        for (uint32_t i = 0; i < gWayPoints.size(); ++i)
            if (IsUnderCursor(i) && State(i) != kLocked) {
                SelectWayPoint(i);
                return 1;
            }
    return UIWnd::OnKeyDown(key, data);
}

int UIGameMap::OnMouseMove(int buttons, intptr_t position) {
    hintTimer_ = hintAppear_;
    if (hint_) hint_->setHidden(true);
    return Window::OnMouseMove(buttons, position);
}

void UIGameMap::StartLevel() {
    // The old level goes before the new one is made, so that nothing current points at it.
    releaseCurrentGame();
    gCurrentGame = new cGame;
    pushScreen(gUILevelLoading.get(), true);
}

void UIGameMap::StartMiniGame() {
    const int episode =
        gSelectedWayPoint < gWayPoints.size() ? gWayPoints[gSelectedWayPoint].GetEpisode() : 0;
    if (episode < 1 || episode > 4) {
        // Without a game to load the loading screen would have nothing to show.
        if (!badEpisodeLogged_) logPrintf("Map: way point %u has no mini-game (episode %d)\n",
                                          gSelectedWayPoint, episode);
        badEpisodeLogged_ = true;
        return;
    }
    delete gCurrentMiniGame;
    gCurrentMiniGame = CreateMiniGame(episode);
    CloseSelf();
    pushScreen(gUILevelLoading.get(), false);
}

int UIGameMap::OnCommand(UIWnd* sender) {
    if (!sender) return 0;
    if (named(sender, "Menu")) {
        pushScreen(gUIMainMenu.get(), true);
    } else if (named(sender, "Play")) {
        if (!miniGameSelected())
            StartLevel();
        else
            StartMiniGame();
    } else if (named(sender, "Shop") || named(sender, "School") || named(sender, "Home")) {
        Window* next = named(sender, "Shop")     ? gUIShop.get()
                       : named(sender, "School") ? gUISchool.get()
                                                 : gUIHome.get();
        if (!next) return 1;
        CloseSelf();
        pushScreen(next, false);
    } else {
        return UIWnd::OnCommand(sender);
    }
    return 1;
}

void UIGameMap::OnShow(int finished) {
    Window::OnShow(finished);
    if (finished) return;
    pictures_.Unpark();
    RefreshStates();
    SelectWayPoint(gCurrentProfile ? gCurrentProfile->GetLevel() : 0);
    glowColour_ = 0xFFFFFFFFu;
    sndPlayMusic("menu", 1, 1, nullptr);
}

void UIGameMap::OnHide(int finished) {
    Window::OnHide(finished);
    if (finished) pictures_.Park();
}
