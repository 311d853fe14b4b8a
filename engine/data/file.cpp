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
