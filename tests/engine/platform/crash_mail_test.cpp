// Tests of the crash mail: a stand-in xdg-email on the PATH records the words it is given; each
// case runs in a child, with its own PATH and its own log.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "engine/platform/log.h"
#include "tests/support/child.h"
#include "tests/support/own_folder.h"

using testsupport::TempFolder;

namespace {

// The stand-in writes one line per word into "words" and ends with the status in "status".
void standIn(const TempFolder& dir, int status) {
    const std::string script = dir.write(
        "bin/xdg-email", "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > \"" +
                             dir.file("words") + "\"\nexit " + std::to_string(status) + "\n");
    chmod(script.c_str(), 0755);
}

// Runs crashMail in a child working in dir with only dir/bin on the PATH; its result, or -1.
int mailIn(const TempFolder& dir, const char* files, int count, int stride,
           const char* address = "reports@velmora.example") {
    const int status = testsupport::inChild([&] {
        if (chdir(dir.path().c_str()) != 0) _exit(100);
        setenv("PATH", dir.file("bin").c_str(), 1);
        _exit(crashMail(address, "Velmora crashed", "What happened:\nline two", files, count,
                        stride));
    });
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Two report names in a block of fixed-size records, as a caller keeps them.
struct Reports {
    char names[2][64] = {"dump/dump0.0.0.dmp", "dump/dump0.0.1.dmp"};
};

}  // namespace

TEST(CrashMail, TheMailProgramGetsSubjectTextRecipientAndEveryFile) {
    TempFolder dir;
    standIn(dir, 0);
    Reports r;
    EXPECT_EQ(mailIn(dir, r.names[0], 2, sizeof r.names[0]), 1);
    EXPECT_EQ(dir.read("words"),
              "--subject\nVelmora crashed\n--body\nWhat happened:\nline two\n"
              "--attach\ndump/dump0.0.0.dmp\n--attach\ndump/dump0.0.1.dmp\n"
              "reports@velmora.example\n");
    EXPECT_FALSE(dir.exists("gerr.log"));

    // Words that a shell would act on reach the program as they are; an address that reads as
    // an option is left out rather than taken for one.
    char odd[] = "a b;$(touch hacked).dmp";
    EXPECT_EQ(mailIn(dir, odd, 1, 0, "--help"), 1);
    EXPECT_EQ(dir.read("words"),
              "--subject\nVelmora crashed\n--body\nWhat happened:\nline two\n"
              "--attach\na b;$(touch hacked).dmp\n");
    EXPECT_FALSE(dir.exists("hacked"));
}

TEST(CrashMail, NoFilesNoMail) {
    TempFolder dir;
    standIn(dir, 0);
    Reports r;
    EXPECT_EQ(mailIn(dir, r.names[0], 0, sizeof r.names[0]), 0);
    EXPECT_EQ(mailIn(dir, nullptr, 2, 64), 0);
    EXPECT_FALSE(dir.exists("words"));
    EXPECT_FALSE(dir.exists("gerr.log"));
}

TEST(CrashMail, AMissingOrFailingMailProgramIsLogged) {
    TempFolder dir;
    Reports r;
    EXPECT_EQ(mailIn(dir, r.names[0], 2, sizeof r.names[0]), 0);
    EXPECT_NE(dir.read("gerr.log").find("crashMail: xdg-email is not installed"),
              std::string::npos);

    TempFolder refusing;
    standIn(refusing, 3);
    EXPECT_EQ(mailIn(refusing, r.names[0], 1, sizeof r.names[0]), 0);
    EXPECT_TRUE(refusing.exists("words"));
    EXPECT_NE(refusing.read("gerr.log").find("crashMail: xdg-email could not open the mail "
                                             "(exit status 3)"),
              std::string::npos);
}
