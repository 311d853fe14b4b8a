// The musician's loading, idle choice, tune cycle and click test.
#include "world/musician.h"

#include "core/random.h"
#include "core/text.h"
#include "engine/data/file.h"
#include "engine/data/ini.h"
#include "engine/gr/gr_util.h"
#include "engine/platform/log.h"
#include "world/client.h"
#include "world/coordinates.h"
#include "world/links.h"

namespace {

const char* const kSections[cMusician::kAnimCount] = {"Idle0",     "Idle1", "Idle2",
                                                      "PlayStart", "Play",  "PlayStop"};

}  // namespace

cMusician::cMusician() : lastDraw_(0) {
    baseDrawsFirstAnimOnly_ = false;
    for (Plays& p : plays_) p = Plays{1, 0};
    tuneSound_[0] = 0;
}

cLevelObj* cMusician::Make(const char* objectsFile, const char* section, const char*, int,
                           const ObjectItemInfo*) {
    // The INI store's buffers rotate: keep the name before reading on.
    char ini[256];
    StrCopyN(ini, iniGetString(objectsFile, section, "inifile", ""), sizeof ini);
    if (!*ini) return nullptr;
    cMusician* musician = new cMusician();
    musician->Load(ini);
    return musician;
}

void cMusician::Load(const char* iniFile) {
    if (!iniFile || !*iniFile) return;
    if (!fileExists(iniFile)) {
        logPrintf("%s: cannot be read; the musician is left unloaded\n", iniFile);
        return;
    }
    name_ = iniGetString(iniFile, "Main", "name", "");
    body_.Load(iniFile, "Main");
    if (animCount_ != kAnimCount) AllocAnims(kAnimCount);
    for (int i = 0; i < kAnimCount; ++i) {
        if (anims_[i].section.length() == 0) anims_[i].Load(iniFile, kSections[i]);
        int times = iniGetInt(iniFile, kSections[i], "play_times", 0);
        if (times < 0) {
            logPrintf("%s [%s] \"play_times\": %d is negative; 1 taken\n", iniFile, kSections[i],
                      times);
            times = 0;
        }
        plays_[i] = Plays{times == 0 ? 1 : times, 0};
    }
    spriteFree(&extraSprite_);
    extraSprite_ = iniReadAnimSprite(iniFile, "Main", "v_spr");
    const Point2i at(static_cast<int>(body_.position.x), static_cast<int>(body_.position.y));
    heroPoint_ = iniGetPoint(iniFile, "Main", "hero_x", "hero_y") + at;
    clientPoint_ = iniGetPoint(iniFile, "Main", "client_x", "client_y") + at;
    attackPoint_ = iniGetPoint(iniFile, "Main", "attack_x", "attack_y") + at;
    extraPoint_ = iniGetPoint(iniFile, "Main", "v_x", "v_y") + at;
    outlineObj_ = iniGetString(iniFile, "Main", "outline_obj", "");
    SetState(kIdleState);
    animIndex_ = kIdle0;
    animTime_ = 0;
    sectionName_ = "Musician_Main";
    StrCopyN(tuneSound_, iniGetString(iniFile, "Main", "sound", ""), sizeof tuneSound_);
    growFx_.Load("HomeItemGrow");
    growFx_.SetSpreadRange(Point2i(spriteWidth(anims_[kIdle0].sprite), 0));
    growFx_.SetActorMaterial(sMaterial(2, 4, 1, 31));
}

bool cMusician::playedThrough() const {
    const AnimDesc* r = CurrentAnim();
    if (!r) return false;
    return animTime_ >= (r->sprite ? grSpriteTime(r->sprite) : 0);
}

void cMusician::Update(int ms) {
    cLevelObj::Update(ms);
    const AnimDesc* r = CurrentAnim();
    if (state_ == kIdleState) {
        if (!r || !r->sprite || !playedThrough()) return;
        lastDraw_ = static_cast<int32_t>(gRandom.Int(100));
        const int next = lastDraw_ < 3 ? kIdle1 : lastDraw_ < 5 ? kIdle2 : kIdle0;
        // Drawn again, an idle restarts rather than standing on its last frame.
        if (next == animIndex_ || next == kIdle0) {
            animIndex_ = next;
            animTime_ = 0;
        } else {
            SetAnimation(next, false);
        }
        return;
    }
    if (state_ != kPlaying || !playedThrough()) return;
    // A part without a sprite has nothing to show: it passes at once rather than stalling.
    animTime_ = 0;
    Plays& p = plays_[animIndex_];
    if (++p.done < p.times) return;
    p.done = 0;
    if (animIndex_ == kPlayStart) {
        if (tuneSound_[0]) worldPlaySound(tuneSound_);
        SetAnimation(kPlay, false);
    } else if (animIndex_ == kPlay) {
        SetAnimation(kPlayStop, false);
    } else {
        SetAnimation(kIdle0, false);
        SetState(kIdleState);
    }
}

bool cMusician::IsActionable() {
    GameLink* game = worldGame();
    cBaseObj* client = game && mayBeTarget_ ? game->FindClientByRequestTarget(this) : nullptr;
    if (!client) return false;
    const cRequest& r = client->GetRequest();
    HeroLink* hero = r.GetHero();
    if (!hero || hero->HasTask(kMusic, this) || state_ != kIdleState) return false;
    cLevelObj* owner = r.GetOwner();
    if (!owner) return false;
    if (owner != this) return owner->GetAttached() != nullptr;
    cClient* asked = dynamic_cast<cClient*>(client);
    return asked && asked->CanOrderService();
}

bool cMusician::IsIdleObject(const cLevelObj* object) {
    const cMusician* musician = dynamic_cast<const cMusician*>(object);
    return musician && musician->IsIdle();
}

cLevelObj* cMusician::GetOutlineObject() {
    GameLink* game = worldGame();
    return game && outlineObj_.length() > 0 ? game->FindLevelObjectByName(outlineObj_.c_str())
                                           : nullptr;
}
