// Sound scripts (INI files naming each sound's files, group and ranges) and the current music.
#include <climits>
#include <cstdlib>
#include <cstring>

#include "core/strings.h"
#include "core/strmap.h"
#include "engine/data/ini.h"
#include "engine/platform/engine.h"
#include "engine/platform/log.h"
#include "engine/platform/platform.h"
#include "engine/snd/snd_internal.h"

namespace {

using Hold = std::lock_guard<std::recursive_mutex>;

const char kMain[] = "main";
// The table of each level's music, which the game reads from the music script by key: no sound.
const char kLevelTable[] = "Level";
const char kMusicList[] = "data/snd/music.ini";
enum { SECTION_LIST_BYTES = 32768 };

// The current music and the one queued to follow it once its fade-out ends.
sndSound* gMusic = nullptr;
struct QueuedMusic {
    sndSound* sound;
    int fadeMode;
    int loop;
    SndFadeCallback callback;
};
QueuedMusic gQueued = {nullptr, 0, 0, nullptr};
// Music names asked for that nothing defines: each is logged the first time only, since a
// screen may ask for its music every time it opens.
cStrMap<bool> gUnknownMusic;
// The last of them, checked first: a level retries its music every step while none plays, and
// that retry must not allocate.
char gLastUnknownMusic[SND_NAME_BYTES] = {};

// A key of the section, else of [main], else the built-in default.
int keyInt(const char* file, const char* section, const char* key) {
    return iniGetInt(file, section, key, iniGetInt(file, kMain, key, 0));
}

float keyFloat(const char* file, const char* section, const char* key) {
    return iniGetFloat(file, section, key, iniGetFloat(file, kMain, key, 0.0f));
}

void readSoundKeys(const char* file, const char* section, SndRecord* r) {
    r->group = keyInt(file, section, "mode") & 3;
    r->loop = (keyInt(file, section, "loop") & 1) != 0;
    r->once = (keyInt(file, section, "once") & 1) != 0;
}

// The voice keys of `section`; `sound` names the sound in the log.
void readVoiceKeys(const char* file, const char* section, const char* sound, SndVoice& v) {
    StrCopyN(v.fileName, iniGetString(file, section, "name", ""), SND_NAME_BYTES);
    if (!v.fileName[0]) logPrintf("sndLoadScript: %s: sound [%s] names no file\n", file, sound);
    v.pan = keyFloat(file, section, "pan");
    if (v.pan > 1.0f) {
        v.pan = 1.0f;
        errorBox("Sounds script: pan>1", "Warning", MB_OK | MB_ICONWARNING);
    }
    v.maxVolume = keyFloat(file, section, "maxvolume");
    if (v.maxVolume > 1.0f) {
        v.maxVolume = 1.0f;
        errorBox("Sounds script: maxVolume>1", "Warning", MB_OK | MB_ICONWARNING);
    }
    v.minVolume = keyFloat(file, section, "minvolume");
    v.maxFrequency = keyFloat(file, section, "maxfrq");
    v.minFrequency = keyFloat(file, section, "minfrq");
    if (v.maxFrequency == 0.0f) v.maxFrequency = v.minFrequency = 1.0f;
    const int64_t r = keyInt(file, section, "r");
    v.rangeSquared = r * r > INT_MAX ? INT_MAX : static_cast<int>(r * r);
    // Volume 0 is the default of "maxvolume", so a script that forgets it plays nothing.
    if (!(v.maxVolume > 0.0f))
        logPrintf("sndLoadScript: %s: sound [%s] has volume 0 and stays silent\n", file, sound);
}

// Music waits for its first play (see SndRecord::opensWhenPlayed); other sounds open now.
void openScripted(SndRecord* r, int voice) {
    r->opensWhenPlayed = r->group == SND_GROUP_MUSIC;
    if (!r->opensWhenPlayed) sndOpenVoice(r, voice);
}

void loadSound(const char* file, const char* section) {
    const char* name = iniGetString(file, section, "name", "");
    if (*name) {
        SndRecord* r = sndNewRecord(section, 1, 0);
        if (!r) return;
        r->scripted = true;
        readSoundKeys(file, section, r);
        readVoiceKeys(file, section, section, r->voices[0]);
        openScripted(r, 0);
        return;
    }
    SndRecord* r = sndNewRecord(section, SND_MAX_VOICES, 0);
    if (!r) return;
    r->scripted = true;
    readSoundKeys(file, section, r);
    for (int i = 0; i < SND_MAX_VOICES; ++i) {
        char key[16];
        formatString(key, sizeof key, "name%d", i);
        char variant[SND_NAME_BYTES];
        StrCopyN(variant, iniGetString(file, section, key, ""), sizeof variant);
        if (!variant[0]) {
            if (i == 0) logPrintf("sndLoadScript: %s: sound [%s] names no file\n", file, section);
            break;
        }
        r->voiceCount = i + 1;
        readVoiceKeys(file, variant, section, r->voices[i]);
        openScripted(r, i);
    }
    sndPickVoice(r);
}

// Calls `visit` for every section name of the file, in file order.
template <class Visit>
void forEachSection(const char* file, Visit visit) {
    char* names = static_cast<char*>(malloc(SECTION_LIST_BYTES));
    if (!names) return;
    iniGetSections(file, names, SECTION_LIST_BYTES);
    if (!names[0]) logPrintf("sound script %s: no sections (missing or empty)\n", file ? file : "");
    for (const char* s = names; *s; s += strlen(s) + 1) visit(s);
    free(names);
}

// Every section is a sound but the defaults and the levels' music table.
bool isSound(const char* section) {
    return strCmpNoCase(section, kMain) != 0 && strCmpNoCase(section, kLevelTable) != 0;
}

void forgetQueued() {
    if (gQueued.sound) sndRelease(gQueued.sound);
    gQueued = {nullptr, 0, 0, nullptr};
}

}  // namespace

void sndLoadScript(const char* file) {
    Hold hold(sndLibraryLock());
    forEachSection(file, [file](const char* section) {
        if (isSound(section)) loadSound(file, section);
    });
}

void sndUnloadScript(const char* file) {
    Hold hold(sndLibraryLock());
    forEachSection(file, [](const char* section) {
        if (isSound(section)) sndRemove(sndFind(section, true));
    });
}

sndSound* sndLoadMusic(const char* name) {
    Hold hold(sndLibraryLock());
    if (!name) return nullptr;
    const size_t n = strlen(name);
    if (n >= 4 && strcmp(name + n - 4, ".ogg") == 0) return sndGetSound(name, SND_GROUP_MUSIC);
    if (sndSound* sound = sndGetSound(name, SND_GROUP_MUSIC)) return sound;
    char file[SND_NAME_BYTES];
    StrCopyN(file, iniGetString(kMusicList, name, "name", ""), sizeof file);
    sndSound* sound = sndGetSound(file, SND_GROUP_MUSIC);
    const float volume = iniGetFloat(kMusicList, name, "maxvolume", 0.0f);
    if (sound && volume > 0.01f) sndSetVolume(sound, volume);
    if (!sound && strcmp(name, gLastUnknownMusic) != 0) {
        StrCopyN(gLastUnknownMusic, name, sizeof gLastUnknownMusic);
        if (gUnknownMusic.Insert(name, true))
            logPrintf("sndLoadMusic: no music \"%s\": no sound script nor %s has it\n", name,
                      kMusicList);
    }
    return sound;
}

void sndPlayMusic(const char* name, int fadeMode, int loop, SndFadeCallback callback) {
    Hold hold(sndLibraryLock());
    SndRecord* current = sndResolve(gMusic);
    if (!current) gMusic = nullptr;
    const bool named = name && *name;
    if (current && named && iniPathEqual(name, current->name) != 0) {
        if (sndIsPlaying(gMusic) && (fadeMode & (SND_FADE_IN_FILE | SND_FADE_OUT))) {
            // A switch already under way gives up its queued music for this one.
            forgetQueued();
            gQueued = {sndLoadMusic(name), fadeMode, loop, callback};
            sndSetFade(gMusic, SND_FADE_OUT | SND_FADE_END_TIMER, sndSwitchMusic);
            sndPlaySound(gMusic, -1);
            return;
        }
        sndRelease(gMusic);
        gMusic = nullptr;
        forgetQueued();
    } else if (current) {
        if (!sndIsPlaying(gMusic)) {
            if (fadeMode) sndSetFade(gMusic, fadeMode, callback);
            sndPlaySound(gMusic, loop);
        } else if (current->fadeMode & SND_FADE_OUT) {
            // Asked for while it fades out (to a stop or to another music): it stays, coming back
            // up over a second instead of going silent.
            forgetQueued();
            sndSetFade(gMusic, SND_FADE_IN | SND_FADE_END_TIMER, callback);
        }
        return;
    }
    gMusic = sndLoadMusic(name);
    if (fadeMode) sndSetFade(gMusic, fadeMode, callback);
    sndPlaySound(gMusic, loop);
}

void sndSwitchMusic(sndSound*) {
    Hold hold(sndLibraryLock());
    if (!sndResolve(gQueued.sound)) {
        gQueued = {nullptr, 0, 0, nullptr};
        sndStop(gMusic);
        return;
    }
    const QueuedMusic next = gQueued;
    gQueued = {nullptr, 0, 0, nullptr};
    sndSetFade(next.sound, next.fadeMode, next.callback);
    sndPlaySound(next.sound, next.loop);
    if (gMusic != next.sound) sndRelease(gMusic);
    gMusic = next.sound;
}

void sndStopMusic(int fade) {
    Hold hold(sndLibraryLock());
    SndRecord* current = sndResolve(gMusic);
    if (!current || !sndIsPlaying(gMusic)) return;
    if (!fade) sndStop(gMusic);
    else if (!(current->fadeMode & SND_FADE_OUT))
        sndSetFade(gMusic, SND_FADE_OUT | SND_FADE_END_TIMER, sndStop);
}

void sndStopMusicNow() {
    Hold hold(sndLibraryLock());
    forgetQueued();
    sndRelease(gMusic);
    gMusic = nullptr;
}

int sndIsMusicPlaying() {
    Hold hold(sndLibraryLock());
    return sndIsPlaying(gMusic);
}

void sndResumeMusic(int loop) {
    Hold hold(sndLibraryLock());
    if (!sndIsPlaying(gMusic)) sndPlaySound(gMusic, loop);
}
