// The file layer on the disk: whole-file loading, streaming handles and crash-safe saving.
#include "engine/data/file.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/strings.h"
#include "engine/data/file_internal.h"
#include "engine/platform/log.h"

struct FileHandle {
    FILE* f;
};

void (*gFileSaveBeforeRename)(const char* tempPath) = nullptr;
int (*gFileSaveFault)(const char* path) = nullptr;

namespace {

const int kPath = 4096;

// Reads a whole regular file; returns its size and a malloc'd block, or -1 when it is missing.
long readWhole(const char* name, unsigned char** out) {
    *out = nullptr;
    char path[kPath];
    if (!fileResolvePath(name, path, kPath, 0)) return -1;
    int fd = open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0) return -1;
    struct stat st {};
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        close(fd);
        return -1;
    }
    if (st.st_size > INT_MAX - 256) {
        logPrintf("file: %s is too large (%lld bytes)\n", name, static_cast<long long>(st.st_size));
        close(fd);
        return -1;
    }
    long size = static_cast<long>(st.st_size);
    if (size == 0) {
        close(fd);
        return 0;
    }
    unsigned char* data = static_cast<unsigned char*>(malloc(size));
    long got = 0;
    while (data && got < size) {
        ssize_t r = read(fd, data + got, size - got);
        if (r < 0 && errno == EINTR) continue;
        if (r <= 0) break;
        got += r;
    }
    close(fd);
    if (!data || got == 0) {
        free(data);
        return 0;
    }
    *out = data;
    return got;
}

bool writeAll(int fd, const unsigned char* data, long size) {
    long done = 0;
    while (done < size) {
        ssize_t w = write(fd, data + done, size - done);
        if (w < 0 && errno == EINTR) continue;
        if (w <= 0) return false;
        done += w;
    }
    return true;
}

// Splits a resolved path into its folder ("." for none) and its last component.
void splitPath(const char* path, char* folder, const char** base) {
    const char* slash = strrchr(path, '/');
    if (!slash) {
        strcpy(folder, ".");
        *base = path;
        return;
    }
    size_t n = slash == path ? 1 : static_cast<size_t>(slash - path);
    memcpy(folder, path, n);
    folder[n] = '\0';
    *base = slash + 1;
}

// The process id of a temporary file "<base>.tmp<pid>_<n>" of that base; 0 for any other name.
long tempOwner(const char* entry, const char* base) {
    size_t n = strlen(base);
    if (strncmp(entry, base, n) != 0 || strncmp(entry + n, ".tmp", 4) != 0) return 0;
    const char* p = entry + n + 4;
    long pid = 0;
    const char* digits = p;
    while (*p >= '0' && *p <= '9' && pid < 1L << 40) pid = pid * 10 + (*p++ - '0');
    if (p == digits || *p++ != '_' || !(*p >= '0' && *p <= '9')) return 0;
    while (*p >= '0' && *p <= '9') ++p;
    return *p ? 0 : pid;
}

// Removes the temporary files that saves of the resolved path left behind when they were cut
// short: those of this process (its saves run one at a time, so none is under way) and those
// of processes that no longer run. Another running process may be saving: its files stay.
void sweepTemps(const char* path) {
    char folder[kPath];
    const char* base;
    splitPath(path, folder, &base);
    if (!*base) return;
    DIR* d = opendir(folder);
    if (!d) return;
    long self = static_cast<long>(getpid());
    while (dirent* e = readdir(d)) {
        long pid = tempOwner(e->d_name, base);
        if (pid == 0) continue;
        if (pid != self && pid <= INT_MAX && (kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM))
            continue;
        char temp[kPath + 256];
        formatString(temp, sizeof temp, "%s/%s", folder, e->d_name);
        unlink(temp);
    }
    closedir(d);
}

}  // namespace

void fileSweepTemps(const char* name) {
    char path[kPath];
    if (name && *name && fileResolvePath(name, path, kPath, 1)) sweepTemps(path);
}

int fileLoad(const char* name, unsigned char** block) {
    if (block) *block = nullptr;
    if (!name || !*name || !block) return 0;
    int fromPack = packLoad(name, block);
    if (fromPack >= 0) return fromPack;

    unsigned char* raw = nullptr;
    long size = readWhole(name, &raw);
    if (size <= 0) return 0;
    if (!nameEndsZz(name)) {
        *block = raw;
        return static_cast<int>(size);
    }
    int n = zzInflate(raw, size, block, name);
    free(raw);
    return n;
}

void memFree(void* block) {
    if (!block) return;
    if (!packRelease(block)) free(block);
}

int fileExists(const char* name) {
    if (!name || !*name) return 0;
    if (packHas(name)) return 1;
    char path[kPath];
    if (!fileResolvePath(name, path, kPath, 0)) return 0;
    struct stat st {};
    return stat(path, &st) == 0 && S_ISREG(st.st_mode) && access(path, R_OK) == 0;
}

int fileSaveChecked(const char* name, const void* data, int size) {
    if (!name || !*name) return -1;
    if (!data || size < 0) size = 0;
    char path[kPath];
    if (!fileResolvePath(name, path, kPath, 1)) {
        logPrintf("file: cannot save %s: its folder does not exist\n", name);
        return -1;
    }
    if (int fault = gFileSaveFault ? gFileSaveFault(path) : 0) {
        logPrintf("file: cannot save %s: %s\n", name, strerror(fault));
        return -1;
    }
    sweepTemps(path);
    // The old contents stay until the new ones are safely on the disk under a temporary name.
    char temp[kPath + 32];
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        formatString(temp, sizeof temp, "%s.tmp%d_%d", path, static_cast<int>(getpid()), attempt);
        fd = open(temp, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) break;
    }
    if (fd < 0) {
        logPrintf("file: cannot save %s: %s\n", name, strerror(errno));
        return -1;
    }
    struct stat old {};
    if (stat(path, &old) == 0) fchmod(fd, old.st_mode & 07777);
    bool ok = writeAll(fd, static_cast<const unsigned char*>(data), size) && fsync(fd) == 0;
    int err = errno;
    if (close(fd) != 0 && ok) {
        ok = false;
        err = errno;
    }
    if (ok && gFileSaveBeforeRename) gFileSaveBeforeRename(temp);
    if (ok && rename(temp, path) != 0) {
        ok = false;
        err = errno;
    }
    if (!ok) {
        unlink(temp);
        logPrintf("file: cannot save %s: %s\n", name, strerror(err));
        return -1;
    }
    // Make the rename itself durable.
    char folder[kPath];
    const char* base;
    splitPath(path, folder, &base);
    int dfd = open(folder, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd >= 0) {
        fsync(dfd);
        close(dfd);
    }
    return size;
}

int fileSave(const char* name, const void* data, int size) {
    int n = fileSaveChecked(name, data, size);
    return n < 0 ? 0 : n;
}

FileHandle* fileOpen(const char* name, int mode) {
    if (!name || !*name) return nullptr;
    char path[kPath];
    fileResolvePath(name, path, kPath, mode == 2);
    const char* how = mode == 1 ? "rb" : mode == 2 ? "wb" : "r+b";
    FILE* f = fopen(path, how);
    if (!f) return nullptr;
    FileHandle* h = static_cast<FileHandle*>(malloc(sizeof(FileHandle)));
    if (!h) {
        fclose(f);
        return nullptr;
    }
    h->f = f;
    return h;
}

FileHandle* fileOpenPlain(const char* name, long* size) {
    *size = 0;
    if (!name || !*name || nameEndsZz(name) || packHas(name)) return nullptr;
    char path[kPath];
    if (!fileResolvePath(name, path, kPath, 0)) return nullptr;
    FILE* f = fopen(path, "rbe");
    if (!f) return nullptr;
    struct stat st {};
    FileHandle* h = nullptr;
    if (fstat(fileno(f), &st) == 0 && S_ISREG(st.st_mode))
        h = static_cast<FileHandle*>(malloc(sizeof(FileHandle)));
    if (!h) {
        fclose(f);
        return nullptr;
    }
    setvbuf(f, nullptr, _IONBF, 0);
    h->f = f;
    *size = static_cast<long>(st.st_size);
    return h;
}

void fileClose(FileHandle* file) {
    if (!file) return;
    fclose(file->f);
    free(file);
}

int fileSeek(FileHandle* file, long position) {
    if (!file) return 1;
    return fseek(file->f, position, SEEK_SET) == 0 ? 0 : 1;
}

long fileSize(FileHandle* file) {
    if (!file) return 0;
    long here = ftell(file->f);
    if (here < 0 || fseek(file->f, 0, SEEK_END) != 0) return 0;
    long size = ftell(file->f);
    fseek(file->f, here, SEEK_SET);
    return size < 0 ? 0 : size;
}

int fileRead(FileHandle* file, void* buffer, int count) {
    if (!file || !buffer || count <= 0) return 0;
    return static_cast<int>(fread(buffer, 1, count, file->f));
}

int fileWrite(FileHandle* file, const void* buffer, int count) {
    if (!file || !buffer || count <= 0) return 0;
    int n = static_cast<int>(fwrite(buffer, 1, count, file->f));
    fflush(file->f);
    return n;
}

int fileEof(FileHandle* file) {
    if (!file) return 1;
    return feof(file->f) ? 1 : 0;
}
