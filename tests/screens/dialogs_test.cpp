// The pause menu over a level with its yes/no dialogs, the help pages and the final screen,
// driven through the window manager at the fixed step with clicks and keys.
#include <gtest/gtest.h>

#include "game/game_data.h"
#include "game/game.h"
#include "screens/dialogs.h"
#include "tests/screens/screen_fixture.h"

namespace {

constexpr int kUp = 38;
constexpr int kDown = 40;

// A level screen that tells when it is deleted.
struct FakeLevel : cGame {
    explicit FakeLevel(bool* deleted) : deleted_(deleted) {}
    ~FakeLevel() override { *deleted_ = true; }
    // Only the clock: these tests watch whether the level runs, not what it plays.
    int Update(int ms) override { return Window::Update(ms); }
    bool* deleted_;
};

std::string dialogLayout() {
    return "[Main]\r\nx=300\r\ny=300\r\nxs=400\r\nys=200\r\n" + buttonSection("DialogYes", 320, 400) +
           buttonSection("DialogNo", 500, 400) + "[DialogText]\r\ntype=text\r\nname=Sure?\r\n";
}

class PauseMenu : public ScreenTest {
protected:
    void SetUp() override {
        ScreenTest::SetUp();
        std::string layout = "[Main]\r\nx=0\r\ny=0\r\nxs=1024\r\nys=768\r\n";
        int y = 100;
        for (const char* b : {"Resume", "Abort", "Options", "Help", "Scores", "Exit"}) {
            layout += buttonSection(b, 100, y);
            y += 50;
        }
        data("Data/Menu/UIGameMenu/UIGameMenu.ini", layout);
        data("Data/Menu/UIDialog/UIExitGameDialog.ini", dialogLayout());
        data("Data/Menu/UIDialog/UIAbortGameDialog.ini", dialogLayout());
        data("Data/Menu/UIHelp/UIHelp.ini",
             "[Main]\r\nxs=1024\r\nys=768\r\n[Param]\r\npages=0\r\n" + buttonSection("BtnOk", 400, 600));
        gUIGameMenu = makeScreen<UIGameMenuBase>("Data/Menu/UIGameMenu/UIGameMenu.ini");
        gUIExitGameDialog = makeScreen<UIConfirmDialog>("Data/Menu/UIDialog/UIExitGameDialog.ini");
        gUIAbortGameDialog = makeScreen<UIConfirmDialog>("Data/Menu/UIDialog/UIAbortGameDialog.ini");
        gUIHelp = makeScreen<UIHelp>("Data/Menu/UIHelp/UIHelp.ini");
        for (RCPtr<Window>* other : {&gUIMainMenu, &gUIGameMap, &gUIOptions, &gUIScores, &gUIFinalScreen})
            other->Reset(new Window);
        gSharedBackground = new Window;
        gSharedBackground->state = UI_IGNORE;
        gCurrentGame = level = new FakeLevel(&levelDeleted);
        settle(level);
        // The level closes itself and opens the pause menu over nothing.
        wm->Close(level);
        settle(menu());
    }
    Window* menu() { return gUIGameMenu.get(); }

    FakeLevel* level = nullptr;
    bool levelDeleted = false;
};

TEST_F(PauseMenu, BorrowsTheBackgroundAndTheKeysWalkItsButtons) {
    EXPECT_FALSE(running(level));
    ASSERT_EQ(menu()->children[0], gSharedBackground);
    ASSERT_NE(menu()->activeChild(), nullptr);
    EXPECT_STREQ(menu()->activeChild()->section, "Resume");
    EXPECT_STREQ(menu()->section, "UIGameMenu");
    // Up and Down walk the buttons, wrapping past the disabled background.
    key(kDown);
    EXPECT_STREQ(menu()->activeChild()->section, "Abort");
    key(kUp);
    key(kUp);
    EXPECT_STREQ(menu()->activeChild()->section, "Exit");
    // Enter presses the focused button: back down to Resume, and the level runs again.
    key(kDown);
    key(kUiEnter);
    settleAll();
    EXPECT_TRUE(running(level));
}

TEST_F(PauseMenu, ResumeShowsTheSameLevelAndGivesTheBackgroundBack) {
    click(menu(), "Resume");
    settleAll();
    EXPECT_TRUE(running(level));
    EXPECT_FALSE(running(menu()));
    EXPECT_EQ(gCurrentGame, level);
    EXPECT_FALSE(hasChildPointer(menu(), gSharedBackground));
    // Shown again, the menu borrows the same background (it was never deleted).
    wm->Close(level);
    settle(menu());
    EXPECT_EQ(menu()->children[0], gSharedBackground);
}

TEST_F(PauseMenu, NoKeepsThePauseAndYesToExitEndsAtTheFinalScreen) {
    for (const char* opener : {"Exit", "Abort"}) {
        click(menu(), opener);
        settleAll();
        Window* dialog = opener[0] == 'E' ? gUIExitGameDialog.get() : gUIAbortGameDialog.get();
        EXPECT_TRUE(running(dialog)) << opener;
        click(dialog, "DialogNo");
        settleAll();
        EXPECT_FALSE(running(dialog)) << opener;
        EXPECT_TRUE(running(menu())) << opener;
        EXPECT_FALSE(running(level)) << opener;
        EXPECT_FALSE(levelDeleted);
    }
    click(menu(), "Exit");
    settleAll();
    click(gUIExitGameDialog.get(), "DialogYes");
    settleAll();
    EXPECT_TRUE(running(gUIFinalScreen.get()));
    EXPECT_FALSE(running(menu()));
    EXPECT_EQ(gUIExitGameDialog->GetResult(), 0u);
}

TEST_F(PauseMenu, AbortGoesToTheMapOnlyOnceAWayPointHasAResult) {
    struct Case {
        int32_t result;  // of the one way point; -1 for an empty map
        bool toMap;
    };
    for (Case c : {Case{-1, false}, Case{1, false}, Case{2, true}, Case{3, true}}) {
        SCOPED_TRACE(c.result);
        gWayPoints.clear();
        if (c.result >= 0) {
            gWayPoints.push_back(cMapWayPoint(1, cMapWayPoint::kLevel, Point2i(0, 0)));
            gWayPoints[0].SetResult(c.result);
        }
        if (!gCurrentGame) {
            levelDeleted = false;
            gCurrentGame = level = new FakeLevel(&levelDeleted);
            wm->Clear();
            settle(menu());
        }
        click(menu(), "Abort");
        settleAll();
        click(gUIAbortGameDialog.get(), "DialogYes");
        settleAll();
        EXPECT_TRUE(levelDeleted);
        EXPECT_EQ(gCurrentGame, nullptr);
        EXPECT_FALSE(running(menu()));
        EXPECT_EQ(running(gUIGameMap.get()), c.toMap);
        EXPECT_EQ(running(gUIMainMenu.get()), !c.toMap);
        wm->Clear();
    }
}

TEST_F(PauseMenu, OptionsAndScoresOpenOverItAndHelpComesBackToIt) {
    for (RCPtr<Window>* modal : {&gUIOptions, &gUIScores}) {
        click(menu(), modal == &gUIOptions ? "Options" : "Scores");
        settleAll();
        EXPECT_TRUE(wm->IsModal(modal->get()));
        EXPECT_TRUE(running(menu()));
        wm->Close(modal->get());
        settleAll();
    }
    click(menu(), "Help");
    settleAll();
    EXPECT_TRUE(running(gUIHelp.get()));
    EXPECT_FALSE(running(menu()));
    click(gUIHelp.get(), "BtnOk");
    settleAll();
    EXPECT_TRUE(running(menu()));
    EXPECT_FALSE(running(gUIHelp.get()));
    EXPECT_EQ(menu()->children[0], gSharedBackground);
}

TEST_F(PauseMenu, DeletedWhileShownLeavesTheBackgroundAlive) {
    wm->Clear();
    gUIGameMenu.Release();
    EXPECT_EQ(gSharedBackground->childCount(), 0);  // still a live window
}

class Help : public ScreenTest {
protected:
    void writeHelp(int pages, std::initializer_list<int> present) {
        data("Data/Menu/UIHelp/UIHelp.ini",
             "[Main]\r\nxs=1024\r\nys=768\r\n[Param]\r\npages=" + std::to_string(pages) + "\r\n" +
                 buttonSection("BtnOk", 400, 600) + buttonSection("BtnBack", 100, 600) +
                 buttonSection("BtnNext", 700, 600) +
                 "[PageNumber]\r\ntype=text\r\nxs=200\r\nys=30\r\nname=Page %d of %d\r\n");
        for (int i : present)
            data("Data/Menu/UIHelp/UIHelpPage" + std::to_string(i) + ".ini",
                 "[Main]\r\nxs=1024\r\nys=500\r\n[0]\r\ntype=text\r\nname=a\r\n[1]\r\ntype=sprite\r\n"
                 "[3]\r\ntype=text\r\n");
        gUIHelp = makeScreen<UIHelp>("Data/Menu/UIHelp/UIHelp.ini");
        gUIMainMenu.Reset(new Window);
        settle(help());
    }
    UIHelp* help() { return static_cast<UIHelp*>(gUIHelp.get()); }
    bool shown(const char* name) { return isChildShown(help(), name); }
};

TEST_F(Help, OnePageShowsNeitherBackNorNext) {
    writeHelp(1, {0});
    EXPECT_STREQ(help()->section, "UIHelp");
    EXPECT_FALSE(shown("BtnBack"));
    EXPECT_FALSE(shown("BtnNext"));
    EXPECT_FALSE(shown("PageNumber")) << "one page needs no number";
    ASSERT_NE(help()->page(0), nullptr);
    EXPECT_EQ(help()->page(0)->childCount(), 2);  // children up to the first section without a type
}

TEST_F(Help, PagesStepWithinRangeAndAMissingFileLeavesABlankIndex) {
    writeHelp(3, {0, 2});
    EXPECT_EQ(help()->pageCount(), 3);
    EXPECT_EQ(help()->page(1), nullptr);
    struct Step {
        const char* button;
        int page;
        bool back, next;
    };
    const Step walk[] = {{nullptr, 0, false, true}, {"BtnNext", 1, true, true},
                         {"BtnNext", 2, true, false}, {"BtnBack", 1, true, true},
                         {"BtnBack", 0, false, true}};
    for (const Step& s : walk) {
        SCOPED_TRACE(s.page);
        if (s.button) click(help(), s.button);
        EXPECT_EQ(help()->currentPage(), s.page);
        EXPECT_EQ(shown("BtnBack"), s.back);
        EXPECT_EQ(shown("BtnNext"), s.next);
        EXPECT_EQ(std::u16string(findChild(help(), "PageNumber")->caption),
                  u"Page " + std::u16string(1, char16_t(u'1' + s.page)) + u" of 3");
        for (int p : {0, 2}) {
            EXPECT_EQ(help()->page(p)->hidden(), p != s.page);
            EXPECT_EQ(help()->page(p)->children[0]->hidden(), p != s.page);
        }
    }
    // The hidden Back button keeps the focus the click gave it: Enter on it stays on page 0.
    key(kUiEnter);
    EXPECT_EQ(help()->currentPage(), 0);
    click(help(), "BtnNext");
    click(help(), "BtnNext");
    key(kUiEnter);
    EXPECT_EQ(help()->currentPage(), 2);
}

TEST_F(Help, APageCountBeyondWhatTheScreenHoldsIsCut) {
    writeHelp(2000000000, {0});
    EXPECT_EQ(help()->pageCount(), 100);
    EXPECT_FALSE(shown("BtnBack"));
    EXPECT_TRUE(shown("BtnNext"));
}

TEST_F(Help, OkWithoutALevelGoesToTheMainMenu) {
    writeHelp(1, {0});
    click(help(), "BtnOk");
    settleAll();
    EXPECT_TRUE(running(gUIMainMenu.get()));
    EXPECT_FALSE(running(help()));
}

class FinalScreen : public ScreenTest {
protected:
    void build(int ttl) {
        data("Data/Menu/UIFinalScreen/UIFinalScreen.ini",
             "[Main]\r\ntype=text\r\nxs=1024\r\nys=768\r\nname=Bye\r\nttl=" + std::to_string(ttl) + "\r\n");
        gUIFinalScreen = makeScreen<UIFinalScreen>("Data/Menu/UIFinalScreen/UIFinalScreen.ini");
        wm->Push(gUIFinalScreen.get(), true, false, false);
        steps(12);  // the fade-in; the last step runs its clock to 25 ms
    }
};

TEST_F(FinalScreen, EndsAfterItsTimeAndEmptiesTheStack) {
    build(300);
    EXPECT_STREQ(gUIFinalScreen->section, "UIFinalScreen");
    EXPECT_EQ(gUIFinalScreen->childCount(), 1);
    EXPECT_EQ(wm->Count(), 1);
    steps(12);
    EXPECT_EQ(wm->Count(), 1);  // 325 ms on its clock only after the next step
    steps(1);
    EXPECT_EQ(wm->Count(), 0);
}

TEST_F(FinalScreen, AnyKeyEndsIt) {
    build(60000);
    EXPECT_EQ(wm->Count(), 1);
    key('Q');
    EXPECT_EQ(wm->Count(), 0);
    steps(2);
}

}  // namespace
