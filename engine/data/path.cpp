// Resolves data file names written for a case-blind file system onto the Linux file system.
#include <dirent.h>
#include <strings.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

#include "engine/data/file.h"

namespace {

const size_t kPath = 4096;
const int kMaxDepth = 64;

bool exists(const char* path) { return access(path, F_OK) == 0; }

int byName(const void* a, const void* b) {
    return strcmp(*static_cast<char* const*>(a), *static_cast<char* const*>(b));
}

// The entries of a folder that equal name without regard to A-Z case, other than name itself,
// in byte order so that the answer does not depend on the order the folder lists them. The
// caller frees the list and its names.
char** caseMatches(const char* folder, const char* name, int* count) {
    *count = 0;
    DIR* d = opendir(*folder ? folder : ".");
    if (!d) return nullptr;
    char** list = nullptr;
    int capacity = 0;
    while (dirent* e = readdir(d)) {
        if (strcasecmp(e->d_name, name) != 0 || strcmp(e->d_name, name) == 0) continue;
        if (*count == capacity) {
            capacity = capacity * 2 + 4;
            char** grown = static_cast<char**>(realloc(list, sizeof(char*) * capacity));
            if (!grown) break;
            list = grown;
        }
        list[(*count)++] = strdup(e->d_name);
    }
    closedir(d);
    if (*count > 1) qsort(list, *count, sizeof(char*), byName);
    return list;
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
    int count = 0;
    char** matches = caseMatches(folder, component, &count);
    bool found = false;
    for (int i = 0; i < count; ++i) {
        if (!found) {
            memcpy(path + start, matches[i], clen + 1);
            found = walk(path, start + clen, next, create, depth + 1);
        }
        free(matches[i]);
    }
    free(matches);
    if (found) return true;
    if (create && last) {
        // A new file in folders that exist.
        memcpy(path + start, rest, clen);
        path[start + clen] = '\0';
        return true;
    }
    return false;
}

}  // namespace

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
