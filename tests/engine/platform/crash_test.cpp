// Tests of the crash handler: each crash happens in a forked child.
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <sys/resource.h>

#include <csignal>
#include <cstdlib>
#include <string>

#include "engine/platform/log.h"
#include "tests/support/child.h"
#include "tests/support/own_folder.h"

using testsupport::TempFolder;

namespace {

// A real invalid access that no sanitizer check stands in front of.
void faultForReal() {
    void* page = mmap(nullptr, 4096, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    *static_cast<volatile int*>(page) = 1;
}

int crashIn(const TempFolder& dir, int sig, const char* folder = "dump") {
    return testsupport::inChild([&] {
        rlimit none{0, 0};
        setrlimit(RLIMIT_CORE, &none);
        if (chdir(dir.path().c_str()) != 0) _exit(2);
        if (crashInstall(folder, "", "0.0") != 1) _exit(3);
        if (sig == SIGSEGV) faultForReal();
        if (sig == SIGABRT) abort();
        raise(sig);
        _exit(4);
    });
}

}  // namespace

TEST(Crash, EachFaultWritesAReportAndEndsTheProcess) {
    for (int sig : {SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGABRT}) {
        TempFolder dir;
        dir.write("dump/.keep", "");
        int status = crashIn(dir, sig);
        ASSERT_TRUE(WIFSIGNALED(status)) << "signal " << sig << " status " << status;
        EXPECT_EQ(sig, WTERMSIG(status));
        std::string report = dir.read("dump/dump0.0.0.dmp");
        EXPECT_NE(std::string::npos, report.find("signal: " + std::to_string(sig) + " (SIG"))
            << report;
        EXPECT_NE(std::string::npos, report.find("version: 0.0\n"));
        EXPECT_NE(std::string::npos, report.find("backtrace:\n"));
        EXPECT_GT(report.size(), report.find("backtrace:\n") + 12);  // frames follow
    }
}

TEST(Crash, ReportsAreNeverOverwritten) {
    TempFolder dir;
    dir.write("Dump/dump0.0.0.dmp", "first");
    dir.write("Dump/dump0.0.1.dmp", "second");
    int status = crashIn(dir, SIGSEGV);  // "dump" finds "Dump"
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ("first", dir.read("Dump/dump0.0.0.dmp"));
    EXPECT_EQ("second", dir.read("Dump/dump0.0.1.dmp"));
    EXPECT_NE(std::string::npos, dir.read("Dump/dump0.0.2.dmp").find("SIGSEGV"));

    for (int i = 3; i < 10; ++i) dir.write("Dump/dump0.0." + std::to_string(i) + ".dmp", "old");
    status = crashIn(dir, SIGSEGV);
    ASSERT_TRUE(WIFSIGNALED(status));  // no room for a report: the fault goes on
    EXPECT_EQ(SIGSEGV, WTERMSIG(status));
    EXPECT_EQ("old", dir.read("Dump/dump0.0.9.dmp"));
}

TEST(Crash, NoDumpFolderNoHandler) {
    TempFolder dir;
    int status = testsupport::inChild([&] {
        if (chdir(dir.path().c_str()) != 0) _exit(2);
        _exit(crashInstall("dump", "", "0.0") == 0 ? 0 : 3);
    });
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(0, WEXITSTATUS(status));
}
