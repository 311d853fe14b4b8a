// Internals of the file layer shared by its sources, the INI store, the tests and the fuzz targets.
#pragma once

// fileSave with a result that tells an empty file from a failure: the bytes written, or -1
// (logged) when the file could not be written.
int fileSaveChecked(const char* name, const void* data, int size);
// Removes the temporary files "<name>.tmp<pid>_<n>" that saves of name cut short by a crash or
// a kill left beside it (every save does this first).
void fileSweepTemps(const char* name);
// Runs between the flushed temporary file and its rename; lets a test stop a save right there.
extern void (*gFileSaveBeforeRename)(const char* tempPath);
// Asked before every save with the path on the disk: a nonzero errno fails the save as the disk
// would (ENOSPC for a full disk, EACCES for a folder that is not writable); lets a test stand in
// for a folder it cannot fill or lock.
extern int (*gFileSaveFault)(const char* path);

// True when the name ends in ".zz" (any case).
bool nameEndsZz(const char* name);
// Inflates a ".zz" image of size bytes: 16-byte header (unpacked size as decimal digits in bytes
// 8 to 15), then a zlib stream. Returns the unpacked size and a new block in *out; 0 and null
// when the image is damaged (logged with the name) or unpacks to nothing.
int zzInflate(const unsigned char* data, long size, unsigned char** out, const char* name);

// Pack side of fileLoad: -1 when no open pack holds the name, else the result of loading it.
int packLoad(const char* name, unsigned char** block);
int packHas(const char* name);
// Drops one reference when the block is pack data and returns true; false for other blocks.
bool packRelease(void* block);
// The directory, in search order.
int packEntryCount();
const char* packEntryName(int index);

// How long a folder must have gone unchanged before its listing is kept for later lookups of
// names in other cases (2000 ms; longer than the coarsest clock behind file times). A test may
// shorten it.
extern long gFileListingSettleMs;
