// The INI store: cached reading and writing of INI files (8-bit or UTF-16 LE with a byte-order
// mark) by (file, section, key, default), and the lookup of visible texts in the translation file.
#pragma once

struct IniFile;

// The store keeps the texts of the ten most recently loaded files, first in first out: a hit
// does not refresh a file, and in engine debug mode every open loads the file again. Texts are
// parsed on demand; only section positions are remembered.
//
// String results live in four rotating buffers of 2048 bytes (2047 characters or 1023 UTF-16
// units, longer values are cut); a result stays valid until four further results are produced.
// A missing file, section or key gives the caller's default (returned as given; a null default
// reads as the empty text).

// The cached file, loaded when needed; null for an empty name or one longer than 255 characters.
IniFile* iniOpen(const char* file);

const char* iniGetString(const char* file, const char* section, const char* key, const char* def);
// The value by the C library's decimal conversion ("12px" is 12, "" and "abc" are 0); the
// default only when the key is absent.
int iniGetInt(const char* file, const char* section, const char* key, int def);
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

// Writers change the cached text, then save the whole file. They return 1 when the file was
// saved; 0 (and a log line) for bad arguments or when the file could not be written, in which
// case the change is kept in the cache only and goes to the disk with the next successful save.
int iniWriteString(const char* file, const char* section, const char* key, const char* value);
// Turns an 8-bit file into UTF-16 for good.
int iniWriteWide(const char* file, const char* section, const char* key, const char16_t* value);
int iniWriteInt(const char* file, const char* section, const char* key, int value);
int iniWriteFloat(const char* file, const char* section, const char* key, float value);
// Removes the section with all its lines; an absent section is no error.
int iniDeleteSection(const char* file, const char* section);
// Writes an empty file of that name and drops it from the cache.
int iniClearFile(const char* file);
void iniFreeAll();

// 0 when the two file names are equal with A-Z equal to a-z and '/' equal to '\'; a null name
// never matches.
int iniPathEqual(const char* a, const char* b);
