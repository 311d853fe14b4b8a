// The file layer: whole-file loading from the resource pack or the disk (".zz" files inflated),
// single-file streaming and saving, and the resource packs themselves.
#pragma once

#include <cstddef>

struct FileHandle;

// Whole contents of a file: from an open pack when it holds the name, else from the disk.
// Returns the size and stores the block in *block; 0 and a null block when the file is missing,
// empty or damaged. Every block is handed back exactly once with memFree.
int fileLoad(const char* name, unsigned char** block);
// Releases a block from fileLoad: a pack entry loses one reference, anything else is freed.
void memFree(void* block);

int fileExists(const char* name);
// Writes the whole file; returns the bytes written (0 on failure).
int fileSave(const char* name, const void* data, int size);

// mode 1 reads, 2 writes (creates or truncates), anything else reads and writes.
FileHandle* fileOpen(const char* name, int mode);
void fileClose(FileHandle* file);
int fileSeek(FileHandle* file, long position);
long fileSize(FileHandle* file);
int fileRead(FileHandle* file, void* buffer, int count);
int fileWrite(FileHandle* file, const void* buffer, int count);
int fileEof(FileHandle* file);

void packInit();
void packOpen(const char* name);
void packClose(const char* name);
void packCloseAll();
void fileDumpDirectory();
