// The Maid, the Porter and the rooms together in a real level: the first episode's last level,
// with a flower and the lobby's cash desk, gifts and sweets in the hotel, played to its end by the
// scripted player; and a room that breaks, is repaired by the Porter and is then upgraded.
#include <cstdint>
#include <cstring>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "game/game_data.h"
#include "game/panel.h"
#include "game/profile.h"
#include "tests/game/level_harness.h"
#include "tests/game/scripted_player.h"
#include "world/client.h"
#include "world/hero.h"
#include "world/level_object.h"
#include "world/monster.h"
#include "world/request.h"
#include "world/room.h"

namespace {

using leveltest::LevelHarness;

constexpr int kStepMs = 25;
constexpr int kMaxSteps = 20 * 60 * 1000 / kStepMs;
constexpr int kLookEvery = 1000 / kStepMs;  // the player looks at the hotel once a second

struct Outcome {
    bool ended = false, won = false;
    int upgradedRooms = 0;
    std::vector<uint64_t> digests;
    std::set<std::string> sounds;
};

class StaffLevel : public LevelHarness {
protected:
    void SetUp() override {
        LevelHarness::SetUp();
        Start(true);
        Prepare();
    }

    // The player stands at the first episode's last level with a hotel that has bought a flower
    // and the lobby's extras, two guests short of the first room upgrade.
    void Prepare() {
        int levels = 0;
        for (uint32_t i = 0; i < gWayPoints.size(); ++i)
            if (gWayPoints[i].GetKind() == cMapWayPoint::kLevel && gWayPoints[i].GetEpisode() == 1 &&
                ++levels == 10) {
                gCurrentProfile->SetLevel(i);
                break;
            }
        ASSERT_EQ(gCurrentProfile->GetLevelNumber(), 10);
        gCurrentProfile->SetTutorialOn(false);
        for (const char* object : {"Flower1", "Cash", "Gift", "Sweets"})
            gCurrentProfile->InsertObjectItem(gCurrentProfile->MakeObjectItem(object));
        gCurrentProfile->AddClientsServed(8);
    }

    ScriptedPlayer& Player() {
        if (!player_)
            player_ = std::make_unique<ScriptedPlayer>(game, ScriptedPlayer::AtWindowManager());
        return *player_;
    }

    Outcome PlayThrough() {
        Play();
        EXPECT_TRUE(PlayOn());
        Outcome out;
        gone_.assign(static_cast<size_t>(game->GetClientArraySize()), false);
        admitted_.assign(gone_.size(), false);
        for (int step = 0; step < kMaxSteps; ++step) {
            if (step % kLookEvery == 0) Player().React();
            Step();
            Check(step);
            out.digests.push_back(Digest());
            if (::testing::Test::HasFatalFailure()) break;
            if (game->GetLevelState() == cGame::kLevelOver) {
                out.ended = true;
                break;
            }
        }
        out.won = game->IsLevelWon();
        out.upgradedRooms = game->GetRoomsUpgraded();
        for (const std::string& s : leveltest::heard()) out.sounds.insert(s);
        return out;
    }

    void Check(int step) {
        for (int i = 0; i < game->GetClientCount(); ++i) {
            const bool outside = game->GetClient(i)->GetState() == cClient::kStateOutside;
            if (!outside) admitted_[static_cast<size_t>(i)] = true;
            if (admitted_[static_cast<size_t>(i)] && outside) gone_[static_cast<size_t>(i)] = true;
        }
        for (int i = 0; i < game->GetObjectCount(); ++i) {
            cLevelObj* object = game->GetObject(i);
            int waiting = object->GetRequest().IsWaiting() ? 1 : 0;
            for (cBaseObj* guest : Guests()) {
                const cRequest& r = guest->GetRequest();
                waiting += r.IsWaiting() && r.GetOwner() == object;
            }
            ASSERT_LE(waiting, 1) << object->GetSectionName() << " at step " << step;
        }
        for (cHero* hero : game->Heroes())
            for (int t = 0; t < hero->TaskCount(); ++t) {
                const HeroTask& task = hero->Task(t);
                // The Maid and the Porter hold one task per request they serve (two guests at
                // one card table have one each). Jenny's fetches outlive a guest who gave up
                // waiting, which is hers to sort out.
                int same = 0;
                for (int u = 0; u < hero->TaskCount(); ++u)
                    same += hero->Task(u).kind == task.kind && hero->Task(u).target == task.target;
                if (strcmp(hero->GetName(), "Jenny") != 0) {
                    ASSERT_LE(same, RequestsServedAt(task.kind, task.target))
                        << hero->GetName() << " has task " << task.kind << " at "
                        << task.target->GetSectionName() << " " << same << " times, step " << step;
                }
                for (int i = 0; i < game->GetClientCount(); ++i) {
                    if (!gone_[static_cast<size_t>(i)]) continue;
                    const cRequest& r = game->GetClient(i)->GetRequest();
                    ASSERT_FALSE(r.GetKind() != kNoRequest &&
                                 (r.GetTarget() == task.target || r.GetOwner() == task.target))
                        << "a task for gone client " << i << " at step " << step;
                }
            }
    }

    // The requests of the kind that a task at the target would serve.
    int RequestsServedAt(int kind, const cLevelObj* target) const {
        int n = target->GetRequest().GetKind() == kind;
        for (cBaseObj* guest : Guests()) {
            const cRequest& r = guest->GetRequest();
            n += r.GetKind() == kind && (r.GetTarget() == target || r.GetOwner() == target);
        }
        return n;
    }

    // Every active guest and its companion.
    std::vector<cBaseObj*> Guests() const {
        std::vector<cBaseObj*> all;
        for (int i = 0; i < game->GetClientCount(); ++i) {
            all.push_back(game->GetClient(i));
            if (cBaseObj* linked = game->GetClient(i)->GetLinked()) all.push_back(linked);
        }
        return all;
    }

    uint64_t Digest() const {
        uint64_t h = 1469598103934665603ull;
        auto mix = [&h](uint64_t v) { h = (h ^ v) * 1099511628211ull; };
        mix(static_cast<uint64_t>(game->GetMoney()));
        mix(static_cast<uint64_t>(game->GetPopularity()));
        auto body = [&mix](const cBaseObj* o) {
            uint32_t x = 0, y = 0;
            std::memcpy(&x, &o->GetBody().position.x, sizeof x);
            std::memcpy(&y, &o->GetBody().position.y, sizeof y);
            mix(static_cast<uint64_t>(o->GetState()));
            mix(static_cast<uint64_t>(o->GetRequest().GetKind()));
            mix(x);
            mix(y);
        };
        for (cBaseObj* guest : Guests()) body(guest);
        for (cHero* hero : game->Heroes()) body(hero);
        for (int i = 0; i < game->GetObjectCount(); ++i) body(game->GetObject(i));
        return h;
    }

    // A second play from a fresh start with a new player, the generators reseeded.
    void Restart() {
        player_.reset();
        LevelHarness::Restart("p2");
        Prepare();
    }

    std::vector<bool> gone_, admitted_;
    std::unique_ptr<ScriptedPlayer> player_;
};

TEST_F(StaffLevel, TheStaffServeTheLastLevelToItsEndTheSameWayTwice) {
    const Outcome first = PlayThrough();
    ASSERT_FALSE(HasFatalFailure());
    ASSERT_TRUE(first.ended);
    int companions = 0;
    for (int i = 0; i < game->GetClientCount(); ++i)
        companions += game->GetClient(i)->GetLinked() != nullptr;
    EXPECT_GT(companions, 0);  // the traveller and the old gentleman bring theirs
    for (cBaseObj* guest : Guests()) EXPECT_EQ(guest->GetState(), cClient::kStateOutside);
    EXPECT_EQ(game->GetClientsReleased() == game->GetClientCount() &&
                  game->GetMoney() + game->GetPopularity() >= game->GetCashGoal(),
              first.won);
    // Each of the staff's services was done at least once, the room upgrade among them, and
    // the level's ghosts were struck.
    for (const char* sound : {"cleaning", "action_pillow", "action_plaid", "action_watering",
                              "action_luggage", "action_repair", "upgrade_room", "monster_hit"})
        EXPECT_TRUE(first.sounds.count(sound)) << sound;
    EXPECT_EQ(first.upgradedRooms, 1);
    RecordProperty("steps", static_cast<int>(first.digests.size()));
    RecordProperty("money", game->GetMoney() + game->GetPopularity());

    Restart();
    const Outcome second = PlayThrough();
    ASSERT_EQ(second.digests.size(), first.digests.size());
    for (size_t i = 0; i < first.digests.size(); ++i)
        ASSERT_EQ(second.digests[i], first.digests[i]) << "the plays part at step " << i;
}

// A room breaks, its guest asks for the repair, the Porter mends it, and then the served-clients
// counter prepares its upgrade, which he carries out: the repair leaves the grade as it was.
TEST_F(StaffLevel, ARepairedRoomKeepsItsGradeUntilTheUpgrade) {
    Play();
    ASSERT_TRUE(PlayOn());
    cRoom* room = dynamic_cast<cRoom*>(game->FindLevelObjectByName("Room1"));
    ASSERT_NE(room, nullptr);
    const int grade = room->UpgradeLevel();
    room->SetBreakFlag();  // the level's room breakage picks it

    cClient* guest = nullptr;
    for (int i = 0; i < 2000 && !(guest = Player().HeadOfCheckIn()); ++i) Step();
    ASSERT_NE(guest, nullptr);
    const Point2i from = ScriptedPlayer::HitPoint(guest), to = ScriptedPlayer::HitPoint(room);
    Player().Press(from);
    Player().MoveTo(to);
    Player().Release(to);
    ASSERT_EQ(guest->GetRoom(), room);

    // Plays on, the player looking once a second, until done holds; false after two minutes.
    auto playUntil = [&](auto done) {
        for (int step = 0; step < 120 * 1000 / kStepMs; ++step) {
            if (done()) return true;
            if (step % kLookEvery == 0) Player().React();
            Step();
        }
        return false;
    };
    ASSERT_TRUE(playUntil([&] { return guest->GetRequest().GetKind() == kRepair; }));
    ASSERT_TRUE(playUntil([&] { return !room->HasBreakFlag(); }));
    EXPECT_TRUE(leveltest::wasHeard("action_repair"));
    EXPECT_EQ(room->UpgradeLevel(), grade);
    EXPECT_EQ(game->GetRoomsUpgraded(), 0);

    game->PrepareRoomUpgrade(grade);
    ASSERT_TRUE(room->IsUpgradePending());
    ASSERT_TRUE(playUntil([&] { return room->UpgradeLevel() != grade; }));
    EXPECT_EQ(room->UpgradeLevel(), grade + 1);
    EXPECT_EQ(game->GetRoomsUpgraded(), 1);
    EXPECT_TRUE(leveltest::wasHeard("upgrade_room"));
}

}  // namespace
