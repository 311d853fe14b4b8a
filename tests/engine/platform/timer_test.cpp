// Tests of the engine clock.
#include <gtest/gtest.h>

#include "engine/platform/timer.h"

TEST(Timer, ElapsedIsNeverNegativeAndNowKeepsGrowing) {
    EXPECT_GT(timerInit(), 0);
    float before = timerNow();
    EXPECT_GE(before, 0.0f);
    for (int i = 0; i < 1000; ++i) EXPECT_GE(timerElapsed(), 0.0f);
    timerSleep(20);
    float slept = timerElapsed();
    EXPECT_GE(slept, 20.0f);
    float now = timerNow();
    EXPECT_GE(now, before + 20.0f);
    // Reading the elapsed time moves its reference point, not the clock.
    timerElapsed();
    EXPECT_GE(timerNow(), now);
    timerSleep(0);
    timerSleep(-5);
    timerDone();
}
