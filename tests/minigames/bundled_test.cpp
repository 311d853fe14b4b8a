// The eight bundled mini-games and the results layout, played on the sample data: each game is
// won by scripted clicks through the window manager before its time runs out.
#include <gtest/gtest.h>

#include "engine/data/ini.h"
#include "screens/after_minigame.h"
#include "tests/minigames/minigame_fixture.h"
#include "tests/support/temp_folder.h"

namespace {

class Bundled : public ::testing::Test {
protected:
    static void SetUpTestSuite() { openDisplay(); }
    static void TearDownTestSuite() { closeDisplay(); }
    void SetUp() override {
        iniFreeAll();
        WM::Create();
        cursorCreate();
        gRandom.Seed(11);
    }
    void TearDown() override {
        WM::Get()->Clear();
        WM::Destroy();
        cursorDestroy();
        iniFreeAll();
    }
    testsupport::InFolder data_{VELMORA_GAME_DIR};
};

void click(int x, int y) {
    WM::Get()->OnMouseMove(0, uiPack(x, y));
    WM::Get()->OnKeyDown(kUiLeftButton, uiPack(x, y));
    WM::Get()->OnKeyUp(kUiLeftButton, uiPack(x, y));
}

// One helpful click: the next wanted thing, its icon, or a waiting customer's product.
void helpfulClick(cMiniGameBase* game, int episode, bool* carrying) {
    const auto& objects = game->Objects();
    auto centre = [&](uint32_t i) {
        const Point2i p = objects[i]->BrokenPos();
        return Point2i(p.x + 40, p.y + (episode == 1 || episode == 4 ? 60 : 40));
    };
    if (episode == 2) {
        auto* matching = static_cast<cMiniGameEpisode2*>(game);
        if (!*carrying) {
            for (uint32_t k = 0; k < matching->Icons().size(); ++k) {
                const cMiniGameIcon* icon = matching->Icons()[k];
                if (icon->GetState() != cMiniGameIcon::kHome) continue;
                const MgRect& r = icon->GetRect();
                click((r.left + r.right) / 2, (r.top + r.bottom) / 2);
                *carrying = true;
                return;
            }
            return;
        }
        const int id = matching->Carried() ? matching->Carried()->GetId() : -1;
        *carrying = false;
        if (id < 0) return;
        const Point2i c = objects[static_cast<uint32_t>(id)]->BrokenPos();
        click(c.x + 40, c.y + 40);
        return;
    }
    if (episode == 3) {
        auto* counter = static_cast<cMiniGameEpisode3*>(game);
        for (int p = 0; p < cMiniGameEpisode3::kPlaces; ++p) {
            const cMiniGameFace* face = counter->Place(p);
            if (!face || face->GetWantedId() < 0 || face->IsSatisfied()) continue;
            const Point2i c = centre(static_cast<uint32_t>(face->GetWantedId()));
            click(c.x, c.y);
            return;
        }
        return;
    }
    for (uint32_t i = 0; i < objects.size(); ++i)
        if (objects[i]->IsAvailable()) {
            const Point2i c = centre(i);
            click(c.x, c.y);
            return;
        }
}

TEST_F(Bundled, EveryMiniGameCanBeWon) {
    for (int number = 1; number <= 8; ++number) {
        SCOPED_TRACE(number);
        const int episode = (number + 1) / 2;
        cMiniGameBase* game = CreateMiniGame(episode);
        game->Load(number);
        EXPECT_GT(game->Needed(), 0);
        WM::Get()->Push(game, true, false, false);
        bool carrying = false;
        for (int step = 0; step < 4000 && WM::Get()->Count() > 0; ++step) {
            if (game->GameState() == kMgPlay && step % 8 == 0)
                helpfulClick(game, episode, &carrying);
            WM::Get()->Update(25);
            game->Draw();
        }
        EXPECT_EQ(WM::Get()->Count(), 0);
        EXPECT_EQ(game->GetResult()->served, game->Needed());
        EXPECT_GT(game->GetResult()->itemPrice, 0);
        delete game;
    }
}

TEST_F(Bundled, ResultsLayoutHasItsWidgets) {
    UIAfterMiniGame screen;
    screen.Create("Data/Menu/UIAfterMiniGame/UIAfterMiniGame.ini", "Main");
    for (const char* name : {"Zuna", "ZunaExpert", "Thanks", "BtnOk", "RibbonLeft", "BonusLevel",
                             "RibbonRight", "Divider"})
        EXPECT_NE(findChild(&screen, name), nullptr) << name;
    for (int i = 0; i < UIAfterMiniGame::kLines; ++i) EXPECT_NE(screen.Line(i).amount, nullptr);
    EXPECT_NE(screen.Line(UIAfterMiniGame::kTotal).pulse, nullptr);
}

}  // namespace
