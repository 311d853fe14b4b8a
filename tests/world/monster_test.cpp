// Monsters, robbers and their wave: release cycles, strikes and deaths, victims frightened at
// their place, loot snatched and given back, and the stop at a level's end.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "core/random.h"
#include "engine/platform/log.h"
#include "tests/engine/gr/draw_target.h"
#include "tests/support/temp_folder.h"
#include "tests/world/world_fakes.h"
#include "ui/ui.h"
#include "world/client.h"
#include "world/draw_list.h"
#include "world/monster.h"
#include "world/walkmap.h"

namespace {

using namespace worldtest;

const bool kOwnFolder = testsupport::workInOwnFolder("velmora_monster", [] { logOpen(); });

std::vector<std::string>& marked() {
    static std::vector<std::string> names;
    return names;
}

// The level as monsters see it: its clients, its popularity and the tutorial's events.
struct Level : FakeGame {
    std::vector<cClient*> guests;
    const cMonsterWave* wave = nullptr;
    std::vector<const cMonster*> loose;  // monsters outside any wave
    int held = 0;
    std::vector<std::string> events;

    void GetWaitingClients(cArray<cClient*>& out) override {
        out.clear();
        for (cClient* c : guests)
            if (c->GetState() != cClient::kStateOutside) out.push_back(c);
    }
    cBaseObj* FindMonsterByTarget(const cBaseObj* client) override {
        if (cMonster* m = wave ? wave->FindByTarget(client) : nullptr) return m;
        for (const cMonster* m : loose)
            if (m->GetTarget() && static_cast<const cBaseObj*>(m->GetTarget()) == client)
                return const_cast<cMonster*>(m);
        return nullptr;
    }
    int GetLevelPopularity() override { return held; }
    void AddPopularity(int amount, int fly, Point2i from) override {
        FakeGame::AddPopularity(amount, fly, from);
        held = std::max(0, held + amount);
    }
    void OnTutorialEvent(const char* name, Point2i, Point2i) override { events.push_back(name); }
};

const Point2i kBase(150, 150);

std::pair<int, int> xy(Point2i p) { return {p.x, p.y}; }

class Monsters : public ::testing::Test {
protected:
    void SetUp() override {
        gRandom.Seed(11);
        marked().clear();
        worldSetTutorialHook([](const char* name) { marked().push_back(name); });
        const std::string body = "bound_x=-10\nbound_y=-60\nbound_w=40\nbound_h=60\n";
        writeFile("Data/Monsters/Ghost/Ghost.ini",
                  "[Main]\nspeed=2.7\nattack_speed=4\nthink_time=500, 1000\nhealth=3\n" + body +
                      "[sounds]\nwalk=ghost_walk\naction=ghost_boo\nhit=ghost_hit\n"
                      "death=ghost_death\nko=ghost_ko\n");
        writeFile("Data/Monsters/Robber/Robber.ini",
                  "[Main]\nspeed=3\nattack_speed=5\nthink_time=0,0\nhealth=2\nsnatchTipsCount=3\n"
                  "attackPos=60, 100\n" + body +
                  "[sounds]\naction=robber_grab\nhit=robber_hit\n");
        writeFile("Data/Fx/fx.ini", "[MonsterHPBar]\ntype=progress\nxs=40\nys=6\n");
        writeFile("Data/Episodes/e1/map.ini",
                  "[Main]\noffset=0,0\nstep=10,10\nsize=200,200\n[map]\nnodes8=2\n");
        ASSERT_TRUE(walk.Load(1, Point2i(0, 0)));
        writeFile("client.ini", "[Main]\nname=Tester\nloyalty=3\nfright_sound=eek\n");
        writeFile("desk.ini", "[Desk]\nx=40\ny=120\nattack_x=20\nattack_y=0\n");
        desk.Load("desk.ini", "Desk");
        points.push_back(Point2i(20, 20));
        points.push_back(Point2i(100, 20));
    }
    void TearDown() override {
        cWalkMap::SetCurrent(nullptr);
        worldSetTutorialHook(nullptr);
    }
    void withWalkMap() { cWalkMap::SetCurrent(&walk); }
    cMonster& place(cMonster& m, const char* kind = "Ghost") {
        const std::string file = std::string("Data/Monsters/") + kind + "/" + kind + ".ini";
        m.Load(file.c_str());
        m.SetBasePoint(kBase);
        m.GetBody().position = Vec2f(kBase.x, kBase.y);
        level.loose.push_back(&m);
        return m;
    }
    // A guest waiting at the desk, the head of the check-in queue.
    cClient& waitingGuest(cClient& c, float x) {
        c.Load("client.ini");
        c.GetBody().position = Vec2f(x, 120);
        c.GetRequest().Load(kCheckIn, 0, &desk, 0);
        c.GetRequest().SetWaiting();
        c.SetState(cClient::kStateWaiting);
        level.guests.push_back(&c);
        return c;
    }
    static Point2i onBody(const cMonster& m) {
        return Point2i(static_cast<int>(m.GetBody().position.x) + 5,
                       static_cast<int>(m.GetBody().position.y) - 30);
    }
    template <class Pred>
    int stepUntil(cMonster& m, Pred done, int limit = 2000) {
        for (int i = 0; i < limit; ++i) {
            if (done()) return i;
            m.Update(25);
        }
        return -1;
    }

    Level level;
    Sounds sounds;
    cWalkMap walk;
    cLevelObj desk;
    cArray<Point2i> points;
};

TEST_F(Monsters, LoadReadsTheKindAndRobbersTheirLoot) {
    cMonster m;
    place(m);
    EXPECT_EQ(2, m.GetBaseSpeed());  // truncated
    EXPECT_EQ(4, m.GetAttackSpeed());
    EXPECT_EQ(xy(Point2i(500, 1000)), xy(m.GetThinkTime()));
    EXPECT_EQ(3, m.GetHealth());
    EXPECT_EQ(cMonster::kMonsterAnims, m.AnimCount());
    ASSERT_NE(nullptr, m.HealthBar());
    EXPECT_TRUE(m.HealthBar()->hidden());

    cRobber r;
    place(r, "Robber");
    EXPECT_EQ(cRobber::kRobberAnims, r.AnimCount());
    EXPECT_EQ(xy(Point2i(60, 100)), xy(r.GetAttackPos()));
    EXPECT_EQ(3, r.GetSnatchTipsCount());
}

TEST_F(Monsters, TheWaveReleasesByIntervalsAndCyclesWhileOneIsOffStage) {
    withWalkMap();
    cMonsterWave wave;
    level.wave = &wave;
    wave.Load("Ghost", 3, Point2i(5000, 5000), Point2i(1000, 1000), kBase, points);
    ASSERT_EQ(3, wave.GetCount());
    auto onStage = [&] {
        int n = 0;
        for (int i = 0; i < wave.GetCount(); ++i) n += wave.Monster(i)->IsOnStage();
        return n;
    };
    std::vector<int> releases;
    int clock = 0;
    for (; clock < 30000; clock += 25) {
        const int before = onStage();
        wave.Update(25);
        if (onStage() > before) releases.push_back(clock + 25);
    }
    // The first after the wave delay, then one a second; all out, the timer runs on in vain.
    EXPECT_EQ((std::vector<int>{5000, 6000, 7000}), releases);
    EXPECT_EQ(0, wave.GetSpawnIndex());
    EXPECT_EQ(5000, wave.GetNextDelay());

    // Beaten, the first goes off stage and the long-expired timer sends it straight back.
    cMonster* first = wave.Monster(0);
    for (int hit = 0; hit < 3; ++hit) {
        wave.OnClick(onBody(*first), 1);
        wave.Update(25);
    }
    EXPECT_EQ(3, onStage());
    EXPECT_EQ(0, first->GetHits());
    EXPECT_EQ(1, wave.GetSpawnIndex());
}

TEST_F(Monsters, LoadLimitsTheWaveAndNoWayPointsMeansNoMonster) {
    cMonsterWave wave;
    wave.Load("Ghost", 250, Point2i(0, 0), Point2i(0, 0), kBase, cArray<Point2i>());
    EXPECT_EQ(cMonsterWave::kMaxMonsters, wave.GetCount());
    EXPECT_TRUE(dynamic_cast<cRobber*>(wave.Monster(0)) == nullptr);
    for (int i = 0; i < 40; ++i) wave.Update(25);
    for (int i = 0; i < wave.GetCount(); ++i) EXPECT_FALSE(wave.Monster(i)->IsOnStage());

    wave.Load("", 5, Point2i(0, 0), Point2i(0, 0), kBase, points);  // no kind: kept as it was
    EXPECT_EQ(cMonsterWave::kMaxMonsters, wave.GetCount());
    cMonsterWave robbers;
    robbers.Load("Robber", -2, Point2i(0, 0), Point2i(0, 0), kBase, points);
    EXPECT_EQ(0, robbers.GetCount());
    robbers.Load("Robber", 1, Point2i(0, 0), Point2i(0, 0), kBase, points);
    EXPECT_TRUE(dynamic_cast<cRobber*>(robbers.Monster(0)) != nullptr);
}

TEST_F(Monsters, StrikesStunUntilTheHealthIsSpent) {
    const struct {
        int damage;
        std::vector<int> states;  // after each click; the last click finds it beaten
    } cases[] = {
        {1, {cMonster::kStateStunned, cMonster::kStateStunned, cMonster::kStateDying}},
        {2, {cMonster::kStateStunned, cMonster::kStateDying, cMonster::kStateDying}},
        {3, {cMonster::kStateDying, cMonster::kStateDying}},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.damage);
        cMonster m;
        place(m);
        m.OnHit(onBody(m), k.damage);  // off stage: untouchable
        EXPECT_EQ(0, m.GetHits());
        m.Start(points);
        ASSERT_TRUE(m.IsOnStage());
        sounds.heard().clear();
        level.events.clear();
        marked().clear();
        int effective = 0;
        for (size_t i = 0; i < k.states.size(); ++i) {
            const int before = m.GetHits();
            m.OnHit(onBody(m), k.damage);
            EXPECT_EQ(k.states[i], m.GetState()) << "click " << i;
            if (m.GetHits() == before) continue;
            ++effective;
            if (m.GetState() == cMonster::kStateStunned) {
                EXPECT_EQ(cMonster::kStateAtWayPoint, m.GetSubState());
            }
            EXPECT_FALSE(m.HealthBar()->hidden());
            EXPECT_FLOAT_EQ(1.0f - std::min(3, m.GetHits()) / 3.0f,
                            const_cast<UIWnd*>(m.HealthBar())->GetValue());
        }
        EXPECT_EQ(effective, m.HitMarkCount());
        EXPECT_EQ(effective, sounds.count("ghost_hit"));
        EXPECT_EQ(effective, static_cast<int>(marked().size()));
        EXPECT_EQ(effective, static_cast<int>(std::count(level.events.begin(), level.events.end(),
                                                         std::string("Monster_End"))));
        // Without a picture the death is over at the next step: off stage at its base.
        m.Update(25);
        m.Update(25);
        EXPECT_FALSE(m.IsOnStage());
        EXPECT_EQ(1, sounds.count("ghost_death"));
        EXPECT_TRUE(m.HealthBar()->hidden());
        m.OnHit(onBody(m), k.damage);
        EXPECT_FALSE(m.IsOnStage());
    }
}

TEST_F(Monsters, AStunWearsOffBackToTheWayPoints) {
    cMonster m;
    place(m);
    m.Start(points);
    m.OnHit(onBody(m), 1);
    ASSERT_EQ(cMonster::kStateStunned, m.GetState());
    m.Update(25);
    EXPECT_EQ(1, sounds.count("ghost_ko"));
    EXPECT_EQ(cMonster::kStateAtWayPoint, m.GetState());
}

TEST_F(Monsters, AMonsterFrightensAWaitingClientFromItsPlace) {
    cClient a, inRoom;
    waitingGuest(a, 100);  // left of the monster
    inRoom.Load("client.ini");
    inRoom.SetState(cClient::kStateInRoom);
    level.guests.push_back(&inRoom);
    cMonster m, other;
    place(m);
    place(other);
    m.Start(points);
    other.Start(points);

    m.PickTarget();
    EXPECT_EQ(&a, m.GetTarget());
    EXPECT_EQ(4.0f, m.GetBody().speed);
    EXPECT_EQ(cMonster::kStateAttacking, m.GetState());  // no walk map: there at once
    EXPECT_FALSE(a.CanBeAttacked());
    other.PickTarget();  // one monster to a client
    EXPECT_EQ(nullptr, other.GetTarget());
    EXPECT_GE(other.GetThinkTimer(), 500);
    EXPECT_LT(other.GetThinkTimer(), 1500);

    m.Update(25);
    EXPECT_EQ(cClient::kStateScared, a.GetState());
    EXPECT_EQ(1, sounds.count("ghost_boo"));
    EXPECT_EQ(1, sounds.count("eek"));
    EXPECT_EQ(cMonster::kAnimAttack, m.GetAnimIndex());
    EXPECT_EQ(1, m.CurrentAnim()->mirror_x);
    m.Update(25);  // no picture: the attack is over
    EXPECT_EQ(nullptr, m.GetTarget());
    EXPECT_EQ(2.0f, m.GetBody().speed);
    EXPECT_EQ(cMonster::kStateAtWayPoint, m.GetState());

    // A victim gone from its place by the time the monster arrives is spared.
    cClient b;
    waitingGuest(b, 200);
    m.PickTarget();
    ASSERT_EQ(&b, m.GetTarget());
    b.GetRequest().SetServing();
    m.Update(25);
    EXPECT_EQ(cClient::kStateWaiting, b.GetState());
    EXPECT_EQ(nullptr, m.GetTarget());
    EXPECT_EQ(cMonster::kStateAtWayPoint, m.GetState());
    EXPECT_EQ(1, sounds.count("ghost_boo"));
}

TEST_F(Monsters, MirroredBoundsLieOnTheOtherSideOfTheFootPoint) {
    cMonster m;
    place(m);
    m.Start(points);
    const struct {
        int dx;
        bool plain, mirrored;
    } cases[] = {{-30, false, true}, {-11, false, true}, {-10, true, true},
                 {10, true, true},   {11, true, false}, {30, true, false}};
    for (bool mirrored : {false, true}) {
        m.SetAnimation(cMonster::kAnimStunned, mirrored);
        m.SetAnimation(cMonster::kAnimAttack, mirrored);
        for (const auto& k : cases)
            EXPECT_EQ(mirrored ? k.mirrored : k.plain, m.HitTestPoint(kBase.x + k.dx, kBase.y - 1))
                << k.dx << (mirrored ? " mirrored" : "");
    }
}

TEST_F(Monsters, ARobberGivesBackExactlyWhatItTookOnlyWhenBeaten) {
    withWalkMap();
    const struct {
        int held, beatenAfter;  // steps on the way home before the last blow; -1 never
        int snatched, heldAtEnd;
    } cases[] = {
        {100, 3, 30, 100},  // three tips of 10
        {20, 3, 20, 20},    // no more than the level holds
        {100, -1, 30, 70},  // home with the loot
        {100, 0, 30, 100},  // struck down in the middle of the grab
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.held);
        SCOPED_TRACE(k.beatenAfter);
        level.held = k.held;
        level.maxCostTip = 10;
        level.popularity.clear();
        cMonsterWave wave;
        level.wave = &wave;
        wave.Load("Robber", 1, Point2i(0, 0), Point2i(0, 0), kBase, points);
        auto* r = dynamic_cast<cRobber*>(wave.Monster(0));
        ASSERT_NE(nullptr, r);
        wave.Update(25);
        ASSERT_TRUE(r->IsOnStage());
        r->PickTarget();
        ASSERT_GE(stepUntil(*r, [&] { return r->GetSnatched() > 0; }), 0);
        EXPECT_EQ(k.snatched, r->GetSnatched());
        EXPECT_TRUE(r->IsCarrying());
        EXPECT_EQ(k.held - k.snatched, level.held);
        if (k.beatenAfter > 0) {
            ASSERT_GE(stepUntil(*r, [&] { return r->GetState() == cMonster::kStateWalking; }), 0);
            for (int i = 0; i < k.beatenAfter; ++i) r->Update(25);
        }
        if (k.beatenAfter >= 0) {
            wave.OnClick(onBody(*r), 1);  // still running with the loot
            EXPECT_TRUE(r->IsCarrying());
            EXPECT_NE(cMonster::kStateDying, r->GetState());
            wave.OnClick(onBody(*r), 1);
            EXPECT_EQ(cMonster::kStateDying, r->GetState());
            EXPECT_FALSE(r->IsCarrying());
        } else {
            ASSERT_GE(stepUntil(*r, [&] { return !r->IsOnStage(); }), 0);
            EXPECT_EQ(xy(kBase), xy(r->GetBody().position.ToPoint2i()));
            EXPECT_TRUE(r->IsCarrying());
        }
        // The level ends while it dies or after it has gone: nothing comes back a second time.
        wave.StopAll();
        wave.Update(25);
        wave.StopAll();
        EXPECT_EQ(k.heldAtEnd, level.held);
        EXPECT_LE(level.popularity.size(), 2u);
        for (const auto& p : level.popularity) EXPECT_EQ(1, p.fly);
        level.wave = nullptr;
    }
}

TEST_F(Monsters, StopAllStrikesActiveMonstersOnceAndSendsThemOff) {
    withWalkMap();
    cMonsterWave wave;
    level.wave = &wave;
    wave.Load("Ghost", 3, Point2i(0, 0), Point2i(0, 0), kBase, points);
    wave.Update(25);
    wave.Update(25);
    cMonster* walking = wave.Monster(0);
    cMonster* dying = wave.Monster(1);
    ASSERT_TRUE(walking->IsOnStage() && dying->IsOnStage());
    ASSERT_FALSE(wave.Monster(2)->IsOnStage());
    EXPECT_EQ(cMonster::kStateWalking, walking->GetState());
    const int think = walking->GetThinkTimer();
    walking->Update(25);
    EXPECT_EQ(think - 25, walking->GetThinkTimer());
    // The second dies slowly: a picture gives its death a period.
    writePicture("death.tga", 4, 4, 0, 0, 255);
    writeFile("slow.ini", "[Death]\nsprite=death.tga\nperiod=1000\nframes=1\n");
    dying->Anim(cMonster::kAnimDeath)->Load("slow.ini", "Death");
    for (int i = 0; i < 3; ++i) wave.OnClick(onBody(*dying), 1);
    ASSERT_EQ(cMonster::kStateDying, dying->GetState());
    wave.Update(25);
    sounds.heard().clear();

    wave.StopAll();
    EXPECT_TRUE(wave.IsStopped());
    EXPECT_EQ(cMonster::kStateStunned, walking->GetState());
    EXPECT_EQ(0, walking->GetHealth());
    EXPECT_EQ(cMonster::kStateDying, dying->GetState());
    EXPECT_EQ(1, sounds.count("ghost_hit"));  // the dying one is left to die
    EXPECT_FALSE(wave.Monster(2)->IsOnStage());
    for (int i = 0; i < 60; ++i) {
        wave.StopAll();
        wave.Update(25);
    }
    for (int i = 0; i < wave.GetCount(); ++i) EXPECT_FALSE(wave.Monster(i)->IsOnStage()) << i;
    // The stunned one died at the next stop; the dying one's death was never begun again.
    EXPECT_EQ(1, sounds.count("ghost_death"));
}

TEST_F(Monsters, DrawnOnlyOnStageWithASplashWhereTheClickStruck) {
    writePicture("ghost.tga", 4, 4, 255, 0, 0);
    writePicture("splash.tga", 4, 4, 0, 255, 0);
    writeFile("drawn.ini",
              "[Main]\nhealth=3\nbound_x=-10\nbound_y=-60\nbound_w=40\nbound_h=60\n"
              "[WalkLeft]\nsprite=ghost.tga\nperiod=1000\nframes=1\nspr_x=-2\nspr_y=-4\n"
              "[Hit]\nsprite=splash.tga\nperiod=300\nframes=1\nspr_x=-2\nspr_y=-2\n");
    DrawTarget target(16, 16, "monstertarget");
    DrawList list;
    cMonster m;
    m.Load("drawn.ini");
    m.GetBody().position = Vec2f(4, 8);
    m.Draw(&list);  // off stage: nothing
    EXPECT_EQ(0, target.at(3, 5));
    m.Start(points);
    m.Draw(&list);
    EXPECT_EQ(0xF800, target.at(3, 5));
    target.clear();
    m.OnHit(Point2i(12, 2), 1);
    m.Draw(&list);  // stunned without a picture: only the splash, at the click
    EXPECT_EQ(0x07E0, target.at(11, 1));
    EXPECT_EQ(0, target.at(3, 5));
    for (int i = 0; i < 12; ++i) m.Update(25);
    EXPECT_EQ(0, m.HitMarkCount());
}

}  // namespace
