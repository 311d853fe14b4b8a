// Temporary folders, file helpers and forked children for the engine tests.
#pragma once

#include <ftw.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>

namespace testsupport {

inline int removeEntry(const char* path, const struct stat*, int, FTW*) { return remove(path); }

inline void makeParents(const std::string& path) {
    for (size_t i = 1; i < path.size(); ++i) {
        if (path[i] != '/') continue;
        mkdir(path.substr(0, i).c_str(), 0755);
    }
}

// A fresh folder under $TMPDIR (or /tmp), removed with its contents at the end.
class TempDir {
public:
    TempDir() {
        const char* base = getenv("TMPDIR");
        std::string pattern = std::string(base && *base ? base : "/tmp") + "/velmora_XXXXXX";
        path_ = mkdtemp(&pattern[0]) ? pattern : std::string();
        EXPECT_FALSE(path_.empty());
    }
    ~TempDir() {
        if (!path_.empty()) nftw(path_.c_str(), removeEntry, 16, FTW_DEPTH | FTW_PHYS);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    std::string file(const std::string& relative) const { return path_ + "/" + relative; }

    // Writes a file (creating its folders) and returns its full path.
    std::string write(const std::string& relative, const std::string& bytes) const {
        std::string full = file(relative);
        makeParents(full);
        std::ofstream(full, std::ios::binary) << bytes;
        return full;
    }
    std::string read(const std::string& relative) const { return readFile(file(relative)); }
    bool exists(const std::string& relative) const { return access(file(relative).c_str(), F_OK) == 0; }

    static std::string readFile(const std::string& full) {
        std::ifstream in(full, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }

private:
    std::string path_;
};

// Makes a folder the current directory until the end of the scope.
class InDir {
public:
    explicit InDir(const std::string& dir) {
        char here[4096];
        old_ = getcwd(here, sizeof here) ? here : "/";
        EXPECT_EQ(0, chdir(dir.c_str()));
    }
    ~InDir() {
        if (chdir(old_.c_str()) != 0) ADD_FAILURE() << "cannot return to " << old_;
    }

private:
    std::string old_;
};

// Runs body in a forked child that ends with _exit(0) after it; returns the wait status.
inline int inChild(const std::function<void()>& body) {
    fflush(nullptr);
    pid_t pid = fork();
    if (pid == 0) {
        body();
        _exit(0);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return status;
}

// Each test process works in a private current directory, so files made relative to it (the
// log among them) are never shared between tests running side by side.
class PrivateDirectory : public ::testing::Environment {
public:
    void SetUp() override {
        dir_ = new TempDir;
        if (chdir(dir_->path().c_str()) != 0) ADD_FAILURE() << "cannot enter " << dir_->path();
    }
    void TearDown() override {
        if (chdir("/") != 0) ADD_FAILURE();
        delete dir_;
    }

private:
    TempDir* dir_ = nullptr;
};

inline const bool kPrivateDirectory =
    (::testing::AddGlobalTestEnvironment(new PrivateDirectory), true);

}  // namespace testsupport
