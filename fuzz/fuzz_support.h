// A private scratch folder for a fuzz target, removed at exit, and the engine log sent to
// /dev/null so that millions of rejected inputs do not fill the disk. The current directory is
// left as it is: libFuzzer names its corpus and artifacts relative to it.
#pragma once

#include <ftw.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "engine/platform/log.h"

namespace fuzzsupport {

inline std::string& scratch() {
    static std::string dir;
    return dir;
}

inline int removeEntry(const char* path, const struct stat*, int, FTW*) { return remove(path); }

inline void removeScratch() {
    if (!scratch().empty()) nftw(scratch().c_str(), removeEntry, 16, FTW_DEPTH | FTW_PHYS);
}

// Returns the scratch folder, making it on the first call.
inline const std::string& scratchDir() {
    if (scratch().empty()) {
        const char* base = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : getenv("TMPDIR");
        std::string pattern = std::string(base && *base ? base : "/tmp") + "/velmora_fuzz_XXXXXX";
        if (!mkdtemp(&pattern[0])) abort();
        scratch() = pattern;
        atexit(removeScratch);
        // The log opens once, in the current directory of that moment.
        char here[4096];
        if (!getcwd(here, sizeof here) || chdir(pattern.c_str()) != 0) abort();
        if (symlink("/dev/null", "gerr.log") != 0) abort();
        logOpen();
        if (chdir(here) != 0) abort();
    }
    return scratch();
}

inline std::string writeScratch(const char* name, const unsigned char* data, size_t size) {
    std::string path = scratchDir() + "/" + name;
    FILE* f = fopen(path.c_str(), "wb");
    if (!f) abort();
    if (size) fwrite(data, 1, size, f);
    fclose(f);
    return path;
}

}  // namespace fuzzsupport

// Before the first input: the scratch folder is made, so that the log goes to /dev/null before
// anything the target sets up can open it where the run was started. And libFuzzer writes a
// finding ("crash-...", "leak-...") into the current folder of the moment the input fails, which
// for a target working inside its scratch folder is that folder, left behind in /dev/shm under a
// random name: unless the command line names a place, findings go to the folder the run was
// started from. (One definition per target: each target is one source file.)
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    fuzzsupport::scratchDir();
    for (int i = 1; i < *argc; ++i)
        if (strncmp((*argv)[i], "-artifact_prefix=", 17) == 0) return 0;
    char here[4096];
    if (*argc < 1 || !getcwd(here, sizeof here)) return 0;
    static std::string flag;
    static std::vector<char*> args;
    flag = std::string("-artifact_prefix=") + here + "/";
    args.assign(*argv, *argv + *argc);
    args.insert(args.begin() + 1, &flag[0]);
    args.push_back(nullptr);
    *argv = args.data();
    ++*argc;
    return 0;
}
