// The stand-in first screen driven by the window manager at the fixed step: K plays the next
// comic, which takes every key while it shows (Escape included) and gives the screen back when it
// has darkened away.
#include "game/first_screen.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "anim/comics.h"
#include "engine/data/ini.h"
#include "game/app.h"
#include "tests/support/temp_folder.h"
#include "ui/ui.h"

namespace {

constexpr int kEscape = 27;

TEST(FirstScreen, KPlaysTheNextComicWhichTakesTheKeysWhileItShows) {
    testsupport::TempFolder folder("velmora_first_screen");
    ASSERT_TRUE(folder.enter());
    std::filesystem::create_directory_symlink(std::string(VELMORA_GAME_DIR) + "/Data", "Data");
    iniFreeAll();
    WM::Create();
    Window* screen = firstScreenCreate();
    ASSERT_NE(gComics, nullptr);
    auto frame = [&] {
        WM::Get()->Update(kUpdateStepMs);
        WM::Get()->Render();
    };
    WM::Get()->Push(screen, false, false, false);
    for (int i = 0; i < 12; ++i) frame();  // faded in

    screen->OnKeyDown('K', 0);
    ASSERT_TRUE(gComics->IsShowing());
    EXPECT_EQ(gComics->Current(), gComics->Animations().At(0));
    frame();
    // Escape skips within the comic instead of closing the screen.
    screen->OnKeyDown(kEscape, 0);
    EXPECT_GT(gComics->ShownTime(), 0.025f);

    // Keys release every stop on the way; the comic ends and darkens away.
    int frames = 0;
    while (gComics->IsShowing() && frames < 4000) {
        frame();
        if (gComics->Current() && gComics->Current()->IsWaitingAtStop(gComics->ShownTime()))
            screen->OnKeyDown(' ', 0);
        ++frames;
    }
    EXPECT_FALSE(gComics->IsShowing());
    EXPECT_LT(frames, 4000);
    EXPECT_EQ(WM::Get()->Count(), 1);  // still on show

    // K again plays the second comic; with none showing Escape closes the screen.
    screen->OnKeyDown('K', 0);
    EXPECT_EQ(gComics->Current(), gComics->Animations().At(1));
    // Escape and any key at the stops hurry it to its end.
    frames = 0;
    while (gComics->IsShowing() && frames < 4000) {
        screen->OnKeyDown(kEscape, 0);
        frame();
        if (gComics->IsShowing()) screen->OnKeyDown(' ', 0);
        ++frames;
    }
    EXPECT_LT(frames, 4000);
    screen->OnKeyDown(kEscape, 0);
    for (int i = 0; i < 12; ++i) frame();  // faded out
    EXPECT_EQ(WM::Get()->Count(), 0);
    WM::Destroy();
    firstScreenRelease();
    EXPECT_EQ(gComics, nullptr);
    iniFreeAll();
}

}  // namespace
