// The user folder and typed access to the per-user INI files: profile.ini (one section per
// player), profgame.ini (settings that override game.ini) and scores.ini (high scores).
#pragma once

// Builds the user folder from $XDG_DATA_HOME (else ~/.local/share) and game.ini [main] "path"
// (or "name" when "path" is empty; characters other than 0-9, A-Z and a-z become spaces) and
// creates it when missing. A folder that cannot be made or written stays the user folder (read
// where it is; userFolderWritable says 0); without a data folder, a name or with a name too long
// the files live in the program folder (the current directory at this call).
void userFolderCreate();
// The folder the three files are read from and written to.
void getUserFolder(char* buffer, int size);
// 0 when the user folder was found read-only or could not be made: nothing can be saved there.
int userFolderWritable();

// Profile keys are "group_key" in the current player's section of profile.ini. Without a current
// player the getters leave their outputs untouched and the setters write nothing (they return 0).
// Setters return 1 when the file was saved. Keys that belong together are written inside one
// IniSaveScope (ini.h), so that a crash keeps either all of them or none.

// Makes the name the current player and stores it as main_name; 0 for an empty name.
int profileSelect(const char* name);
int profileCount();
// The n-th player (section) in file order; the buffer is left as it was when n is out of range.
void profileName(int n, char* buffer, int size);
// 1 when profile.ini has a section of that name (A-Z equal to a-z).
int profileFind(const char* name);
// Removes the player's section; deleting the current player leaves no current player.
void profileDelete(const char* name);

// An empty value gives the default; a number outside [min, max] gives the default.
void profileGetInt(const char* group, const char* key, int* out, int min, int max, int def);
void profileGetFloat(const char* group, const char* key, float* out, float min, float max,
                     float def);
// The value cut to size - 1 characters (empty default); a size below 2 gives the empty text.
void profileGetString(const char* group, const char* key, char* buffer, int size);
void profileGetWide(const char* group, const char* key, char16_t* buffer, int size);
int profileSetInt(const char* group, const char* key, int value);
int profileSetFloat(const char* group, const char* key, float value);
int profileSetString(const char* group, const char* key, const char* value);
int profileSetWide(const char* group, const char* key, const char16_t* value);

// profgame.ini with game.ini (0 or empty when neither has the key) as the fallback; the value is
// stored in out (when not null) and returned.
int profGameGetInt(const char* section, const char* key, int* out);
float profGameGetFloat(const char* section, const char* key, float* out);
void profGameGetString(const char* section, const char* key, char* buffer, int size);
int profGameSetInt(const char* section, const char* key, int value);
int profGameSetFloat(const char* section, const char* key, float value);
int profGameSetString(const char* section, const char* key, const char* value);

// scores.ini, default 0 or empty.
int scoresGetInt(const char* section, const char* key, int* out);
void scoresGetString(const char* section, const char* key, char* buffer, int size);
void scoresGetWide(const char* section, const char* key, char16_t* buffer, int size);
int scoresSetInt(const char* section, const char* key, int value);
int scoresSetString(const char* section, const char* key, const char* value);
int scoresSetWide(const char* section, const char* key, const char16_t* value);
