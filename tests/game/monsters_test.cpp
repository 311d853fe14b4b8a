// The level's monster wave: read from the level file, released while the level plays, struck by
// the player's clicks and sent away once every client is served.
#include <string>

#include "engine/data/ini.h"
#include "engine/gr/gr.h"
#include "tests/game/level_harness.h"
#include "tests/world/world_fakes.h"
#include "world/monster.h"

namespace {

using leveltest::LevelHarness;

class MonsterLevel : public LevelHarness {
protected:
    void SetUp() override {
        LevelHarness::SetUp();
        program.write("Data/shared.ini", "[WayPoints]\n0=level, 1, 0, 0\n");
        program.write("Data/Episodes/e1/objects.ini", "[Main]\n");
        program.write("Data/Request/Request.ini", "[DecreaseRatio]\n");
        program.write("Data/Episodes/e1/map.ini",
                      "[Main]\nsize=64,64\nstep=32,32\n[map]\nnodes0=11\nnodes1=11\n");
        program.write("Data/Monsters/Ghost/Ghost.ini",
                      "[Main]\nspeed=2\nhealth=2\nbound_x=-10\nbound_y=-60\nbound_w=20\n"
                      "bound_h=60\n[sounds]\nhit=ghost_hit\n");
    }
    void Levels(const std::string& monsters, const std::string& way = "100,50;300,60") {
        program.write("Data/Episodes/e1/levels.ini", "[Main]\nmonsters_way=" + way +
                                                         "\n[level1]\nmonsters=" + monsters +
                                                         "\n[BasePos]\nmonsters=500,400\n");
        iniFreeAll();
    }
};

TEST_F(MonsterLevel, TheLevelLineBuildsTheWave) {
    constexpr int kAnyDelay = -1;
    const struct {
        const char* monsters;
        const char* way;
        int count, nextDelay, wayPoints;
    } cases[] = {
        {"Ghost, 2, 4000/4000, 500/700", "100,50; 7 ; 300,60", 2, 4000, 2},
        {"Ghost, 3, 4000, 500/700", "100,50", 3, 0, 1},  // a delay without its maximum: 0/0
        {"Ghost, 2, 4000/4000", "100,50", 0, 0, 0},     // too few parts: no monsters
        {"", "100,50", 0, 0, 0},
        // the widest window there is: drawn without overflowing
        {"Ghost, 1, -2147483648/2147483647, 2147483000/2147483647", "", 1, kAnyDelay, 0},
    };
    Levels("");
    Start(false);
    for (const auto& k : cases) {
        SCOPED_TRACE(k.monsters);
        Levels(k.monsters, k.way);
        cGame level;
        for (int stage = 0; stage < cGame::kLoadStages; ++stage) level.LoadLevel(stage);
        const cMonsterWave& wave = level.GetMonsterWave();
        ASSERT_EQ(k.count, wave.GetCount());
        EXPECT_EQ(k.wayPoints, static_cast<int>(wave.WayPoints().size()));
        if (!k.count) continue;
        if (k.nextDelay != kAnyDelay) {
            EXPECT_EQ(k.nextDelay, wave.GetNextDelay());
        }
        EXPECT_EQ(500, wave.Monster(0)->GetBody().position.x);
        EXPECT_EQ(400, wave.Monster(0)->GetBasePoint().y);
        if (k.wayPoints) {
            EXPECT_EQ(100, wave.WayPoints()[0].x);
        }
    }
}

TEST_F(MonsterLevel, ClicksStrikeMonstersAndTheLevelsEndSendsThemAway) {
    Levels("Ghost, 1, 0/0, 0/0");
    Start(false);
    game = gameCreateLevel();
    // Driven by hand: a level without clients would end at its first full step.
    game->SetLevelState(cGame::kPlaying);
    game->UpdateMonsters(25);
    cMonster* ghost = game->GetMonsterWave().Monster(0);
    ASSERT_TRUE(ghost->IsOnStage());

    game->OnKeyDown(1, at(200, 370));  // beside it
    EXPECT_EQ(0, ghost->GetHits());
    game->OnKeyDown(1, at(505, 370));  // a Porter without the defence skill: a strength of 1
    EXPECT_EQ(1, ghost->GetHits());
    EXPECT_EQ(cMonster::kStateStunned, ghost->GetState());
    EXPECT_TRUE(leveltest::wasHeard("ghost_hit"));

    // Every client served (there are none): the level ends and the wave stops, its monsters
    // struck once more and never after looking for a victim.
    for (int i = 0; i < 3; ++i) game->Update(25);
    EXPECT_EQ(cGame::kLevelOver, game->GetLevelState());
    EXPECT_TRUE(game->GetMonsterWave().IsStopped());
    EXPECT_EQ(0, ghost->GetHealth());
    EXPECT_TRUE(ghost->IsOnStage());  // its stun (of no length) is over: it only wanders
    // While the end goes on, the next step beats it off the stage.
    game->UpdateMonsters(25);
    EXPECT_FALSE(ghost->IsOnStage());
}

TEST_F(MonsterLevel, ThePortersDefenceStrikesHarder) {
    Levels("Ghost, 1, 0/0, 0/0");
    Start(false);
    game = gameCreateLevel();
    ASSERT_NE(nullptr, game->GetPorter());
    game->SetLevelState(cGame::kPlaying);
    game->UpdateMonsters(25);
    cMonster* ghost = game->GetMonsterWave().Monster(0);
    ASSERT_TRUE(ghost->IsOnStage());
    worldtest::FakeProfile learnt;  // the Porter reads his skills when the click comes
    SkillInfo defense;
    defense.name = "defense";
    defense.hero = "Porter";
    defense.ability = 1;
    learnt.skills.push_back(defense);
    game->OnKeyDown(1, at(505, 370));  // a strength of 2: the ghost's whole health
    EXPECT_EQ(2, ghost->GetHits());
    EXPECT_EQ(cMonster::kStateDying, ghost->GetState());
}

// The bundled kinds: every record has its picture and every strike shows a full health bar.
class BundledMonsters : public LevelHarness {};

TEST_F(BundledMonsters, EveryKindLoadsWholeFromTheGamesData) {
    Start(true);
    for (const char* kind : {"Ghost", "Robber"}) {
        SCOPED_TRACE(kind);
        cMonsterWave wave;
        wave.Load(kind, 1, Point2i(0, 0), Point2i(0, 0), Point2i(500, 400), cArray<Point2i>());
        const cMonster* m = wave.Monster(0);
        ASSERT_NE(nullptr, m);
        for (int i = 0; i < m->AnimCount(); ++i) {
            EXPECT_NE(nullptr, m->Anim(i)->sprite) << m->Anim(i)->section.c_str();
            EXPECT_GT(grSpriteTime(m->Anim(i)->sprite), 0) << i;
        }
        EXPECT_GT(m->GetHealth(), 0);
        EXPECT_GT(m->GetBaseSpeed(), 0);
        EXPECT_GT(m->GetAttackSpeed(), m->GetBaseSpeed());
        ASSERT_NE(nullptr, m->HealthBar());
        EXPECT_EQ(2, m->HealthBar()->childCount());
        if (auto* robber = dynamic_cast<const cRobber*>(m)) {
            EXPECT_EQ(cRobber::kRobberAnims, m->AnimCount());
            EXPECT_GT(robber->GetSnatchTipsCount(), 0);
            EXPECT_GT(robber->GetAttackPos().x, 0);
        }
    }
}

}  // namespace
