// The run-long game records: way points, school items, heroes, effects, comics, hand objects,
// room sprites and their loaders.
#include "game/game_data.h"

#include <cstdlib>
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "engine/data/file.h"
#include "engine/data/ini.h"
#include "engine/gr/gr_util.h"
#include "engine/platform/engine.h"
#include "engine/platform/log.h"
#include "engine/platform/platform.h"
#include "anim/comics.h"
#include "anim/flying.h"
#include "anim/fx_effects.h"
#include "world/jenny.h"
#include "world/links.h"
#include "world/maid.h"
#include "world/porter.h"

cArray<cMapWayPoint> gWayPoints;
cArray<cSchoolItem*> gSchoolItems;
cArray<HSPRITE> gRoomSprites;
bool gGameFinished = false;
cJenny* gJenny = nullptr;
cMaid* gMaid = nullptr;
cPorter* gPorter = nullptr;
char16_t gComboText[kComboTextSize] = {};
CGraphFont* gComboFont = nullptr;
FxManager* gFxManager = nullptr;
FlyingTips* gFlyingTips = nullptr;
cStrMap<cHandObject*> gHandObjects;

namespace {

const char kSharedIni[] = "Data/shared.ini";
const char kSchoolIni[] = "Data/Menu/UISchool/items.ini";
const char kTranslationIni[] = "Data/translation.ini";
const char kRoomSpritesIni[] = "Data/Episodes/e1/objects.ini";
const char kHandObjectsIni[] = "Data/HandObj/HandObjects.ini";
const int kEpisodeFiles = 4;
const int kHandObjectPath = 512;
const int kWayPointValue = 100;

int nonNegative(int n) { return n < 0 ? 0 : n; }

// The value of the key, or null when the key is absent (an empty value is not absent).
const char* presentValue(const char* file, const char* section, const char* key) {
    static const char absent[] = "";
    const char* value = iniGetString(file, section, key, absent);
    return value == absent ? nullptr : value;
}

cMapWayPoint readWayPoint(const char* value) {
    TokenList parts = TokenList::Split(value, ',');
    if (parts.Count() != 4) return cMapWayPoint();
    int32_t kind = cMapWayPoint::kUnreadable;
    if (strcmp(parts.At(0), "level") == 0) kind = cMapWayPoint::kLevel;
    if (strcmp(parts.At(0), "mini") == 0) kind = cMapWayPoint::kMiniGame;
    auto number = [&](uint32_t i) {
        return static_cast<int32_t>(strtol(parts.At(i), nullptr, 10));
    };
    return cMapWayPoint(number(1), kind, Point2i(number(2), number(3)));
}

// Every section name of the file, however many: the list can never outgrow the file itself.
std::vector<char> sectionNames(const char* file) {
    unsigned char* text = nullptr;
    int size = fileLoad(file, &text);
    memFree(text);
    std::vector<char> names(static_cast<size_t>(size) + 2, '\0');
    iniGetSections(file, names.data(), static_cast<int>(names.size()));
    return names;
}

// The object's grant from the first episode's objects file that names it; false when none does.
bool findGrant(const char* section, cSchoolBonus* grant) {
    for (int e = 1; e <= kEpisodeFiles; ++e) {
        char file[64];
        formatString(file, sizeof file, "Data/Episodes/e%d/objects.ini", e);
        const char* name = presentValue(file, section, "name");
        if (!name) continue;
        grant->section = section;
        grant->name = name;
        grant->type = iniGetString(file, section, "type", "");
        return true;
    }
    return false;
}

std::u16string translation(const char* format, const char* name) {
    char key[300];
    formatString(key, sizeof key, format, name);
    return iniGetWideGlobal(kTranslationIni, key);
}

cSchoolItem* readSchoolItem(const char* section) {
    auto* item = new cSchoolItem;
    auto integer = [&](const char* key) { return iniGetInt(kSchoolIni, section, key, 0); };
    item->type = iniGetString(kSchoolIni, section, "type", "");
    item->hero = iniGetString(kSchoolIni, section, "hero", "");
    item->name = section;
    item->iconNormal = iniReadAnimSprite(kSchoolIni, section, "icon_normal");
    item->iconDisabled = iniReadAnimSprite(kSchoolIni, section, "icon_disabled");
    item->price = nonNegative(integer("price"));
    item->bonusAbility = integer("bonus.ability");
    item->bonusWaitTime = static_cast<uint8_t>(nonNegative(integer("bonus.wait_time")));
    item->bonusService = static_cast<uint8_t>(nonNegative(integer("bonus.service")));
    item->bonusText = iniGetString(kSchoolIni, section, "bonus.text", "");
    item->allowedFromLevel = static_cast<uint8_t>(nonNegative(integer("allowed_from_level")));
    item->grade = static_cast<uint8_t>(nonNegative(integer("grade")));
    TokenList objects = TokenList::Split(iniGetString(kSchoolIni, section, "objects", ""), ',');
    for (uint32_t j = 0; j < objects.Count(); ++j) {
        cSchoolBonus grant;
        if (findGrant(objects.At(j), &grant)) {
            item->grants.push_back(grant);
        } else {
            logPrintf("school: item %s grants %s, which no episode's objects file has\n", section,
                      objects.At(j));
        }
    }
    item->replaceCosts =
        TokenList::Split(iniGetString(kSchoolIni, section, "replace_costs", ""), ',');
    item->description = translation("#SCHOOL_ITEM_DESCRIPTION_%s", section);
    item->bonusDescription = translation("#SCHOOL_ITEM_BONUS_DESCRIPTION_%s", section);
    return item;
}

// The world's view of a hand object: the direction's sprite and its offset.
bool handObjectView(const char* key, int direction, HandObjectView* out) {
    const AnimDesc* entry = FindHandObjectEntry(key, direction);
    if (!entry) return false;
    out->sprite = entry->sprite;
    out->offset = Point2i(entry->spr_x, entry->spr_y);
    out->flipx = entry->flipx;
    out->flipy = entry->flipy;
    return true;
}

// The file format with each "%s" replaced by the name and "%%" by '%'; anything else is copied as
// it stands, so a format from the data can never read arguments that are not there.
void fillNameFormat(char* out, size_t size, const char* format, const char* name) {
    std::string path;
    for (const char* p = format; *p; ++p) {
        if (p[0] == '%' && p[1] == 's') {
            path += name;
            ++p;
        } else if (p[0] == '%' && p[1] == '%') {
            path += '%';
            ++p;
        } else {
            path += *p;
        }
    }
    if (path.size() >= size)
        logPrintf("%s: the hand object path \"%s\" is cut to %d characters\n", kHandObjectsIni,
                  path.c_str(), static_cast<int>(size - 1));
    StrCopyN(out, path.c_str(), static_cast<int>(size));
}

template <class Hero>
void rebuildHero(Hero*& hero, const char* file) {
    deleteAndNull(hero);
    hero = new Hero;
    hero->Load(file);
}

}  // namespace

cSchoolItem::~cSchoolItem() {
    spriteFree(&iconNormal);
    spriteFree(&iconDisabled);
}

void LoadWayPoints() {
    for (int n = 0;; ++n) {
        char key[16];
        formatString(key, sizeof key, "%d", n);
        char value[kWayPointValue];
        if (!iniReadString(value, sizeof value, kSharedIni, "WayPoints", key)) break;
        cMapWayPoint point = readWayPoint(value);
        if (point.GetKind() == cMapWayPoint::kUnreadable) {
            logPrintf("game data: way point %d (\"%s\") is unreadable; the map ends there\n", n,
                      value);
            break;
        }
        gWayPoints.push_back(point);
    }
    // Without a way point no level can start: the game would end at once without a word.
    if (gWayPoints.size() == 0) {
        const char* why = iniDamage(kSharedIni);
        char text[512];
        formatString(text, sizeof text,
                     "%s %s: its map has no way point, so no level can be played. Reinstalling "
                     "the game mends it.",
                     kSharedIni, why ? why : "holds no [WayPoints]");
        errorBox(text, "Velmora: damaged game data", MB_OK | MB_ICONERROR);
    }
}

void LoadSchoolItems() {
    std::vector<char> names = sectionNames(kSchoolIni);
    for (const char* p = names.data(); *p; p += strlen(p) + 1)
        gSchoolItems.push_back(readSchoolItem(p));
}

void cHandObject::Load(const char* iniFile) {
    static const char* const kNames[kDirections] = {
        "Stand", "Left", "UpLeft", "Up", "UpRight", "Right", "DownRight", "Down", "DownLeft"};
    for (int i = 0; i < kDirections; ++i) anims_[i].Load(iniFile, kNames[i]);
}

const AnimDesc* cHandObject::Entry(int direction) const {
    return direction >= 0 && direction < kDirections ? &anims_[direction] : nullptr;
}

void LoadHeroes() {
    rebuildHero(gJenny, "data/Heroes/Jenny/Jenny.ini");
    rebuildHero(gMaid, "data/Heroes/Maid/Maid.ini");
    rebuildHero(gPorter, "data/Heroes/Porter/Porter.ini");
    std::fill(gComboText, gComboText + kComboTextSize, u'\0');
    if (const char16_t* combo = iniGetWideGlobal(kTranslationIni, "#COMBO"))
        for (int i = 0; i < kComboTextSize - 1 && combo[i]; ++i) gComboText[i] = combo[i];
    // Fonts are shared by name: loading again and dropping the old reference keeps one.
    CGraphFont* previous = gComboFont;
    gComboFont = grLoadFont(iniGetString(kSharedIni, "GameWindow", "combo_font", ""), nullptr);
    if (previous) grFreeFont(previous);
}

void LoadFxList() {
    deleteAndNull(gFxManager);
    gFxManager = new FxManager;
    gFxManager->Load(kFxIni);
    deleteAndNull(gFlyingTips);
    gFlyingTips = new FlyingTips;
    gFlyingTips->Load(kFxIni);
    // The heroes copy their trails from the manager and the world launches tips through these.
    worldSetFxManager(gFxManager);
    worldSetFlyingTips(gFlyingTips);
}

void ResetFx() {
    if (gFxManager) gFxManager->Stop();
    if (gFlyingTips) gFlyingTips->Clear();
}

void CreateComicsManager() {
    if (gComics) return;
    gComics = new cComicsManager;
    gComics->LoadAll();
}

void LoadHandObjects() {
    char format[kHandObjectPath];
    StrCopyN(format, iniGetString(kHandObjectsIni, "Main", "fname_format", ""), sizeof format);
    TokenList names = TokenList::Split(iniGetString(kHandObjectsIni, "Main", "objects", ""), ',');
    for (uint32_t i = 0; i < names.Count(); ++i) {
        const char* name = names.At(i);
        if (gHandObjects.FindValue(name)) continue;
        char path[kHandObjectPath];
        fillNameFormat(path, sizeof path, format, name);
        auto* object = new cHandObject;
        object->Load(path);
        gHandObjects.Set(name, object);
    }
    worldSetHandObjects(handObjectView);
}

const AnimDesc* FindHandObjectEntry(const char* name, int direction) {
    if (!name || !*name) return nullptr;
    cHandObject** object = gHandObjects.FindValue(name);
    return object ? (*object)->Entry(direction) : nullptr;
}

void LoadRoomSprites() {
    if (gRoomSprites.size() > 0 && gRoomSprites[0]) return;
    // A set that failed before is read again whole, never appended to.
    for (uint32_t i = 0; i < gRoomSprites.size(); ++i) spriteFree(&gRoomSprites[i]);
    gRoomSprites.clear();
    static const char* const keys[] = {"single_room_spr", "double_room_spr", "luxe_room_spr",
                                       "president_room_spr"};
    for (const char* key : keys)
        gRoomSprites.push_back(iniReadAnimSprite(kRoomSpritesIni, "Main", key));
    worldSetRoomSprites(GetRoomSprite);
}

HSPRITE GetRoomSprite(int kind) {
    if (kind < 0 || static_cast<uint32_t>(kind) >= gRoomSprites.size()) return nullptr;
    return gRoomSprites[static_cast<uint32_t>(kind)];
}

void FreeGameData() {
    deleteAndNull(gJenny);
    deleteAndNull(gMaid);
    deleteAndNull(gPorter);
    std::fill(gComboText, gComboText + kComboTextSize, u'\0');
    worldSetFxManager(nullptr);
    worldSetFlyingTips(nullptr);
    deleteAndNull(gFxManager);
    deleteAndNull(gFlyingTips);
    deleteAndNull(gComics);
    worldSetHandObjects(nullptr);
    for (cStrMap<cHandObject*>::Iterator it = gHandObjects.Begin(); !it.AtEnd(); it.Next())
        delete it.Node()->value;
    gHandObjects.clear();
    worldSetRoomSprites(nullptr);
    for (uint32_t i = 0; i < gRoomSprites.size(); ++i) spriteFree(&gRoomSprites[i]);
    gRoomSprites.clear();
    for (uint32_t i = 0; i < gSchoolItems.size(); ++i) deleteAndNull(gSchoolItems[i]);
    gSchoolItems.clear();
    gGameFinished = false;
}

bool IsEpisodeStart(uint32_t i) {
    if (i == 0) return true;
    if (i >= gWayPoints.size()) return false;
    return gWayPoints[i - 1].GetEpisode() != gWayPoints[i].GetEpisode();
}

cArray<uint32_t> EpisodeEnds() {
    cArray<uint32_t> ends;
    for (uint32_t i = 0; i < gWayPoints.size(); ++i)
        if (i + 1 == gWayPoints.size() || IsEpisodeStart(i + 1)) ends.push_back(i);
    return ends;
}
