// A level in steady play makes no heap allocation, in its steps or in its drawn frames: its work
// runs on storage made while loading and warming up.
#include <gtest/gtest.h>

#include "engine/gr/gr.h"
#include "game/profile.h"
#include "tests/game/display.h"
#include "tests/game/level_harness.h"
#include "tests/world/alloc_count.h"
#include "world/client.h"

namespace leveltest {
namespace {

class StepAllocation : public LevelHarness {};

TEST_F(StepAllocation, SteadyLevelStepsAllocateNothing) {
    Start(true);
    Play();
    ASSERT_TRUE(PlayOn());
    // Warm-up: guests have come, queued and gone to their rooms; every buffer has grown.
    for (int i = 0; i < 1200; ++i) game->Update(25);
    ASSERT_EQ(game->GetLevelState(), cGame::kPlaying);
    int inside = 0;
    for (int i = 0; i < game->GetClientsMade(); ++i) {
        const int state = game->GetClient(i)->GetState();
        if (state != cClient::kStateNew && state != cClient::kStateOutside) ++inside;
    }
    ASSERT_GT(inside, 0) << "no guest is in the hotel to be stepped";

    alloccount::Scope scope;
    for (int i = 0; i < 400; ++i) game->Update(25);
    EXPECT_EQ(scope.count(), 0);
}

TEST_F(StepAllocation, DrawnFramesAllocateNothing) {
    testdisplay::open();
    Start(true);
    // With a screen the hints would show and hold the level; the player here plays without.
    gCurrentProfile->SetTutorialOn(false);
    Play();
    ASSERT_TRUE(PlayOn());
    auto frame = [] {
        WM::Get()->Update(25);
        grBeginFrame();
        WM::Get()->Render();
        grPresent();
    };
    for (int i = 0; i < 1200; ++i) frame();
    ASSERT_EQ(game->GetLevelState(), cGame::kPlaying);
    // Each frame on its own. Drawing, the steady step, a guest's admission (its first path, the
    // guest counter's text wrapped again into the strings of its earlier lines) and a breakdown
    // (its request's picture) allocate nothing.
    int allocating = 0;
    for (int i = 0; i < 2000; ++i) {
        alloccount::Scope scope;
        frame();
        const long count = scope.count();
        if (count > 0) ++allocating;
    }
    EXPECT_EQ(allocating, 0) << "frames that allocated";
    testdisplay::close();
}

}  // namespace
}  // namespace leveltest
