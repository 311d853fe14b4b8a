// Monsters that wander a level and frighten waiting clients, robbers that snatch popularity and
// run off with it, and the wave that releases them one at a time.
#pragma once

#include <cstdint>

#include "core/array.h"
#include "core/strings.h"
#include "world/moving.h"

class UIWnd;
class cClient;
struct sndSound;

class cMonster : public cMovingObj {
public:
    // Animation records after the eight walks.
    enum { kAnimAttack = 8, kAnimStunned, kAnimDeath, kMonsterAnims };
    enum {
        kStateOff = 0,
        kStateWalking = 2,
        kStateAttacking = 3,
        kStateDying = 4,
        kStateStunned = 5,
        kStateAtWayPoint = 6
    };
    enum { kSoundWalk, kSoundAction, kSoundHit, kSoundDeath, kSoundKo, kSounds };
    static const char* const kSoundKeys[kSounds];

    cMonster();
    ~cMonster() override;

    // The walks and the body, "Attack", "Stunned", "Death", the "Hit" splash, the speeds, think
    // time and health of [Main], the health bar and the [sounds].
    void Load(const char* iniFile) override;
    using cMovingObj::Load;
    void Update(int ms) override;
    void Draw(DrawList* list) override;
    bool HitTestPoint(int x, int y) override;
    void SetState(int n) override;

    // Sends an off-stage monster to the first of the points; nothing with no points.
    virtual void Start(const cArray<Point2i>& points);
    virtual void Attack();
    virtual void ShowWalk();
    virtual void Die();
    virtual void PickTarget();
    // Stuns it, or starts its death once its hits reach its health.
    virtual void TakeHit();
    virtual void RandomWayPoint();

    // A click at the point with that strength; nothing off stage, when missed, or once beaten.
    void OnHit(Point2i point, int damage);
    // No further targets: the wave's stop sets the health to 0.
    void ClearHealth() { health_ = 0; }

    cClient* GetTarget() const { return target_; }
    int GetHits() const { return hits_; }
    int GetHealth() const { return health_; }
    int GetThinkTimer() const { return thinkTimer_; }
    int GetBaseSpeed() const { return baseSpeed_; }
    int GetAttackSpeed() const { return attackSpeed_; }
    Point2i GetThinkTime() const { return thinkTime_; }
    int HitMarkCount() const { return static_cast<int>(hitMarks_.size()); }
    const UIWnd* HealthBar() const { return hpBar_; }
    const cArray<Point2i>& WayPoints() const { return wayPoints_; }
    bool IsOnStage() const { return state_ != kStateOff; }

protected:
    struct HitMark {
        Point2i point;
        int32_t age;
    };
    // A fresh think timer: a + random [0, b).
    int nextThink() const;
    void playSound(int which) const;
    // The sprite height of the current animation, for texts raised above it.
    int spriteRise() const;
    int animPeriod(int index) const;
    // Makes the record current from its first frame, facing as asked.
    void restartAnim(int index, bool mirrored);

    AnimDesc hitAnim_;
    cArray<HitMark> hitMarks_;
    cArray<Point2i> wayPoints_;
    cClient* target_;
    int32_t baseSpeed_, attackSpeed_;
    Point2i thinkTime_;
    int32_t thinkTimer_, health_, hits_;
    UIWnd* hpBar_;
    Point2i lastPos_;
    CString soundNames_[kSounds];
    sndSound* sounds_[kSounds];
    // The state's entry sound has played (set again on every state change).
    bool entered_;
    // The attack animation runs: kept apart from the animation index, which a zero-length walk
    // leaves unchanged.
    bool attacking_;
};

// A monster that runs to a fixed point, snatches popularity and carries it back to its base.
class cRobber : public cMonster {
public:
    enum { kAnimRunLeft = kMonsterAnims, kRobberAnims = kAnimRunLeft + kWalkAnims };
    static const char* const kRunNames[kWalkAnims];

    cRobber();
    ~cRobber() override;

    void Load(const char* iniFile) override;
    using cMonster::Load;
    void Start(const cArray<Point2i>& points) override;
    void Attack() override;
    void ShowWalk() override;
    void PickTarget() override;
    void TakeHit() override;

    Point2i GetAttackPos() const { return attackPos_; }
    int GetSnatched() const { return snatched_; }
    bool IsCarrying() const { return carrying_ != 0; }
    int GetSnatchTipsCount() const { return snatchTipsCount_; }

private:
    Point2i attackPos_;
    int32_t snatched_;
    uint8_t carrying_;
    int32_t snatchTipsCount_;
};

// Up to kMaxMonsters monsters of one kind, released one at a time: spawnInterval apart within a
// cycle of count releases, waveDelay between cycles.
class cMonsterWave {
public:
    static constexpr int kMaxMonsters = 200;

    cMonsterWave();
    ~cMonsterWave();
    cMonsterWave(const cMonsterWave&) = delete;
    cMonsterWave& operator=(const cMonsterWave&) = delete;

    // Builds count monsters of the kind ("Robber" makes robbers) from Data/Monsters/<kind>/
    // <kind>.ini, off stage at the base point; nothing for an empty kind.
    void Load(const char* name, int count, Point2i waveDelay, Point2i spawnInterval,
              Point2i basePoint, const cArray<Point2i>& wayPoints);
    void Update(int ms);
    void Draw(DrawList* list);
    void OnClick(Point2i point, int damage);
    // No more releases; every monster still on stage and not dying is struck and never looks for
    // a target again.
    void StopAll();
    cMonster* FindByTarget(const cBaseObj* client) const;

    int GetCount() const { return count_; }
    cMonster* Monster(int i) const { return i >= 0 && i < count_ ? monsters_[i] : nullptr; }
    int GetTimer() const { return timer_; }
    int GetNextDelay() const { return nextDelay_; }
    int GetSpawnIndex() const { return spawnIndex_; }
    const cArray<Point2i>& WayPoints() const { return wayPoints_; }
    bool IsStopped() const { return stopped_ != 0; }

private:
    void clear();

    int32_t timer_, nextDelay_;
    cArray<Point2i> wayPoints_;
    cMonster* monsters_[kMaxMonsters];
    Point2i waveDelay_, spawnInterval_;
    int32_t count_, spawnIndex_;
    uint8_t stopped_;
};
