// The bundled first level played to its end by a scripted player through the window manager: one
// who looks every two seconds wins it, one who looks every twenty loses it, the level's books stay
// sound at every step, and two plays of the same script on the same seed are the same play.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "game/panel.h"
#include "game/profile.h"
#include "tests/game/level_harness.h"
#include "tests/game/scripted_player.h"
#include "world/client.h"
#include "world/hero.h"
#include "world/level_object.h"
#include "world/request.h"
#include "world/room.h"

namespace {

using leveltest::LevelHarness;

constexpr int kStepMs = 25;
constexpr int kMaxSteps = 30 * 60 * 1000 / kStepMs;  // half an hour of play at most
// How often, in steps, the player looks at the hotel: every two seconds wins the first level on
// this seed, every thirty loses it.
constexpr int kQuick = 2000 / kStepMs;
constexpr int kSlow = 30000 / kStepMs;

struct Outcome {
    bool ended = false;  // the level reached its end state
    bool won = false;
    int money = 0, popularity = 0, released = 0, clients = 0;
    std::vector<uint64_t> digests;
};

class WholeLevel : public LevelHarness {
protected:
    void SetUp() override {
        LevelHarness::SetUp();
        Start(true);
    }

    // The level from its first stage, the player's hints off, until it ends or time runs out; the
    // player looks at the hotel every reactEvery steps and acts on all it sees. With draw set every
    // step is also drawn, which must change nothing of the play.
    Outcome PlayThrough(int reactEvery, bool draw = false) {
        HSPRITE target = draw ? grCreateSprite(1024, 768, "whole level back buffer") : nullptr;
        gCurrentProfile->SetTutorialOn(false);
        Play();
        EXPECT_TRUE(PlayOn());
        Outcome out;
        out.clients = game->GetClientCount();
        gone_.assign(static_cast<size_t>(game->GetClientArraySize()), false);
        admitted_.assign(gone_.size(), false);
        for (int step = 0; step < kMaxSteps; ++step) {
            if (step % reactEvery == 0) React();
            Step();
            if (target) {
                HSPRITE screen = grSetTarget(target);
                WM::Get()->Render();
                grSetTarget(screen);
            }
            Check(step);
            out.digests.push_back(Digest());
            if (::testing::Test::HasFatalFailure()) break;
            if (game->GetLevelState() == cGame::kLevelOver) {
                out.ended = true;
                break;
            }
        }
        if (target) grFreeSprite(target);
        out.won = game->IsLevelWon();
        out.money = game->GetMoney();
        out.popularity = game->GetPopularity();
        out.released = game->GetClientsReleased();
        return out;
    }

    // The level playing with hints off, stepped until a guest waits at the head of the check-in
    // queue; null when none comes.
    cClient* FirstGuestAtTheDesk() {
        gCurrentProfile->SetTutorialOn(false);
        Play();
        if (!PlayOn()) return nullptr;
        cClient* guest = nullptr;
        for (int i = 0; i < 2000 && !(guest = HeadOfCheckIn()); ++i) Step();
        return guest;
    }

    // A second play from a fresh start: the same user folder and player, the generators reseeded.
    void Restart() {
        player_.reset();
        LevelHarness::Restart();
    }

    // --- the player, at the window manager's pointer ---

    ScriptedPlayer& Player() {
        if (!player_)
            player_ = std::make_unique<ScriptedPlayer>(game, ScriptedPlayer::AtWindowManager());
        return *player_;
    }
    void React() { Player().React(); }
    Point2i HitPoint(cBaseObj* o) { return ScriptedPlayer::HitPoint(o); }
    cClient* HeadOfCheckIn() { return Player().HeadOfCheckIn(); }
    cRoom* FreeRoomFor(const cClient* guest) { return Player().FreeRoomFor(guest); }
    void MoveTo(Point2i p) { Player().MoveTo(p); }
    void Press(Point2i p) { Player().Press(p); }
    void Release(Point2i p) { Player().Release(p); }
    void Click(Point2i p) { Player().Click(p); }

    // --- what holds at every step ---

    void Check(int step) {
        ASSERT_GE(game->GetClientsIn(), 0) << step;
        ASSERT_GE(game->GetClientsGone(), 0) << step;
        ASSERT_LE(game->GetClientsIn() + game->GetClientsGone(), game->GetClientCount()) << step;
        for (int i = 0; i < game->GetClientCount(); ++i) {
            cClient* c = game->GetClient(i);
            const bool outside = c->GetState() == cClient::kStateOutside;
            if (!outside) admitted_[static_cast<size_t>(i)] = true;
            if (admitted_[static_cast<size_t>(i)] && outside) gone_[static_cast<size_t>(i)] = true;
        }
        // At most one request waits at an object: its own, or that of one client waiting there.
        for (int i = 0; i < game->GetObjectCount(); ++i) {
            cLevelObj* object = game->GetObject(i);
            int waiting = object->GetRequest().IsWaiting() ? 1 : 0;
            for (int k = 0; k < game->GetClientCount(); ++k) {
                const cRequest& r = game->GetClient(k)->GetRequest();
                waiting += r.IsWaiting() && r.GetOwner() == object;
            }
            ASSERT_LE(waiting, 1) << object->GetSectionName() << " at step " << step;
        }
        // The finder of a client by the object its request names keeps its answers while no
        // request changes: asked after any step, it says what a search of the clients finds.
        for (int i = 0; i < game->GetObjectCount(); ++i) {
            cLevelObj* object = game->GetObject(i);
            ASSERT_EQ(game->FindClientByRequestTarget(object), SearchByTarget(object))
                << object->GetSectionName() << " at step " << step;
        }
        // No hero goes to serve a client who has left.
        for (cHero* hero : game->Heroes())
            for (int t = 0; t < hero->TaskCount(); ++t) {
                cLevelObj* target = hero->Task(t).target;
                for (int i = 0; i < game->GetClientCount(); ++i) {
                    if (!gone_[static_cast<size_t>(i)]) continue;
                    const cRequest& r = game->GetClient(i)->GetRequest();
                    ASSERT_FALSE(r.GetKind() != kNoRequest && (r.GetTarget() == target || r.GetOwner() == target))
                        << "a task for gone client " << i << " at step " << step;
                }
            }
    }

    // The first client, or its partner right after it, whose request names the object and is
    // waiting or done; a fetched kind also while it is not yet being delivered.
    cBaseObj* SearchByTarget(const cLevelObj* object) const {
        auto found = [object](const cBaseObj* c) {
            const cRequest& r = c->GetRequest();
            const bool fetched = IsOneOf(r.GetKind(), kCocktail, kFood, kNews, kPhone);
            return r.GetTarget() == object &&
                   ((fetched && !r.IsServing()) || r.IsWaiting() || r.IsDone());
        };
        for (int i = 0; i < game->GetClientCount(); ++i) {
            cClient* c = game->GetClient(i);
            if (!c) continue;
            if (found(c)) return c;
            if (c->GetLinked() && found(c->GetLinked())) return c->GetLinked();
        }
        return nullptr;
    }

    uint64_t Digest() const {
        uint64_t h = 1469598103934665603ull;
        auto mix = [&h](uint64_t v) { h = (h ^ v) * 1099511628211ull; };
        mix(static_cast<uint64_t>(game->GetMoney()));
        mix(static_cast<uint64_t>(game->GetPopularity()));
        for (int i = 0; i < game->GetClientCount(); ++i) {
            const cClient* c = game->GetClient(i);
            uint32_t x = 0, y = 0;
            std::memcpy(&x, &c->GetBody().position.x, sizeof x);
            std::memcpy(&y, &c->GetBody().position.y, sizeof y);
            mix(static_cast<uint64_t>(c->GetState()));
            mix(x);
            mix(y);
        }
        return h;
    }

    // The after-level rule, written out: money and popularity against the goal, every client
    // released, and the room upgrade on a level that asks for one.
    bool AfterLevelVerdict() const {
        if (game->GetGoalType() == 3 && !game->WasRoomUpgraded()) return false;
        if (game->GetMoney() + game->GetPopularity() < game->GetCashGoal()) return false;
        return game->AllClientsReleased();
    }

    void ExpectEveryClientGone() {
        for (int i = 0; i < game->GetClientCount(); ++i) {
            EXPECT_TRUE(gone_[static_cast<size_t>(i)]) << "client " << i;
            EXPECT_EQ(game->GetClient(i)->GetState(), cClient::kStateOutside) << "client " << i;
        }
    }

    std::vector<bool> gone_, admitted_;
    std::unique_ptr<ScriptedPlayer> player_;
};

// The drag of a guest: a release where it was picked up (a click) keeps it in hand, a click on
// another object sends it back to its place, a release after a real drag off the rooms sends it
// back at once, and a release over a free room puts it there.
TEST_F(WholeLevel, AGuestIsCarriedUntilPutInARoomOrSentBack) {
    cClient* guest = FirstGuestAtTheDesk();
    ASSERT_NE(guest, nullptr);
    cRoom* room = FreeRoomFor(guest);
    cLevelObj* desk = game->FindLevelObjectByName("Reception");
    ASSERT_TRUE(room && desk);
    const Vec2f stood = guest->GetBody().position;
    const Point2i from = HitPoint(guest), to = HitPoint(room), elsewhere = HitPoint(desk);
    ASSERT_TRUE(from.x >= 0 && to.x >= 0 && elsewhere.x >= 0);
    auto expectBackInPlace = [&] {
        EXPECT_EQ(game->GetDraggedObject(), nullptr);
        EXPECT_EQ(guest->GetBody().position.x, stood.x);
        EXPECT_EQ(guest->GetBody().position.y, stood.y);
        EXPECT_TRUE(guest->GetRequest().IsWaiting());
    };

    Press(from);
    EXPECT_EQ(game->GetDraggedObject(), guest);
    EXPECT_TRUE(guest->GetRequest().IsServing());  // its clock stops in hand
    Release(from);
    EXPECT_EQ(game->GetDraggedObject(), guest);
    MoveTo(elsewhere);
    // In hand the guest's bounds are centred under the pointer.
    const auto& b = guest->GetBody();
    EXPECT_FLOAT_EQ(b.position.x, elsewhere.x - b.boundOffset.x - b.boundSize.x / 2);
    EXPECT_FLOAT_EQ(b.position.y, elsewhere.y - b.boundOffset.y - b.boundSize.y / 2);
    Click(elsewhere);
    expectBackInPlace();

    Press(from);
    MoveTo(elsewhere);
    Release(elsewhere);
    expectBackInPlace();

    Press(from);
    MoveTo(to);
    Release(to);
    EXPECT_EQ(game->GetDraggedObject(), nullptr);
    EXPECT_EQ(guest->GetRoom(), room);
}

// A room takes a guest dropped anywhere over its picture, the bed included; while a guest is
// carried only the rooms that can take it light up, and a guest dropped on an occupied room goes
// back to the queue.
TEST_F(WholeLevel, ARoomTakesAGuestAnywhereOnItsPictureAndAnOccupiedOneStaysDark) {
    cClient* first = FirstGuestAtTheDesk();
    ASSERT_NE(first, nullptr);
    cRoom* taken = FreeRoomFor(first);
    ASSERT_NE(taken, nullptr);
    // The bed of the same number stands inside the room, away from its door.
    const std::string bedName = std::string("Bed") + (taken->GetName() + 4);
    cLevelObj* bed = game->FindLevelObjectByName(bedName.c_str());
    ASSERT_NE(bed, nullptr) << bedName;
    const Point2i onBed = HitPoint(bed);
    ASSERT_GE(onBed.x, 0);
    ASSERT_GT(onBed.y, taken->GetBody().position.y) << "the point is on the door, not the bed";
    Press(HitPoint(first));
    MoveTo(onBed);
    Step();
    EXPECT_TRUE(taken->IsHighlightOn());
    Release(onBed);
    EXPECT_EQ(game->GetDraggedObject(), nullptr);
    EXPECT_EQ(first->GetRoom(), taken);

    cClient* second = nullptr;
    for (int i = 0; i < 4000 && !(second = HeadOfCheckIn()); ++i) Step();
    ASSERT_NE(second, nullptr);
    ASSERT_EQ(game->FindClientAtObject(taken), first);
    cRoom* free = FreeRoomFor(second);
    ASSERT_TRUE(free && free != taken);
    const Point2i from = HitPoint(second);
    Press(from);
    MoveTo(onBed);
    Step();
    EXPECT_FALSE(taken->IsHighlightOn()) << "an occupied room lights as a drop target";
    EXPECT_TRUE(free->IsHighlightOn());
    Release(onBed);
    EXPECT_EQ(game->GetDraggedObject(), nullptr);
    EXPECT_NE(second->GetRoom(), taken);
    EXPECT_EQ(game->FindClientAtObject(taken), first);
    // Back at the desk it waits to be carried again.
    for (int i = 0; i < 400 && HeadOfCheckIn() != second; ++i) Step();
    EXPECT_EQ(HeadOfCheckIn(), second);
}

TEST_F(WholeLevel, AnAttentivePlayerWinsAndTheSamePlayIsPlayedAgain) {
    const Outcome first = PlayThrough(kQuick);
    ASSERT_FALSE(HasFatalFailure());
    ASSERT_TRUE(first.ended);
    ExpectEveryClientGone();
    EXPECT_TRUE(first.won);
    EXPECT_EQ(first.won, AfterLevelVerdict());
    EXPECT_EQ(first.released, first.clients);
    EXPECT_GE(first.money + first.popularity, game->GetCashGoal());
    RecordProperty("money", first.money);
    RecordProperty("steps", static_cast<int>(first.digests.size()));

    Restart();
    const Outcome second = PlayThrough(kQuick);
    ASSERT_EQ(second.digests.size(), first.digests.size());
    for (size_t i = 0; i < first.digests.size(); ++i)
        ASSERT_EQ(second.digests[i], first.digests[i]) << "the plays part at step " << i;

    Restart();
    const Outcome drawn = PlayThrough(kQuick, true);
    ASSERT_EQ(drawn.digests.size(), first.digests.size());
    for (size_t i = 0; i < first.digests.size(); ++i)
        ASSERT_EQ(drawn.digests[i], first.digests[i]) << "drawing changed the play at step " << i;
}

TEST_F(WholeLevel, APlayerWhoLooksOnlyNowAndThenLoses) {
    const Outcome out = PlayThrough(kSlow);
    ASSERT_FALSE(HasFatalFailure());
    ASSERT_TRUE(out.ended);
    ExpectEveryClientGone();
    EXPECT_FALSE(out.won) << out.money << " " << out.popularity;
    EXPECT_EQ(out.won, AfterLevelVerdict());
}

}  // namespace
