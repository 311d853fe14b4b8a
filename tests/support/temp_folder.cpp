// Temporary folders for the tests, and the folder of its own a whole test binary can work in.
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <vector>

namespace testsupport {

namespace {

std::string workingFolder() {
    char here[4096];
    return getcwd(here, sizeof here) ? here : "/";
}

}  // namespace

TempFolder::TempFolder(const std::string& prefix) {
    const char* base = getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/" + prefix + "_XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    if (mkdtemp(name.data()))
        path_ = name.data();
    else
        ADD_FAILURE() << "cannot make a folder " << pattern;
}

TempFolder::~TempFolder() {
    if (!previous_.empty() && chdir(previous_.c_str()) != 0)
        ADD_FAILURE() << "cannot return to " << previous_;
    std::error_code ignored;
    if (made()) std::filesystem::remove_all(path_, ignored);
}

bool TempFolder::enter() {
    std::string here = workingFolder();
    if (!made() || chdir(path_.c_str()) != 0) {
        ADD_FAILURE() << "cannot enter " << path_;
        return false;
    }
    if (previous_.empty()) previous_ = here;
    return true;
}

std::string TempFolder::write(const std::string& relative, const std::string& bytes) const {
    std::string full = file(relative);
    std::error_code ignored;
    std::filesystem::create_directories(std::filesystem::path(full).parent_path(), ignored);
    std::ofstream(full, std::ios::binary) << bytes;
    return full;
}

bool TempFolder::exists(const std::string& relative) const {
    return access(file(relative).c_str(), F_OK) == 0;
}

std::string TempFolder::readFile(const std::string& full) {
    std::ifstream in(full, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

InFolder::InFolder(const std::string& folder) : previous_(workingFolder()) {
    EXPECT_EQ(0, chdir(folder.c_str())) << "cannot enter " << folder;
}

InFolder::~InFolder() {
    if (chdir(previous_.c_str()) != 0) ADD_FAILURE() << "cannot return to " << previous_;
}

namespace {

TempFolder* gOwnFolder = nullptr;

class OwnFolder : public ::testing::Environment {
public:
    OwnFolder(const char* prefix, void (*entered)()) : prefix_(prefix), entered_(entered) {}

    void SetUp() override {
        folder_ = std::make_unique<TempFolder>(prefix_);
        ASSERT_TRUE(folder_->made());
        ASSERT_EQ(chdir(folder_->path().c_str()), 0) << "cannot enter " << folder_->path();
        gOwnFolder = folder_.get();
        if (entered_) entered_();
    }
    void TearDown() override {
        // To "/" rather than back: nothing the process does on its way out lands in the build
        // folder the other test processes share.
        if (chdir("/") != 0) ADD_FAILURE() << "cannot leave " << folder_->path();
        gOwnFolder = nullptr;
        folder_.reset();
    }

private:
    std::string prefix_;
    void (*entered_)();
    std::unique_ptr<TempFolder> folder_;
};

}  // namespace

bool workInOwnFolder(const char* prefix, void (*entered)()) {
    ::testing::AddGlobalTestEnvironment(new OwnFolder(prefix, entered));
    return true;
}

const std::string& ownFolder() {
    static const std::string none;
    return gOwnFolder ? gOwnFolder->path() : none;
}

}  // namespace testsupport
