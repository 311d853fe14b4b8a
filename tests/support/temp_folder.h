// Temporary folders for the tests: one made fresh, entered if asked, and removed with its contents.
#pragma once

#include <string>

namespace testsupport {

// A fresh folder under $TMPDIR (or /tmp) named <prefix>_XXXXXX. A folder that cannot be made is a
// test failure and leaves path() empty. At the end the working folder returns to where it was if
// the folder was entered, and the folder goes with everything in it.
class TempFolder {
public:
    explicit TempFolder(const std::string& prefix = "velmora");
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // Makes the folder the working one; false (and a test failure) when it cannot.
    bool enter();

    bool made() const { return !path_.empty(); }
    const std::string& path() const { return path_; }
    std::string file(const std::string& relative) const { return path_ + "/" + relative; }

    // Writes a file (creating its folders) and returns its full path.
    std::string write(const std::string& relative, const std::string& bytes) const;
    std::string read(const std::string& relative) const { return readFile(file(relative)); }
    bool exists(const std::string& relative) const;

    // A whole file's bytes; empty when it cannot be read.
    static std::string readFile(const std::string& full);

private:
    std::string path_;
    std::string previous_;  // the working folder before enter(); empty when not entered
};

// Makes a folder the working one until the end of the scope.
class InFolder {
public:
    explicit InFolder(const std::string& folder);
    ~InFolder();
    InFolder(const InFolder&) = delete;
    InFolder& operator=(const InFolder&) = delete;

private:
    std::string previous_;
};

// Puts the whole test process in a fresh folder of its own, from before the first test to after
// the last: ctest runs test processes side by side, and the files they make relative to the
// working folder (game.ini, the log) must never be shared. `entered` runs once the folder is the
// working one. Call it once per test binary, at namespace scope:
//     const bool kOwnFolder = testsupport::workInOwnFolder("velmora_gr", [] { logOpen(); });
bool workInOwnFolder(const char* prefix, void (*entered)() = nullptr);

// The full path of that folder while the tests run.
const std::string& ownFolder();

}  // namespace testsupport
