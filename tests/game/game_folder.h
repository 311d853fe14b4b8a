// A game folder for the gameplay tests: a fresh program folder with its own game.ini and Data/,
// a user folder under a temporary XDG data home, and the game's globals emptied before and after.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "engine/data/ini.h"
#include "engine/data/profile.h"
#include "game/game_data.h"
#include "game/profile.h"
#include "tests/support/temp_folder.h"

class GameFolder : public ::testing::Test {
protected:
    void SetUp() override {
        const char* xdg = getenv("XDG_DATA_HOME");
        if (xdg) oldXdg_ = std::make_unique<std::string>(xdg);
        setenv("XDG_DATA_HOME", user.path().c_str(), 1);
        program.write("game.ini", "[main]\r\nname=Velmora Test\r\n");
        in_ = std::make_unique<testsupport::InFolder>(program.path());
        reset();
        userFolderCreate();
    }
    void TearDown() override {
        reset();
        in_.reset();
        if (oldXdg_) {
            setenv("XDG_DATA_HOME", oldXdg_->c_str(), 1);
        } else {
            unsetenv("XDG_DATA_HOME");
        }
    }

    // Writes a data file of the program folder; the INI store forgets what it read before.
    void data(const std::string& relative, const std::string& text) {
        program.write(relative, text);
        iniFreeAll();
    }
    // The player's profile.ini as stored.
    std::string profileText() { return user.read("Velmora Test/profile.ini"); }
    void writeProfile(const std::string& text) {
        user.write("Velmora Test/profile.ini", text);
        iniFreeAll();
    }

    testsupport::TempFolder user{"velmora_user"};
    testsupport::TempFolder program{"velmora_game"};

private:
    static void reset() {
        ReleasePlayer();
        FreeGameData();
        gWayPoints.clear();
        iniFreeAll();
    }
    std::unique_ptr<std::string> oldXdg_;
    std::unique_ptr<testsupport::InFolder> in_;
};
