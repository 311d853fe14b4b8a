// A level in steady play makes no heap allocation per step: its per-step work runs on storage
// made while loading and warming up.
#include <gtest/gtest.h>

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

}  // namespace
}  // namespace leveltest
