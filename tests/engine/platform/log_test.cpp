// Tests of the engine log, each in a child process so that it opens its own log.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <regex>
#include <string>

#include "engine/platform/log.h"
#include "tests/support/child.h"
#include "tests/support/own_folder.h"

using testsupport::TempFolder;

TEST(Log, TheFirstLineTruncatesTheOldLogAndWritesTheHeader) {
    TempFolder dir;
    dir.write("gerr.log", "previous run\n");
    int status = testsupport::inChild([&] {
        if (chdir(dir.path().c_str()) != 0) _exit(2);
        if (logPrintf("first %d\n", 1) != 8) _exit(3);
        logPrintf("%s", "second\n");
    });
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(0, WEXITSTATUS(status));
    std::string log = dir.read("gerr.log");
    std::regex header(
        "------------------- Compilation data: [A-Z][a-z]{2} [ 0-9]\\d \\d{4} time: "
        "\\d\\d:\\d\\d:\\d\\d -------------------\n"
        "------------------- Run data: \\d+:\\d+:\\d+ time: \\d+:\\d+:\\d+ -------------------\n"
        "first 1\nsecond\n");
    EXPECT_TRUE(std::regex_match(log, header)) << log;
}

TEST(Log, ARunThatLogsNothingLeavesTheOldLog) {
    TempFolder dir;
    dir.write("gerr.log", "previous run\n");
    int status = testsupport::inChild([&] {
        if (chdir(dir.path().c_str()) != 0) _exit(2);
    });
    EXPECT_EQ(0, WEXITSTATUS(status));
    EXPECT_EQ("previous run\n", dir.read("gerr.log"));
}

// An install whose folder the player cannot write to (a packaged /usr install) logs into the
// player's state folder: $XDG_STATE_HOME/Velmora, else ~/.local/state/Velmora. The child drops
// to an ordinary user when the tests run as root, whom permissions would not stop.
TEST(Log, AReadOnlyInstallLogsIntoTheUsersStateFolder) {
    for (bool xdg : {true, false}) {
        TempFolder install, state, home;
        for (const TempFolder* f : {&state, &home}) chmod(f->path().c_str(), 0777);
        chmod(install.path().c_str(), 0555);
        int status = testsupport::inChild([&] {
            if (xdg) {
                setenv("XDG_STATE_HOME", state.path().c_str(), 1);
            } else {
                unsetenv("XDG_STATE_HOME");
            }
            setenv("HOME", home.path().c_str(), 1);
            if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(4);
            if (chdir(install.path().c_str()) != 0) _exit(2);
            if (logPrintf("where %s\n", "now") != 10) _exit(3);
        });
        chmod(install.path().c_str(), 0755);
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(0, WEXITSTATUS(status)) << xdg;
        EXPECT_FALSE(install.exists("gerr.log"));
        const std::string log = xdg ? state.read("Velmora/gerr.log")
                                    : home.read(".local/state/Velmora/gerr.log");
        EXPECT_NE(std::string::npos, log.find("where now\n")) << xdg;
    }
}

TEST(Log, LongLinesAreCutAndTerminated) {
    TempFolder dir;
    int status = testsupport::inChild([&] {
        if (chdir(dir.path().c_str()) != 0) _exit(2);
        std::string big(10000, 'x');
        if (logPrintf("%s", big.c_str()) != 4095) _exit(3);
        logPrintf("%s", "\nafter\n");
    });
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(0, WEXITSTATUS(status));
    std::string log = dir.read("gerr.log");
    EXPECT_NE(std::string::npos, log.find(std::string(4095, 'x') + "\nafter\n"));
    EXPECT_EQ(std::string::npos, log.find(std::string(4096, 'x')));
}
