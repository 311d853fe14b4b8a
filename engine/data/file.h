// The file layer: whole-file loading from the resource pack or the disk (".zz" files inflated),
// single-file streaming and saving, and the resource packs themselves.
#pragma once

#include <cstddef>

struct FileHandle;

// Whole contents of a file: from an open pack when it holds the name, else from the disk.
// Returns the size and stores the block in *block; 0 and a null block when the file is missing,
// empty or damaged (damage is logged). Every block is handed back exactly once with memFree.
int fileLoad(const char* name, unsigned char** block);
// Releases a block from fileLoad: a pack entry loses one reference (its data is freed with the
// last one, even after its pack was closed); any other block is handed to free().
void memFree(void* block);

// 1 when an open pack holds the name or a regular file of that name opens for reading.
int fileExists(const char* name);
// Writes the whole file through a temporary file beside it that is flushed to the disk and then
// renamed over the old one, so a failure part-way leaves the previous contents. Returns the bytes
// written (0 on failure; a size of 0 leaves an empty file).
int fileSave(const char* name, const void* data, int size);

// mode 1 reads, 2 writes (creates or truncates), anything else reads and writes.
FileHandle* fileOpen(const char* name, int mode);
// Opens a file for reading in pieces where fileLoad would read it from the disk as it is stored
// (no open pack holds it, no ".zz" image), and gives its size; null otherwise or when it does
// not open, so the caller loads it whole. Reads go straight to the caller's buffer, unbuffered.
FileHandle* fileOpenPlain(const char* name, long* size);
void fileClose(FileHandle* file);
// 0 on success; nonzero without a file or when the seek fails.
int fileSeek(FileHandle* file, long position);
long fileSize(FileHandle* file);
int fileRead(FileHandle* file, void* buffer, int count);
// Writes and flushes at once.
int fileWrite(FileHandle* file, const void* buffer, int count);
int fileEof(FileHandle* file);

// Resolves a data file name to a path on the disk: '\' becomes '/', and when the exact path does
// not exist each component is matched without regard to A-Z case. With create set, the last
// component may be new (its folders must exist). Writes the path into out (the normalised name
// when nothing matched) and returns 1 when the path exists or may be created, else 0.
int fileResolvePath(const char* name, char* out, int size, int create);

// Opens the pack named by game.ini [main] "pack" when the value is not empty.
void packInit();
// Adds the entries of a pack file to the directory; a pack already open is left alone.
void packOpen(const char* name);
void packClose(const char* name);
void packCloseAll();
void fileDumpDirectory();
