// The file layer (disk only for now; packs and compressed files come next).
#include "engine/data/file.h"

#include <cstdio>
#include <cstdlib>

int fileLoad(const char* name, unsigned char** block) {
    if (block) *block = nullptr;
    if (!name || !*name || !block) return 0;
    FILE* f = fopen(name, "rb");
    if (!f) return 0;
    fseek(f, 0, SEEK_END);
    long size = ftell(f);
    fseek(f, 0, SEEK_SET);
    if (size <= 0) {
        fclose(f);
        return 0;
    }
    unsigned char* data = static_cast<unsigned char*>(malloc(size));
    size_t got = data ? fread(data, 1, size, f) : 0;
    fclose(f);
    if (got == 0) {
        free(data);
        return 0;
    }
    *block = data;
    return static_cast<int>(got);
}

void memFree(void* block) { free(block); }

// Single files on the disk. A handle is the C library's stream itself.
struct FileHandle {};

namespace {
FILE* stream(FileHandle* file) { return reinterpret_cast<FILE*>(file); }
}  // namespace

FileHandle* fileOpen(const char* name, int mode) {
    if (!name || !*name) return nullptr;
    const char* how = mode == 1 ? "rb" : mode == 2 ? "wb" : "r+b";
    return reinterpret_cast<FileHandle*>(fopen(name, how));
}

void fileClose(FileHandle* file) {
    if (file) fclose(stream(file));
}

int fileSeek(FileHandle* file, long position) {
    if (!file) return 1;
    fseek(stream(file), position, SEEK_SET);
    return 0;
}

long fileSize(FileHandle* file) {
    if (!file) return 0;
    long here = ftell(stream(file));
    fseek(stream(file), 0, SEEK_END);
    long size = ftell(stream(file));
    fseek(stream(file), here, SEEK_SET);
    return size < 0 ? 0 : size;
}

int fileRead(FileHandle* file, void* buffer, int count) {
    if (!file || !buffer || count <= 0) return 0;
    return static_cast<int>(fread(buffer, 1, count, stream(file)));
}
