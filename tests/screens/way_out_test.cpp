// The ways out of a program whose data is damaged: a missing layout or a damaged text table is
// told in a box naming the file, and the player can always end the program cleanly (SIGTERM or
// closing the window, and Escape on a screen left empty).
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "engine/platform/engine.h"
#include "game/app.h"
#include "game/app_internal.h"
#include "screens/holders.h"
#include "screens/loading.h"
#include "tests/screens/start_fixture.h"

namespace fs = std::filesystem;

namespace {

const fs::path kBuiltData = VELMORA_GAME_DIR "/Data";
const char kGameIni[] = "[main]\nname=Velmora\npath=WayOutTest\nxs=1024\nys=768\n";

// The built data linked file by file into the working folder, less one file, or with that one
// filled with zero bytes.
void mirrorData(const std::string& damaged, bool zeroed) {
    for (const auto& e : fs::recursive_directory_iterator(kBuiltData)) {
        const fs::path to = fs::path("Data") / fs::relative(e.path(), kBuiltData);
        if (e.is_directory()) {
            fs::create_directories(to);
            continue;
        }
        if (to.generic_string() == damaged) {
            if (zeroed) std::ofstream(to, std::ios::binary) << std::string(e.file_size(), '\0');
            continue;
        }
        std::error_code ec;
        fs::create_hard_link(e.path(), to, ec);
        if (ec) fs::copy_file(e.path(), to);
    }
}

std::string readAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

size_t count(const std::string& text, const std::string& part) {
    size_t n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
    return n;
}

// The program as a user runs it, on damaged data (the first screen's layout gone, the text table
// zero-filled): the box names the file, and SIGTERM then ends it with exit code 0 through the
// clean stop, which saves the settings.
TEST(WayOut, ADamagedFileIsToldInABoxAndSigtermStopsCleanly) {
    const struct {
        const char* file;
        bool zeroed;
        const char* told;
    } cases[] = {
        {"Data/Menu/UIPlayer/UIPlayer.ini", false, "UIPlayer.ini is missing"},
        {"Data/translation.ini", true, "translation.ini holds nothing but zero bytes"},
    };
    for (const auto& c : cases) {
        testsupport::TempFolder folder{"velmora_way_out"};
        ASSERT_TRUE(folder.enter());
        mirrorData(c.file, c.zeroed);
        std::ofstream("game.ini") << kGameIni;
        setenv("XDG_DATA_HOME", folder.file("user").c_str(), 1);
        // The program beside its own game.ini would run on the build's data: it runs from here.
        std::error_code ec;
        fs::create_hard_link(VELMORA_PROGRAM, "velmora", ec);
        if (ec) fs::copy_file(VELMORA_PROGRAM, "velmora");
        char program[] = "./velmora";
        char* argv[] = {program, nullptr};
        pid_t child = 0;
        ASSERT_EQ(posix_spawn(&child, program, nullptr, nullptr, argv, environ), 0);
        // The box comes while the screens are made, before the first frame.
        std::string log;
        const auto start = std::chrono::steady_clock::now();
        while (count(log, "Message box") == 0 &&
               std::chrono::steady_clock::now() - start < std::chrono::seconds(120)) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            log = readAll("gerr.log");
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        kill(child, SIGTERM);
        int status = 0;
        waitpid(child, &status, 0);
        log = readAll("gerr.log");
        ASSERT_TRUE(WIFEXITED(status)) << c.file << ": ended by signal " << WTERMSIG(status);
        EXPECT_EQ(WEXITSTATUS(status), 0) << c.file;
        EXPECT_EQ(count(log, c.told), 2u) << c.file << ": a log line and a box\n" << log;
        EXPECT_EQ(count(log, "Message box \"Velmora: damaged game data\""), 1u) << log;
        EXPECT_NE(readAll("user/WayOutTest/profgame.ini").find("xs=1024"), std::string::npos)
            << c.file << ": the settings were saved";
    }
}

// Escape on the main menu left empty by its missing layout ends the program; on a whole menu it
// does not.
class EmptyScreen : public StartScreens {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder_.enter());
        mirrorData("Data/Menu/UIMainMenu/UIMain.ini", false);
        setenv("XDG_DATA_HOME", (fs::path(folder_.path()) / "user").c_str(), 1);
        std::ofstream("game.ini") << kGameIni;
        appSetScreens(screensStart, screensRelease);
        appSetClock([] { return float(kUpdateStepMs); });
    }
};

TEST_F(EmptyScreen, EscapeOnAScreenWithNothingOnItEndsTheProgram) {
    firstStartTo("Anna");
    for (int i = 0; i < gUIMainMenu->childCount(); ++i)
        ASSERT_NE(dynamic_cast<Window*>(gUIMainMenu->children[i]), nullptr) << "only the background";
    EXPECT_EQ(frame(), 0);
    key(27);
    EXPECT_EQ(frame(), 1) << "the frame asks the engine for the clean stop";
    const std::string log = readAll("gerr.log");
    EXPECT_EQ(count(log, "UIMain.ini is missing, so this screen cannot be shown"), 1u) << log;
}

}  // namespace
