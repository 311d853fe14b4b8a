// Level loading: the stages that fill a new level screen from the current player's episode files,
// the heroes' places, the clients, the request kinds of the level and the interface, and the
// player's side of the object factory and of the heroes' skills.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "anim/fx.h"
#include "anim/fx_effects.h"
#include "core/random.h"
#include "core/text.h"
#include "engine/data/ini.h"
#include "engine/gr/gr_util.h"
#include "engine/platform/log.h"
#include "game/game.h"
#include "game/game_data.h"
#include "game/profile.h"
#include "game/tutorial.h"
#include "world/client.h"
#include "world/jenny.h"
#include "world/maid.h"
#include "world/porter.h"
#include "world/level_object.h"
#include "world/request.h"

namespace {

const char kSharedIni[] = "Data/shared.ini";
const char* const kInterfaceWidgets[] = {"BustCounter", "LeftInfo", "RightInfo", "MenuBtn", "Goal"};

// No level comes near this either way: a time, goal, tip or popularity beyond it is damage, held
// with a log line naming it, so that the sums and products the level makes of them stay inside
// int.
constexpr int kMaxLevelNumber = 1 << 24;

int heldLevelNumber(int v, const char* file, const char* section, const char* key) {
    return iniHeldInt(v, -kMaxLevelNumber, kMaxLevelNumber, file, section, key);
}

int levelNumber(const char* file, const char* section, const char* key) {
    return iniGetIntHeld(file, section, key, -kMaxLevelNumber, kMaxLevelNumber);
}

std::string joined(const TokenList& list) {
    std::string out;
    for (uint32_t i = 0; i < list.Count(); ++i) out += std::string(i ? ", " : "") + list.At(i);
    return out;
}

// The player's objects and shop items as the object factory reads them.
class PlayerObjects : public ProfileLink {
public:
    void Fill(cPlayerProfile& profile, int levelNumber) {
        episode_ = profile.GetEpisode();
        level_ = levelNumber;
        cArray<RCPtr<cObjectItem>> objects;
        profile.GetObjectItems(objects);
        shops_.clear();
        items_.clear();
        shops_.reserve(objects.size());
        for (uint32_t i = 0; i < objects.size(); ++i) {
            const cObjectItem& o = *objects[i].get();
            ObjectItemInfo info;
            info.name = o.section;
            info.type = o.type;
            info.value = o.grade;
            if (o.owner) {
                ShopItemInfo shop;
                shop.name = o.owner->name;
                // Items that lift every request give their bonus to the level, not the object.
                shop.flag = o.owner->allRequests ? 1 : 0;
                shop.timeBonus = o.owner->bonusWaitTime;
                shop.priceBonus = o.owner->bonusService;
                shops_.push_back(shop);
                info.shopItem = &shops_.back();
            }
            items_.push_back(info);
        }
        skills_.clear();
        cArray<cSchoolItem*> learnt;
        profile.GetSchoolItems(learnt);
        for (uint32_t i = 0; i < learnt.size(); ++i) {
            // The heroes know a skill by its line, which is what the school item's type names.
            SkillInfo skill;
            skill.name = learnt[i]->type;
            skill.hero = learnt[i]->hero;
            skill.ability = static_cast<float>(learnt[i]->bonusAbility);
            skill.service = learnt[i]->bonusService;
            skill.waitTime = learnt[i]->bonusWaitTime;
            skills_.push_back(skill);
        }
        current_ = joined(profile.GetShopItemList());
        previous_ = profile.GetLevel() > 0
                        ? joined(profile.ReadStoredShopItems(profile.GetLevel() - 1))
                        : std::string();
    }
    int Episode() const override { return episode_; }
    int Level() const override { return level_; }
    int ObjectItemCount() const override { return static_cast<int>(items_.size()); }
    const ObjectItemInfo* ObjectItem(int i) const override {
        return i >= 0 && i < ObjectItemCount() ? &items_[static_cast<size_t>(i)] : nullptr;
    }
    const char* CurrentShopItems() const override { return current_.c_str(); }
    const char* PreviousShopItems() const override { return previous_.c_str(); }
    int LearntSkillCount() const override { return static_cast<int>(skills_.size()); }
    const SkillInfo* LearntSkill(int i) const override {
        return i >= 0 && i < LearntSkillCount() ? &skills_[static_cast<size_t>(i)] : nullptr;
    }

private:
    int episode_ = 0, level_ = 0;
    std::vector<ShopItemInfo> shops_;  // reserved up front: items point into it
    std::vector<ObjectItemInfo> items_;
    std::vector<SkillInfo> skills_;
    std::string current_, previous_;
};

PlayerObjects gPlayerObjects;

// "min/max" into its two numbers; false when it has fewer.
bool splitPair(const char* text, int* a, int* b) {
    TokenList parts = TokenList::Split(text, '/');
    if (parts.Count() < 2) return false;
    *a = atoi(parts.At(0));
    *b = atoi(parts.At(1));
    return true;
}

}  // namespace

void cGame::LoadLevel(int stage) {
    const ParticlePoolsUpFront poolsNow;
    cPlayerProfile* profile = gCurrentProfile;
    switch (stage) {
    case 0: {
        episode_ = profile ? profile->GetEpisode() : 1;
        levelNumber_ = profile ? profile->GetLevelNumber() : 1;
        safeSnprintf(mapFile_, sizeof mapFile_, "Data/Episodes/e%d/map.ini", episode_);
        safeSnprintf(levelsFile_, sizeof levelsFile_, "Data/Episodes/e%d/levels.ini", episode_);
        safeSnprintf(objectsFile_, sizeof objectsFile_, "Data/Episodes/e%d/objects.ini", episode_);
        safeSnprintf(levelSection_, sizeof levelSection_, "level%d", levelNumber_);
        spriteFree(&background_);
        background_ = iniReadAnimSprite(mapFile_, "Background", "sprite");
        walkMap_.Load(episode_, Point2i(0, 0));
        cWalkMap::SetCurrent(&walkMap_);
        gCurrentGame = this;
        worldSetGame(this);
        int w = 0, h = 0, bits = 0, full = 0;
        grGetMode(&w, &h, &bits, &full);
        xs = static_cast<int16_t>(w);
        ys = static_cast<int16_t>(h);
        break;
    }
    case 1: {
        cashFont_ = grLoadFont(iniGetString(levelsFile_, "Main", "CashFont", ""), nullptr);
        noTipsFont_ = grLoadFont(iniGetString(levelsFile_, "Main", "NoTipsFont", ""), nullptr);
        loyaltyFont_ = grLoadFont(iniGetString(levelsFile_, "Main", "LoyaltyFont", ""), nullptr);
        moneySprite_ = iniReadAnimSprite(levelsFile_, "Main", "MoneySprite");
        LoadRoomSprites();
        if (profile) {
            cArray<cShopItem*> items;
            profile->GetAllShopItems(items);
            for (uint32_t i = 0; i < items.size(); ++i)
                for (uint32_t k = 0; k < items[i]->disposeObjects.Count(); ++k)
                    profile->RemoveObjectItem(items[i]->disposeObjects.At(k));
            gPlayerObjects.Fill(*profile, levelNumber_);
            worldSetProfile(&gPlayerObjects);
        }
        objectCount_ = createActionObject(objects_, kMaxObjects);
        indexedObjects_ = -1;
        kindsIndexed_ = false;
        incLoyalty_ = translated("#INC_LOYALTY");
        decLoyalty_ = translated("#DEC_LOYALTY");
        dayText_ = translated("#MENU_DAY");
        for (int i = 0; i < objectCount_; ++i) {
            if (objectOfType(objects_[i], "room")) ++roomCount_;
            if (objectOfType(objects_[i], "flower")) ++flowerCount_;
            if (!sweets_ && objectOfType(objects_[i], "sweets")) sweets_ = objects_[i];
        }
        break;
    }
    case 2: {
        for (int kind = 0; kind < kNoRequest; ++kind)
            for (int grade = 0; grade < 10; ++grade) {
                char key[16];
                safeSnprintf(key, sizeof key, "sprite%d", grade);
                if (HSPRITE icon = iniReadAnimSprite(kRequestFile, RequestKindName(kind), key))
                    requestIcons_.push_back(icon);
            }
        LoadPlaces("check_ins", checkIns_);
        LoadPlaces("check_outs", checkOuts_);
        char anger[256];
        StrCopyN(anger, iniGetString(levelsFile_, "Main", "anger_point", ""), sizeof anger);
        if (*anger) {
            if (objectCount_ >= kMaxObjects) {
                logPrintf("%s: no room left for the anger point \"%s\"\n", levelsFile_, anger);
            } else if (cLevelObj* object = createLevelObject(anger, nullptr)) {
                appendObject(object);
                angerPoint_ = object;
            }
        }
        readBreakWindow("crashObjects", &objectBreakMin_, &objectBreakRange_, &nextObjectBreak_);
        readBreakWindow("crashRoom", &roomBreakMin_, &roomBreakRange_, &nextRoomBreak_);
        repairTime_ = levelNumber(levelsFile_, "Main", "repair_time");
        upgradeTime_ = levelNumber(levelsFile_, "Main", "upgrade_time");
        requestTtl_ = levelNumber(levelsFile_, levelSection_, "request_ttl");
        startTimes_.push_back(levelNumber(levelsFile_, "Main", "first_client_start_delay"));
        otherClientDelay_ = levelNumber(levelsFile_, levelSection_, "other_client_start_delay");
        checkOutCleanInterval_ = levelNumber(levelsFile_, levelSection_, "checkOutCleanInterval");
        cashGoal_ = levelNumber(levelsFile_, levelSection_, "cashGoal");
        cashExpert_ = levelNumber(levelsFile_, levelSection_, "cashExpert");
        addPopularity_ = levelNumber(levelsFile_, levelSection_, "addPopularity");
        maxCostTip_ = levelNumber(levelsFile_, levelSection_, "maxCostTipClient");
        decreaseDirect_ = iniGetFloat(kRequestFile, "DecreaseRatio", "direct", 0.0f);
        decreaseIndirect_ = iniGetFloat(kRequestFile, "DecreaseRatio", "indirect", 0.0f);
        int a = 0, b = 0;
        if (splitPair(iniGetString(levelsFile_, levelSection_, "outdoor_request_priority", ""), &a,
                      &b))
            outdoorPriority_ = Point2i(a, b);
        indexObjectKinds();
        break;
    }
    case 3: {
        LoadHeroes();
        jenny_ = gJenny;
        maid_ = gMaid;
        porter_ = gPorter;
        placeHero(jenny_, "jenny", false);
        placeHero(maid_, "maid", true);
        placeHero(porter_, "porter", true);
        LoadRequests();
        LoadClients();
        // The first clients come one delay apart until every room but one has had a client;
        // later ones are timed by departures.
        const int first = std::min(roomCount_ - 1, clientCount_);
        for (int i = 0; i < first; ++i)
            startTimes_.push_back(startTimes_[startTimes_.size() - 1] + otherClientDelay_);
        LoadMonsters();
        computePopularityMax();
        break;
    }
    case 4: {
        ResetFx();
        bannerFont_ =
            grLoadFont(iniGetString(kSharedIni, "GameWindow", "goal_string_font", ""), nullptr);
        dayFont_ =
            grLoadFont(iniGetString(kSharedIni, "GameWindow", "day_label_font", ""), nullptr);
        LoadInterface();
        AddMoney(0, 0);
        AddPopularity(0, 0, Point2i(0, 0));
        servedTotal_ = profile ? static_cast<int>(profile->GetClientsServed()) : 0;
        ShowUpgradeRoomHint();
        if (bustCounter_) bustCounter_->SetTextF("%d/%d", servedTotal_, nextThreshold_);
        roomUpgradeDone_ = false;
        upgradeSettled_ = false;
        lastClients_ = false;
        break;
    }
    case 5: {
        cTutorial::Load("Data/Tutorial/Tutorial.ini");
        // Jenny last: her manager skill speeds up the other two after they have reset theirs.
        for (cHero* hero : Heroes()) {
            hero->ApplySkills();
            hero->SetState(cHero::kStateIdle);
        }
        if (!profile) break;
        cArray<cShopItem*> items;
        profile->GetAllShopItems(items);
        for (uint32_t i = 0; i < items.size(); ++i)
            if (items[i]->allRequests) {
                priceBonus_ += items[i]->bonusService;
                timeBonus_ += items[i]->bonusWaitTime;
            }
        break;
    }
    default: break;
    }
}

void cGame::appendObject(cLevelObj* object) {
    objects_[objectCount_++] = object;
    indexedObjects_ = -1;
    kindsIndexed_ = false;
}

cGame::HeroList cGame::Heroes() const {
    HeroList heroes;
    for (cHero* hero : {static_cast<cHero*>(maid_), static_cast<cHero*>(porter_),
                        static_cast<cHero*>(jenny_)})
        if (hero) heroes.at[heroes.count++] = hero;
    return heroes;
}

void cGame::placeHero(cHero* hero, const char* key, bool waits) {
    if (!hero) return;
    Point2i p(0, 0);
    if (iniReadIntPair(&p, levelsFile_, "HeroStartPos", key)) {
        hero->SetStartPos(p);
        hero->GetBody().position = Vec2f(static_cast<float>(p.x), static_cast<float>(p.y));
    }
    if (iniReadIntPair(&p, levelsFile_, "HeroBasePos", key)) hero->SetBasePoint(p);
    if (waits && iniReadIntPair(&p, levelsFile_, "HeroWaitPos", key)) hero->SetWaitPos(p);
}

cClient* cGame::makeClient(const char* kind, Point2i base) {
    if (clientsMade_ >= kMaxClients) {
        if (clientsMade_ == kMaxClients)
            logPrintf("%s [%s]: more than %d clients; the rest are left out\n", levelsFile_,
                      levelSection_, kMaxClients);
        return nullptr;
    }
    char file[256];
    safeSnprintf(file, sizeof file, "Data/Clients/%s/%s.ini", kind, kind);
    cClient* client = new cClient;
    client->Load(file);
    client->LoadLinked(file);
    client->SetBasePoint(base);
    client->GetBody().position = Vec2f(static_cast<float>(base.x), static_cast<float>(base.y));
    levelClients_[clientsMade_++] = client;
    return client;
}

void cGame::LoadClients() {
    Point2i base(0, 0);
    iniReadIntPair(&base, levelsFile_, "BasePos", "clients");
    // Kinds in order of first appearance, with how often the list names each.
    typedef std::pair<std::string, int> Kind;
    std::vector<Kind> kinds;
    TokenList entries =
        TokenList::Split(iniGetString(levelsFile_, levelSection_, "clients", ""), ';');
    for (uint32_t e = 0; e < entries.Count(); ++e) {
        TokenList parts = TokenList::Split(entries.At(e), ',');
        if (parts.Count() < 2) continue;
        const std::string kind = parts.At(0);
        auto seen = std::find_if(kinds.begin(), kinds.end(),
                                 [&](const Kind& k) { return k.first == kind; });
        if (seen == kinds.end())
            kinds.emplace_back(kind, 1);
        else
            ++seen->second;
        const int count = atoi(parts.At(1));
        for (int n = 0; n < count; ++n) makeClient(kind.c_str(), base);
    }
    if (kinds.empty()) {
        // No kind to take the extra clients from: nobody comes, and nothing is held back.
        logPrintf("%s [%s]: no client kinds are listed; the level has no clients\n", levelsFile_,
                  levelSection_);
        clientCount_ = 0;
        return;
    }
    std::stable_sort(kinds.begin(), kinds.end(),
                     [](const Kind& a, const Kind& b) { return a.second < b.second; });
    // No more extra clients than the level could ever hold.
    const int bonus = gCurrentProfile ? static_cast<int>(std::min<uint32_t>(
                                            gCurrentProfile->GetBonusClients(), kMaxClients))
                                      : 0;
    for (int i = 0; i <= bonus; ++i)
        makeClient(kinds[static_cast<size_t>(i) % kinds.size()].first.c_str(), base);
    // The last one made waits for a room upgrade to let it in.
    clientCount_ = clientsMade_ - 1;
    for (int i = 0; i < clientCount_; ++i) {
        const uint32_t a = gRandom.Int(static_cast<uint32_t>(clientCount_));
        const uint32_t b = gRandom.Int(static_cast<uint32_t>(clientCount_));
        std::swap(levelClients_[a], levelClients_[b]);
    }
}

void cGame::computePopularityMax() {
    // A client's request count is the levels file's: each term fits 64 bits, and the sum is held
    // inside int as it grows.
    int64_t most = 0;
    for (int i = 0; i < clientCount_; ++i) {
        const int64_t n = levelClients_[i]->GetRequestCount();
        most += n * (n + 2 * static_cast<int64_t>(maxCostTip_) - 1) / 2;
        most = std::clamp<int64_t>(most, INT32_MIN, INT32_MAX);
    }
    popularityMax_ = static_cast<int>(most);
}

void cGame::LoadPlaces(const char* key, cArray<cLevelObj*>& places) {
    TokenList names = TokenList::Split(iniGetString(levelsFile_, "Main", key, ""), ',');
    for (uint32_t i = 0; i < names.Count(); ++i) {
        if (objectCount_ >= kMaxObjects) {
            logPrintf("%s: more than %d level objects; \"%s\" and the places after it are left "
                      "out\n", levelsFile_, kMaxObjects, names.At(i));
            return;
        }
        cLevelObj* object = createLevelObject(names.At(i), nullptr);
        if (!object) continue;
        appendObject(object);
        places.push_back(object);
    }
}

void cGame::readBreakWindow(const char* key, int* minimum, int* range, int* next) {
    int lo = 0, hi = 0;
    if (!splitPair(iniGetString(levelsFile_, levelSection_, key, ""), &lo, &hi)) return;
    lo = heldLevelNumber(lo, levelsFile_, levelSection_, key);
    hi = heldLevelNumber(hi, levelsFile_, levelSection_, key);
    *minimum = lo;
    *range = hi - lo;
    if (*range < 0) {
        logPrintf("%s [%s] \"%s\": the maximum %d is below the minimum %d; the time is fixed\n",
                  levelsFile_, levelSection_, key, hi, lo);
        *range = 0;
    }
    *next = lo + static_cast<int>(gRandom.Int(static_cast<uint32_t>(*range)));
}

void cGame::LoadRequests() {
    TokenList entries =
        TokenList::Split(iniGetString(levelsFile_, levelSection_, "requests", ""), ';');
    for (uint32_t e = 0; e < entries.Count(); ++e) {
        TokenList parts = TokenList::Split(entries.At(e), ',');
        if (parts.Count() < 2) continue;
        const int kind = RequestKindFromName(parts.At(0));
        if (kind >= kRequestKinds) continue;
        // A negative weight would reach the clients' draw: it counts as none. The weights are
        // summed, so each is held within the level's range.
        const long asked = strtol(parts.At(1), nullptr, 10);
        const int weight = iniHeldInt(static_cast<int>(std::clamp<long>(asked, INT32_MIN, INT32_MAX)),
                                      0, kMaxLevelNumber, levelsFile_, levelSection_, "requests");
        weights_[kind] = weight;
        if (weight < 1) continue;
        const char* target = iniGetString(kRequestFile, RequestKindName(kind), "target", "");
        const bool hasTarget = *target && FindLevelObjectByName(target);
        if (*target && !hasTarget) weights_[kind] = 0;
        if (kind == kFire && weights_[kind] > 0 && hasTarget) fire_ = true;
        if (weights_[kind] == 0) continue;
        bool listed = false;
        for (uint32_t i = 0; i < kindsInUse_.size(); ++i) listed = listed || kindsInUse_[i] == kind;
        if (!listed) kindsInUse_.push_back(kind);
    }
    if (!fire_) {
        const char* target = iniGetString(kRequestFile, RequestKindName(kFire), "target", "");
        if (cLevelObj* object = FindLevelObjectByName(target)) object->SetBreakable(false);
    }
}

void cGame::LoadInterface() {
    const char* file = kInterfaceFile;
    pulse_.Load(file, "BustSign");
    for (const char* name : kInterfaceWidgets) CreateChildFromIni(this, file, name, 0, 0);
    bustCounter_ = findChild(this, "BustCounter");
    goal_ = findChild(this, "Goal");
    if (goal_)
        goal_->SetTextW(
            (translated("#INTERFACE_GOAL") + u" " + widenText(std::to_string(cashGoal_).c_str()))
                .c_str());
    expertLabel_ = translated("#INTERFACE_EXPERT") + u" ";
    cash_ = CreateChildFromIni(this, file, "Cash", 0, 0);
    clients_ = CreateChildFromIni(this, file, "Clients", 0, 0);
    RefreshClientCounter();
    CreateChildFromIni(this, file, "TipsBack", 0, 0);
    tipsProgress_ = CreateChildFromIni(this, file, "TipsProgress", 0, 0);
    tipsSign_ = CreateChildFromIni(this, file, "TipsSign", 0, 0);
    tipsSum_ = CreateChildFromIni(this, file, "TipsSum", 0, 0);
    if (tipsSum_) {
        tipsSum_->SetText("0");
        tipsSum_->tint = (tipsSum_->tint & 0x00FFFFFFu) | 200u << 24;
    }
    barShown_ = barTarget_ = 0;
    tipsText_ = CreateChildFromIni(this, file, "TipsText", 0, 0);
    LoadCommandPanels();
}
