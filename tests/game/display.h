// A 1024 x 768 display for the gameplay tests that draw to the screen or need its size (the
// tutorial's spots), opened and closed around a test.
#pragma once

#include <gtest/gtest.h>

#include "engine/gr/gr.h"
#include "engine/platform/engine_internal.h"
#include "engine/platform/platform.h"

namespace testdisplay {

inline void open() {
    ASSERT_TRUE(platInit());
    ASSERT_TRUE(platWindowOpen(u"Velmora", 0, 0, 1024, 768, false));
    ASSERT_EQ(grInit(1024, 768, 32, 0), 0);
}

inline void close() {
    grDone();
    engineWindowReset();
    platDone();
}

}  // namespace testdisplay
