// The object factory: the class by the section's "type", bonuses and grow-in of new items; the
// class of a guest's companion by its kind.
#include "world/factory.h"

#include <cstring>

#include "core/text.h"
#include "engine/data/ini.h"
#include "engine/platform/log.h"
#include "world/level_object.h"
#include "world/pair.h"

namespace {

ProfileLink* gProfile = nullptr;
LevelObjectMaker gMakers[kLevelObjectTypes] = {};
const char* const kTypeNames[kLevelObjectTypes] = {"flower", "musician", "room",
                                                   "cash",   "gift",     "sweets"};

void objectsFile(char* out, size_t size, int episode) {
    safeSnprintf(out, size, "Data/Episodes/e%d/objects.ini", episode);
}

// The owned item of that type named like the section; null when none.
const ObjectItemInfo* ownedItem(const ProfileLink& profile, const char* type, const char* section) {
    for (int i = 0; i < profile.ObjectItemCount(); ++i) {
        const ObjectItemInfo* item = profile.ObjectItem(i);
        if (item && strcmp(item->type.c_str(), type) == 0 &&
            strcmp(item->name.c_str(), section) == 0)
            return item;
    }
    return nullptr;
}

bool listed(const TokenList& list, const char* token) {
    for (uint32_t i = 0; i < list.Count(); ++i)
        if (strcmp(list.At(i), token) == 0) return true;
    return false;
}

}  // namespace

ProfileLink* worldProfile() { return gProfile; }
void worldSetProfile(ProfileLink* profile) { gProfile = profile; }

void worldSetObjectMaker(LevelObjectType type, LevelObjectMaker maker) {
    if (type >= 0 && type < kLevelObjectTypes) gMakers[type] = maker;
}

cLevelObj* createLevelObject(const char* section, const ShopItemInfo* shopItem) {
    ProfileLink* profile = gProfile;
    if (!profile || !section || !*section) return nullptr;
    char file[256], levels[256];
    objectsFile(file, sizeof file, profile->Episode());
    safeSnprintf(levels, sizeof levels, "Data/Episodes/e%d/levels.ini", profile->Episode());
    const char* type = iniGetString(file, section, "type", "");
    cLevelObj* object = nullptr;
    for (int t = 0; t < kLevelObjectTypes && !object; ++t) {
        if (strCmpNoCase(type, kTypeNames[t]) != 0) continue;
        const ObjectItemInfo* item = nullptr;
        if (t == kTypeRoom || t == kTypeGift || t == kTypeSweets) {
            item = ownedItem(*profile, kTypeNames[t], section);
            if (!item) break;
        }
        if (gMakers[t]) object = gMakers[t](file, section, levels, profile->Level(), item);
    }
    if (!object) {
        object = new cLevelObj();
        object->Load(file, section);
    }
    object->SetObjectsSection(section);
    if (shopItem && shopItem->flag == 0)
        object->SetBonuses(shopItem->timeBonus, shopItem->priceBonus);
    return object;
}

int createActionObject(cLevelObj** out, int capacity) {
    ProfileLink* profile = gProfile;
    if (!profile || !out || capacity <= 0) return 0;
    char file[256];
    objectsFile(file, sizeof file, profile->Episode());
    const TokenList previous = TokenList::Split(profile->PreviousShopItems(), ',');
    const TokenList current = TokenList::Split(profile->CurrentShopItems(), ',');

    int count = 0;
    for (int i = 0; i < profile->ObjectItemCount(); ++i) {
        const ObjectItemInfo* item = profile->ObjectItem(i);
        if (!item) continue;
        const bool withAction = *iniGetString(file, item->name.c_str(), "action", "") != 0;
        if (count + (withAction ? 2 : 1) > capacity) {
            logPrintf("%s: more than %d level objects; \"%s\" and those after it are left out\n",
                      file, capacity, item->name.c_str());
            break;
        }
        cLevelObj* object = createLevelObject(item->name.c_str(), item->shopItem);
        if (!object) continue;
        out[count++] = object;
        if (withAction) {
            // The action's section may be long; the INI store's buffers rotate, so copy it.
            char section[256];
            StrCopyN(section, iniGetString(file, item->name.c_str(), "action", ""), sizeof section);
            cActionObj* action = new cActionObj();
            action->Load(file, section);
            out[count++] = action;
            object->SetActionObject(action);
        }
        if (item->shopItem) {
            const char* name = item->shopItem->name.c_str();
            const size_t length = strlen(name);
            for (uint32_t k = 0; k < current.Count(); ++k)
                if (!listed(previous, current.At(k)) && strncmp(current.At(k), name, length) == 0)
                    object->SetGrow(0.0f);
        }
    }
    for (int i = 0; i < count; ++i)
        for (int j = i + 1; j < count; ++j)
            if (out[i]->GetBody().position.y > out[j]->GetBody().position.y) {
                cLevelObj* held = out[i];
                out[i] = out[j];
                out[j] = held;
            }
    return count;
}

cPairClient* createPairClient(cClient* partner, const char* kind) {
    if (kind && strcmp(kind, "CowboyKid") == 0) return new CowboyKid(partner);
    return new cPairClient(partner);
}
