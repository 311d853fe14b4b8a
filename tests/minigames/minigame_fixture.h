// A mini-game played headless: a game folder with a small scene of three 40x40 objects in a row,
// a player standing on a mini-game way point, the window manager stepped at 25 ms and scripted
// mouse moves and clicks.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core/random.h"
#include "engine/gr/gr.h"
#include "engine/gr/image.h"
#include "engine/platform/platform.h"
#include "minigames/minigame.h"
#include "tests/game/game_folder.h"

// A 1024x768 display in a hidden window of the platform layer.
inline void openDisplay() {
    ASSERT_TRUE(platInit());
    ASSERT_TRUE(platWindowOpen(u"Velmora", 0, 0, 1024, 768, false));
    ASSERT_EQ(grInit(1024, 768, 32, 0), 0);
}
inline void closeDisplay() {
    grDone();
    platDone();
}

// A 24-bit sprite of one colour.
inline void writeSprite(const std::string& name, int width, int height, uint32_t rgb) {
    const std::filesystem::path path(name);
    if (path.has_parent_path()) std::filesystem::create_directories(path.parent_path());
    std::vector<uint8_t> px(static_cast<size_t>(width) * height * 3);
    for (size_t i = 0; i < px.size(); i += 3) {
        px[i] = static_cast<uint8_t>(rgb);
        px[i + 1] = static_cast<uint8_t>(rgb >> 8);
        px[i + 2] = static_cast<uint8_t>(rgb >> 16);
    }
    cTGAImage writer;
    writer.Save(name.c_str(), px.data(), 24, width, -height);
}

// Objects at x = 100, 200, 300 (y 100), each fixed look 400 pixels lower.
inline std::string sceneIni(const std::string& param, int hintDelay, const std::string& extra) {
    std::string s =
        "[Main]\r\nx=0\r\ny=0\r\nxs=1024\r\nys=768\r\n"
        "[Param]\r\n" + param + "duration=20000\r\nmiss_delay=500\r\nitem_price=15\r\npenalty_time=3000\r\n"
        "alpha_speed=51\r\nexpert_duration=5000\r\nspeedy_duration=3000\r\nexpert_bonus=50\r\n"
        "speedy_bonus=25\r\n"
        "[Timer]\r\ntimer_x=10\r\ntimer_y=10\r\n"
        "[Tool]\r\ncursorNumber=1\r\n"
        "[hint]\r\ndelay=" + std::to_string(hintDelay) + "\r\nblink_duration=1000\r\nblink_max_alpha=200\r\n"
        "blink_count=3\r\n"
        "[Task]\r\ntype=text\r\nx=10\r\ny=10\r\nxs=100\r\nys=20\r\n" + extra;
    for (int i = 0; i < 3; ++i) {
        const std::string n = std::to_string(i), x = std::to_string(100 * (i + 1));
        s += "[broken_" + n + "]\r\nx=" + x + "\r\ny=100\r\nsprite=Pic/obj.tga\r\n";
        s += "[" + n + "]\r\nx=" + x + "\r\ny=500\r\nsprite=Pic/fixed.tga\r\n";
    }
    return s;
}

class MiniGamePlay : public GameFolder {
protected:
    static void SetUpTestSuite() { openDisplay(); }
    static void TearDownTestSuite() { closeDisplay(); }

    void SetUp() override {
        GameFolder::SetUp();
        data("Data/shared.ini",
             "[WayPoints]\r\n0=level, 1, 10, 10\r\n1=mini, 1, 20, 20\r\n2=level, 1, 30, 30\r\n");
        data("Data/translation.ini",
             "#GAME_GET_READY=Ready\r\n#GAME_GO=Go\r\n#GAME_THANK_YOU=Thanks\r\n"
             "#GAME_GOAL_COMPLETE=Goal\r\n#GAME_EXPERT_COMPLETE=Expert\r\n"
             "#MINI_LEVEL_PENALTY_TEXT=-%d s\r\n");
        writeSprite("Pic/obj.tga", 40, 40, 0xFF0000);
        writeSprite("Pic/fixed.tga", 40, 40, 0x00FF00);
        writeSprite("Pic/cur.tga", 8, 8, 0xFFFFFF);
        data("data/cursor/cursor.ini",
             "[cursor00]\r\nspr=Pic/cur.tga\r\n[cursor01]\r\nspr=Pic/cur.tga\r\n");
        LoadWayPoints();
        CreatePlayer("p1", u"Anna");
        gCurrentProfile->SetLevel(1);
        gRandom.Seed(7);
        WM::Create();
        cursorCreate();
    }
    void TearDown() override {
        WM::Get()->Clear();
        WM::Destroy();
        delete game;
        cursorDestroy();
        GameFolder::TearDown();
    }

    // Loads mini-game 1 from the scene (param adds keys to [Param]) and pushes it.
    // hintDelay is the idle time before a hint; extra adds sections.
    void start(cMiniGameBase* g, const std::string& param = "objects_total=3\r\nobjects_needed=2\r\n",
               int hintDelay = 100000, const std::string& extra = "") {
        data("Data/MiniGame/minigame1/minigame1.ini", sceneIni(param, hintDelay, extra));
        game = g;
        game->Load(1);
        WM::Get()->Push(game, true, false, false);
    }
    void step(int n = 1) {
        for (int i = 0; i < n; ++i) WM::Get()->Update(25);
    }
    // Steps until play starts; false when it never does.
    bool untilPlay() {
        for (int i = 0; i < 2000 && game->GameState() != kMgPlay; ++i) step();
        return game->GameState() == kMgPlay;
    }
    // Steps until the game has closed itself (Finish ran).
    bool untilFinished() {
        for (int i = 0; i < 4000 && WM::Get()->Count() > 0; ++i) step();
        return WM::Get()->Count() == 0;
    }
    void move(int x, int y) { WM::Get()->OnMouseMove(0, uiPack(x, y)); }
    void click(int x, int y) {
        move(x, y);
        WM::Get()->OnKeyDown(kUiLeftButton, uiPack(x, y));
        WM::Get()->OnKeyUp(kUiLeftButton, uiPack(x, y));
    }
    // The centre of the k-th object still wanted; (-1, -1) when none is.
    Point2i wanted(int k = 0) {
        for (uint32_t i = 0; i < game->Objects().size(); ++i)
            if (game->Objects()[i]->IsAvailable() && k-- == 0)
                return Point2i(100 * (static_cast<int>(i) + 1) + 20, 120);
        return Point2i(-1, -1);
    }
    // The centre of an object that is not wanted.
    Point2i notWanted() {
        for (uint32_t i = 0; i < game->Objects().size(); ++i)
            if (game->Objects()[i]->IsDone()) return Point2i(100 * (static_cast<int>(i) + 1) + 20, 120);
        return Point2i(-1, -1);
    }
    std::string banner() {
        std::string s;
        for (const char16_t* t = game->Banner()->Text(); *t; ++t) s += static_cast<char>(*t);
        return s;
    }
    int wayPointResult() { return gWayPoints[1].GetResult(); }

    cMiniGameBase* game = nullptr;
};
