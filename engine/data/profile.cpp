// The profile store: the user folder and the typed getters and setters over the per-user files.
//
// Each file is reached by its full path in the user folder instead of switching the process's
// current directory around every call; the INI cache holds the files under those paths.
#include "engine/data/profile.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "core/strings.h"
#include "engine/data/file.h"
#include "engine/data/file_internal.h"
#include "engine/data/ini.h"
#include "engine/platform/log.h"

namespace {

const int kPath = 1024;
const int kIniName = 255;  // the INI store keeps no longer file names
const int kListBytes = 16384;

char gProgramFolder[kPath];
// The folder in use; empty means the bare names, relative to the program folder.
char gFolder[kPath];
char gPlayer[256];
// False when the user folder in use cannot be written: its players are read, nothing is saved.
bool gWritable = true;

void filePath(const char* bare, char* out) {
    if (gFolder[0]) {
        formatString(out, kPath, "%s/%s", gFolder, bare);
    } else {
        StrCopyN(out, bare, kPath);
    }
}

struct UserFile {
    explicit UserFile(const char* bare) { filePath(bare, path); }
    char path[kPath];
};

bool makeFolder(const char* path, mode_t mode) {
    struct stat st {};
    if (stat(path, &st) == 0) {
        if (!S_ISDIR(st.st_mode)) errno = ENOTDIR;
        return S_ISDIR(st.st_mode);
    }
    return mkdir(path, mode) == 0 || errno == EEXIST;
}

// Creates every missing folder of an absolute path.
bool makeFolders(const char* path, mode_t mode) {
    char partial[kPath];
    StrCopyN(partial, path, kPath);
    for (char* p = partial + 1; *p; ++p) {
        if (*p != '/') continue;
        *p = '\0';
        bool ok = makeFolder(partial, mode);
        *p = '/';
        if (!ok) return false;
    }
    return makeFolder(partial, mode);
}

bool dataHome(char* out) {
    const char* xdg = getenv("XDG_DATA_HOME");
    if (xdg && xdg[0] == '/') return formatString(out, kPath, "%s", xdg) < kPath - 1;
    const char* home = getenv("HOME");
    if (!home || home[0] != '/') return false;
    return formatString(out, kPath, "%s/.local/share", home) < kPath - 1;
}

void profileKey(const char* group, const char* key, char* out) {
    formatString(out, 288, "%s_%s", group ? group : "", key ? key : "");
}

void copyWide(const char16_t* value, char16_t* buffer, int size) {
    int n = 0;
    for (; n < size - 1 && value[n]; ++n) buffer[n] = value[n];
    buffer[n] = 0;
}

// The n-th name of a zero-separated list, or null.
const char* listName(const char* list, int n) {
    for (int i = 0; *list; list += strlen(list) + 1, ++i)
        if (i == n) return list;
    return nullptr;
}

const char* playerList() {
    static char list[kListBytes];
    iniGetSections(UserFile("profile.ini").path, list, kListBytes);
    return list;
}

// Settles the folder of the three files: the user folder, else the program folder.
void chooseFolder() {
    if (!getcwd(gProgramFolder, kPath)) gProgramFolder[0] = '\0';
    gFolder[0] = '\0';

    char name[256];
    StrCopyN(name, iniGetString("game.ini", "main", "path", ""), sizeof name);
    if (!name[0]) StrCopyN(name, iniGetString("game.ini", "main", "name", ""), sizeof name);
    for (char* p = name; *p; ++p) {
        char c = *p;
        bool plain = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
        if (!plain) *p = ' ';
    }
    if (!name[0]) {
        logPrintf("profile: game.ini names no user folder; using the program folder\n");
        return;
    }

    char base[kPath], folder[kPath], resolved[kPath];
    if (!dataHome(base) || !makeFolders(base, 0700)) {
        logPrintf("profile: no user data folder; using the program folder\n");
        return;
    }
    formatString(folder, kPath, "%s/%s", base, name);
    // An existing folder whose name differs only in case is the same folder.
    if (!fileResolvePath(folder, resolved, kPath, 1)) StrCopyN(resolved, folder, kPath);
    if (strlen(resolved) + strlen("/profgame.ini") > static_cast<size_t>(kIniName)) {
        logPrintf("profile: the user folder's name %s is too long; using the program folder\n",
                  resolved);
        return;
    }
    // A folder that cannot be made or written (read-only, or another user's) stays the folder:
    // the players stored there are read where they are, and the game says that nothing it
    // changes can be saved, rather than moving the settings elsewhere.
    char probe[kPath];
    formatString(probe, kPath, "%s/profile.ini", resolved);
    if (!makeFolder(resolved, 0755)) {
        logPrintf("profile: cannot make the user folder %s: %s; progress cannot be saved\n",
                  resolved, strerror(errno));
        gWritable = false;
    } else if (access(resolved, W_OK | X_OK) != 0 || (gFileSaveFault && gFileSaveFault(probe))) {
        logPrintf("profile: the user folder %s cannot be written; its players are read, but "
                  "progress cannot be saved\n", resolved);
        gWritable = false;
    }
    StrCopyN(gFolder, resolved, kPath);
}

}  // namespace

void userFolderCreate() {
    gWritable = true;
    chooseFolder();
    // Saves a crash or a kill cut short leave their temporary files; they go at the next start.
    static const char* const kFiles[] = {"profile.ini", "profgame.ini", "scores.ini"};
    for (const char* bare : kFiles) fileSweepTemps(UserFile(bare).path);
}

void getUserFolder(char* buffer, int size) {
    StrCopyN(buffer, gFolder[0] ? gFolder : gProgramFolder, size);
}

int userFolderWritable() { return gWritable ? 1 : 0; }

int profileSelect(const char* name) {
    if (!name || !*name) return 0;
    StrCopyN(gPlayer, name, sizeof gPlayer);
    profileSetString("main", "name", gPlayer);
    return 1;
}

int profileCount() {
    int n = 0;
    for (const char* p = playerList(); *p; p += strlen(p) + 1) ++n;
    return n;
}

void profileName(int n, char* buffer, int size) {
    const char* name = listName(playerList(), n);
    if (name && n >= 0) StrCopyN(buffer, name, size);
}

int profileFind(const char* name) {
    if (!name || !*name) return 0;
    for (const char* p = playerList(); *p; p += strlen(p) + 1)
        if (strCmpNoCase(p, name) == 0) return 1;
    return 0;
}

void profileDelete(const char* name) {
    if (!name || !*name) return;
    iniDeleteSection(UserFile("profile.ini").path, name);
    if (strCmpNoCase(name, gPlayer) == 0) gPlayer[0] = '\0';
}

namespace {
// The current player's stored text of a profile key; empty when absent. Null without a player,
// and then the getters leave their output alone.
const char* playerValue(const char* group, const char* key) {
    if (!gPlayer[0]) return nullptr;
    char k[288];
    profileKey(group, key, k);
    return iniGetString(UserFile("profile.ini").path, gPlayer, k, "");
}
}  // namespace

void profileGetInt(const char* group, const char* key, int* out, int min, int max, int def) {
    const char* value = out ? playerValue(group, key) : nullptr;
    if (!value) return;
    long n = *value ? strtol(value, nullptr, 10) : 0;
    *out = !*value || n < min || n > max ? def : static_cast<int>(n);
}

void profileGetFloat(const char* group, const char* key, float* out, float min, float max,
                     float def) {
    const char* value = out ? playerValue(group, key) : nullptr;
    if (!value) return;
    float n = *value ? strtof(value, nullptr) : 0;
    *out = *value && n >= min && n <= max ? n : def;
}

void profileGetString(const char* group, const char* key, char* buffer, int size) {
    if (!gPlayer[0] || !buffer || size < 1) return;
    if (size < 2) {
        buffer[0] = '\0';
        return;
    }
    char k[288];
    profileKey(group, key, k);
    StrCopyN(buffer, iniGetString(UserFile("profile.ini").path, gPlayer, k, ""), size);
}

void profileGetWide(const char* group, const char* key, char16_t* buffer, int size) {
    if (!gPlayer[0] || !buffer || size < 1) return;
    char k[288];
    profileKey(group, key, k);
    copyWide(iniGetWide(UserFile("profile.ini").path, gPlayer, k, u""), buffer, size);
}

int profileSetInt(const char* group, const char* key, int value) {
    if (!gPlayer[0]) return 0;
    char k[288];
    profileKey(group, key, k);
    return iniWriteInt(UserFile("profile.ini").path, gPlayer, k, value);
}

int profileSetFloat(const char* group, const char* key, float value) {
    if (!gPlayer[0]) return 0;
    char k[288];
    profileKey(group, key, k);
    return iniWriteFloat(UserFile("profile.ini").path, gPlayer, k, value);
}

int profileSetString(const char* group, const char* key, const char* value) {
    if (!gPlayer[0]) return 0;
    char k[288];
    profileKey(group, key, k);
    return iniWriteString(UserFile("profile.ini").path, gPlayer, k, value);
}

int profileSetWide(const char* group, const char* key, const char16_t* value) {
    if (!gPlayer[0]) return 0;
    char k[288];
    profileKey(group, key, k);
    return iniWriteWide(UserFile("profile.ini").path, gPlayer, k, value);
}

int profGameGetInt(const char* section, const char* key, int* out) {
    int fallback = iniGetInt("game.ini", section, key, 0);
    int value = iniGetInt(UserFile("profgame.ini").path, section, key, fallback);
    if (out) *out = value;
    return value;
}

float profGameGetFloat(const char* section, const char* key, float* out) {
    float fallback = iniGetFloat("game.ini", section, key, 0.0f);
    float value = iniGetFloat(UserFile("profgame.ini").path, section, key, fallback);
    if (out) *out = value;
    return value;
}

void profGameGetString(const char* section, const char* key, char* buffer, int size) {
    const char* fallback = iniGetString("game.ini", section, key, "");
    StrCopyN(buffer, iniGetString(UserFile("profgame.ini").path, section, key, fallback), size);
}

int profGameSetInt(const char* section, const char* key, int value) {
    return iniWriteInt(UserFile("profgame.ini").path, section, key, value);
}

int profGameSetFloat(const char* section, const char* key, float value) {
    return iniWriteFloat(UserFile("profgame.ini").path, section, key, value);
}

int profGameSetString(const char* section, const char* key, const char* value) {
    return iniWriteString(UserFile("profgame.ini").path, section, key, value);
}

int scoresGetInt(const char* section, const char* key, int* out) {
    int value = iniGetInt(UserFile("scores.ini").path, section, key, 0);
    if (out) *out = value;
    return value;
}

void scoresGetString(const char* section, const char* key, char* buffer, int size) {
    StrCopyN(buffer, iniGetString(UserFile("scores.ini").path, section, key, ""), size);
}

void scoresGetWide(const char* section, const char* key, char16_t* buffer, int size) {
    if (!buffer || size < 1) return;
    copyWide(iniGetWide(UserFile("scores.ini").path, section, key, u""), buffer, size);
}

int scoresSetInt(const char* section, const char* key, int value) {
    return iniWriteInt(UserFile("scores.ini").path, section, key, value);
}

int scoresSetString(const char* section, const char* key, const char* value) {
    return iniWriteString(UserFile("scores.ini").path, section, key, value);
}

int scoresSetWide(const char* section, const char* key, const char16_t* value) {
    return iniWriteWide(UserFile("scores.ini").path, section, key, value);
}
