// Resolves data file names written for a case-blind file system onto the Linux file system.
#include <dirent.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <mutex>
#include <string>
#include <vector>

#include "engine/data/file.h"
#include "engine/data/file_internal.h"

namespace {

const size_t kPath = 4096;
const int kMaxDepth = 64;

bool exists(const char* path) { return access(path, F_OK) == 0; }

// A folder's entry names as last listed, with what identified the folder then.
struct Listing {
    std::string folder;
    dev_t device;
    ino_t inode;
    struct timespec changed;  // the folder's status change time: any added, removed or renamed
                              // entry, and any change of its times, moves it
    std::vector<std::string> names;
};

// Listings of folders that had not changed for a while when they were read, so that a change
// made later moves the folder's change time even where the clock behind file times is coarse,
// and the listing is read again. A missing file's lookup lists every folder above it; this
// keeps the probes for optional files (alpha images) from listing the same folders again and
// again. The list is never destroyed: a holder let go of while the process exits may still log,
// and opening the log resolves its path through here.
std::mutex gListingsLock;
std::vector<Listing>& gListings = *new std::vector<Listing>;
const size_t kListingsKept = 64;

bool sameTime(const struct timespec& a, const struct timespec& b) {
    return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

long long nanoseconds(const struct timespec& t) {
    return static_cast<long long>(t.tv_sec) * 1000000000LL + t.tv_nsec;
}

bool settled(const struct timespec& changed) {
    struct timespec now {};
    clock_gettime(CLOCK_REALTIME, &now);
    return nanoseconds(changed) + gFileListingSettleMs * 1000000LL < nanoseconds(now);
}

// The names in the folder, from the cache while the folder is unchanged. False when it does not
// open.
bool folderNames(const char* folder, std::vector<std::string>* names) {
    const char* path = *folder ? folder : ".";
    struct stat st {};
    if (stat(path, &st) != 0 || !S_ISDIR(st.st_mode)) return false;
    {
        std::lock_guard<std::mutex> hold(gListingsLock);
        for (const Listing& l : gListings)
            if (l.folder == path && l.device == st.st_dev && l.inode == st.st_ino &&
                sameTime(l.changed, st.st_ctim)) {
                *names = l.names;
                return true;
            }
    }
    DIR* d = opendir(path);
    if (!d) return false;
    names->clear();
    while (dirent* e = readdir(d)) names->emplace_back(e->d_name);
    closedir(d);
    if (settled(st.st_ctim)) {
        std::lock_guard<std::mutex> hold(gListingsLock);
        for (size_t i = 0; i < gListings.size(); ++i)
            if (gListings[i].folder == path) {
                gListings.erase(gListings.begin() + static_cast<long>(i));
                break;
            }
        if (gListings.size() >= kListingsKept) gListings.erase(gListings.begin());
        gListings.push_back({path, st.st_dev, st.st_ino, st.st_ctim, *names});
    }
    return true;
}

// The entries of a folder that equal name without regard to A-Z case, other than name itself,
// in byte order so that the answer does not depend on the order the folder lists them.
std::vector<std::string> caseMatches(const char* folder, const char* name) {
    std::vector<std::string> names, matches;
    if (!folderNames(folder, &names)) return matches;
    for (const std::string& entry : names)
        if (strcasecmp(entry.c_str(), name) == 0 && entry != name) matches.push_back(entry);
    std::sort(matches.begin(), matches.end());
    return matches;
}

// Appends the components of rest to the first len bytes of path. Each component is tried as
// written, then as every entry of its folder that matches it without regard to case, so two
// folders that differ only in case are both searched.
bool walk(char* path, size_t len, const char* rest, bool create, int depth) {
    while (*rest == '/') ++rest;
    if (!*rest) return true;
    if (depth > kMaxDepth) return false;
    size_t clen = strcspn(rest, "/");
    const char* next = rest + clen;
    bool last = next[strspn(next, "/")] == '\0';
    size_t start = len;
    if (start > 0 && path[start - 1] != '/') path[start++] = '/';
    if (start + clen + 1 >= kPath) return false;

    memcpy(path + start, rest, clen);
    path[start + clen] = '\0';
    bool dots = (clen == 1 && rest[0] == '.') || (clen == 2 && rest[0] == '.' && rest[1] == '.');
    if ((dots || exists(path)) && walk(path, start + clen, next, create, depth + 1)) return true;
    if (dots) return false;

    char folder[kPath];
    memcpy(folder, path, start);
    folder[start > 1 ? start - 1 : start] = '\0';  // without its trailing '/', but "/" stays
    char component[256];
    if (clen >= sizeof component) return false;
    memcpy(component, rest, clen);
    component[clen] = '\0';
    for (const std::string& match : caseMatches(folder, component)) {
        memcpy(path + start, match.c_str(), clen + 1);
        if (walk(path, start + clen, next, create, depth + 1)) return true;
    }
    if (create && last) {
        // A new file in folders that exist.
        memcpy(path + start, rest, clen);
        path[start + clen] = '\0';
        return true;
    }
    return false;
}

}  // namespace

long gFileListingSettleMs = 2000;

int fileResolvePath(const char* name, char* out, int size, int create) {
    if (!out || size < 1) return 0;
    out[0] = '\0';
    if (!name || !*name) return 0;
    size_t n = strlen(name);
    if (n >= static_cast<size_t>(size) || n >= kPath) return 0;
    for (size_t i = 0; i <= n; ++i) out[i] = name[i] == '\\' ? '/' : name[i];
    if (exists(out)) return 1;

    char path[kPath];
    size_t len = 0;
    if (out[0] == '/') path[len++] = '/';
    path[len] = '\0';
    if (!walk(path, len, out, create != 0, 0)) return 0;
    size_t total = strlen(path);
    if (total >= static_cast<size_t>(size)) return 0;
    memcpy(out, path, total + 1);
    return 1;
}
