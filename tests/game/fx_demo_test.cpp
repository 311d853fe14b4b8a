// The stand-in screen's effect keys on the bundled data, driven at the fixed step headless.
#include <gtest/gtest.h>

#include "engine/gr/gr.h"
#include "engine/gr/registry.h"
#include "engine/platform/engine_internal.h"
#include "engine/platform/platform.h"
#include "game/first_screen.h"
#include "ui/ui.h"
#include "tests/support/temp_folder.h"

namespace {

TEST(FirstScreen, EffectKeysPlayOnTheBundledData) {
    testsupport::InFolder data(VELMORA_GAME_DIR);
    ASSERT_TRUE(platInit());
    ASSERT_TRUE(platWindowOpen(u"Velmora", 0, 0, 1024, 768, false));
    ASSERT_EQ(grInit(1024, 768, 32, 0), 0);
    Window* screen = firstScreenCreate();
    EXPECT_NE(grRegistryFind("Data/Fx/particles.tga"), nullptr);
    EXPECT_NE(grRegistryFind("Data/Fx/tip_money.tga"), nullptr);
    for (int key : {'F', '1', '2', '3', 'C', 'C', 'P'}) screen->OnKeyDown(key, 0);
    for (int step = 0; step < 240; ++step) {
        screen->OnMouseMove(0, (300 + step) | (200 << 16));
        screen->Update(25);
        screen->Draw();
    }
    firstScreenRelease();
    EXPECT_EQ(grRegistryFind("Data/Fx/particles.tga"), nullptr);  // all released
    grDone();
    engineWindowReset();
    platDone();
}

}  // namespace
