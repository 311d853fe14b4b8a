// One instance per user folder: the second start finds the first and asks it to restore.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <string>

#include "engine/platform/platform.h"
#include "tests/support/temp_folder.h"

namespace {

class SingleInstance : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(platInit());
        ASSERT_TRUE(dir_.made());
    }
    void TearDown() override { platDone(); }

    testsupport::TempFolder dir_{"velmora_inst"};
    const char* folder_ = dir_.path().c_str();
};

TEST_F(SingleInstance, SecondStartAsksTheFirstToRestore) {
    ASSERT_EQ(platInstanceAcquire(folder_), PLAT_INSTANCE_FIRST);
    PlatMessage m;
    while (platNextMessage(&m, false)) {}

    EXPECT_EQ(platInstanceAcquire(folder_), PLAT_INSTANCE_RESTORED);
    // The answer comes only after the request is queued, so it is there now.
    ASSERT_TRUE(platNextMessage(&m, false));
    EXPECT_EQ(m.message, WM_INSTANCE_RESTORE);
    EXPECT_FALSE(platNextMessage(&m, false));

    platInstanceRelease();
    EXPECT_EQ(platInstanceAcquire(folder_), PLAT_INSTANCE_FIRST);
}

TEST_F(SingleInstance, HolderThatCannotBeAskedIsReported) {
    // Another program holds the lock and listens nowhere.
    std::string lock = std::string(folder_) + "/instance.lock";
    int fd = open(lock.c_str(), O_RDWR | O_CREAT, 0600);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(flock(fd, LOCK_EX | LOCK_NB), 0);
    EXPECT_EQ(platInstanceAcquire(folder_), PLAT_INSTANCE_OTHER);
    close(fd);
    EXPECT_EQ(platInstanceAcquire(folder_), PLAT_INSTANCE_FIRST);
}

TEST_F(SingleInstance, MissingFolderIsAnError) {
    EXPECT_EQ(platInstanceAcquire((std::string(folder_) + "/missing").c_str()), PLAT_INSTANCE_ERROR);
    EXPECT_EQ(platInstanceAcquire(nullptr), PLAT_INSTANCE_ERROR);
}

}  // namespace
