// The current player's state: progress along the way points, money, popularity and skill points,
// the items bought, learnt and installed, and the player's settings, all kept in profile.ini.
#pragma once

#include <cstdint>
#include <string>

#include "core/array.h"
#include "core/rcptr.h"
#include "core/strings.h"
#include "core/strmap.h"
#include "core/text.h"

class cSchoolItem;
class cShopItem;

// One hotel object that a level builds, read from a section of the episode's objects file.
// Shared between the shop item that brought it and the profile's best-grade map.
struct cObjectItem {
    CString section;
    CString type;
    CString name;  // a room's name is its section
    int32_t grade = 0;
    int32_t replaceCost = 0;
    cShopItem* owner = nullptr;  // null once that item record is gone
};

typedef cStrMap<RCPtr<cObjectItem>> ObjectItemMap;

// One item bought in the shop (or given by a level), read from the episode's shop file.
class cShopItem {
public:
    cShopItem() = default;
    ~cShopItem();
    cShopItem(const cShopItem&) = delete;
    cShopItem& operator=(const cShopItem&) = delete;

    CString name;
    CString type;  // "room" marks a room upgrade
    int32_t bonusClients = 0;
    int32_t bonusPopularity = 0;
    bool allRequests = false;
    int32_t bonusWaitTime = 0;
    int32_t bonusService = 0;
    int32_t grade = 0;
    ObjectItemMap objects;
    TokenList disposeObjects;
};

class cPlayerProfile {
public:
    cPlayerProfile();
    ~cPlayerProfile();
    cPlayerProfile(const cPlayerProfile&) = delete;
    cPlayerProfile& operator=(const cPlayerProfile&) = delete;

    static cPlayerProfile* Current();

    // Reads the player of that name from the store; nothing for an empty name.
    void Load(const char* name);
    // Writes every value of the current way point, the results up to it and the settings, as one
    // group.
    void Save();
    // Stores what a purchase between levels changed (items, money, popularity, skill points)
    // where the next Load reads it.
    void SavePurchase();

    uint32_t GetLevel() const { return level_; }
    const char* GetName() const { return name_.c_str(); }
    const char16_t* GetDisplayName() const { return displayName_.c_str(); }
    int32_t GetEpisode() const;
    // Way points 0..n of the current episode that are levels (not mini-games).
    int CountEpisodeLevels(uint32_t n) const;
    // The 1-based number of the current level inside its episode.
    int GetLevelNumber() const { return CountEpisodeLevels(level_); }
    const char* GetObjectsIni() const { return objectsIni_; }
    const char* GetShopItemsIni() const { return shopItemsIni_; }
    const char* GetLevelsIni() const { return levelsIni_; }
    void SetEpisodePaths();
    int32_t GetCurrentLevelResult() const;

    // The profile must be the current one; it is deleted and the player read again at way point
    // n, so the caller must not touch this object afterwards. Nothing for n past the map.
    void SetLevel(uint32_t n);
    // Stores the finished way point and moves on to n, or ends the game past the last way point.
    // Deletes this profile like SetLevel.
    void GoToLevel(uint32_t n);
    // The sum, over the episodes, of the money each was left with and the price of its items.
    uint64_t ComputeTotalScore();

    uint32_t GetCash() const { return cash_; }
    bool SpendCash(uint32_t n);
    bool AddCash(uint32_t n);  // false when the sum would pass 2^32 - 1
    uint32_t GetPopularity() const { return popularity_; }
    bool SpendPopularity(uint32_t n);
    bool AddPopularity(uint32_t n);
    int GetSkillPoints() const { return static_cast<int>(skillPoints_); }
    bool SpendSkillPoints(float f);
    void AddSkillPoints(float f) { skillPoints_ += f; }
    uint32_t GetClientsServed() const { return clientsServed_; }
    void AddClientsServed(uint32_t n) { clientsServed_ += n; }
    uint32_t GetRoomsUpgraded() const { return roomsUpgraded_; }
    void SetRoomsUpgraded(uint32_t n) { roomsUpgraded_ = n; }
    uint32_t GetBonusClients() const { return bonusClients_; }

    float GetSoundVolume() const { return soundVolume_; }
    float GetMusicVolume() const { return musicVolume_; }
    bool IsFullScreen() const { return fullScreen_; }
    bool IsTutorialOn() const { return tutorialOn_; }
    void SetSoundVolume(float v) { soundVolume_ = v; }
    void SetMusicVolume(float v) { musicVolume_ = v; }
    void SetFullScreen(bool on) { fullScreen_ = on; }
    void SaveVolumes();
    void SetTutorialOn(bool on);  // written at once

    // An item name, or "item:object" for a room upgrade; false when the item is already owned,
    // cannot be read or brings no object.
    bool AddShopItem(const char* spec);
    cShopItem* FindShopItem(const char* name) const;
    // Up to max items in name order, all of them for a null type; the count stored.
    int GetShopItemsOfType(cShopItem** out, int max, const char* type) const;
    void GetAllShopItems(cArray<cShopItem*>& out) const;
    TokenList GetShopItemList() const;
    TokenList ReadStoredShopItems(uint32_t i);
    // Books the bought item's popularity bonus for the end of the current level, and stores the
    // purchase with it (SavePurchase), so the bonus is never stored without the item.
    void AddItemPopToLevel(const char* spec);
    // Pays the popularity booked for the current level.
    void AddPopToAdd();

    RCPtr<cObjectItem> MakeObjectItem(const char* section) const;
    // Keeps the best grade of each object name: false when an equal or better one is held.
    bool InsertObjectItem(const RCPtr<cObjectItem>& object);
    void RemoveObjectItem(const char* name);
    void CopyObjectMap(ObjectItemMap& out) const;
    void GetObjectItemsOfType(cArray<RCPtr<cObjectItem>>& out, const char* type) const;
    void GetObjectItems(cArray<RCPtr<cObjectItem>>& out) const;

    // Learns the item (one per skill line) with the objects it grants. The item is a record of
    // gSchoolItems and is not owned.
    bool AddSchoolItem(cSchoolItem* item);
    cSchoolItem* FindSchoolItem(const char* type) const;
    void GetSchoolItems(cArray<cSchoolItem*>& out) const;

    void AddHomeItem(const char* name);
    bool FindHomeItem(const char* name) const;
    int GetHomeItemCount() const { return static_cast<int>(homeItems_.size()); }
    void SaveHomeItems();

private:
    void readStats(int k);
    void saveKeys();
    void savePurchaseKeys();
    long statsIndex() const;
    void reload();
    std::string shopList() const;
    std::string schoolList() const;
    std::string homeList() const;
    void putShopItem(cShopItem* item);

    uint32_t level_ = 0;
    CString name_;
    std::u16string displayName_;
    char objectsIni_[512];
    char shopItemsIni_[512];
    char levelsIni_[512];
    cStrMap<cShopItem*> shopItems_;
    cStrMap<cSchoolItem*> schoolItems_;
    cStrMap<uint8_t> homeItems_;
    ObjectItemMap objectItems_;
    uint32_t cash_ = 0;
    uint32_t popularity_ = 0;
    float skillPoints_ = 0;
    uint32_t clientsServed_ = 0;
    uint32_t roomsUpgraded_ = 0;
    uint32_t bonusClients_ = 0;
    float soundVolume_ = 1.0f;
    float musicVolume_ = 1.0f;
    bool fullScreen_ = false;
    bool tutorialOn_ = true;
};

// The current player's profile; null until a player is chosen.
extern cPlayerProfile* gCurrentProfile;

// Makes the stored player of that name current; false when the store has no such player.
bool SelectPlayer(const char* name);
// Starts a new player of that name (replacing a stored one) and makes it current.
void CreatePlayer(const char* name, const char16_t* displayName);
void ReleasePlayer();
// Hears the display name and total score of a player who has passed the last way point (the
// high-score table, which lives above the gameplay).
void SetFinishedGameHook(void (*hook)(const char16_t* name, uint64_t total));
// The levels the current player finished at expert grade.
int CountExpertLevels();
