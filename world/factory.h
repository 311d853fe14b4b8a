// Builds a level's objects from the episode's objects file and the player's owned items, and the
// companions that some guests bring.
#pragma once

#include <cstdint>

#include "core/strings.h"

class cClient;
class cLevelObj;
class cPairClient;

// A bought shop item as the factory needs it.
struct ShopItemInfo {
    CString name;
    uint8_t flag = 0;  // 0: its bonuses apply to the object
    int32_t timeBonus = 0, priceBonus = 0;
};

// A hotel object the player owns: the objects-file section it is built from.
struct ObjectItemInfo {
    CString name;  // the section
    CString type;  // "room", "gift", "sweets" ...
    int32_t value = 0;
    const ShopItemInfo* shopItem = nullptr;
};

// A learnt school skill as the heroes apply it.
struct SkillInfo {
    CString name;  // "shoes_jenny", "charm", "cooking" ...
    CString hero;  // the hero it belongs to, compared without case
    float ability = 0;  // "bonus.ability"
    uint8_t service = 0, waitTime = 0;  // "bonus.service", "bonus.wait_time"
};

// What the factory and the heroes read of the current player; the player profile implements it.
class ProfileLink {
public:
    virtual ~ProfileLink() {}
    virtual int Episode() const = 0;
    virtual int Level() const = 0;
    virtual int ObjectItemCount() const = 0;
    virtual const ObjectItemInfo* ObjectItem(int i) const = 0;
    // The current shop items and those stored for the previous level, as ", "-joined lists.
    virtual const char* CurrentShopItems() const = 0;
    virtual const char* PreviousShopItems() const = 0;
    // The learnt school skills; none until the profile lists them.
    virtual int LearntSkillCount() const { return 0; }
    virtual const SkillInfo* LearntSkill(int) const { return nullptr; }
};

ProfileLink* worldProfile();
void worldSetProfile(ProfileLink* profile);

// The kinds of level object a section's "type" names.
enum LevelObjectType {
    kTypeFlower,
    kTypeMusician,
    kTypeRoom,
    kTypeCash,
    kTypeGift,
    kTypeSweets,
    kLevelObjectTypes
};

// Builds one kind from (objects file, section, levels file, level number, owned item or null);
// null lets the factory build a plain level object instead.
typedef cLevelObj* (*LevelObjectMaker)(const char* objectsFile, const char* section,
                                       const char* levelsFile, int level,
                                       const ObjectItemInfo* item);
// Each kind's class registers its maker; a kind without one becomes a plain level object.
void worldSetObjectMaker(LevelObjectType type, LevelObjectMaker maker);

// The most objects (action objects included) a level holds.
constexpr int kMaxLevelObjects = 200;

// The object of a section of the current episode's objects file; null without a profile or
// section. A shop item whose flag is 0 gives the object its bonuses.
cLevelObj* createLevelObject(const char* section, const ShopItemInfo* shopItem);
// Builds every owned object (and its action object) into out, at most capacity of them (logged
// when more would follow), sorted by ascending y; newly bought ones grow in. Returns the count.
int createActionObject(cLevelObj** out, int capacity);

// A new companion of a guest, not yet loaded: the cowboy kid for the kind "CowboyKid" exactly, a
// plain companion for any other kind.
cPairClient* createPairClient(cClient* partner, const char* kind);
