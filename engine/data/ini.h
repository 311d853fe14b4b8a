// The INI store: cached reading and writing of INI files (8-bit or UTF-16 LE with a byte-order
// mark) by (file, section, key, default), and the lookup of visible texts in the translation file.
#pragma once

#include <cstdint>

struct IniFile;

// The store keeps the texts of the ten most recently loaded files, first in first out: a hit
// does not refresh a file, and in engine debug mode every open loads the file again. A file that
// holds a change not yet on the disk keeps its place (and is not loaded again) until it is saved.
// Texts are parsed on demand; only section positions are remembered.
//
// String results live in four rotating buffers that grow to fit, so a value of any length comes
// back whole; a result stays valid until four further results are produced.
// A missing file, section or key gives the caller's default (returned as given; a null default
// reads as the empty text).

// The cached file, loaded when needed; null for an empty name or one longer than 255 characters.
IniFile* iniOpen(const char* file);

const char* iniGetString(const char* file, const char* section, const char* key, const char* def);
// The value by the C library's decimal conversion ("12px" is 12, "" and "abc" are 0); the
// default only when the key is absent.
int iniGetInt(const char* file, const char* section, const char* key, int def);
// v held within lo..hi, with one log line naming the file, section and key when it is not: for
// values read from data, where a number far beyond any sane one is damage, and holding it keeps
// the sums made of it inside int.
int iniHeldInt(int v, int lo, int hi, const char* file, const char* section, const char* key);
// iniGetInt's value (0 when absent), held as above.
int iniGetIntHeld(const char* file, const char* section, const char* key, int lo, int hi);
float iniGetFloat(const char* file, const char* section, const char* key, float def);
// A null or empty section searches the keys before the first section header.
const char16_t* iniGetWide(const char* file, const char* section, const char* key,
                           const char16_t* def);
const char16_t* iniGetWideGlobal(const char* file, const char* key);
// The value; one that begins with '#' is looked up as a key of data\translation.ini (empty when
// the translation is missing).
const char16_t* iniGetText(const char* file, const char* section, const char* key);
// Every section name in file order, each ended by a zero byte, the list ended by one more; names
// that do not fit into size bytes are left out.
void iniGetSections(const char* file, char* out, int size);

// Writers change the cached text, then save the whole file (a value of any length is written
// whole); a write that changes nothing in a text the disk already holds saves nothing. They
// return 1 when the file was saved (or already held the value); 0 (and a log line) for bad
// arguments or when the file could not be written, in which case the change is kept in the cache
// (the file is not let go of) and tried again at every later save and when the cache is freed.
// Inside a save scope (below) they return 1 once the change is made, and the save waits for the
// scope's end.
int iniWriteString(const char* file, const char* section, const char* key, const char* value);
// Turns an 8-bit file into UTF-16 for good.
int iniWriteWide(const char* file, const char* section, const char* key, const char16_t* value);
int iniWriteInt(const char* file, const char* section, const char* key, int value);
int iniWriteFloat(const char* file, const char* section, const char* key, float value);
// Removes the section with all its lines; an absent section is no error.
int iniDeleteSection(const char* file, const char* section);
// Writes an empty file of that name and drops it from the cache.
int iniClearFile(const char* file);
// Saves held changes first.
void iniFreeAll();

// Why the file cannot hold its values, as a log line says it ("is missing", "is empty", "ends
// inside a line: it was cut short", ...); null when it is whole.
const char* iniDamage(const char* file);
// Whether the file is missing (or its name is one no file can have); the answer is kept with the
// cached file, so asking it for every widget of a screen does not ask the disk again.
int iniMissing(const char* file);

// Heard at every save that fails, with the file's name (the full disk, the read-only folder).
void iniSetSaveFailedHook(void (*hook)(const char* file));
// The files whose changes are held in memory because they could not be saved yet.
int iniUnsavedCount();

// A save scope: writes made while one is open change the cached texts only, and the end of the
// outermost scope saves each changed file once, so several keys reach the disk together or not
// at all. Scopes nest. iniEndHold returns 1 when every held file was saved, else 0 (logged); a
// changed file keeps its place in the cache meanwhile (only when all ten are changed does the
// oldest go, saved as it leaves).
void iniHoldSaves();
int iniEndHold();

class IniSaveScope {
public:
    IniSaveScope() { iniHoldSaves(); }
    ~IniSaveScope() {
        if (!ended_) iniEndHold();
    }
    IniSaveScope(const IniSaveScope&) = delete;
    IniSaveScope& operator=(const IniSaveScope&) = delete;
    // Ends the scope early with iniEndHold's result.
    int end() {
        if (ended_) return 1;
        ended_ = true;
        return iniEndHold();
    }

private:
    bool ended_ = false;
};

// 0 when the two file names are equal with A-Z equal to a-z and '/' equal to '\'; a null name
// never matches.
int iniPathEqual(const char* a, const char* b);
// A hash of a file name that agrees with iniPathEqual: names equal there hash alike.
uint32_t iniPathHash(const char* name);
