// Monsters and robbers: wandering, picking and frightening a victim, snatching popularity, being
// struck, stunned and beaten; and the wave that owns them and releases them in cycles.
#include "world/monster.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "core/random.h"
#include "core/text.h"
#include "engine/data/ini.h"
#include "engine/gr/gr_util.h"
#include "engine/platform/log.h"
#include "engine/snd/snd.h"
#include "ui/ui.h"
#include "world/client.h"
#include "world/coordinates.h"
#include "world/draw_list.h"
#include "world/level_object.h"
#include "world/links.h"

const char* const cMonster::kSoundKeys[kSounds] = {"walk", "action", "hit", "death", "ko"};
const char* const cRobber::kRunNames[kWalkAnims] = {
    "RunLeft",  "RunUpLeft",    "RunUp",   "RunUpRight",
    "RunRight", "RunDownRight", "RunDown", "RunDownLeft"};

namespace {

const char kFxFile[] = "Data/Fx/fx.ini";
const char* const kMonsterAnimNames[3] = {"Attack", "Stunned", "Death"};
// A robber on its way home with loot never looks for another target.
constexpr int kNeverThink = 1005000;
constexpr int kOffStageThink = 10000;

void raiseTutorial(const char* name, const cBaseObj& at) {
    if (GameLink* game = worldGame()) {
        const Body& b = at.GetBody();
        game->OnTutorialEvent(name, (b.position + b.boundOffset).ToPoint2i(),
                              b.boundSize.ToPoint2i());
    }
}

// (min, max) with max below min read as min, logged.
Point2i orderedRange(Point2i range, const char* what) {
    if (range.y >= range.x) return range;
    logPrintf("monster wave: %s %d/%d ends below its start; %d taken\n", what, range.x, range.y,
              range.x);
    return Point2i(range.x, range.x);
}

// a + random [0, spread), worked out wide: data files may give any integers.
int randomFrom(int a, int64_t spread) {
    const uint32_t n = static_cast<uint32_t>(spread < 0 ? 0 : spread > UINT32_MAX ? UINT32_MAX : spread);
    const int64_t at = a + static_cast<int64_t>(gRandom.Int(n));
    return static_cast<int>(at > INT32_MAX ? INT32_MAX : at);
}

int randomIn(Point2i range) { return randomFrom(range.x, static_cast<int64_t>(range.y) - range.x); }

}  // namespace

// --- cMonster ----------------------------------------------------------------------------------

cMonster::cMonster()
    : target_(nullptr),
      baseSpeed_(0),
      attackSpeed_(0),
      thinkTime_(0, 0),
      thinkTimer_(0),
      health_(0),
      hits_(0),
      hpBar_(nullptr),
      lastPos_(0, 0),
      sounds_(),
      entered_(false),
      attacking_(false) {}

cMonster::~cMonster() {
    delete hpBar_;
    for (sndSound*& s : sounds_)
        if (s) sndRelease(s);
}

void cMonster::Load(const char* iniFile) {
    if (!iniFile || !*iniFile) return;
    if (animCount_ < kMonsterAnims) AllocAnims(kMonsterAnims);
    cMovingObj::Load(iniFile);
    for (int i = 0; i < 3; ++i)
        if (!anims_[kAnimAttack + i].sprite) anims_[kAnimAttack + i].Load(iniFile, kMonsterAnimNames[i]);
    hitAnim_.Load(iniFile, "Hit");
    baseSpeed_ = static_cast<int>(body_.speed);
    attackSpeed_ = iniGetInt(iniFile, "Main", "attack_speed", 0);
    int a = 0, b = 0;
    iniParseIntPair(&a, &b, iniFile, "Main", "think_time");
    if (b < 0) {
        logPrintf("%s [Main] \"think_time\": a spread of %d is negative; 0 taken\n", iniFile, b);
        b = 0;
    }
    thinkTime_ = Point2i(a, b);
    health_ = iniGetInt(iniFile, "Main", "health", 0);
    delete hpBar_;
    hpBar_ = CreateChildFromIni(nullptr, kFxFile, "MonsterHPBar", 0, 0);
    if (hpBar_) hpBar_->setHidden(true);
    for (int i = 0; i < kSounds; ++i) {
        if (sounds_[i]) sndRelease(sounds_[i]);
        sounds_[i] = nullptr;
        soundNames_[i] = iniGetString(iniFile, "sounds", kSoundKeys[i], "");
        if (soundNames_[i].length() > 0) sounds_[i] = sndGetSound(soundNames_[i].c_str(), 0);
    }
}

void cMonster::SetState(int n) {
    cBaseObj::SetState(n);
    entered_ = false;
}

int cMonster::nextThink() const { return randomFrom(thinkTime_.x, thinkTime_.y); }

void cMonster::playSound(int which) const {
    worldPlaySoundHandle(sounds_[which], soundNames_[which].c_str(), -1);
}

int cMonster::spriteRise() const {
    const AnimDesc* r = CurrentAnim();
    return r ? spriteHeight(r->sprite) / 2 : 0;
}

void cMonster::restartAnim(int index, bool mirrored) {
    // Unlike SetAnimation, also when it is already the current one (a walk of no length keeps the
    // last attack's record current).
    animIndex_ = index;
    animTime_ = 0;
    if (AnimDesc* r = CurrentAnim()) {
        r->flipx = mirrored ? -1 : 1;
        r->mirror_x = mirrored ? 1 : 0;
    }
}

int cMonster::animPeriod(int index) const {
    const AnimDesc* r = Anim(index);
    return r && r->sprite ? grSpriteTime(r->sprite) : 0;
}

void cMonster::Start(const cArray<Point2i>& points) {
    if (state_ != kStateOff || points.size() == 0) return;
    wayPoints_ = points;
    attacking_ = false;
    WalkTo(points[0], kStateAtWayPoint, kStateWalking);
    hits_ = 0;
    thinkTimer_ = nextThink();
    if (hpBar_) hpBar_->setHidden(true);
    alpha_ = 255;
}

void cMonster::Update(int ms) {
    cMovingObj::Update(ms);
    lastPos_ = body_.position.ToPoint2i();
    switch (state_) {
    case kStateOff: thinkTimer_ = kOffStageThink; break;
    case kStateWalking:
        ShowWalk();
        if (hits_ < health_) thinkTimer_ -= ms;
        if (!target_ && thinkTimer_ < 1) PickTarget();
        break;
    case kStateAttacking: Attack(); break;
    case kStateDying: Die(); break;
    case kStateStunned:
        if (!entered_) {
            entered_ = true;
            playSound(kSoundKo);
        }
        if (stateTime_ >= animPeriod(animIndex_)) SetState(subState_);
        break;
    case kStateAtWayPoint: RandomWayPoint(); break;
    default: break;
    }
    if (hpBar_) {
        const int w = hpBar_->xs < 0 ? -hpBar_->xs : hpBar_->xs;
        const int h = hpBar_->ys < 0 ? -hpBar_->ys : hpBar_->ys;
        const int left = static_cast<int>(body_.position.x) - w / 2;
        const int top = static_cast<int>(body_.position.y + body_.boundOffset.y) - h;
        hpBar_->Move(left - hpBar_->x, top - hpBar_->y);
    }
    const int hitPeriod = hitAnim_.sprite ? grSpriteTime(hitAnim_.sprite) : 0;
    for (int i = static_cast<int>(hitMarks_.size()) - 1; i >= 0; --i) {
        hitMarks_[i].age += ms;
        if (hitMarks_[i].age >= hitPeriod) hitMarks_.erase(i);
    }
}

void cMonster::ShowWalk() {
    playSound(kSoundWalk);
    // Set directly: the walk goes on with the same clock when the direction turns.
    if (walkDir_ > 0) animIndex_ = kWalkLeft + walkDir_ - 1;
}

void cMonster::RandomWayPoint() {
    const int n = static_cast<int>(wayPoints_.size());
    if (n == 0) return;
    WalkTo(wayPoints_[gRandom.Int(static_cast<uint32_t>(n))], kStateAtWayPoint, kStateWalking);
    raiseTutorial("Monster_Start", *this);
}

void cMonster::PickTarget() {
    cArray<cClient*> clients, victims;
    if (GameLink* game = worldGame()) game->GetWaitingClients(clients);
    for (uint32_t i = 0; i < clients.size(); ++i) {
        cClient* pair[2] = {clients[i], dynamic_cast<cClient*>(clients[i]->GetLinked())};
        for (cClient* c : pair)
            if (c && c->CanBeAttacked() && c->GetRequest().GetOwner()) victims.push_back(c);
    }
    if (victims.size() > 0) {
        target_ = victims[gRandom.Int(victims.size())];
        body_.speed = static_cast<float>(attackSpeed_);
        WalkTo(target_->GetRequest().GetOwner()->GetAttackPos(), kStateAttacking, kStateWalking);
    }
    thinkTimer_ = nextThink();
}

void cMonster::Attack() {
    if (!attacking_) {
        GameLink* game = worldGame();
        cBaseObj* other = game && target_ ? game->FindMonsterByTarget(target_) : nullptr;
        const bool valid = target_ && target_->GetState() == cClient::kStateWaiting &&
                           !target_->IsInOwnRoom() && target_->GetRequest().IsWaiting() &&
                           (!other || other == this);
        if (valid) {
            attacking_ = true;
            playSound(kSoundAction);
            const bool mirrored = target_->GetBody().position.x < body_.position.x;
            restartAnim(kAnimAttack, mirrored);
            target_->Scare(mirrored);
            return;
        }
    } else if (animTime_ < animPeriod(kAnimAttack)) {
        return;
    }
    attacking_ = false;
    target_ = nullptr;
    body_.speed = static_cast<float>(baseSpeed_);
    SetState(kStateAtWayPoint);
}

void cMonster::TakeHit() {
    playSound(kSoundHit);
    const AnimDesc* r = CurrentAnim();
    const bool mirrored = r && r->mirror_x;
    if (hits_ >= health_) {
        SetState(kStateDying);
        SetAnimation(kAnimDeath, mirrored);
    } else {
        SetState(kStateStunned);
        SetSubState(kStateAtWayPoint);
        SetAnimation(kAnimStunned, mirrored);
    }
    attacking_ = false;
    target_ = nullptr;
    body_.speed = static_cast<float>(baseSpeed_);
    thinkTimer_ = nextThink();
}

void cMonster::Die() {
    if (!entered_) {
        entered_ = true;
        playSound(kSoundDeath);
    }
    const int period = animPeriod(kAnimDeath);
    if (animTime_ < period) {
        const int fade = static_cast<int>((1.0f - static_cast<float>(animTime_) / period) * 255);
        if (hpBar_) hpBar_->SetColorAll(ColorRGBA(255, 255, 255, fade).Argb());
        alpha_ = 0;
        return;
    }
    SetState(kStateOff);
    body_.position = Vec2f(static_cast<float>(basePoint_.x), static_cast<float>(basePoint_.y));
    if (hpBar_) {
        hpBar_->setHidden(true);
        hpBar_->SetColorAll(ColorRGBA(255, 255, 255, 255).Argb());
    }
}

void cMonster::OnHit(Point2i point, int damage) {
    // Off stage it stands unseen at its base point: nothing there to strike.
    if (state_ == kStateOff || !HitTestPoint(point.x, point.y) || hits_ >= health_) return;
    worldTutorialMarkShown("Monster_Start");
    raiseTutorial("Monster_End", *this);
    hitMarks_.push_back(HitMark{point, 0});
    hits_ += damage;
    TakeHit();
    if (hpBar_) {
        hpBar_->setHidden(false);
        hpBar_->SetValue(health_ > 0 ? 1.0f - static_cast<float>(hits_) / health_ : 0.0f);
    }
}

bool cMonster::HitTestPoint(int x, int y) {
    const AnimDesc* r = CurrentAnim();
    if (!r || !r->mirror_x) return cBaseObj::HitTestPoint(x, y);
    // Mirrored, the bounds lie on the other side of the foot point.
    const int ox = static_cast<int>(body_.boundOffset.x), oy = static_cast<int>(body_.boundOffset.y);
    const int w = static_cast<int>(body_.boundSize.x), h = static_cast<int>(body_.boundSize.y);
    const float px = static_cast<float>(x), py = static_cast<float>(y);
    hover_ = body_.position.x - ox - w <= px && px <= body_.position.x - ox &&
             body_.position.y + oy <= py && py <= body_.position.y + oy + h;
    return hover_ != 0;
}

void cMonster::Draw(DrawList* list) {
    if (state_ == kStateOff || !list) return;
    cMovingObj::Draw(list);
    if (HSPRITE s = hitAnim_.sprite) {
        const int w = spriteWidth(s), h = spriteHeight(s);
        // Clicks come in screen pixels: the splash lands where the pointer was.
        for (uint32_t i = 0; i < hitMarks_.size(); ++i)
            grDraw(sMaterial(2, 4, 1, 30), hitMarks_[i].point.x + hitAnim_.spr_x,
                   hitMarks_[i].point.y + hitAnim_.spr_y, w, h, s, 0, 0, w, h, 0xFFFFFFFFu,
                   hitMarks_[i].age);
    }
    if (hpBar_ && !hpBar_->hidden()) hpBar_->Draw();
}

// --- cRobber -----------------------------------------------------------------------------------

cRobber::cRobber() : attackPos_(0, 0), snatched_(0), carrying_(0), snatchTipsCount_(0) {}

cRobber::~cRobber() {}

void cRobber::Load(const char* iniFile) {
    if (!iniFile || !*iniFile) return;
    if (animCount_ < kRobberAnims) AllocAnims(kRobberAnims);
    cMonster::Load(iniFile);
    for (int i = 0; i < kWalkAnims; ++i)
        if (!anims_[kAnimRunLeft + i].sprite) anims_[kAnimRunLeft + i].Load(iniFile, kRunNames[i]);
    attackPos_ = Point2i(0, 0);
    iniReadPoint(&attackPos_, iniFile, "main", "attackPos");
    snatchTipsCount_ = iniGetInt(iniFile, "Main", "snatchTipsCount", 0);
}

void cRobber::Start(const cArray<Point2i>& points) {
    if (state_ != kStateOff || points.size() == 0) return;
    cMonster::Start(points);
    snatched_ = 0;
    carrying_ = 0;
}

void cRobber::ShowWalk() {
    if (!carrying_) {
        cMonster::ShowWalk();
        return;
    }
    playSound(kSoundWalk);
    if (walkDir_ > 0) animIndex_ = kAnimRunLeft + walkDir_ - 1;
}

void cRobber::PickTarget() {
    body_.speed = static_cast<float>(attackSpeed_);
    WalkTo(attackPos_, kStateAttacking, kStateWalking);
}

void cRobber::Attack() {
    GameLink* game = worldGame();
    if (!attacking_) {
        attacking_ = true;
        playSound(kSoundAction);
        // The robber's count is its file's: the product is taken in 64 bits.
        const int64_t most =
            game ? static_cast<int64_t>(game->GetMaxCostTipClient()) * snatchTipsCount_ : 0;
        const int held = game ? game->GetLevelPopularity() : 0;
        snatched_ = static_cast<int>(std::max<int64_t>(0, std::min<int64_t>(most, held)));
        // The loot is in its hands from the snatch on: beaten during the grab, it gives it back.
        carrying_ = 1;
        if (game)
            game->AddPopularity(-snatched_, 1,
                                Point2i(lastPos_.x, lastPos_.y - spriteRise()));
        restartAnim(kAnimAttack, false);
        return;
    }
    if (animTime_ < animPeriod(kAnimAttack)) return;
    attacking_ = false;
    body_.speed = static_cast<float>(baseSpeed_);
    WalkTo(basePoint_, kStateOff, kStateWalking);
    thinkTimer_ = kNeverThink;
}

void cRobber::TakeHit() {
    if (carrying_ && hits_ < health_) {
        playSound(kSoundHit);
        SetSubState(kStateWalking);
        return;
    }
    cMonster::TakeHit();
    if (state_ != kStateDying || !carrying_) return;
    // The loot goes back once: carrying ends with the refund.
    if (GameLink* game = worldGame())
        game->AddPopularity(snatched_, 1, Point2i(lastPos_.x, lastPos_.y - spriteRise()));
    carrying_ = 0;
    snatched_ = 0;
}

// --- cMonsterWave ------------------------------------------------------------------------------

cMonsterWave::cMonsterWave()
    : timer_(0),
      nextDelay_(0),
      monsters_(),
      waveDelay_(0, 0),
      spawnInterval_(0, 0),
      count_(0),
      spawnIndex_(0),
      stopped_(0) {}

cMonsterWave::~cMonsterWave() { clear(); }

void cMonsterWave::clear() {
    for (int i = 0; i < count_; ++i) deleteAndNull(monsters_[i]);
    count_ = 0;
}

void cMonsterWave::Load(const char* name, int count, Point2i waveDelay, Point2i spawnInterval,
                        Point2i basePoint, const cArray<Point2i>& wayPoints) {
    if (!name || !*name) return;
    clear();
    char file[512];
    safeSnprintf(file, sizeof file, "Data/Monsters/%s/%s.ini", name, name);
    waveDelay_ = orderedRange(waveDelay, "the wave delay");
    spawnInterval_ = orderedRange(spawnInterval, "the spawn interval");
    wayPoints_ = wayPoints;
    nextDelay_ = randomIn(waveDelay_);
    if (count > kMaxMonsters || count < 0) {
        logPrintf("%s: a wave of %d monsters; %d taken\n", file, count,
                  count < 0 ? 0 : kMaxMonsters);
        count = count < 0 ? 0 : kMaxMonsters;
    }
    const bool robbers = strcmp(name, "Robber") == 0;
    const Vec2f base(static_cast<float>(basePoint.x), static_cast<float>(basePoint.y));
    for (count_ = 0; count_ < count; ++count_) {
        cMonster* m = robbers ? new cRobber : new cMonster;
        m->Load(file);
        m->SetBasePoint(basePoint);
        m->GetBody().position = base;
        monsters_[count_] = m;
    }
    timer_ = 0;
    spawnIndex_ = 0;
    stopped_ = 0;
}

void cMonsterWave::Update(int ms) {
    timer_ += ms;
    for (int i = 0; i < count_; ++i) monsters_[i]->Update(ms);
    if (timer_ < nextDelay_ || stopped_) return;
    cMonster* next = nullptr;
    for (int i = 0; i < count_ && !next; ++i)
        if (!monsters_[i]->IsOnStage()) next = monsters_[i];
    if (!next) return;
    timer_ = 0;
    if (++spawnIndex_ < count_) {
        nextDelay_ = randomIn(spawnInterval_);
    } else {
        spawnIndex_ = 0;
        nextDelay_ = randomIn(waveDelay_);
    }
    next->Start(wayPoints_);
}

void cMonsterWave::Draw(DrawList* list) {
    for (int i = 0; i < count_; ++i) monsters_[i]->AddToDrawList(list);
}

void cMonsterWave::OnClick(Point2i point, int damage) {
    for (int i = 0; i < count_; ++i) monsters_[i]->OnHit(point, damage);
}

void cMonsterWave::StopAll() {
    stopped_ = 1;
    for (int i = 0; i < count_; ++i) {
        cMonster* m = monsters_[i];
        // A dying monster is already on its way off: striking it again would restart its death.
        if (!m->IsOnStage() || m->GetState() == cMonster::kStateDying) continue;
        m->TakeHit();
        m->ClearHealth();
    }
}

cMonster* cMonsterWave::FindByTarget(const cBaseObj* client) const {
    if (!client) return nullptr;
    for (int i = 0; i < count_; ++i)
        if (monsters_[i]->GetTarget() && static_cast<const cBaseObj*>(monsters_[i]->GetTarget()) == client)
            return monsters_[i];
    return nullptr;
}
