// A harness for the level screen: a temporary user folder with one player, the bundled data (or a
// fixture program folder), the random generators seeded, the window manager stepping at 25 ms,
// and a listener for the world's sounds. No window is opened unless a test asks for drawing.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "anim/caption.h"
#include "core/random.h"
#include "engine/data/ini.h"
#include "game/game.h"
#include "tests/game/game_folder.h"
#include "ui/ui.h"
#include "world/links.h"

namespace leveltest {

inline std::vector<std::string>& heard() {
    static std::vector<std::string> sounds;
    return sounds;
}
inline void listen(const char* name) { heard().push_back(name); }
inline bool wasHeard(const char* name) {
    for (const std::string& s : heard())
        if (s == name) return true;
    return false;
}

class LevelHarness : public GameFolder {
protected:
    // With bundled set the program folder reads the game's own Data; otherwise tests write theirs.
    void Start(bool bundled) {
        if (bundled)
            std::filesystem::create_directory_symlink(std::string(VELMORA_GAME_DIR) + "/Data",
                                                      program.file("Data"));
        iniFreeAll();
        LoadWayPoints();
        CreatePlayer("p1", u"Anna");
        gRandom.Seed(7);
        captionSeedRandom(7);
        heard().clear();
        worldSetSoundHook(listen);
        WM::Create();
    }
    // The level deleted and the data read afresh, the generators reseeded: the same user folder
    // and player (or the new one named), as a second play from a fresh start.
    void Restart(const char* newPlayer = nullptr) {
        WM::Destroy();
        delete game;
        game = nullptr;
        iniFreeAll();
        LoadWayPoints();
        if (newPlayer) CreatePlayer(newPlayer, u"Bea");
        gRandom.Seed(7);
        captionSeedRandom(7);
        heard().clear();
        WM::Create();
    }
    void TearDown() override {
        WM::Destroy();
        delete game;
        game = nullptr;
        worldSetSoundHook(nullptr);
        worldSetProfile(nullptr);
        GameFolder::TearDown();
    }

    // Stages 0 to 6 of a new level, pushed on the window manager and faded in.
    cGame* Play() {
        game = gameCreateLevel();
        WM::Get()->Push(game, false, false, true);
        Step(13);
        return game;
    }
    void Step(int n = 1) {
        for (int i = 0; i < n; ++i) WM::Get()->Update(25);
    }
    // Steps until the level plays (the get-ready banner is over); false when it never does.
    bool PlayOn() {
        for (int i = 0; i < 2000 && game->GetLevelState() != cGame::kPlaying; ++i) Step();
        return game->GetLevelState() == cGame::kPlaying;
    }
    static intptr_t at(int x, int y) { return uiPack(x, y); }

    cGame* game = nullptr;
};

}  // namespace leveltest
