// Resource packs: the directory of every open pack, lazily loaded entries shared by reference count.
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/strings.h"
#include "engine/data/file.h"
#include "engine/data/file_internal.h"
#include "engine/data/ini.h"
#include "engine/platform/log.h"

namespace {

const int kEntryName = 64;     // stored names keep at most 61 characters
const int kEntryNameKept = 61;
const int kMaxNameBytes = 1024;  // a name and its zero byte

struct PackFile {
    char name[1024];
    FILE* file;
    long long size;
    int id;
};

struct PackEntry {
    char name[kEntryName];
    unsigned char* data;
    int pack;  // id of the PackFile that holds the entry
    uint32_t offset;
    uint32_t size;
    // Wide enough that no number of holders can wrap it.
    uint64_t references;
};

// Loaded data whose directory record went away (its pack closed) while holders still use it.
struct HeldBlock {
    unsigned char* data;
    uint32_t size;
    uint64_t references;
};

PackEntry* gEntries = nullptr;
int gEntryCount = 0, gEntryCapacity = 0;
PackFile* gPacks = nullptr;
int gPackCount = 0, gPackCapacity = 0;
HeldBlock* gHeld = nullptr;
int gHeldCount = 0, gHeldCapacity = 0;
int gNextPackId = 1;

// Grows a list of plain records to count + capacity / 2 + 1 when it is full.
template <typename T>
bool makeRoom(T*& items, int count, int& capacity) {
    if (count < capacity) return true;
    int wanted = count + capacity / 2 + 1;
    T* grown = static_cast<T*>(realloc(items, sizeof(T) * wanted));
    if (!grown) return false;
    items = grown;
    capacity = wanted;
    return true;
}

int fold(unsigned char c) {
    if (c == '\\') return '/';
    if (c >= 'a' && c <= 'z') return c - 32;
    return c;
}

// A stored name ending in ".zz" answers to the name without that suffix.
bool entryMatches(const char* stored, const char* request) {
    size_t n = strlen(stored);
    if (nameEndsZz(stored)) n -= 3;
    for (size_t i = 0; i < n; ++i)
        if (!request[i] || fold(stored[i]) != fold(request[i])) return false;
    return request[n] == '\0';
}

int findEntry(const char* name) {
    for (int i = 0; i < gEntryCount; ++i)
        if (entryMatches(gEntries[i].name, name)) return i;
    return -1;
}

int findPack(const char* name) {
    for (int i = 0; i < gPackCount; ++i)
        if (iniPathEqual(gPacks[i].name, name) == 0) return i;
    return -1;
}

PackFile* packById(int id) {
    for (int i = 0; i < gPackCount; ++i)
        if (gPacks[i].id == id) return &gPacks[i];
    return nullptr;
}

void holdOrFree(PackEntry& e) {
    if (!e.data) return;
    if (e.references > 0 && makeRoom(gHeld, gHeldCount, gHeldCapacity)) {
        gHeld[gHeldCount++] = HeldBlock{e.data, e.size, e.references};
    } else if (e.references == 0) {
        free(e.data);
    }
    e.data = nullptr;
}

// Removes the records of one pack (every pack when id is 0), keeping blocks still held.
void dropEntries(int id) {
    int kept = 0;
    for (int i = 0; i < gEntryCount; ++i) {
        if (id == 0 || gEntries[i].pack == id) {
            holdOrFree(gEntries[i]);
        } else {
            gEntries[kept++] = gEntries[i];
        }
    }
    gEntryCount = kept;
}

// Reads at an offset without touching the stream, whose buffer may hold older bytes.
bool readAt(int fd, unsigned char* data, uint32_t size, uint32_t offset) {
    uint32_t done = 0;
    while (done < size) {
        ssize_t r = pread(fd, data + done, size - done, static_cast<off_t>(offset) + done);
        if (r < 0 && errno == EINTR) continue;
        if (r <= 0) return false;
        done += static_cast<uint32_t>(r);
    }
    return true;
}

bool alreadyListed(const char* name) {
    for (int i = 0; i < gEntryCount; ++i)
        if (iniPathEqual(gEntries[i].name, name) == 0) return true;
    return false;
}

// Reads the entries of an opened pack into the directory. The walk never leaves the file: a
// damaged entry ends the directory there, and the entries before it stay usable.
void readDirectory(const PackFile& pack) {
    FILE* f = pack.file;
    long long size = pack.size;
    if (fseek(f, 0, SEEK_SET) != 0) return;
    int version = fgetc(f);
    if (version == EOF || size < 2) return;
    long long p = 1;
    while (p < size) {
        if (size - p < 4) {
            logPrintf("pack: %s: entry header cut short at offset %lld\n", pack.name, p);
            return;
        }
        unsigned char raw[4];
        if (fread(raw, 1, 4, f) != 4) {
            logPrintf("pack: %s: read error at offset %lld\n", pack.name, p);
            return;
        }
        uint32_t entrySize = raw[0] | raw[1] << 8 | raw[2] << 16 | static_cast<uint32_t>(raw[3]) << 24;
        p += 4;
        char name[kMaxNameBytes];
        int length = 0;
        bool ended = false;
        for (int n = 0; n < kMaxNameBytes && p < size; ++n) {
            int c = fgetc(f);
            if (c == EOF) break;
            ++p;
            if (c == 0) {
                ended = true;
                break;
            }
            name[length++] = static_cast<char>(c == '\\' ? '/' : c);
        }
        name[length < kMaxNameBytes ? length : kMaxNameBytes - 1] = '\0';
        if (!ended) {
            logPrintf("pack: %s: entry name without an end at offset %lld\n", pack.name, p);
            return;
        }
        if (version >= 2 && (p & 1)) ++p;
        if (p > size || entrySize > size - p) {
            logPrintf("pack: %s: entry %s runs past the end of the file\n", pack.name, name);
            return;
        }
        name[kEntryNameKept] = '\0';
        if (!alreadyListed(name)) {
            if (!makeRoom(gEntries, gEntryCount, gEntryCapacity)) {
                logPrintf("pack: %s: no memory for the directory\n", pack.name);
                return;
            }
            PackEntry& e = gEntries[gEntryCount++];
            StrCopyN(e.name, name, kEntryName);
            e.data = nullptr;
            e.pack = pack.id;
            e.offset = static_cast<uint32_t>(p);
            e.size = entrySize;
            e.references = 0;
        }
        p += entrySize;
        if (p < size && fseek(f, static_cast<long>(p), SEEK_SET) != 0) return;
    }
}

}  // namespace

void packOpen(const char* name) {
    if (!name || !*name || findPack(name) >= 0) return;
    char path[4096];
    fileResolvePath(name, path, sizeof path, 0);
    FILE* f = fopen(path, "rb");
    if (!f) {
        logPrintf("pack: cannot open %s\n", name);
        return;
    }
    long long size = 0;
    if (fseek(f, 0, SEEK_END) == 0) size = ftell(f);
    if (size < 0 || size > 0xFFFFFFFFLL) {
        logPrintf("pack: %s is not a readable pack\n", name);
        fclose(f);
        return;
    }
    if (!makeRoom(gPacks, gPackCount, gPackCapacity)) {
        fclose(f);
        return;
    }
    PackFile& pack = gPacks[gPackCount++];
    StrCopyN(pack.name, name, sizeof pack.name);
    pack.file = f;
    pack.size = size;
    pack.id = gNextPackId++;
    if (size > 0) readDirectory(pack);
}

void packClose(const char* name) {
    if (!name) return;
    int i = findPack(name);
    if (i < 0) return;
    // Only this pack's records go: another pack's entry of the same name stays.
    dropEntries(gPacks[i].id);
    fclose(gPacks[i].file);
    for (int k = i + 1; k < gPackCount; ++k) gPacks[k - 1] = gPacks[k];
    --gPackCount;
}

void packCloseAll() {
    dropEntries(0);
    for (int i = 0; i < gPackCount; ++i) fclose(gPacks[i].file);
    free(gEntries);
    free(gPacks);
    gEntries = nullptr;
    gPacks = nullptr;
    gEntryCount = gEntryCapacity = gPackCount = gPackCapacity = 0;
}

void packInit() {
    const char* name = iniGetString("game.ini", "main", "pack", "");
    if (name && *name) packOpen(name);
}

int packHas(const char* name) { return name && *name && findEntry(name) >= 0; }

int packLoad(const char* name, unsigned char** block) {
    *block = nullptr;
    int i = findEntry(name);
    if (i < 0 || gEntries[i].size == 0) return -1;
    PackEntry& e = gEntries[i];
    if (e.size > INT_MAX - 256) {
        logPrintf("pack: entry %s is too large (%u bytes)\n", e.name, e.size);
        return 0;
    }
    if (!e.data) {
        PackFile* pack = packById(e.pack);
        unsigned char* data = static_cast<unsigned char*>(malloc(e.size));
        if (!pack || !data || !readAt(fileno(pack->file), data, e.size, e.offset)) {
            logPrintf("pack: cannot read entry %s\n", e.name);
            free(data);
            return 0;
        }
        e.data = data;
        e.references = 1;
    } else {
        ++e.references;
    }
    if (nameEndsZz(e.name)) {
        unsigned char* raw = e.data;
        int n = zzInflate(raw, e.size, block, e.name);
        packRelease(raw);
        return n;
    }
    *block = e.data;
    return static_cast<int>(e.size);
}

bool packRelease(void* block) {
    const unsigned char* b = static_cast<const unsigned char*>(block);
    for (int i = 0; i < gEntryCount; ++i) {
        PackEntry& e = gEntries[i];
        if (!e.data || b < e.data || b >= e.data + e.size) continue;
        if (--e.references == 0) {
            free(e.data);
            e.data = nullptr;
        }
        return true;
    }
    for (int i = 0; i < gHeldCount; ++i) {
        HeldBlock& h = gHeld[i];
        if (b < h.data || b >= h.data + h.size) continue;
        if (--h.references == 0) {
            free(h.data);
            gHeld[i] = gHeld[--gHeldCount];
            if (gHeldCount == 0) {
                free(gHeld);
                gHeld = nullptr;
                gHeldCapacity = 0;
            }
        }
        return true;
    }
    return false;
}

int packEntryCount() { return gEntryCount; }

const char* packEntryName(int index) {
    return index >= 0 && index < gEntryCount ? gEntries[index].name : nullptr;
}

void fileDumpDirectory() {
    // Formats the listing and writes it nowhere: the typed debug word only swallows its letter.
    char line[1024];
    for (int i = 0; i < gEntryCount; ++i) formatString(line, sizeof line, "%s\n", gEntries[i].name);
}
